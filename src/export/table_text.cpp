#include "export/table_text.h"

#include "results/result_columns.h"
#include "results/spreadsheet_cell.h"
#include "results/usage_bar.h"
#include "shared/text_convert.h"

namespace brindlecap {

namespace {

// How a text is written into a document.
enum class Escape {
  kCsv,   // RFC 4180: quoted, quotes doubled, when it holds a comma, quote, CR or LF
  kJson,  // a string literal with its quotes: quote, backslash and controls escaped
  kHtml,  // & < > " ' as references
  kNone,
};
// Appends the text in UTF-8, escaped for the document; a surrogate without its
// partner becomes U+FFFD.
void AppendText(std::string& out, std::u16string_view text, Escape escape);
// The model's column (from 1) of each result column.

void AppendCodePoint(std::string& out, uint32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
    return;
  }
  int continuation = c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
  static constexpr unsigned char kLead[] = {0, 0xC0, 0xE0, 0xF0};
  out += static_cast<char>(kLead[continuation] | c >> (6 * continuation));
  while (continuation-- > 0) out += static_cast<char>(0x80 | (c >> (6 * continuation) & 0x3F));
}

// The replacement of a character that the escape changes, or nothing.
const char* Replacement(char16_t c, Escape escape) {
  if (escape == Escape::kCsv) return c == u'"' ? "\"\"" : nullptr;
  if (escape == Escape::kHtml) {
    switch (c) {
      case u'&':
        return "&amp;";
      case u'<':
        return "&lt;";
      case u'>':
        return "&gt;";
      case u'"':
        return "&quot;";
      case u'\'':
        return "&#39;";
    }
    return nullptr;
  }
  if (escape != Escape::kJson) return nullptr;
  switch (c) {
    case u'"':
      return "\\\"";
    case u'\\':
      return "\\\\";
    case u'\n':
      return "\\n";
    case u'\r':
      return "\\r";
    case u'\t':
      return "\\t";
  }
  return nullptr;
}

void AppendNumber(std::string& out, uint64_t value) {
  char digits[20];
  int count = 0;
  do {
    digits[count++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  while (count > 0) out += digits[--count];
}

void AppendBytes(std::string& out, const std::optional<uint64_t>& bytes) {
  if (bytes) {
    AppendNumber(out, *bytes);
  } else {
    out += "null";
  }
}

// "74.19" for a percentage rounded to hundredths, kept within 0 to 100.
void AppendPercent(std::string& out, float percent) {
  const float kept = percent < 0 ? 0 : percent > 100 ? 100 : percent;
  const unsigned hundredths = static_cast<unsigned>(kept * 100 + 0.5f);
  AppendNumber(out, hundredths / 100);
  out += '.';
  out += static_cast<char>('0' + hundredths / 10 % 10);
  out += static_cast<char>('0' + hundredths % 10);
}

void AppendFailure(std::string& out, const ReportedFailure& failure, bool withRoot) {
  out += '{';
  if (withRoot) {
    out += "\"root\": ";
    if (failure.root.empty()) {
      out += "null";
    } else {
      AppendText(out, failure.root, Escape::kJson);
    }
    out += ", ";
  }
  out += "\"line\": ";
  if (failure.line && *failure.line >= 0) {
    AppendNumber(out, static_cast<uint64_t>(*failure.line));
  } else {
    out += "null";
  }
  out += ", \"description\": ";
  AppendText(out, failure.description, Escape::kJson);
  out += '}';
}

bool HasRowOf(const ResultsModel& results, const std::u16string& root) {
  for (int row = 0; !root.empty() && row < results.RowCount(); ++row) {
    if (results.RowFacts(row).root == root) return true;
  }
  return false;
}

}  // namespace

namespace {

void AppendText(std::string& out, std::u16string_view text, Escape escape) {
  const bool quoted = escape == Escape::kJson ||
                      (escape == Escape::kCsv && text.find_first_of(u",\"\r\n") != text.npos);
  if (quoted) out += '"';
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t c = text[i];
    if (const char* replacement = Replacement(text[i], escape)) {
      out += replacement;
      continue;
    }
    if (escape == Escape::kJson && c < 0x20) {
      out += "\\u00" + HexText(c, 2, false);
      continue;
    }
    if (c >= 0xD800 && c <= 0xDFFF) {
      const bool pair =
          c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
      c = pair ? 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00) : 0xFFFD;
    }
    AppendCodePoint(out, c);
  }
  if (quoted) out += '"';
}

}  // namespace

void AppendUtf8(std::string& out, std::u16string_view text) {
  AppendText(out, text, Escape::kNone);
}

std::u16string Iso8601Utc(int year, int month, int day, int hour, int minute, int second) {
  std::u16string text = u"0000-00-00T00:00:00Z";
  const int fields[] = {year / 100, year % 100, month, day, hour, minute, second};
  static constexpr unsigned char kAt[] = {0, 2, 5, 8, 11, 14, 17};
  for (int i = 0; i < 7; ++i) {
    text[kAt[i]] = static_cast<char16_t>(u'0' + fields[i] / 10 % 10);
    text[kAt[i] + 1] = static_cast<char16_t>(u'0' + fields[i] % 10);
  }
  return text;
}

std::u16string_view LabelOf(const ResultsModel& results, int row) {
  const DriveFacts& facts = results.RowFacts(row);
  const std::u16string_view text = results.Cell(row, IndexOf(ResultColumn::kDrive));
  const size_t prefix = facts.root.size() + 4;  // root, " - [" ... "]"
  if (!facts.hasMedium || text.size() <= prefix || text.back() != u']') return {};
  return text.substr(prefix, text.size() - prefix - 1);
}

// The tables' loops run from the header line down the rows.
constexpr int kHeaderLine = -1;

std::u16string_view HeaderOrCell(const ResultsModel& results, int row, int column) {
  return row == kHeaderLine ? results.ColumnTitle(column) : results.Cell(row, column);
}

void WriteTabLines(const ResultsModel& results, TextFileWriter& stream) {
  std::u16string line;
  for (int row = kHeaderLine; row < results.RowCount(); ++row) {
    line.clear();
    for (int c = 0; c < results.ColumnCount(); ++c) {
      if (c > 0) line += u'\t';
      line += SpreadsheetCell(HeaderOrCell(results, row, c), CellBreaks::kSpaced);
    }
    stream.WriteLine(line);
  }
}

std::string CsvDocument(const ResultsModel& results) {
  std::string csv = "\xEF\xBB\xBF";
  for (int row = kHeaderLine; row < results.RowCount(); ++row) {
    for (int c = 0; c < results.ColumnCount(); ++c) {
      if (c > 0) csv += ',';
      AppendText(csv, SpreadsheetCell(HeaderOrCell(results, row, c), CellBreaks::kKept),
                 Escape::kCsv);
    }
    csv += "\r\n";
  }
  return csv;
}

std::string JsonDocument(const ResultsModel& results, const DocumentHeading& heading,
                         const std::vector<ReportedFailure>& failures) {
  // A reader checks the version before anything else (docs/brindlecap.schema.json).
  std::string json = "{\r\n  \"schemaVersion\": 1,\r\n  \"computer\": ";
  AppendText(json, heading.computer, Escape::kJson);
  json += ",\r\n  \"generated\": ";
  AppendText(json, heading.generated, Escape::kJson);
  json += ",\r\n  \"drives\": [";
  // Each key and the cell it is the text of; the numbers go between.
  const auto cell = [&](const char* key, int row, ResultColumn column) {
    json += key;
    AppendText(json, results.Cell(row, IndexOf(column)), Escape::kJson);
  };
  for (int row = 0; row < results.RowCount(); ++row) {
    const DriveFacts& facts = results.RowFacts(row);
    json += row == 0 ? "\r\n    {\"root\": " : ",\r\n    {\"root\": ";
    AppendText(json, facts.root, Escape::kJson);
    if (facts.root.size() > 3) {  // a folder a volume is mounted in (/volumes)
      json += ", \"mountedAt\": ";
      AppendText(json, facts.root, Escape::kJson);
    }
    json += ", \"label\": ";
    AppendText(json, LabelOf(results, row), Escape::kJson);
    cell(", \"kind\": ", row, ResultColumn::kType);
    json += ", \"driveType\": ";
    if (facts.kindCode && *facts.kindCode >= 0) {
      AppendNumber(json, static_cast<uint64_t>(*facts.kindCode));
    } else {
      json += "null";
    }
    cell(", \"fileSystem\": ", row, ResultColumn::kFileSystem);
    cell(", \"serialNumber\": ", row, ResultColumn::kSerialNumber);
    json += facts.hasMedium ? ", \"medium\": true" : ", \"medium\": false";
    json += facts.answered ? ", \"answered\": true, \"totalBytes\": "
                           : ", \"answered\": false, \"totalBytes\": ";
    AppendBytes(json, facts.totalBytes);
    json += ", \"freeBytes\": ";
    AppendBytes(json, facts.freeBytes);
    json += ", \"usedBytes\": ";
    AppendBytes(json, facts.usedBytes);
    json += ", \"volumeFreeBytes\": ";
    AppendBytes(json, facts.volumeFreeBytes);
    cell(", \"total\": ", row, ResultColumn::kTotalSpace);
    cell(", \"free\": ", row, ResultColumn::kFreeSpace);
    cell(", \"used\": ", row, ResultColumn::kUsedSpace);
    json += ", \"errors\": [";
    const char* separator = "";
    for (const ReportedFailure& failure : failures) {
      if (failure.root.empty() || failure.root != facts.root) continue;
      json += separator;
      AppendFailure(json, failure, false);
      separator = ", ";
    }
    json += "]}";
  }
  json += results.RowCount() > 0 ? "\r\n  ],\r\n  \"errors\": [" : "],\r\n  \"errors\": [";
  const char* separator = "\r\n    ";
  for (const ReportedFailure& failure : failures) {
    if (HasRowOf(results, failure.root)) continue;
    json += separator;
    AppendFailure(json, failure, true);
    separator = ",\r\n    ";
  }
  json += *separator == ',' ? "\r\n  ]\r\n}\r\n" : "]\r\n}\r\n";
  return json;
}

std::string HtmlDocument(const ResultsModel& results, const DocumentHeading& heading) {
  std::string title = "Drives of ";
  AppendText(title, heading.computer, Escape::kHtml);
  std::string html =
      "<!DOCTYPE html>\r\n<html lang=\"en\">\r\n<head>\r\n<meta charset=\"utf-8\">\r\n<title>";
  html += title;
  html +=
      "</title>\r\n<style>\r\n"
      "body { font-family: Arial, sans-serif; font-size: 10pt; }\r\n"
      "table { border-collapse: collapse; }\r\n"
      "th, td { border: 1px solid #999; padding: 2px 6px; text-align: left; }\r\n"
      // A cell's spaces are part of its text, as in the window's list ("A:\  - No...").
      "td { white-space: pre; }\r\n"
      "th.size, td.size { text-align: right; }\r\n"
      ".bar { width: 120px; height: 12px; border: 1px solid #666; }\r\n"
      ".bar div { height: 12px; background: #36c; }\r\n"
      ".bar.full div { background: #d02020; }\r\n"
      "</style>\r\n</head>\r\n<body>\r\n<h1>";
  html += title;
  html += "</h1>\r\n<p>Generated ";
  AppendText(html, heading.generated, Escape::kHtml);
  html += "</p>\r\n<table>\r\n<tr>";
  for (int row = kHeaderLine; row < results.RowCount(); ++row) {
    if (row != kHeaderLine) html += "<tr>";
    for (int c = 0; c < results.ColumnCount(); ++c) {
      const ColumnDefinition* definition = ColumnAt(c);
      const bool size = definition != nullptr && definition->alignment == ColumnAlignment::kRight;
      html += row == kHeaderLine ? (size ? "<th class=\"size\">" : "<th>")
                                 : (size ? "<td class=\"size\">" : "<td>");
      AppendText(html, HeaderOrCell(results, row, c), Escape::kHtml);
      html += row == kHeaderLine ? "</th>" : "</td>";
    }
    if (row == kHeaderLine) {
      html += "<th>Used</th></tr>\r\n";
      continue;
    }
    // The bar of the window's list: none for a CD or DVD, red when nearly full.
    html += "<td>";
    if (const std::optional<double> share = UsageBarShare(results.RowFacts(row))) {
      std::string percent;
      AppendPercent(percent, static_cast<float>(*share * 100));
      html += *share >= kNearlyFullShare ? "<div class=\"bar full\" title=\""
                                         : "<div class=\"bar\" title=\"";
      html.append(percent);
      html.append(" % used\"><div style=\"width: ").append(percent).append("%\"></div></div>");
    }
    html += "</td></tr>\r\n";
  }
  html += "</table>\r\n</body>\r\n</html>\r\n";
  return html;
}

}  // namespace brindlecap
