#pragma once
// The main window's design, in twips (1/1440 inch; 15 twips are one pixel at 96 DPI).
#include <array>
#include <string_view>

#include "results/row_order.h"

namespace brindlecap::form_layout {

struct Box {
  int left, top, width, height;
};

inline constexpr int kClientWidth = 15960;
inline constexpr int kClientHeight = 3270;
inline constexpr Box kResultsList{120, 630, 15720, 2535};
inline constexpr Box kStartRetrievingButton{120, 120, 7800, 405};
inline constexpr Box kSaveResultsButton{8040, 120, 7800, 405};

inline constexpr std::u16string_view kStartRetrievingText = u"Start Retrieving";
inline constexpr std::u16string_view kSaveResultsText = u"Save Results As Text File";

inline constexpr std::u16string_view kFontFace = u"Arial";
inline constexpr double kFormFontPoints = 9.0;
inline constexpr double kButtonFontPoints = 11.25;

struct Column {
  std::u16string_view header;
  int widthTwips;
  ColumnValue value;  // what a click on the header sorts by
};
inline constexpr std::array<Column, 7> kResultColumns{
    {{u"Drive", 2500, ColumnValue::kDriveLetter},
     {u"Type", 2000, ColumnValue::kText},
     {u"File System", 1200, ColumnValue::kText},
     {u"Total Space", 1500, ColumnValue::kTotalBytes},
     {u"Free Space", 1500, ColumnValue::kFreeBytes},
     {u"Used Space", 1500, ColumnValue::kUsedBytes},
     {u"Serial Number", 5000, ColumnValue::kSerialNumber}}};
// What column `column` (from 1) holds; a column past the table holds text.
constexpr ColumnValue ValueOfColumn(int column) {
  if (column < 1 || static_cast<size_t>(column) > kResultColumns.size()) return ColumnValue::kText;
  return kResultColumns[static_cast<size_t>(column - 1)].value;
}
// The column that draws the usage bar, and the bar's height and its distance from
// the cell's sides, in pixels at 96 DPI.
inline constexpr int kUsedSpaceColumn = 6;
inline constexpr int kUsageBarPixelsAt96Dpi = 3;

}  // namespace brindlecap::form_layout
