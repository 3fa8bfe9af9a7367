#include "main_window/win32/main_window.h"

// The window's side of a retrieval: the click, the drives' answers arriving from
// the workers, new rows shown in batches, and the buttons and pointer while it runs.

namespace brindlecap::win32 {

void MainWindow::OnStartRetrievingClick() noexcept {
  HoldNewRows();
  retrieval_.Run();
  AwaitNextAnswer();
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
  AwaitNextAnswer();
  ShowNewRowsSoon();
}

void MainWindow::AwaitNextAnswer() noexcept {
  if (window_ == nullptr) return;
  // Setting the timer again starts its wait afresh.
  if (retrieval_.Running()) {
    ::SetTimer(window_, kPatienceTimer, kPatienceMilliseconds, nullptr);
  } else {
    ::KillTimer(window_, kPatienceTimer);
  }
}

void MainWindow::HoldNewRows() noexcept {
  if (rowsHeld_) return;
  rowsHeld_ = true;
  resultsList_.HoldUpdates();
}

void MainWindow::ShowNewRowsSoon() noexcept {
  // Each showing of new rows redraws the list and its scroll bar: rows that come
  // within a moment of each other are shown together, and the last ones at once.
  // The buttons and pointer show a run only from its first wait: a run that ends
  // within the moment leaves them as they are instead of flashing them.
  if (retrieval_.Running() && window_ != nullptr &&
      ::SetTimer(window_, kShowRowsTimer, kShowRowsDelayMilliseconds, nullptr) != 0) {
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

}  // namespace brindlecap::win32
