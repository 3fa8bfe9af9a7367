#include "main_window/win32/main_window.h"

#include <commctrl.h>

#include "main_window/core/application_title.h"
#include "main_window/core/home_page_draw.h"
#include "main_window/core/window_lines.h"
#include "platform/dpi.h"
#include "platform/system_failure.h"
#include "platform/wide_text.h"
#include "results/result_columns.h"
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
      exportServices_{services_.makeTextFiles, writerPump_, services_.messages},
      workers_(services_.workers != nullptr ? *services_.workers : systemWorkers_),
      retrieval_(results_, DriveSystem{services_.kernel32, services_.codePage, services_.locale},
                 services_.messages, DriveWorkers{workers_, [this] { PostDriveAnswered(); }}),
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
  // Load sized the window and centred it on the screen.
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
  op.Do(kApplySkin, [&] { ApplySkin(*this); });

  // Without the program's folder there is no picture to look for.
  const std::wstring handCursorFile = services_.programFolder.empty()
                                          ? std::wstring()
                                          : services_.programFolder + kHandCursorFileName;
  if (!handCursorFile.empty() && FileExists(handCursorFile)) {
    op.Do(kLoadHandCursor, [&] {
      mouseIcon_.reset(static_cast<HCURSOR>(
          ::LoadImageW(nullptr, handCursorFile.c_str(), IMAGE_CURSOR, 0, 0, LR_LOADFROMFILE)));
      if (!mouseIcon_) throw RuntimeFailure(u"Invalid picture");
    });
  }

  op.Do(kVisitHomePage, [&] {
    if (services_.drawHomePageNumber() == kHomePageNumber) services_.openHomePage(kHomePageAddress);
  });

  op.Do(kSetCaptionIconAndTitle, [&] {
    if (!::SetWindowTextW(window_, ToWide(kProductName).c_str())) ThrowLastError();
  });
  op.Do(kSetCaptionIconAndTitle, [&] {
    // The window's class brings the icons; a class made without them gets them here.
    if (::GetClassLongPtrW(window_, GCLP_HICON) != 0 &&
        ::GetClassLongPtrW(window_, GCLP_HICONSM) != 0) {
      return;
    }
    const auto load = [&](int metricX, int metricY) {
      const HICON icon = LoadProgramIcon(metricX, metricY, 0);
      if (icon == nullptr) ThrowLastError();
      return icon;
    };
    bigIcon_.reset(load(SM_CXICON, SM_CYICON));
    smallIcon_.reset(load(SM_CXSMICON, SM_CYSMICON));
    ::SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
    ::SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
  });
  op.Do(kSetCaptionIconAndTitle, [&] { SetAppTitle(application_); });

  for (const ColumnDefinition& column : kResultColumns) {
    results_.AddColumn(std::u16string(column.header));
  }
}

HICON MainWindow::LoadProgramIcon(int metricX, int metricY, UINT flags) const noexcept {
  return static_cast<HICON>(::LoadImageW(services_.instance, MAKEINTRESOURCEW(kProgramIconId),
                                         IMAGE_ICON, ::GetSystemMetrics(metricX),
                                         ::GetSystemMetrics(metricY), flags));
}

bool MainWindow::OnCloseRequest() noexcept {
  if (!controller_.CloseMayProceed(save_.Saving())) return false;
  LetWaitingEventsRun();
  return true;
}

// Twice: a close lets what the first round started (a repaint, say) finish too.
void MainWindow::LetWaitingEventsRun() noexcept {
  pump_.RunWaitingEvents();
  pump_.RunWaitingEvents();
}

void MainWindow::Unload() noexcept {
  if (unloading_) return;
  unloading_ = true;
  answersWindow_ = nullptr;
  systemWorkers_.CancelPendingCalls();
  if (services_.endProgram) services_.endProgram();
  if (window_ != nullptr) {
    ::SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    ::DestroyWindow(window_);
    window_ = nullptr;
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
      if (wParam == kShowRowsTimer) ShowNewRows();
      if (wParam == kPatienceTimer) {
        ::KillTimer(window_, kPatienceTimer);
        workers_.StartEveryQueuedWork();
      }
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
