#include "main_window/win32/main_window.h"

// How the window looks and which pointer it shows: background, theme, the hand
// over the buttons, the hourglass while the list is saved.

#include <commctrl.h>

#include "platform/wide_text.h"

namespace brindlecap::win32 {

void MainWindow::SetMousePointer(PointerShape shape) noexcept {
  controller_.SetMousePointer(shape);
  // Show the new pointer at once if the mouse is over the window.
  POINT cursor;
  if (window_ == nullptr || !::GetCursorPos(&cursor)) return;
  const HWND over = ::WindowFromPoint(cursor);
  if (over == window_ || ::IsChild(window_, over)) {
    if (!ShowPointer(over)) ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
  }
}

void MainWindow::SetBackground(Colour colour) {
  backColor_ = colour.Resolve();
  backBrush_.reset(::CreateSolidBrush(backColor_));
  if (window_ != nullptr) ::InvalidateRect(window_, nullptr, TRUE);
}

void MainWindow::ApplyTheme(const Theme& theme) {
  const auto colour = [](uint32_t rgb) {
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
  };
  if (theme.windowBackground) {
    backColor_ = colour(*theme.windowBackground);
    backBrush_.reset(::CreateSolidBrush(backColor_));
  }
  const HWND list = resultsList_.Handle();
  if (theme.listBackground) {
    ::SendMessageW(list, LVM_SETBKCOLOR, 0, colour(*theme.listBackground));
    ::SendMessageW(list, LVM_SETTEXTBKCOLOR, 0, colour(*theme.listBackground));
  }
  if (theme.listText) ::SendMessageW(list, LVM_SETTEXTCOLOR, 0, colour(*theme.listText));
  if (theme.fontName) CreateFonts(ToWide(*theme.fontName));
  ::InvalidateRect(window_, nullptr, TRUE);
}

void MainWindow::RaiseMouseMove(HWND over) noexcept {
  if (over == startRetrievingButton_ || over == saveResultsButton_) {
    controller_.MouseMovedOver(PointerArea::kButton);
  } else if (over == window_) {
    controller_.MouseMovedOver(PointerArea::kWindow);
  } else if (over == resultsList_.Handle() || ::IsChild(resultsList_.Handle(), over)) {
    controller_.MouseMovedOver(PointerArea::kList);
  }
}

bool MainWindow::ShowPointer(HWND over) noexcept {
  // Work going on behind a window that still answers: the arrow with the hourglass.
  const bool overButton = over == startRetrievingButton_ || over == saveResultsButton_;
  if (showingRunning_ && !overButton && controller_.MousePointer() != PointerShape::kHourglass) {
    ::SetCursor(::LoadCursorW(nullptr, IDC_APPSTARTING));
    return true;
  }
  switch (controller_.MousePointer()) {
    case PointerShape::kHourglass:
      ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
      return true;
    case PointerShape::kHand:
      ::SetCursor(mouseIcon_ ? mouseIcon_.get() : ::LoadCursorW(nullptr, IDC_ARROW));
      return true;
    default:
      if (over != window_) return false;  // each control shows its own default
      ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
      return true;
  }
}

bool MainWindow::OnSetCursor(HWND over, WORD hitTest, WORD mouseMessage) noexcept {
  // Only the client areas take the window's pointer; borders keep their own.
  if (hitTest != HTCLIENT) return false;
  over = ControlUnderCursor(over);
  if (mouseMessage == WM_MOUSEMOVE) RaiseMouseMove(over);
  return ShowPointer(over);
}

HWND MainWindow::ControlUnderCursor(HWND over) const noexcept {
  // The pointer over a disabled button reaches the window itself; it is still
  // over the button.
  if (over != window_) return over;
  POINT cursor;
  if (!::GetCursorPos(&cursor) || !::ScreenToClient(window_, &cursor)) return over;
  const HWND child = ::ChildWindowFromPointEx(window_, cursor, CWP_SKIPINVISIBLE);
  return child == startRetrievingButton_ || child == saveResultsButton_ ? child : over;
}

void MainWindow::OnEraseBackground(HDC dc) noexcept {
  RECT client;
  ::GetClientRect(window_, &client);
  ::FillRect(dc, &client, backBrush_.get());
}

LRESULT MainWindow::OnControlColour(HDC dc) noexcept {
  ::SetBkColor(dc, backColor_);
  return reinterpret_cast<LRESULT>(backBrush_.get());
}

}  // namespace brindlecap::win32
