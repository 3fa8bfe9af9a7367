#include "main_window/core/copy_text.h"

#include <optional>

#include "results/spreadsheet_cell.h"

namespace brindlecap {

namespace {

// The header line when no row is given.
void AppendLine(std::u16string& text, const RowListReader& list, std::optional<int> row) {
  const int columns = list.ColumnCount();
  for (int column = 0; column < columns; ++column) {
    if (column > 0) text += u'\t';
    const std::u16string_view cell = row ? list.Cell(*row, column) : list.ColumnTitle(column);
    text += SpreadsheetCell(cell, CellBreaks::kSpaced);
  }
  text += u"\r\n";
}

}  // namespace

std::u16string RowsAsText(const RowListReader& list, const std::vector<int>& rows) {
  std::u16string text;
  AppendLine(text, list, std::nullopt);
  if (rows.empty()) {
    for (int row = 0; row < list.RowCount(); ++row) AppendLine(text, list, row);
  }
  for (int row : rows) AppendLine(text, list, row);
  return text;
}

}  // namespace brindlecap
