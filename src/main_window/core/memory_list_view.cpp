#include "main_window/core/memory_list_view.h"

#include "shared/runtime_failure.h"

namespace brindlecap {

void MemoryListView::ColumnHeadersAdd(const std::u16string& text) {
  columns_.push_back(Column{text});
}

void MemoryListView::SetColumnHeaderWidth(int column, float twips) {
  ColumnAt(column);
  columns_[column - 1].widthTwips = twips;
}

float MemoryListView::ColumnHeaderWidth(int column) const { return ColumnAt(column).widthTwips; }

int MemoryListView::ColumnHeadersCount() const { return static_cast<int>(columns_.size()); }

std::u16string MemoryListView::ColumnHeaderText(int column) const { return ColumnAt(column).text; }

int MemoryListView::ListItemsAdd(const std::u16string& text) {
  rows_.push_back(Row{text, {}, false});
  return static_cast<int>(rows_.size());
}

int MemoryListView::ListItemsCount() const { return static_cast<int>(rows_.size()); }

std::u16string MemoryListView::ListItemText(int row) const { return RowAt(row).text; }

void MemoryListView::SetSubItem(int row, int16_t subItem, const std::u16string& text) {
  Row& target = RowAt(row);
  if (subItem < 1 || subItem >= ColumnHeadersCount()) throw IndexOutOfBoundsFailure();
  if (target.subItems.size() < static_cast<size_t>(subItem)) target.subItems.resize(subItem);
  target.subItems[subItem - 1] = text;
}

std::u16string MemoryListView::SubItem(int row, int16_t subItem) const {
  const Row& target = RowAt(row);
  if (subItem < 1 || subItem >= ColumnHeadersCount()) throw IndexOutOfBoundsFailure();
  if (static_cast<size_t>(subItem) > target.subItems.size()) return {};
  return target.subItems[subItem - 1];
}

bool MemoryListView::Checked(int row) const { return RowAt(row).checked; }

void MemoryListView::SetChecked(int row, bool checked) { RowAt(row).checked = checked; }

void MemoryListView::SetListItemText(int row, const std::u16string& text) {
  RowAt(row).text = text;
}

const MemoryListView::Column& MemoryListView::ColumnAt(int column) const {
  if (column < 1 || column > ColumnHeadersCount()) throw IndexOutOfBoundsFailure();
  return columns_[column - 1];
}

const MemoryListView::Row& MemoryListView::RowAt(int row) const {
  if (row < 1 || row > ListItemsCount()) throw IndexOutOfBoundsFailure();
  return rows_[row - 1];
}

MemoryListView::Row& MemoryListView::RowAt(int row) {
  return const_cast<Row&>(static_cast<const MemoryListView*>(this)->RowAt(row));
}

}  // namespace brindlecap
