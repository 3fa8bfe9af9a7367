#pragma once
// A list that keeps its table in memory: the core's tests use it where the
// program uses the system list-view control.
#include <vector>

#include "main_window/core/list_view.h"

namespace brindlecap {

class MemoryListView : public ListView {
 public:
  void ColumnHeadersAdd(const std::u16string& text) override;
  void SetColumnHeaderWidth(int column, float twips) override;
  float ColumnHeaderWidth(int column) const override;
  int ColumnHeadersCount() const override;
  std::u16string ColumnHeaderText(int column) const override;

  int ListItemsAdd(const std::u16string& text) override;
  int ListItemsCount() const override;
  std::u16string ListItemText(int row) const override;
  void SetSubItem(int row, int16_t subItem, const std::u16string& text) override;
  std::u16string SubItem(int row, int16_t subItem) const override;
  bool Checked(int row) const override;

  // What the user does with the check boxes and what in-place editing would do.
  void SetChecked(int row, bool checked);
  void SetListItemText(int row, const std::u16string& text);

 private:
  struct Column {
    std::u16string text;
    float widthTwips = 1440.0f;
  };
  struct Row {
    std::u16string text;
    std::vector<std::u16string> subItems;
    bool checked = false;
  };
  const Column& ColumnAt(int column) const;
  const Row& RowAt(int row) const;
  Row& RowAt(int row);

  std::vector<Column> columns_;
  std::vector<Row> rows_;
};

}  // namespace brindlecap
