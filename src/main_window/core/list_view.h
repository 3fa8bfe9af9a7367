#pragma once
// The results list as the program uses it: a table of text cells under column
// headers, with a check mark per row. Indexes are 1-based; a sub-item n is the
// cell of column n + 1. An index out of range raises IndexOutOfBoundsFailure.
#include <cstdint>
#include <string>

namespace brindlecap {

class ListView {
 public:
  virtual ~ListView() = default;

  // ColumnHeaders.Add with the header text only: appends a column at the end.
  virtual void ColumnHeadersAdd(const std::u16string& text) = 0;
  // ColumnHeaders(column).Width = twips.
  virtual void SetColumnHeaderWidth(int column, float twips) = 0;
  virtual float ColumnHeaderWidth(int column) const = 0;
  virtual int ColumnHeadersCount() const = 0;
  virtual std::u16string ColumnHeaderText(int column) const = 0;

  // ListItems.Add with the item text only: appends a row with empty sub-items
  // and a clear check mark; returns the new row's index.
  virtual int ListItemsAdd(const std::u16string& text) = 0;
  virtual int ListItemsCount() const = 0;
  virtual std::u16string ListItemText(int row) const = 0;
  virtual void SetSubItem(int row, int16_t subItem, const std::u16string& text) = 0;
  // Empty when never written.
  virtual std::u16string SubItem(int row, int16_t subItem) const = 0;
  virtual bool Checked(int row) const = 0;
};

}  // namespace brindlecap
