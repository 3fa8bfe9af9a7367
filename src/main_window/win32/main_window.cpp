#include "main_window/win32/main_window.h"

#include <commctrl.h>

#include "main_window/core/application_title.h"
#include "main_window/core/home_page_draw.h"
#include "platform/dpi.h"
#include "platform/system_failure.h"
#include "platform/wide_text.h"
#include "shared/error_report.h"
#include "shared/win32/file_check.h"

namespace brindlecap::win32 {

namespace {

constexpr wchar_t kHandCursorFileName[] = L"\\HAND-M.CUR";
constexpr int kProgramIconId = 1;
constexpr wchar_t kShutdownReason[] = L"Saving the drive list to a file.";

}  // namespace

MainWindow::MainWindow(MainWindowServices services)
    : services_(std::move(services)),
      exportServices_{services_.createFileSystemObject, writerPump_, services_.messages},
      retrieval_(results_, DriveSystem{services_.kernel32, services_.codePage, services_.locale},
                 services_.messages, DriveWorkers{workerThreads_, [this] { PostDriveAnswered(); }}),
      save_(shownResults_, services_.saveDialog, *this, exportServices_),
      backBrush_(::CreateSolidBrush(backColor_)) {}

MainWindow::~MainWindow() {
  answersWindow_ = nullptr;
  if (window_ != nullptr) {
    ::SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    ::DestroyWindow(window_);
  }
}

void MainWindow::Show() {
  RECT frame;
  ::GetWindowRect(window_, &frame);
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  const int left = (::GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int top = (::GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  ::SetWindowPos(window_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ::ShowWindow(window_, SW_SHOWNORMAL);
  ::UpdateWindow(window_);
  ::SetFocus(resultsList_.Handle());
}

int MainWindow::RunMessageLoop() {
  MSG message;
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) DispatchThreadMessage(window_, message);
  return static_cast<int>(message.wParam);
}

void MainWindow::RunStartUp() noexcept {
  ReportingOperation op(services_.messages, location::kFormLoad);
  op.Do(102, [&] { ApplySkin(*this); });

  std::wstring handCursorFile;
  if (op.If(104, [&] {
        // Without the program's folder there is no picture to look for.
        if (services_.programFolder.empty()) return false;
        handCursorFile = services_.programFolder + kHandCursorFileName;
        return FileExists(handCursorFile);
      })) {
    op.Do(106, [&] {
      mouseIcon_.reset(static_cast<HCURSOR>(
          ::LoadImageW(nullptr, handCursorFile.c_str(), IMAGE_CURSOR, 0, 0, LR_LOADFROMFILE)));
      if (!mouseIcon_) throw RuntimeFailure(481, u"Invalid picture");
    });
  }

  op.Do(108, [&] {
    if (services_.drawHomePageNumber() == kHomePageNumber) services_.openHomePage(kHomePageAddress);
  });

  op.Do(126, [&] {
    if (!::SetWindowTextW(window_, ToWide(kProductName).c_str())) ThrowLastError();
  });
  op.Do(126, [&] {
    const auto load = [&](int metricX, int metricY) {
      HICON icon = static_cast<HICON>(
          ::LoadImageW(services_.instance, MAKEINTRESOURCEW(kProgramIconId), IMAGE_ICON,
                       ::GetSystemMetrics(metricX), ::GetSystemMetrics(metricY), 0));
      if (icon == nullptr) ThrowLastError();
      return icon;
    };
    bigIcon_.reset(load(SM_CXICON, SM_CYICON));
    smallIcon_.reset(load(SM_CXSMICON, SM_CYSMICON));
    ::SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
    ::SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
  });
  op.Do(126, [&] { SetAppTitle(application_); });

  const auto& columns = form_layout::kResultColumns;
  for (size_t i = 0; i < columns.size(); ++i) {
    op.Do(128 + 2 * static_cast<int>(i),
          [&] { results_.ColumnHeadersAdd(std::u16string(columns[i].header)); });
  }
  for (size_t i = 0; i < columns.size(); ++i) {
    op.Do(142 + 2 * static_cast<int>(i), [&] {
      results_.SetColumnHeaderWidth(static_cast<int>(i) + 1,
                                    static_cast<float>(columns[i].widthTwips));
    });
  }
}

bool MainWindow::OnCloseRequest() noexcept {
  if (!controller_.CloseMayProceed(save_.Saving())) return false;
  LetWaitingEventsRun();
  return true;
}

void MainWindow::LetWaitingEventsRun() noexcept {
  ReportingOperation op(services_.messages, location::kFormQueryUnload);
  op.Do(100, [&] { pump_.DoEvents(); });
  op.Do(102, [&] { pump_.DoEvents(); });
}

void MainWindow::Unload() noexcept {
  if (unloading_) return;
  unloading_ = true;
  answersWindow_ = nullptr;
  workerThreads_.CancelPendingCalls();
  if (services_.endProgram) services_.endProgram();
  if (window_ != nullptr) {
    ::SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    ::DestroyWindow(window_);
    window_ = nullptr;
  }
}

void MainWindow::OnStartRetrievingClick() noexcept {
  HoldNewRows();
  retrieval_.Run();
  ShowNewRowsSoon();
}

void MainWindow::PostDriveAnswered() noexcept {
  if (answerPosted_.exchange(true)) return;
  const HWND window = answersWindow_.load();
  if (window != nullptr) ::PostMessageW(window, kDriveAnsweredMessage, 0, 0);
}

void MainWindow::OnDriveAnswered() noexcept {
  // Cleared first: a drive that answers from now on posts again.
  answerPosted_ = false;
  if (!retrieval_.Running()) return;
  HoldNewRows();
  retrieval_.TakeAnswers();
  ShowNewRowsSoon();
}

void MainWindow::HoldNewRows() noexcept {
  if (rowsHeld_) return;
  rowsHeld_ = true;
  resultsList_.HoldUpdates();
}

void MainWindow::ShowNewRowsSoon() noexcept {
  // Each showing of new rows redraws the list and its scroll bar: rows that come
  // within a moment of each other are shown together, and the last ones at once.
  if (retrieval_.Running() && window_ != nullptr &&
      ::SetTimer(window_, kShowRowsTimer, kShowRowsDelayMilliseconds, nullptr) != 0) {
    ShowRetrievalRunning();
    return;
  }
  ShowNewRows();
}

void MainWindow::ShowNewRows() noexcept {
  if (window_ != nullptr) ::KillTimer(window_, kShowRowsTimer);
  if (rowsHeld_) {
    rowsHeld_ = false;
    resultsList_.ReleaseUpdates();
  }
  ShowRetrievalRunning();
}

void MainWindow::ShowRetrievalRunning() noexcept {
  const bool running = retrieval_.Running();
  // Called with every batch of rows; the buttons and pointer change twice a run.
  if (running == showingRunning_) return;
  showingRunning_ = running;
  const HWND focus = ::GetFocus();
  for (HWND button : {startRetrievingButton_, saveResultsButton_}) {
    ::EnableWindow(button, running ? FALSE : TRUE);
  }
  // A disabled button cannot keep the focus.
  if (running && (focus == startRetrievingButton_ || focus == saveResultsButton_)) {
    ::SetFocus(resultsList_.Handle());
  }
  POINT cursor;
  if (!::GetCursorPos(&cursor)) return;
  const HWND over = ::WindowFromPoint(cursor);
  if (over == window_ || ::IsChild(window_, over)) {
    if (!ShowPointer(ControlUnderCursor(over))) ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
  }
}

bool MainWindow::OnEndSessionQuery() noexcept {
  // Only a file being written holds the session back: ending it now would cut the
  // file short. An open save dialog does not, and answering leaves nothing pending.
  if (save_.Writing()) {
    shutdownReason_.Show(window_, kShutdownReason);
    return false;
  }
  LetWaitingEventsRun();
  return true;
}

void MainWindow::OnSaveResultsClick() noexcept {
  // The button is off during a retrieval; a click a tool still sends is ignored,
  // so the file never holds half a run.
  if (retrieval_.Running()) return;
  // The writer reads the rows by position: none may move or go while it runs.
  results_.HoldOrder();
  save_.Run();
  results_.ReleaseOrder();
  shutdownReason_.Clear();
  if (controller_.TakeWaitingClose(save_.Saving()) && window_ != nullptr) {
    ::PostMessageW(window_, WM_CLOSE, 0, 0);
  }
}

void MainWindow::SetMousePointer(int value) {
  controller_.SetMousePointer(value);
  // Show the new pointer at once if the mouse is over the window.
  POINT cursor;
  if (window_ == nullptr || !::GetCursorPos(&cursor)) return;
  const HWND over = ::WindowFromPoint(cursor);
  if (over == window_ || ::IsChild(window_, over)) {
    if (!ShowPointer(over)) ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
  }
}

void MainWindow::SetBackColor(uint32_t oleColour) {
  backColor_ = ResolveOleColour(oleColour);
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
  if (retrieval_.Running() && !overButton &&
      controller_.MousePointer() != mouse_pointer::kHourglass) {
    ::SetCursor(::LoadCursorW(nullptr, IDC_APPSTARTING));
    return true;
  }
  switch (controller_.MousePointer()) {
    case mouse_pointer::kHourglass:
      ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
      return true;
    case mouse_pointer::kCustom:
      ::SetCursor(mouseIcon_ ? mouseIcon_.get() : ::LoadCursorW(nullptr, IDC_ARROW));
      return true;
    default:
      if (over != window_) return false;  // each control shows its own default
      ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
      return true;
  }
}

void MainWindow::OnClose() noexcept {
  if (unloading_) return;
  if (OnCloseRequest()) Unload();
}

LRESULT MainWindow::OnNotify(NMHDR& header) noexcept {
  LRESULT result = 0;
  resultsList_.OnNotify(header, result);
  return result;
}

LRESULT CALLBACK MainWindow::WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) noexcept {
  if (message == WM_NCCREATE) {
    auto* form = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    form->window_ = window;
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
  }
  auto* form = reinterpret_cast<MainWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (form == nullptr) return ::DefWindowProcW(window, message, wParam, lParam);
  return form->HandleMessage(message, wParam, lParam);
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  switch (message) {
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_NOTIFY:
      return OnNotify(*reinterpret_cast<NMHDR*>(lParam));
    case WM_SETCURSOR:
      if (OnSetCursor(reinterpret_cast<HWND>(wParam), LOWORD(lParam), HIWORD(lParam))) return TRUE;
      break;
    case WM_ERASEBKGND:
      OnEraseBackground(reinterpret_cast<HDC>(wParam));
      return 1;
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
      return OnControlColour(reinterpret_cast<HDC>(wParam));
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) RememberFocus();
      break;
    case WM_SETFOCUS:
      RestoreFocus();
      return 0;
    case WM_CLOSE:
      OnClose();
      return 0;
    case kDriveAnsweredMessage:
      OnDriveAnswered();
      return 0;
    case WM_TIMER:
      if (wParam != kShowRowsTimer) break;
      ShowNewRows();
      return 0;
    case WM_SIZE:
      if (wParam != SIZE_MINIMIZED) OnSize(LOWORD(lParam), HIWORD(lParam));
      return 0;
    case kDpiChangedMessage:
      OnDpiChanged(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_GETMINMAXINFO:
      // The designed size is the smallest.
      if (designedFrame_.cx > 0) {
        reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {designedFrame_.cx,
                                                                 designedFrame_.cy};
      }
      return 0;
    case WM_QUERYENDSESSION:
      return OnEndSessionQuery() ? TRUE : FALSE;
    case WM_ENDSESSION:
      if (wParam) Unload();
      return 0;
    default:
      break;
  }
  return ::DefWindowProcW(window_, message, wParam, lParam);
}

void MainWindow::OnCommand(WORD id, WORD code) noexcept {
  if (code != BN_CLICKED) return;
  if (id == kStartRetrievingId) OnStartRetrievingClick();
  if (id == kSaveResultsId) OnSaveResultsClick();
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

void MainWindow::RememberFocus() noexcept {
  const HWND focus = ::GetFocus();
  if (focus != nullptr && ::IsChild(window_, focus)) focusedControl_ = focus;
}

void MainWindow::RestoreFocus() noexcept {
  // Coming back to the window puts the focus where it was, the list at first.
  ::SetFocus(focusedControl_ != nullptr && ::IsWindow(focusedControl_) ? focusedControl_
                                                                       : resultsList_.Handle());
}

}  // namespace brindlecap::win32
