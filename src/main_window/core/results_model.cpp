#include "main_window/core/results_model.h"

#include <algorithm>

#include "shared/runtime_failure.h"

namespace brindlecap {

namespace {

// Grows by half at a time, so that appending stays cheap however many rows come.
template <class Vector>
void MakeRoomForOneMore(Vector& items) {
  if (items.size() == items.capacity()) items.reserve(items.size() + items.size() / 2 + 16);
}

}  // namespace

void ResultsModel::ColumnHeadersAdd(const std::u16string& text) {
  Column column;
  column.header = text;
  // The first column holds the rows' own texts; later ones start with empty cells.
  column.cells = columns_.empty() ? std::move(itemTexts_) : std::vector<Span>(facts_.size());
  itemTexts_.clear();
  columns_.push_back(std::move(column));
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
  const Span span = Store(text);
  // Room first everywhere, so that a failure leaves no half-added row.
  MakeRoomForOneMore(facts_);
  MakeRoomForOneMore(checked_);
  for (Column& column : columns_) MakeRoomForOneMore(column.cells);
  MakeRoomForOneMore(itemTexts_);
  if (columns_.empty()) {
    itemTexts_.push_back(span);
  } else {
    columns_[0].cells.push_back(span);
    for (size_t c = 1; c < columns_.size(); ++c) columns_[c].cells.emplace_back();
  }
  facts_.emplace_back();
  checked_.push_back(false);
  const int index = ListItemsCount();
  if (listener_) listener_->RowsAdded(index, 1);
  return index;
}

std::u16string_view ResultsModel::ListItemText(int row) const { return Cell(row, 1); }

void ResultsModel::SetSubItem(int row, int16_t subItem, const std::u16string& text) {
  RequireRow(row);
  RequireSubItem(subItem);
  columns_[static_cast<size_t>(subItem)].cells[row - 1] = Store(text);
  RowChanged(row);
}

std::u16string_view ResultsModel::SubItem(int row, int16_t subItem) const {
  RequireRow(row);
  RequireSubItem(subItem);
  return TextOf(columns_[static_cast<size_t>(subItem)].cells[row - 1]);
}

bool ResultsModel::Checked(int row) const {
  RequireRow(row);
  return checked_[row - 1];
}

void ResultsModel::SetRowFacts(int row, const DriveFacts& facts) {
  RequireRow(row);
  facts_[row - 1] = facts;
}

const DriveFacts& ResultsModel::RowFacts(int row) const {
  RequireRow(row);
  return facts_[row - 1];
}

std::u16string_view ResultsModel::Cell(int row, int column) const {
  RequireRow(row);
  if (columns_.empty() && column == 1) return TextOf(itemTexts_[row - 1]);
  if (column < 1 || column > ColumnHeadersCount()) return {};
  return TextOf(columns_[column - 1].cells[row - 1]);
}

ResultsModel::Span ResultsModel::Store(std::u16string_view text) {
  if (text.size() > UINT32_MAX - texts_.size()) throw OverflowFailure();
  const Span span{static_cast<uint32_t>(texts_.size()), static_cast<uint32_t>(text.size())};
  texts_.append(text);
  return span;
}

void ResultsModel::SetChecked(int row, bool checked) {
  RequireRow(row);
  if (checked_[row - 1] == checked) return;
  checked_[row - 1] = checked;
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

void ResultsModel::RequireRow(int row) const {
  if (row < 1 || row > ListItemsCount()) throw IndexOutOfBoundsFailure();
}

void ResultsModel::RequireSubItem(int16_t subItem) const {
  if (subItem < 1 || subItem >= ColumnHeadersCount()) throw IndexOutOfBoundsFailure();
}

void ResultsModel::RowChanged(int row) {
  if (listener_) listener_->RowChanged(row);
}

}  // namespace brindlecap
