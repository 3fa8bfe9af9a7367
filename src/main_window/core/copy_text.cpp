#include "main_window/core/copy_text.h"

#include "results/spreadsheet_cell.h"

namespace brindlecap {

namespace {

void AppendLine(std::u16string& text, const RowListReader& list, int row) {
  const int columns = list.ColumnCount();
  for (int column = 1; column <= columns; ++column) {
    if (column > 1) text += u'\t';
    const std::u16string_view cell = row == 0 ? list.ColumnTitle(column)
                                     : column == 1
                                         ? list.RowText(row)
                                         : list.SubItem(row, static_cast<int16_t>(column - 1));
    text += SpreadsheetCell(cell, CellBreaks::kSpaced);
  }
  text += u"\r\n";
}

}  // namespace

std::u16string RowsAsText(const RowListReader& list, const std::vector<int>& rows) {
  std::u16string text;
  AppendLine(text, list, 0);
  if (rows.empty()) {
    for (int row = 1; row <= list.RowCount(); ++row) AppendLine(text, list, row);
  }
  for (int row : rows) AppendLine(text, list, row);
  return text;
}

}  // namespace brindlecap
