#include "support/export_rules.h"

#include <algorithm>
#include <cwctype>
#include <optional>
#include <stdexcept>

namespace brindlecap::e2e {
namespace {

struct Unit {
  uint64_t bytes;
  const wchar_t* name;
};
constexpr Unit kUnits[] = {{1ull, L"Bytes"},
                           {1ull << 10, L"KB"},
                           {1ull << 20, L"MB"},
                           {1ull << 30, L"GB"},
                           {1ull << 40, L"TB"}};
constexpr int kUnitCount = 5;

// A size text as (unit index, value in hundredths); ordered like the byte counts.
struct SizeKey {
  int unit;
  uint64_t hundredths;
  bool operator<=(const SizeKey& other) const {
    return unit != other.unit ? unit < other.unit : hundredths <= other.hundredths;
  }
};

SizeKey KeyOf(uint64_t bytes) {
  int unit = 0;
  while (unit + 1 < kUnitCount && bytes >= kUnits[unit + 1].bytes) ++unit;
  const uint64_t size = kUnits[unit].bytes;
  // Exact: bytes * 100 / size, split so that nothing overflows.
  const uint64_t whole = bytes / size, rest = bytes % size;
  uint64_t hundredths = whole * 100 + rest * 100 / size;
  const uint64_t remainder = rest * 100 % size;
  if (remainder * 2 > size || (remainder * 2 == size && hundredths % 2 == 1)) ++hundredths;
  return SizeKey{unit, hundredths};
}

std::wstring Format(const SizeKey& key) {
  std::wstring text = std::to_wstring(key.hundredths / 100);
  const uint64_t fraction = key.hundredths % 100;
  if (fraction != 0) {
    text += L'.';
    text += static_cast<wchar_t>(L'0' + fraction / 10);
    if (fraction % 10 != 0) text += static_cast<wchar_t>(L'0' + fraction % 10);
  }
  return text + L' ' + kUnits[key.unit].name;
}

std::optional<SizeKey> Parse(const std::wstring& text) {
  const size_t blank = text.find(L' ');
  if (blank == std::wstring::npos || blank == 0) return std::nullopt;
  const std::wstring number = text.substr(0, blank), unitName = text.substr(blank + 1);
  int unit = -1;
  for (int i = 0; i < kUnitCount; ++i) {
    if (unitName == kUnits[i].name) unit = i;
  }
  if (unit < 0) return std::nullopt;
  uint64_t whole = 0, fraction = 0;
  size_t i = 0;
  for (; i < number.size() && std::iswdigit(number[i]); ++i)
    whole = whole * 10 + (number[i] - L'0');
  if (i == 0) return std::nullopt;
  int decimals = 0;
  if (i < number.size() && number[i] == L'.') {
    for (++i; i < number.size() && std::iswdigit(number[i]) && decimals < 2; ++i, ++decimals) {
      fraction = fraction * 10 + (number[i] - L'0');
    }
    if (decimals == 0) return std::nullopt;
  }
  if (i != number.size()) return std::nullopt;
  if (decimals == 1) fraction *= 10;
  SizeKey key{unit, whole * 100 + fraction};
  // Only the shortest form counts, and only values that some byte count gives.
  if (Format(key) != text) return std::nullopt;
  const bool reachable =
      unit == 0 ? key.hundredths % 100 == 0 && key.hundredths < 102400
                : key.hundredths >= 100 && (unit == kUnitCount - 1 || key.hundredths <= 102400);
  if (!reachable) return std::nullopt;
  return key;
}

}  // namespace

std::vector<size_t> ExportColumnWidths(const ListContents& list) {
  std::vector<size_t> widths;
  for (size_t column = 0; column < list.headers.size(); ++column) {
    size_t width = list.headers[column].size();
    for (const auto& row : list.rows) {
      if (column < row.size()) width = std::max(width, row[column].size());
    }
    widths.push_back(width);
  }
  return widths;
}

std::wstring ExpectedExportText(const ListContents& list) {
  if (list.checked.size() != list.rows.size()) {
    throw std::invalid_argument("one check mark per row expected");
  }
  const std::vector<size_t> widths = ExportColumnWidths(list);
  auto line = [&](const std::vector<std::wstring>& cells) {
    std::wstring text;
    for (size_t column = 0; column < widths.size(); ++column) {
      const std::wstring cell = column < cells.size() ? cells[column] : std::wstring();
      text += cell;
      text.append(widths[column] - cell.size(), L' ');
      text += L'\t';
    }
    return text + L"\r\n";
  };
  std::wstring text = line(list.headers);
  for (size_t row = 0; row < list.rows.size(); ++row) {
    if (list.checked[row]) text += line(list.rows[row]);
  }
  return text;
}

std::string ExpectedExportBytes(const ListContents& list, UINT codePage) {
  const std::wstring text = ExpectedExportText(list);
  if (text.empty()) return {};
  const int size = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size,
                      nullptr, nullptr);
  return bytes;
}

std::wstring SizeText(uint64_t bytes) { return Format(KeyOf(bytes)); }

bool SizeTextWithin(const std::wstring& text, uint64_t low, uint64_t high) {
  const auto key = Parse(text);
  if (!key) return false;
  // Size texts grow with the byte count, and every value between two reachable
  // ones is reachable too, so comparing with the ends decides it.
  return KeyOf(std::min(low, high)) <= *key && *key <= KeyOf(std::max(low, high));
}

}  // namespace brindlecap::e2e
