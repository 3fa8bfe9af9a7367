#pragma once
// The results list over the system list-view control in report view.
#include <windows.h>

#include "main_window/core/list_view.h"

namespace brindlecap::win32 {

class Win32ListView : public ListView {
 public:
  Win32ListView() = default;
  void Attach(HWND listView, int dpi) noexcept {
    window_ = listView;
    columnCount_ = -1;
    dpi_ = dpi;
  }
  HWND Handle() const noexcept { return window_; }

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

  // A check mark that the user changed on one selected row goes to every selected row.
  void SpreadCheckToSelection(int changedIndex);

 private:
  HWND Window() const;
  void RequireColumn(int column) const;
  void RequireRow(int row) const;
  std::u16string CellText(int index, int subItem) const;

  HWND window_ = nullptr;
  int dpi_ = 96;
  bool spreading_ = false;
  mutable int columnCount_ = -1;
};

}  // namespace brindlecap::win32
