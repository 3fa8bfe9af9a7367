#pragma once
// The results' columns, in the order the window shows them: the one place that says
// which column is which. The list and its sorter, the fixed-width writer, Ctrl+C
// and every export read it.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "results/row_order.h"

namespace brindlecap {

// A column by its place, from 0; a row's own text is column 0, its cells follow.
enum class ResultColumn : int {
  kDrive,
  kType,
  kFileSystem,
  kTotalSpace,
  kFreeSpace,
  kUsedSpace,
  kSerialNumber
};

enum class ColumnAlignment { kLeft, kRight };

struct ColumnDefinition {
  ResultColumn column;
  std::u16string_view header;
  int widthTwips;  // the window's unit: 1/1440 inch, 15 to a pixel at 96 DPI
  // The fact the cell shows, which is also what a click on its header sorts by: a
  // size by its byte count, the serial by its number, the drive by its letter;
  // kText where the cell's text is all there is (the kind, the file system).
  ColumnValue fact;
  ColumnAlignment alignment;  // sizes line up on the right where a page allows
};

inline constexpr std::array<ColumnDefinition, 7> kResultColumns{{
    {ResultColumn::kDrive, u"Drive", 2500, ColumnValue::kDriveLetter, ColumnAlignment::kLeft},
    {ResultColumn::kType, u"Type", 2000, ColumnValue::kText, ColumnAlignment::kLeft},
    {ResultColumn::kFileSystem, u"File System", 1200, ColumnValue::kText, ColumnAlignment::kLeft},
    {ResultColumn::kTotalSpace, u"Total Space", 1500, ColumnValue::kTotalBytes,
     ColumnAlignment::kRight},
    {ResultColumn::kFreeSpace, u"Free Space", 1500, ColumnValue::kFreeBytes,
     ColumnAlignment::kRight},
    {ResultColumn::kUsedSpace, u"Used Space", 1500, ColumnValue::kUsedBytes,
     ColumnAlignment::kRight},
    {ResultColumn::kSerialNumber, u"Serial Number", 5000, ColumnValue::kSerialNumber,
     ColumnAlignment::kLeft},
}};

constexpr int IndexOf(ResultColumn column) { return static_cast<int>(column); }

// The definition of the column at a place from 0; nothing past the table.
constexpr const ColumnDefinition* ColumnAt(int index) {
  return index >= 0 && static_cast<size_t>(index) < kResultColumns.size()
             ? &kResultColumns[static_cast<size_t>(index)]
             : nullptr;
}

// What a column shows; a column past the table holds text.
constexpr ColumnValue FactOfColumn(int index) {
  const ColumnDefinition* definition = ColumnAt(index);
  return definition != nullptr ? definition->fact : ColumnValue::kText;
}

// Every place is its own column's: the enum and the table keep one order.
static_assert([] {
  for (size_t i = 0; i < kResultColumns.size(); ++i) {
    if (IndexOf(kResultColumns[i].column) != static_cast<int>(i)) return false;
  }
  return true;
}());

}  // namespace brindlecap
