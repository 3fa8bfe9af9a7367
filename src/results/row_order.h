#pragma once
// How two rows of the results compare under a column: by the value the cell was
// made from (a size by its byte count, the serial number by its number, the drive
// by its letter), or by its text as the system orders texts. A row without the
// value comes first.
#include <string_view>

#include "results/drive_facts.h"

namespace brindlecap {

enum class ColumnValue { kText, kDriveLetter, kTotalBytes, kFreeBytes, kUsedBytes, kSerialNumber };

struct SortKey {
  int column = 0;  // whose text a kText column compares
  ColumnValue value = ColumnValue::kText;
  bool ascending = true;
};

// Orders texts: below zero, zero or above zero, like the system's comparison.
class TextCollation {
 public:
  virtual ~TextCollation() = default;
  virtual int Compare(std::u16string_view a, std::u16string_view b) const = 0;
};

// One row as the comparison sees it.
struct RowValue {
  const DriveFacts& facts;
  std::u16string_view text;  // the cell of the key's column
};

// Below zero when a comes first in ascending order, zero for a tie. Without a
// collation, texts compare code unit by code unit.
int CompareRows(const RowValue& a, const RowValue& b, ColumnValue value,
                const TextCollation* collation);

}  // namespace brindlecap
