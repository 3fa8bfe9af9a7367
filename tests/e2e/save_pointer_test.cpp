// "Save Results As Text File" while the program goes on: the pointer during the
// save, a second click or a close while it writes, and a logoff while the dialog
// is open.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "e2e/save_fixture.h"
#include "support/drive_oracles.h"
#include "support/export_rules.h"
#include "support/holding_pipe.h"
#include "support/scratch_files.h"
#include "support/window_driver.h"

namespace brindlecap::e2e {
namespace {

TEST_F(SaveTest, ALogoffWhileTheDialogIsOpenIsAllowedAndACancelKeepsTheProgram) {
  auto dialog = OpenSaveDialog();
  ASSERT_TRUE(dialog);
  const HWND window = program_->MainWindow();
  EXPECT_EQ(SendOrThrow(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
  // Another program refused: the session goes on, and so must this one.
  SendOrThrow(window, WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);
  dialog->PressButton(IDCANCEL);
  ASSERT_TRUE(dialog->WaitUntilClosed(10s));
  EXPECT_FALSE(program_->WaitForExit(1s)) << "the program ended after the cancel";
}

TEST_F(SaveTest, PointerShowsBusyWhileTheFileIsWrittenOnly) {
  program_->Retrieve();
  RemoteListView list = program_->List();
  list.SetChecked(-1, true);
  const std::string expected = ExpectedExportBytes(ReadListContents(list));
  HoldingPipe pipe;
  SaveAs(HoldingPipe::PathIn(outputFolder_.Path()));
  // The program waits in the save's write until the test takes the bytes.
  ASSERT_EQ(pipe.WaitForWrite(60s), HoldingPipe::State::kWriteWaiting) << "nothing was written";
  EXPECT_NE(ForegroundCursor(), idleCursor_) << "the pointer is not busy during the save";
  ASSERT_TRUE(pipe.TakeToEnd(60s)) << "the save did not end";
  EXPECT_TRUE(WaitUntil([&] { return ForegroundCursor() == idleCursor_; }, 30s))
      << "the pointer did not come back after the save";
  EXPECT_TRUE(pipe.Taken() == expected) << "the pipe did not get the whole export";
}

// The two long saves share one program's rows: it is the retrievals that take the time.
TEST_F(SaveTest, DuringALongSaveASecondClickIsIgnoredAndACloseWaitsForTheSaveToEnd) {
  // Rows enough for several of the writer's 64 KiB writes.
  constexpr int kRuns = 120;
  for (int run = 0; run < kRuns; ++run) program_->Retrieve();
  RemoteListView list = program_->List();
  ASSERT_GE(list.ItemCount(), kRuns);
  list.SetChecked(-1, true);
  const std::string expected = ExpectedExportBytes(ReadListContents(list));
  ASSERT_GT(expected.size(), 2u * 64 * 1024) << "more writes must follow the first one";
  {
    HoldingPipe pipe;
    SaveAs(HoldingPipe::PathIn(outputFolder_.Path()));
    ASSERT_TRUE(HandledDuringTheSave(
        pipe, [&] { program_->ClickButton(kSaveResultsId, ClickMode::kPost); }));
    EXPECT_TRUE(DialogWindows().empty()) << "a second save started inside the first";
    for (Dialog& dialog : program_->Dialogs()) dialog.PressButton(IDCANCEL);
    ASSERT_TRUE(pipe.TakeToEnd(60s)) << "the save did not end";
    EXPECT_TRUE(pipe.Taken() == expected) << "the pipe did not get the whole export";
    ASSERT_TRUE(WaitUntil([&] { return ForegroundCursor() == idleCursor_; }, 30s))
        << "the pointer did not come back after the save";
  }
  // Once the save is over the button works again (SaveAs opens the dialog). A close
  // during this save is held back: the save goes on to the end, then the program ends.
  HoldingPipe pipe;
  SaveAs(HoldingPipe::PathIn(outputFolder_.Path()));
  ASSERT_TRUE(
      HandledDuringTheSave(pipe, [&] { PostOrThrow(program_->MainWindow(), WM_CLOSE, 0, 0); }));
  ASSERT_TRUE(pipe.TakeToEnd(60s)) << "the save did not end";
  EXPECT_TRUE(program_->WaitForExit(60s)) << "the program did not end by itself within 60 s";
  EXPECT_TRUE(pipe.Taken() == expected) << "the pipe did not get the whole export";
}

}  // namespace
}  // namespace brindlecap::e2e
