#include "main_window/core/copy_text.h"

#include "results/spreadsheet_cell.h"

namespace brindlecap {

namespace {

void AppendLine(std::u16string& text, const ListReader& list, int row) {
  const int columns = list.ColumnHeadersCount();
  for (int column = 1; column <= columns; ++column) {
    if (column > 1) text += u'\t';
    const std::u16string_view cell = row == 0 ? list.ColumnHeaderText(column)
                                     : column == 1
                                         ? list.ListItemText(row)
                                         : list.SubItem(row, static_cast<int16_t>(column - 1));
    text += SpreadsheetCell(cell, CellBreaks::kSpaced);
  }
  text += u"\r\n";
}

}  // namespace

std::u16string RowsAsText(const ListReader& list, const std::vector<int>& rows) {
  std::u16string text;
  AppendLine(text, list, 0);
  if (rows.empty()) {
    for (int row = 1; row <= list.ListItemsCount(); ++row) AppendLine(text, list, row);
  }
  for (int row : rows) AppendLine(text, list, row);
  return text;
}

}  // namespace brindlecap
