#include "results/results_model.h"

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

void ResultsModel::AddColumn(const std::u16string& text) {
  Column column;
  column.header = text;
  // The first column holds the rows' own texts; later ones start with empty cells.
  column.cells = columns_.empty() ? std::move(itemTexts_) : std::vector<Span>(facts_.size());
  itemTexts_.clear();
  columns_.push_back(std::move(column));
  if (listener_) listener_->ColumnAdded(ColumnCount() - 1);
}

std::u16string_view ResultsModel::ColumnTitle(int column) const { return ColumnAt(column).header; }

int ResultsModel::AddRow(const std::u16string& text) {
  const Span span = Store(text);
  // Room first everywhere, so that a failure leaves no half-added row.
  MakeRoomForOneMore(facts_);
  MakeRoomForOneMore(checked_);
  for (Column& column : columns_) MakeRoomForOneMore(column.cells);
  MakeRoomForOneMore(itemTexts_);
  MakeRoomForOneMore(order_);
  if (columns_.empty()) {
    itemTexts_.push_back(span);
  } else {
    columns_[0].cells.push_back(span);
    for (size_t c = 1; c < columns_.size(); ++c) columns_[c].cells.emplace_back();
  }
  facts_.emplace_back();
  checked_.push_back(false);
  const int index = RowCount() - 1;
  order_.push_back(index);
  if (listener_) listener_->RowsAdded(index, 1);
  PlaceRow(index);
  return index;
}

// The drive's cell is kept apart while the list has no column yet.
void ResultsModel::SetCell(int row, int column, const std::u16string& text) {
  RequireRow(row);
  RequireColumn(column);
  const Span span = Store(text);
  if (columns_.empty()) {
    itemTexts_[static_cast<size_t>(row)] = span;
  } else {
    columns_[static_cast<size_t>(column)].cells[static_cast<size_t>(row)] = span;
  }
  RowChanged(row);
  PlaceRow(row);
}

std::u16string_view ResultsModel::Cell(int row, int column) const {
  RequireRow(row);
  if (column < 0 || column >= std::max(ColumnCount(), 1)) return {};
  if (columns_.empty()) return TextOf(itemTexts_[static_cast<size_t>(row)]);
  return TextOf(columns_[static_cast<size_t>(column)].cells[static_cast<size_t>(row)]);
}

bool ResultsModel::Checked(int row) const {
  RequireRow(row);
  return checked_[static_cast<size_t>(row)];
}

void ResultsModel::SetRowFacts(int row, const DriveFacts& facts) {
  RequireRow(row);
  facts_[static_cast<size_t>(row)] = facts;
  PlaceRow(row);
}

const DriveFacts& ResultsModel::RowFacts(int row) const {
  RequireRow(row);
  return facts_[static_cast<size_t>(row)];
}

ResultsModel::Span ResultsModel::Store(std::u16string_view text) {
  if (text.size() > UINT32_MAX - texts_.size()) throw OverflowFailure();
  const Span span{static_cast<uint32_t>(texts_.size()), static_cast<uint32_t>(text.size())};
  texts_.append(text);
  return span;
}

void ResultsModel::SetChecked(int row, bool checked) {
  RequireRow(row);
  if (checked_[static_cast<size_t>(row)] == checked) return;
  checked_[static_cast<size_t>(row)] = checked;
  RowChanged(row);
  if (listener_) listener_->RowCheckChanged(row);
}

void ResultsModel::ToggleChecked(int row) { SetChecked(row, !Checked(row)); }

void ResultsModel::ToggleTogether(const std::vector<int>& selectedRows, int focusedRow) {
  if (selectedRows.empty()) {
    if (focusedRow >= 0 && focusedRow < RowCount()) ToggleChecked(focusedRow);
    return;
  }
  const bool focusSelected =
      std::find(selectedRows.begin(), selectedRows.end(), focusedRow) != selectedRows.end();
  const bool mark = !Checked(focusSelected ? focusedRow : selectedRows.front());
  for (int row : selectedRows) SetChecked(row, mark);
}

int ResultsModel::RowAt(int position) const {
  RequireRow(position);
  return order_[static_cast<size_t>(position)];
}

int ResultsModel::PositionOf(int row) const {
  RequireRow(row);
  // Rows number in the dozens: a search costs nothing worth keeping an index for.
  return static_cast<int>(std::find(order_.begin(), order_.end(), row) - order_.begin());
}

void ResultsModel::SetCollation(const TextCollation* collation) noexcept { collation_ = collation; }

bool ResultsModel::ShownBefore(int rowIndex, int otherIndex) const {
  const SortKey& key = *sort_;
  const auto value = [&](int index) {
    return RowValue{facts_[static_cast<size_t>(index)], Cell(index, key.column)};
  };
  const int order = CompareRows(value(rowIndex), value(otherIndex), key.value, collation_);
  return key.ascending ? order < 0 : order > 0;
}

// Each row goes behind the rows it ties with, in the order they are shown now: a
// stable insertion sort, in little code; rows number in the dozens.
bool ResultsModel::SortBy(const SortKey& key) {
  if (orderHolds_ > 0) return false;
  sort_ = key;
  for (size_t placed = 1; placed < order_.size(); ++placed) {
    const auto next = order_.begin() + static_cast<ptrdiff_t>(placed);
    const int index = *next;
    const auto at = PlaceAmong(order_.begin(), next, index);
    std::copy_backward(at, next, next + 1);
    *at = index;
  }
  Rearranged();
  return true;
}

std::vector<int>::iterator ResultsModel::PlaceAmong(std::vector<int>::iterator first,
                                                    std::vector<int>::iterator last,
                                                    int index) const {
  return std::upper_bound(first, last, index,
                          [&](int placed, int other) { return ShownBefore(placed, other); });
}

// The shown order is sorted but for this row: it moves behind the rows it ties with.
void ResultsModel::PlaceRow(int row) {
  if (!sort_ || orderHolds_ > 0) return;
  const size_t from = static_cast<size_t>(PositionOf(row));
  // Taken out, the others close up and the last place is free.
  const auto last = order_.end() - 1;
  std::copy(order_.begin() + static_cast<ptrdiff_t>(from) + 1, order_.end(),
            order_.begin() + static_cast<ptrdiff_t>(from));
  const auto at = PlaceAmong(order_.begin(), last, row);
  std::copy_backward(at, last, order_.end());
  *at = row;
  const size_t to = static_cast<size_t>(at - order_.begin());
  if (from != to) Rearranged();
}

void ResultsModel::ReleaseOrder() {
  if (orderHolds_ == 0 || --orderHolds_ > 0) return;
  if (sort_) SortBy(*sort_);
}

// Each row that goes takes the last row in its place: the shown order is all that
// keeps the rows' sequence, and nothing has to move up.
bool ResultsModel::RemoveShown(const std::vector<int>& positions) {
  if (orderHolds_ > 0) return false;
  std::vector<int> gone(facts_.size(), 0);
  for (int position : positions) gone[static_cast<size_t>(RowAt(position))] = 1;
  // From the last row down: the last row is then always one that stays, or this one.
  for (int row = static_cast<int>(facts_.size()); row-- > 0;) {
    if (!gone[static_cast<size_t>(row)]) continue;
    const size_t at = static_cast<size_t>(row), last = facts_.size() - 1;
    for (Column& column : columns_) {
      column.cells[at] = column.cells[last];
      column.cells.pop_back();
    }
    if (columns_.empty()) {
      itemTexts_[at] = itemTexts_[last];
      itemTexts_.pop_back();
    }
    facts_[at] = std::move(facts_[last]);
    facts_.pop_back();
    checked_[at] = checked_[last];
    checked_.pop_back();
    order_.erase(std::find(order_.begin(), order_.end(), row));
    std::replace(order_.begin(), order_.end(), static_cast<int>(last), row);
  }
  if (facts_.empty()) texts_.clear();
  Rearranged();
  return true;
}

void ResultsModel::Rearranged() {
  if (listener_) listener_->RowsRearranged();
}

const ResultsModel::Column& ResultsModel::ColumnAt(int column) const {
  if (column < 0 || column >= ColumnCount()) throw IndexOutOfBoundsFailure();
  return columns_[static_cast<size_t>(column)];
}

void ResultsModel::RequireRow(int row) const {
  if (row < 0 || row >= RowCount()) throw IndexOutOfBoundsFailure();
}

// Before the first column, the drive's cell is there all the same.
void ResultsModel::RequireColumn(int column) const {
  if (column < 0 || column >= std::max(ColumnCount(), 1)) throw IndexOutOfBoundsFailure();
}

void ResultsModel::RowChanged(int row) {
  if (listener_) listener_->RowChanged(row);
}

}  // namespace brindlecap
