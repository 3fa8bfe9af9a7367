#include "export/prometheus_text.h"

#include <cstdint>
#include <optional>
#include <string_view>

#include "export/table_text.h"
#include "results/result_columns.h"
#include "shared/text_convert.h"

namespace brindlecap {

namespace {

// A label value: backslash, quote and newline escaped, the rest in UTF-8.
void AppendLabelValue(std::string& out, std::u16string_view text) {
  out += '"';
  size_t from = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const char* escaped = text[i] == u'\\'   ? "\\\\"
                          : text[i] == u'"'  ? "\\\""
                          : text[i] == u'\n' ? "\\n"
                                             : nullptr;
    if (escaped == nullptr) continue;
    AppendUtf8(out, text.substr(from, i - from));
    out += escaped;
    from = i + 1;
  }
  AppendUtf8(out, text.substr(from));
  out += '"';
}

// "C:" for "C:\", "C:\Mount\Data" for a folder: the root without its last backslash.
std::u16string_view DriveName(std::u16string_view root) {
  if (root.size() > 1 && root.back() == u'\\') root.remove_suffix(1);
  return root;
}

void AppendFamily(std::string& out, std::string_view name, std::string_view help) {
  out.append("# HELP ").append(name).append(" ").append(help).append("\n");
  out.append("# TYPE ").append(name).append(" gauge\n");
}

void AppendSample(std::string& out, std::string_view name, std::u16string_view root,
                  uint64_t value) {
  out.append(name).append("{drive=");
  AppendLabelValue(out, DriveName(root));
  out += "} ";
  out += Utf16ToAscii(DecimalText(value));
  out += '\n';
}

std::u16string SerialText(const std::optional<uint32_t>& serial) {
  if (!serial) return {};
  return AsciiToUtf16(HexText(*serial >> 16, 4) + "-" + HexText(*serial & 0xFFFF, 4));
}

}  // namespace

std::string PrometheusDocument(const ResultsModel& results) {
  std::string out;
  struct Bytes {
    const char* name;
    const char* help;
    std::optional<uint64_t> DriveFacts::*figure;
  };
  static constexpr Bytes kBytes[] = {
      {"brindlecap_drive_size_bytes", "The drive's total size in bytes.", &DriveFacts::totalBytes},
      {"brindlecap_drive_free_bytes", "The drive's space free to the program's user, in bytes.",
       &DriveFacts::freeBytes},
      {"brindlecap_drive_used_bytes", "The drive's used space in bytes.", &DriveFacts::usedBytes},
  };
  for (const Bytes& metric : kBytes) {
    AppendFamily(out, metric.name, metric.help);
    for (int row = 0; row < results.RowCount(); ++row) {
      const DriveFacts& facts = results.RowFacts(row);
      // No figure, no sample: a made-up 0 would read as a full drive.
      const std::optional<uint64_t>& figure = facts.*metric.figure;
      if (figure) {
        AppendSample(out, metric.name, facts.root, *figure);
      }
    }
  }
  AppendFamily(out, "brindlecap_drive_answered",
               "1 when the drive answered before the deadline, 0 when it did not.");
  for (int row = 0; row < results.RowCount(); ++row) {
    const DriveFacts& facts = results.RowFacts(row);
    AppendSample(out, "brindlecap_drive_answered", facts.root, facts.answered ? 1 : 0);
  }
  AppendFamily(out, "brindlecap_drive_info",
               "The drive's label, kind, file system and serial number; always 1.");
  for (int row = 0; row < results.RowCount(); ++row) {
    const DriveFacts& facts = results.RowFacts(row);
    out += "brindlecap_drive_info{drive=";
    AppendLabelValue(out, DriveName(facts.root));
    out += ",label=";
    AppendLabelValue(out, LabelOf(results, row));
    out += ",kind=";
    AppendLabelValue(out, results.Cell(row, IndexOf(ResultColumn::kType)));
    out += ",filesystem=";
    AppendLabelValue(out, results.Cell(row, IndexOf(ResultColumn::kFileSystem)));
    out += ",serial=";
    AppendLabelValue(out, SerialText(facts.serialNumber));
    out += "} 1\n";
  }
  return out;
}

}  // namespace brindlecap
