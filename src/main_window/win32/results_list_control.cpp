#include "main_window/win32/results_list_control.h"

#include <string>

#include "platform/dpi.h"
#include "platform/wide_text.h"
#include "results/result_columns.h"

namespace brindlecap::win32 {

namespace {

// A column's width as the window was designed, from the columns' table; one inch
// for a column past it.
float DesignedWidthTwips(int column) {
  const ColumnDefinition* definition = ColumnAt(column);
  return static_cast<float>(definition != nullptr ? definition->widthTwips : 1440);
}

}  // namespace

ResultsListControl::~ResultsListControl() {
  model_.SetListener(nullptr);
  if (window_ != nullptr && ::IsWindow(window_)) {
    ::SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(controlProcedure_));
    ::SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
  }
}

void ResultsListControl::Attach(HWND listView, int dpi) {
  window_ = listView;
  dpi_ = dpi;
  usageBar_.SetDpi(dpi);
  ::SendMessageW(window_, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                 LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
  // Check marks are the model's: the control asks for them like for the texts.
  ::SendMessageW(window_, LVM_SETCALLBACKMASK, LVIS_STATEIMAGEMASK, 0);
  // The window's user data, not a property: Wine reads it without asking its server,
  // and the list's procedure reads it for every message.
  ::SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  controlProcedure_ = reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(
      window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ResultsListControl::SubclassProcedure)));
  model_.SetListener(this);
  sorter_.CollateTexts();
  tip_.Attach(window_);
  for (int column = 0; column < model_.ColumnCount(); ++column) ColumnAdded(column);
  SyncItemCount();
  RememberShownRows();
}

void ResultsListControl::SetDpi(int dpi) noexcept {
  const int oldDpi = dpi_;
  dpi_ = dpi;
  usageBar_.SetDpi(dpi);
  if (window_ == nullptr || oldDpi <= 0) return;
  for (int column = 0; column < model_.ColumnCount(); ++column) {
    const float twips = DesignedWidthTwips(column);
    const int shown = static_cast<int>(::SendMessageW(window_, LVM_GETCOLUMNWIDTH, column, 0));
    // A width the user dragged keeps its length in inches; the others are designed anew.
    const int width = shown == TwipsToPixels(twips, oldDpi) ? TwipsToPixels(twips, dpi)
                                                            : (shown * dpi + oldDpi / 2) / oldDpi;
    ::SendMessageW(window_, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), MAKELPARAM(width, 0));
  }
}

void ResultsListControl::ReleaseUpdates() noexcept {
  if (holds_ > 0 && --holds_ > 0) return;
  RowsRearranged();
}

void ResultsListControl::ColumnAdded(int column) {
  if (window_ == nullptr) return;
  std::wstring header = ToWide(model_.ColumnTitle(column));
  LVCOLUMNW item{};
  item.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
  item.fmt = LVCFMT_LEFT;
  item.pszText = header.data();
  item.cx = TwipsToPixels(DesignedWidthTwips(column), dpi_);
  ::SendMessageW(window_, LVM_INSERTCOLUMNW, static_cast<WPARAM>(column),
                 reinterpret_cast<LPARAM>(&item));
}

bool ResultsListControl::OnNotify(NMHDR& header, LRESULT& result) noexcept {
  if (header.hwndFrom != window_ || window_ == nullptr) return false;
  switch (header.code) {
    case LVN_GETDISPINFOW:
      AnswerDisplayInfo(reinterpret_cast<NMLVDISPINFOW&>(header).item);
      result = 0;
      return true;
    case LVN_ODFINDITEMW:
      result = FindItem(reinterpret_cast<NMLVFINDITEMW&>(header));
      return true;
    case LVN_COLUMNCLICK:
      SortByColumn(reinterpret_cast<NMLISTVIEW&>(header).iSubItem);
      result = 0;
      return true;
    case NM_CUSTOMDRAW:
      result = usageBar_.OnCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW&>(header));
      return true;
    default:
      return false;
  }
}

LRESULT CALLBACK ResultsListControl::SubclassProcedure(HWND window, UINT message, WPARAM wParam,
                                                       LPARAM lParam) noexcept {
  auto* control = reinterpret_cast<ResultsListControl*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (control == nullptr) return ::DefWindowProcW(window, message, wParam, lParam);
  return control->HandleMessage(message, wParam, lParam);
}

LRESULT ResultsListControl::CallControl(UINT message, WPARAM wParam, LPARAM lParam) const noexcept {
  return ::CallWindowProcW(controlProcedure_, window_, message, wParam, lParam);
}

LRESULT ResultsListControl::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  if (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) tip_.Relay(message, wParam, lParam);
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (ToggleAtPoint(lParam)) return 0;
      break;
    case WM_KEYDOWN:
      if (OnKeyDown(wParam)) return 0;
      break;
    case WM_CHAR:
      if (KeyDownDidTheWork(wParam)) return 0;
      break;
    case WM_CONTEXTMENU:
      ShowContextMenu(lParam);
      return 0;
    case WM_NOTIFY:
      if (tip_.AnswerTextRequest(*reinterpret_cast<NMHDR*>(lParam))) return 0;
      break;
    case LVM_SETITEMSTATE:
      return SetItemState(static_cast<int>(wParam), *reinterpret_cast<const LVITEMW*>(lParam));
    case WM_NCDESTROY:
      return Detach(message, wParam, lParam);
    default:
      break;
  }
  return CallControl(message, wParam, lParam);
}

// The control's last message: it goes to the control's own procedure, restored.
LRESULT ResultsListControl::Detach(UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  const WNDPROC procedure = controlProcedure_;
  ::SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure));
  ::SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
  tip_.ListDestroyed();
  const HWND window = window_;
  window_ = nullptr;
  return ::CallWindowProcW(procedure, window, message, wParam, lParam);
}

}  // namespace brindlecap::win32
