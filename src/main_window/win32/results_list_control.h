#pragma once
// The results on screen: the system list-view control in report view with
// check boxes, in owner-data mode over a ResultsModel. The control keeps no
// copy: it asks the model for every text and check mark it draws or is asked
// for, and every check mark that the user or a tool changes goes to the model.
// It does what a Windows list does: Ctrl+C copies, Ctrl+A selects all, Delete
// removes, a header click sorts, a right-click offers the same, hovering a size
// shows its exact bytes, and the Used Space cell carries a usage bar.
//
// Where each part lives: results_list_control.cpp (taking over the control and
// passing its messages on), results_list_display.cpp (texts, check marks, the
// selection kept on its rows, type-ahead), results_list_commands.cpp (keys and
// the right-click menu), and the objects it owns: ResultsListSorter,
// ExactBytesTip and UsageBarPainter.
#include <windows.h>

#include <commctrl.h>

#include <vector>

#include "main_window/win32/exact_bytes_tip.h"
#include "main_window/win32/results_list_sorter.h"
#include "main_window/win32/usage_bar_painter.h"
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
  void RowsAdded(int firstRow, int count) override;
  void RowChanged(int row) override;
  void RowCheckChanged(int row) override;
  void RowsRearranged() override;

  // The list's commands, from its keys and its menu.
  void CopySelection() noexcept;
  void SelectAll() noexcept;
  void SetAllChecked(bool checked) noexcept;
  void RemoveSelection() noexcept;
  void SortByColumn(int column) noexcept { sorter_.SortByColumn(window_, column); }

 private:
  static LRESULT CALLBACK SubclassProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) noexcept;
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept;
  LRESULT CallControl(UINT message, WPARAM wParam, LPARAM lParam) const noexcept;
  LRESULT Detach(UINT message, WPARAM wParam, LPARAM lParam) noexcept;

  // Display and checks (results_list_display.cpp).
  void SyncItemCount() noexcept;
  void AnswerDisplayInfo(LVITEMW& item) const noexcept;
  int FindItem(const NMLVFINDITEMW& find) const noexcept;
  bool ToggleAtPoint(LPARAM point) noexcept;
  void ToggleSelection() noexcept;
  LRESULT SetItemState(int index, const LVITEMW& item) noexcept;
  // Zero-based positions of the selected rows, in shown order.
  std::vector<int> SelectedItems() const noexcept;
  void SelectItems(const std::vector<int>& items, int focused, bool showFocused) noexcept;
  void RememberShownRows() noexcept;

  // Keys and menu (results_list_commands.cpp).
  bool OnKeyDown(WPARAM key) noexcept;
  static bool KeyDownDidTheWork(WPARAM character) noexcept;
  void ShowContextMenu(LPARAM screenPoint) noexcept;

  ResultsModel& model_;
  HWND window_ = nullptr;
  WNDPROC controlProcedure_ = nullptr;
  int dpi_ = 96;
  int holds_ = 0;
  // The model's row at each position, as the control last showed them.
  std::vector<int> shownRows_;
  ResultsListSorter sorter_{model_};
  UsageBarPainter usageBar_{model_};
  ExactBytesTip tip_{model_};
};

}  // namespace brindlecap::win32
