#include "main_window/core/results_model.h"

#include <algorithm>

#include "shared/runtime_failure.h"

namespace brindlecap {

void ResultsModel::ColumnHeadersAdd(const std::u16string& text) {
  columns_.push_back(Column{text});
  if (listener_) listener_->ColumnAdded(ColumnHeadersCount());
}

void ResultsModel::SetColumnHeaderWidth(int column, float twips) {
  ColumnAt(column);
  if (twips < 0) throw InvalidArgumentFailure();
  columns_[column - 1].widthTwips = twips;
  if (listener_) listener_->ColumnWidthChanged(column);
}

float ResultsModel::ColumnHeaderWidth(int column) const { return ColumnAt(column).widthTwips; }

std::u16string_view ResultsModel::ColumnHeaderText(int column) const {
  return ColumnAt(column).header;
}

int ResultsModel::ListItemsAdd(const std::u16string& text) {
  Row row;
  row.cells.push_back(text);
  rows_.push_back(std::move(row));
  const int index = ListItemsCount();
  if (listener_) listener_->RowsAdded(index, 1);
  return index;
}

std::u16string_view ResultsModel::ListItemText(int row) const { return RowAt(row).cells[0]; }

void ResultsModel::SetSubItem(int row, int16_t subItem, const std::u16string& text) {
  Row& target = RowAt(row);
  RequireSubItem(subItem);
  const auto column = static_cast<size_t>(subItem);
  if (target.cells.size() <= column) target.cells.resize(column + 1);
  target.cells[column] = text;
  RowChanged(row);
}

std::u16string_view ResultsModel::SubItem(int row, int16_t subItem) const {
  RequireSubItem(subItem);
  return Cell(row, subItem + 1);
}

bool ResultsModel::Checked(int row) const { return RowAt(row).checked; }

void ResultsModel::SetRowFacts(int row, const DriveFacts& facts) { RowAt(row).facts = facts; }

const DriveFacts& ResultsModel::RowFacts(int row) const { return RowAt(row).facts; }

std::u16string_view ResultsModel::Cell(int row, int column) const {
  const Row& target = RowAt(row);
  const auto index = static_cast<size_t>(column - 1);
  if (column < 1 || index >= target.cells.size()) return {};
  return target.cells[index];
}

void ResultsModel::SetChecked(int row, bool checked) {
  Row& target = RowAt(row);
  if (target.checked == checked) return;
  target.checked = checked;
  RowChanged(row);
}

void ResultsModel::ToggleChecked(int row) { SetChecked(row, !Checked(row)); }

void ResultsModel::ToggleTogether(const std::vector<int>& selectedRows, int focusedRow) {
  if (selectedRows.empty()) {
    if (focusedRow >= 1 && focusedRow <= ListItemsCount()) ToggleChecked(focusedRow);
    return;
  }
  const bool focusSelected =
      std::find(selectedRows.begin(), selectedRows.end(), focusedRow) != selectedRows.end();
  const bool mark = !Checked(focusSelected ? focusedRow : selectedRows.front());
  for (int row : selectedRows) SetChecked(row, mark);
}

const ResultsModel::Column& ResultsModel::ColumnAt(int column) const {
  if (column < 1 || column > ColumnHeadersCount()) throw IndexOutOfBoundsFailure();
  return columns_[column - 1];
}

const ResultsModel::Row& ResultsModel::RowAt(int row) const {
  if (row < 1 || row > ListItemsCount()) throw IndexOutOfBoundsFailure();
  return rows_[row - 1];
}

ResultsModel::Row& ResultsModel::RowAt(int row) {
  return const_cast<Row&>(static_cast<const ResultsModel*>(this)->RowAt(row));
}

void ResultsModel::RequireSubItem(int16_t subItem) const {
  if (subItem < 1 || subItem >= ColumnHeadersCount()) throw IndexOutOfBoundsFailure();
}

void ResultsModel::RowChanged(int row) {
  if (listener_) listener_->RowChanged(row);
}

}  // namespace brindlecap
