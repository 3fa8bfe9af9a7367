#include "results/row_order.h"

#include <optional>

namespace brindlecap {

namespace {

// Missing values first, then the smaller.
template <class Value>
int CompareOptional(const std::optional<Value>& a, const std::optional<Value>& b) {
  if (!a || !b) return static_cast<int>(a.has_value()) - static_cast<int>(b.has_value());
  return *a < *b ? -1 : (*b < *a ? 1 : 0);
}

std::optional<char16_t> DriveLetter(const DriveFacts& facts) {
  if (facts.root.empty()) return std::nullopt;
  const char16_t letter = facts.root.front();
  if (letter >= u'a' && letter <= u'z') return static_cast<char16_t>(letter - u'a' + u'A');
  return letter;
}

}  // namespace

int CompareRows(const RowValue& a, const RowValue& b, ColumnValue value,
                const TextCollation* collation) {
  switch (value) {
    case ColumnValue::kDriveLetter:
      return CompareOptional(DriveLetter(a.facts), DriveLetter(b.facts));
    case ColumnValue::kTotalBytes:
      return CompareOptional(a.facts.totalBytes, b.facts.totalBytes);
    case ColumnValue::kFreeBytes:
      return CompareOptional(a.facts.freeBytes, b.facts.freeBytes);
    case ColumnValue::kUsedBytes:
      return CompareOptional(a.facts.usedBytes, b.facts.usedBytes);
    case ColumnValue::kSerialNumber:
      return CompareOptional(a.facts.serialNumber, b.facts.serialNumber);
    case ColumnValue::kText:
      break;
  }
  return collation != nullptr ? collation->Compare(a.text, b.text) : a.text.compare(b.text);
}

}  // namespace brindlecap
