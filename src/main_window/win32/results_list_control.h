#pragma once
// The results on screen: the system list-view control in report view with
// check boxes, in owner-data mode over a ResultsModel. The control keeps no
// copy: it asks the model for every text and check mark it draws or is asked
// for, and every check mark that the user or a tool changes goes to the model.
// It does what a Windows list does: Ctrl+C copies, Ctrl+A selects all, Delete
// removes, a header click sorts, a right-click offers the same, hovering a size
// shows its exact bytes, and the Used Space cell carries a usage bar.
#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "platform/handles.h"
#include "results/results_model.h"

namespace brindlecap::win32 {

class ResultsListControl : public ResultsModel::Listener {
 public:
  explicit ResultsListControl(ResultsModel& model) : model_(model) {}
  ~ResultsListControl() override;
  ResultsListControl(const ResultsListControl&) = delete;
  ResultsListControl& operator=(const ResultsListControl&) = delete;

  // The window styles the control needs when it is created.
  static constexpr DWORD kStyle = LVS_REPORT | LVS_SHOWSELALWAYS | LVS_OWNERDATA;
  // Takes over a list-view control created with kStyle and shows the model in it.
  void Attach(HWND listView, int dpi);
  HWND Handle() const noexcept { return window_; }
  // Sizes the columns and the usage bar for the window's new DPI.
  void SetDpi(int dpi) noexcept;

  // While held, new rows and changed cells reach the screen once, at the last
  // release (holds nest).
  void HoldUpdates() noexcept { ++holds_; }
  void ReleaseUpdates() noexcept;

  // The parent passes on the control's WM_NOTIFY; true when it was answered.
  bool OnNotify(NMHDR& header, LRESULT& result) noexcept;

  void ColumnAdded(int column) override;
  void ColumnWidthChanged(int column) override;
  void RowsAdded(int firstRow, int count) override;
  void RowChanged(int row) override;
  void RowCheckChanged(int row) override;
  void RowsRearranged() override;

  // The list's commands, from its keys and its menu.
  void CopySelection() noexcept;
  void SelectAll() noexcept;
  void SetAllChecked(bool checked) noexcept;
  void RemoveSelection() noexcept;
  void SortByColumn(int column) noexcept;

 private:
  // Compares texts as the user's locale does.
  class SystemCollation : public TextCollation {
   public:
    int Compare(std::u16string_view a, std::u16string_view b) const override;
  };

  static LRESULT CALLBACK SubclassProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) noexcept;
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept;
  LRESULT CallControl(UINT message, WPARAM wParam, LPARAM lParam) const noexcept;
  bool ToggleAtPoint(LPARAM point) noexcept;
  void ToggleSelection() noexcept;
  LRESULT SetItemState(int index, const LVITEMW& item) noexcept;
  void AnswerDisplayInfo(LVITEMW& item) const noexcept;
  int FindItem(const NMLVFINDITEMW& find) const noexcept;
  void SyncItemCount() noexcept;
  bool OnKeyDown(WPARAM key) noexcept;
  void ShowContextMenu(LPARAM screenPoint) noexcept;
  LRESULT OnCustomDraw(NMLVCUSTOMDRAW& draw) noexcept;
  void ShowSortArrow() noexcept;
  // Zero-based positions of the selected rows, in shown order.
  std::vector<int> SelectedItems() const noexcept;
  void SelectItems(const std::vector<int>& items, int focused, bool showFocused) noexcept;
  void RememberShownRows() noexcept;
  void CreateTip() noexcept;
  void FollowPointer(LPARAM point) noexcept;
  void RelayToTip(UINT message, WPARAM wParam, LPARAM lParam) noexcept;
  std::u16string ExactBytesAt(int item, int subItem) const;

  ResultsModel& model_;
  HWND window_ = nullptr;
  WNDPROC controlProcedure_ = nullptr;
  int dpi_ = 96;
  int holds_ = 0;
  // The model's row at each position, as the control last showed them.
  std::vector<int> shownRows_;
  SystemCollation collation_;
  UniqueWindow tip_;
  int tipItem_ = -1, tipSubItem_ = -1;  // the cell the tip is for
  std::u16string tipText_;
};

}  // namespace brindlecap::win32
