#pragma once
// The results on screen: the system list-view control in report view with
// check boxes, in owner-data mode over a ResultsModel. The control keeps no
// copy: it asks the model for every text and check mark it draws or is asked
// for, and every check mark that the user or a tool changes goes to the model.
#include <windows.h>

#include <commctrl.h>

#include "main_window/core/results_model.h"

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

 private:
  static LRESULT CALLBACK SubclassProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) noexcept;
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept;
  LRESULT CallControl(UINT message, WPARAM wParam, LPARAM lParam) noexcept;
  bool ToggleAtPoint(LPARAM point) noexcept;
  void ToggleSelection() noexcept;
  LRESULT SetItemState(int index, const LVITEMW& item) noexcept;
  void AnswerDisplayInfo(LVITEMW& item) const noexcept;
  int FindItem(const NMLVFINDITEMW& find) const noexcept;
  void SyncItemCount() noexcept;

  ResultsModel& model_;
  HWND window_ = nullptr;
  WNDPROC controlProcedure_ = nullptr;
  int dpi_ = 96;
  int holds_ = 0;
};

}  // namespace brindlecap::win32
