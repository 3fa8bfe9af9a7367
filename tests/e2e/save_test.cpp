// "Save Results As Text File" through the real save dialog: the file written is
// compared byte for byte with the export computed from the list read back.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "support/drive_oracles.h"
#include "support/export_rules.h"
#include "support/holding_pipe.h"
#include "support/scratch_files.h"
#include "support/window_driver.h"

namespace brindlecap::e2e {
namespace {

using namespace std::chrono_literals;

const std::wstring kWriterLabel =
    L"in Brindlecap2021/08/31.Main.SaveListviewProperlySpacedWithoutProgressBar ";

ListContents ReadListContents(const RemoteListView& list) {
  return ListContents{list.Headers(), list.Rows(), list.CheckMarks()};
}

// The writer holds the file open until it has finished; then an exclusive open succeeds.
bool FileClosedByWriter(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

// Closed, no longer being written, and its size stays put.
bool WaitForFinishedFile(const std::wstring& path, Milliseconds timeout) {
  std::optional<uint64_t> lastSize;
  return WaitUntil(
      [&] {
        if (TemporaryFileBeside(path) || !FileClosedByWriter(path)) return false;
        const auto size = FileSizeOf(path);
        const bool stable = size && lastSize && *size == *lastSize;
        lastSize = size;
        return stable;
      },
      timeout, 100ms);
}

std::string Printable(const std::string& bytes) {
  std::string text;
  for (char c : bytes) {
    if (c == '\r')
      text += "\\r";
    else if (c == '\n')
      text += "\\n\n";
    else if (c == '\t')
      text += "\\t";
    else
      text += c;
  }
  return text;
}

// The lines a message box shows: CR LF, a bare CR and a bare LF each break a line.
std::vector<std::wstring> DisplayedLines(const std::wstring& text) {
  std::vector<std::wstring> lines(1);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\r' || text[i] == L'\n') {
      if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ++i;
      lines.emplace_back();
    } else {
      lines.back() += text[i];
    }
  }
  return lines;
}

class SaveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    program_ = ProgramDriver::Start(BRINDLECAP_EXE, workFolder_.Path());
    // Over the window's background, in the margin left of the buttons.
    MovePointerTo(program_->MainWindow(), POINT{3, 3});
  }
  void TearDown() override { program_->Close(10s); }

  // Clicks the button, which opens the modal dialog, and returns that dialog.
  std::unique_ptr<Dialog> OpenSaveDialog() {
    idleCursor_ = ForegroundCursor();
    program_->ClickButton(kSaveResultsId, ClickMode::kPost);
    auto dialog = program_->WaitForDialog(L"Save", 20s);
    if (!dialog) ADD_FAILURE() << "the save dialog did not open";
    return dialog;
  }

  // Saves under `path`; over an existing file, answers Yes to the replace question.
  void SaveAs(const std::wstring& path) {
    const bool exists = PathExists(path);
    auto dialog = OpenSaveDialog();
    ASSERT_TRUE(dialog);
    dialog->TypeFileName(path);
    dialog->PressButton(IDOK);
    if (exists) {
      auto question = WaitForQuestion(*dialog);
      ASSERT_TRUE(question) << "no question before replacing the file";
      question->PressButton(IDYES);
    }
    ASSERT_TRUE(dialog->WaitUntilClosed(10s)) << "the save dialog stayed open";
  }

  // A dialog of the program besides `dialog` (the question it asks), or nothing.
  std::unique_ptr<Dialog> WaitForQuestion(const Dialog& dialog) {
    std::unique_ptr<Dialog> question;
    WaitUntil(
        [&] {
          for (const Dialog& other : program_->Dialogs()) {
            if (other.Handle() != dialog.Handle()) question = std::make_unique<Dialog>(other);
          }
          return question != nullptr;
        },
        10s);
    return question;
  }

  // The file is finished and the window shows the pointer it showed before.
  ::testing::AssertionResult WaitForSaveToFinish(const std::wstring& path) {
    if (!WaitForFinishedFile(path, 30s)) {
      return ::testing::AssertionFailure() << "no finished file at " << Narrow(path);
    }
    if (!WaitUntil([&] { return ForegroundCursor() == idleCursor_; }, 10s)) {
      return ::testing::AssertionFailure() << "the pointer did not come back after the save";
    }
    return ::testing::AssertionSuccess();
  }

  // The marker: posted behind the test's own messages, it switches "Start
  // Retrieving" between push button and default push button, a style readable
  // without the program's help. The program's thread handles posted messages in
  // the order they came, so once the marker shows, everything posted before it has
  // been handled.
  void PostMarker() {
    markerStyle_ = markerStyle_ == BS_PUSHBUTTON ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    PostOrThrow(program_->Control(kStartRetrievingId), BM_SETSTYLE, markerStyle_, FALSE);
  }
  bool MarkerShows() const {
    HWND button = GetDlgItem(program_->MainWindow(), kStartRetrievingId);
    return button != nullptr && (StyleOf(button) & BS_TYPEMASK) == markerStyle_;
  }

  // Every #32770 window of the program, hidden ones too (a dialog shows only once
  // its own message loop has started).
  std::vector<HWND> DialogWindows() const {
    return TopLevelWindowsOf(program_->ProcessId(), kDialogClass, false);
  }

  // No dialog is left once the program is at rest: the marker has gone through a
  // message loop, and the pointer is the one from before the save (it shows busy
  // for as long as the save command works, yields included). A dialog opened by
  // anything before exists by then.
  void ExpectNoDialogOnceAtRest() {
    PostMarker();
    EXPECT_TRUE(WaitUntil([&] { return MarkerShows() && ForegroundCursor() == idleCursor_; }, 30s))
        << "the program did not come to rest";
    for (HWND window : DialogWindows()) {
      const Dialog dialog(window);
      ADD_FAILURE() << "unexpected dialog \"" << Narrow(dialog.Title()) << "\"";
      for (const auto& text : dialog.StaticTexts()) ADD_FAILURE() << "  " << Narrow(text);
    }
  }

  // Waits for one error report of the writer per line, in order, checks its text and
  // presses OK. `description`: what each must say first; empty, anything.
  void AnswerWriterReports(const std::vector<int>& expectedLines,
                           const std::wstring& description = L"") {
    for (int line : expectedLines) {
      SCOPED_TRACE("line " + std::to_string(line));
      auto box = program_->WaitForDialog(L"Application Error", 20s);
      ASSERT_TRUE(box) << "no error report";
      const auto texts = box->StaticTexts();
      ASSERT_EQ(texts.size(), 1u) << "one text in the box";
      // The description, the location, an empty line, the request for a screenshot.
      const std::vector<std::wstring> lines = DisplayedLines(texts[0]);
      ASSERT_EQ(lines.size(), 4u) << Narrow(texts[0]);
      EXPECT_FALSE(lines[0].empty()) << "a description of the failure";
      if (!description.empty()) {
        EXPECT_EQ(Narrow(lines[0]), Narrow(description));
      }
      EXPECT_EQ(Narrow(lines[1]), Narrow(kWriterLabel + L"at line " + std::to_wstring(line)));
      EXPECT_EQ(Narrow(lines[2]), "");
      EXPECT_EQ(Narrow(lines[3].substr(0, 43)), "Please email screenshot of this message to ");
      EXPECT_GT(lines[3].size(), 43u) << "an address follows";
      box->PressButton(IDOK);
      ASSERT_TRUE(box->WaitUntilClosed(10s)) << "the box stayed open";
    }
  }

  // Saves into the pipe and holds the program still in its first write, in the
  // middle of the save, while `post` posts messages to it. Then lets the save go
  // on, one write at a time, until the marker posted behind them shows. Succeeds
  // when that happened before the program closed the pipe: the posted messages
  // were handled during the save, through the writer's yields.
  ::testing::AssertionResult HandledDuringTheSave(HoldingPipe& pipe,
                                                  const std::function<void()>& post) {
    // The program's writer looks at its queue at most every 10 ms: a first hold ten
    // times as long makes its first yield after this write find the posted messages
    // (a shorter one could let the rest of the save pass without a look).
    constexpr auto kLongerThanTheWritersYieldInterval = 100ms;
    if (pipe.WaitForWrite(60s) != HoldingPipe::State::kWriteWaiting) {
      return ::testing::AssertionFailure() << "the save wrote nothing to the pipe within 60 s";
    }
    post();
    PostMarker();
    Sleep(kLongerThanTheWritersYieldInterval.count());
    const auto gone = [&] { return !program_->IsRunning() || !IsWindow(program_->MainWindow()); };
    for (;;) {
      pipe.TakeWaiting();
      const auto state = pipe.WaitForWrite(60s, [&] { return MarkerShows() || gone(); });
      if (MarkerShows()) break;
      if (gone()) {
        return ::testing::AssertionFailure() << "the window went away before the marker showed, "
                                             << pipe.Taken().size() << " bytes into the save";
      }
      if (state == HoldingPipe::State::kEnded) {
        return ::testing::AssertionFailure() << "the save ended before the posted messages were "
                                                "handled: the program was not held";
      }
      if (state != HoldingPipe::State::kWriteWaiting) {
        return ::testing::AssertionFailure() << "no write and no marker within 60 s";
      }
    }
    // Still open after the marker showed: the marker, and what was posted before
    // it, were handled before the program closed the file of its save.
    if (pipe.Poll() == HoldingPipe::State::kEnded) {
      return ::testing::AssertionFailure() << "the save had ended when the marker showed";
    }
    return ::testing::AssertionSuccess() << "handled after " << pipe.Taken().size() << " bytes";
  }

  ScratchFolder workFolder_, outputFolder_;
  std::unique_ptr<ProgramDriver> program_;
  HCURSOR idleCursor_ = nullptr;
  LONG markerStyle_ = BS_PUSHBUTTON;  // as the program makes the button
};

TEST_F(SaveTest, FileHoldsHeaderAndCheckedRowsInTheOrderShownByteForByte) {
  program_->Retrieve();
  program_->Retrieve();
  RemoteListView list = program_->List();
  ASSERT_GE(list.ItemCount(), 8);
  // Ticked as a user and as a tool would, leaving unchecked rows before, between
  // and after: a click on the box of an unselected row while others are selected
  // ticks that row alone; the space bar ticks the two selected rows; a tool's
  // state-image message ticks one more.
  const int last = list.ItemCount() - 1;
  list.Select({3, 5});
  list.ClickCheckBox(1);
  EXPECT_EQ(list.CheckMarks(), [&] {
    std::vector<bool> marks(list.ItemCount());
    marks[1] = true;
    return marks;
  }());
  list.PressSpace();
  list.SetChecked(last - 1, true);
  const ListContents asAdded = ReadListContents(list);
  for (int row = 0; row < static_cast<int>(asAdded.checked.size()); ++row) {
    const bool ticked = row == 1 || row == 3 || row == 5 || row == last - 1;
    EXPECT_EQ(asAdded.checked[row], ticked) << "row " << row;
  }
  // Sorted by free space, largest first: the file follows the order shown.
  list.ClickHeader(4);
  list.ClickHeader(4);
  const ListContents contents = ReadListContents(list);
  EXPECT_NE(contents.rows, asAdded.rows);

  const std::wstring path = outputFolder_.File(L"results.txt");
  SaveAs(path);
  ASSERT_TRUE(WaitForSaveToFinish(path));
  ExpectNoDialogOnceAtRest();

  const std::string expected = ExpectedExportBytes(contents);
  const auto written = ReadFileBytes(path);
  ASSERT_TRUE(written);
  EXPECT_EQ(Printable(*written), Printable(expected));
  EXPECT_EQ(written->size(), expected.size());
  // The window is back to normal: it answers and the list is unchanged.
  EXPECT_EQ(ReadListContents(list).rows, contents.rows);
}

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

TEST_F(SaveTest, EmptyListGivesHeaderLineOnly) {
  const std::wstring path = outputFolder_.File(L"empty.txt");
  SaveAs(path);
  ASSERT_TRUE(WaitForSaveToFinish(path));
  EXPECT_EQ(Printable(ReadFileBytes(path).value_or("")),
            Printable("Drive\tType\tFile System\tTotal Space\tFree Space\tUsed Space\t"
                      "Serial Number\t\r\n"));
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

TEST_F(SaveTest, DialogOffersTextFilesFirstAndStartsWithAnEmptyName) {
  for (int showing = 1; showing <= 2; ++showing) {
    SCOPED_TRACE("showing " + std::to_string(showing));
    auto dialog = OpenSaveDialog();
    ASSERT_TRUE(dialog);
    std::vector<std::string> filters;
    for (const auto& item : dialog->ComboItems(kFileTypeComboId)) filters.push_back(Narrow(item));
    EXPECT_EQ(filters, (std::vector<std::string>{"Text Files (*.txt)", "All Files (*.*)"}));
    EXPECT_EQ(dialog->ComboSelection(kFileTypeComboId), 0);
    EXPECT_EQ(Narrow(dialog->FileName()), "") << "the previous name must not be proposed";
    // Save once, so that the second showing follows a save.
    const std::wstring path = outputFolder_.File(L"showing" + std::to_wstring(showing) + L".txt");
    dialog->TypeFileName(path);
    dialog->PressButton(IDOK);
    ASSERT_TRUE(dialog->WaitUntilClosed(10s));
    ASSERT_TRUE(WaitForSaveToFinish(path));
  }
}

TEST_F(SaveTest, CancelWritesNothingAndShowsNothing) {
  program_->Retrieve();
  program_->List().SetChecked(-1, true);
  auto dialog = OpenSaveDialog();
  ASSERT_TRUE(dialog);
  dialog->PressButton(IDCANCEL);
  ASSERT_TRUE(dialog->WaitUntilClosed(10s));
  ExpectNoDialogOnceAtRest();
  EXPECT_TRUE(FolderEntries(workFolder_.Path()).empty());
  EXPECT_TRUE(FolderEntries(outputFolder_.Path()).empty());
  EXPECT_TRUE(program_->IsRunning());
}

TEST_F(SaveTest, ExistingLongerFileIsReplacedEntirely) {
  program_->Retrieve();
  RemoteListView list = program_->List();
  list.SetChecked(0, true);
  const ListContents contents = ReadListContents(list);
  const std::string expected = ExpectedExportBytes(contents);

  const std::wstring path = outputFolder_.File(L"old.txt");
  const std::string old(expected.size() * 4 + 4096, 'x');
  WriteFileBytes(path, old);
  SaveAs(path);
  ASSERT_TRUE(WaitUntil([&] { return FileSizeOf(path) != old.size(); }, 30s))
      << "the old file was not touched";
  ASSERT_TRUE(WaitForSaveToFinish(path));
  EXPECT_EQ(Printable(ReadFileBytes(path).value_or("")), Printable(expected));
}

TEST_F(SaveTest, NameTypedWithoutExtensionIsUsedAsTyped) {
  const std::wstring path = outputFolder_.File(L"results");
  SaveAs(path);
  ASSERT_TRUE(WaitForSaveToFinish(path));
  EXPECT_EQ(FolderEntries(outputFolder_.Path()), std::vector<std::wstring>{L"results"});
}

TEST_F(SaveTest, MissingFolderReportsTheCreateEveryWriteAndTheClose) {
  program_->Retrieve();
  RemoteListView list = program_->List();
  ASSERT_GE(list.ItemCount(), 2);
  list.SetChecked(0, true);
  list.SetChecked(list.ItemCount() - 1, true);

  const std::wstring folder = outputFolder_.File(L"missing");
  SaveAs(folder + L"\\results.txt");
  // The create fails, then the header's write, each checked row's write, the close.
  AnswerWriterReports({136, 150, 180, 180, 184});
  ExpectNoDialogOnceAtRest();
  EXPECT_FALSE(PathExists(folder));
  EXPECT_TRUE(FolderEntries(outputFolder_.Path()).empty());
  EXPECT_TRUE(program_->IsRunning());
}

TEST_F(SaveTest, ASecondClickDuringALongSaveIsIgnored) {
  // Rows enough for several of the writer's 64 KiB writes.
  constexpr int kRuns = 200;
  for (int run = 0; run < kRuns; ++run) program_->Retrieve();
  RemoteListView list = program_->List();
  list.SetChecked(-1, true);
  const std::string expected = ExpectedExportBytes(ReadListContents(list));
  ASSERT_GT(expected.size(), 2u * 64 * 1024) << "more writes must follow the first one";

  HoldingPipe pipe;
  SaveAs(HoldingPipe::PathIn(outputFolder_.Path()));
  ASSERT_TRUE(
      HandledDuringTheSave(pipe, [&] { program_->ClickButton(kSaveResultsId, ClickMode::kPost); }));
  EXPECT_TRUE(DialogWindows().empty()) << "a second save started inside the first";
  for (Dialog& dialog : program_->Dialogs()) dialog.PressButton(IDCANCEL);
  ASSERT_TRUE(pipe.TakeToEnd(60s)) << "the save did not end";
  EXPECT_TRUE(pipe.Taken() == expected) << "the pipe did not get the whole export";
  ASSERT_TRUE(WaitUntil([&] { return ForegroundCursor() == idleCursor_; }, 30s))
      << "the pointer did not come back after the save";
  // Once the save is over the button works again.
  auto dialog = OpenSaveDialog();
  ASSERT_TRUE(dialog);
  dialog->PressButton(IDCANCEL);
}

TEST_F(SaveTest, CloseDuringLongSaveWaitsForTheSaveThenEndsTheProgram) {
  // Rows enough for several of the writer's 64 KiB writes.
  constexpr int kRuns = 200;
  for (int run = 0; run < kRuns; ++run) program_->Retrieve();
  RemoteListView list = program_->List();
  ASSERT_GE(list.ItemCount(), kRuns);
  list.SetChecked(-1, true);
  const std::string expected = ExpectedExportBytes(ReadListContents(list));
  ASSERT_GT(expected.size(), 2u * 64 * 1024) << "more writes must follow the first one";

  HoldingPipe pipe;
  SaveAs(HoldingPipe::PathIn(outputFolder_.Path()));
  ASSERT_TRUE(
      HandledDuringTheSave(pipe, [&] { PostOrThrow(program_->MainWindow(), WM_CLOSE, 0, 0); }));
  // The close was held back: the save goes on to the end, then the program ends.
  ASSERT_TRUE(pipe.TakeToEnd(60s)) << "the save did not end";
  EXPECT_TRUE(program_->WaitForExit(60s)) << "the program did not end by itself within 60 s";
  EXPECT_TRUE(pipe.Taken() == expected) << "the pipe did not get the whole export";
}

TEST_F(SaveTest, SavingOverAnExistingFileAsksFirstAndNoGoesBackToTheDialog) {
  const std::wstring path = outputFolder_.File(L"existing.txt");
  WriteFileBytes(path, "keep");
  auto dialog = OpenSaveDialog();
  ASSERT_TRUE(dialog);
  dialog->TypeFileName(path);
  dialog->PressButton(IDOK);
  auto question = WaitForQuestion(*dialog);
  ASSERT_TRUE(question) << "no question before replacing the file";
  std::wstring text;
  for (const auto& part : question->StaticTexts()) text += part;
  EXPECT_NE(text.find(L"replace"), std::wstring::npos) << Narrow(text);
  question->PressButton(IDNO);
  ASSERT_TRUE(question->WaitUntilClosed(10s));
  EXPECT_FALSE(dialog->WaitUntilClosed(500ms)) << "No did not go back to the dialog";
  EXPECT_EQ(ReadFileBytes(path).value_or(""), "keep");

  dialog->PressButton(IDOK);
  question = WaitForQuestion(*dialog);
  ASSERT_TRUE(question);
  question->PressButton(IDYES);
  ASSERT_TRUE(dialog->WaitUntilClosed(10s));
  ASSERT_TRUE(WaitForSaveToFinish(path));
  EXPECT_EQ(Printable(ReadFileBytes(path).value_or("")),
            Printable(ExpectedExportBytes(ReadListContents(program_->List()))));
}

std::wstring SystemMessage(DWORD error) {
  wchar_t text[512] = L"";
  FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                 text, 512, nullptr);
  std::wstring message = text;
  while (!message.empty() &&
         (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' ')) {
    message.pop_back();
  }
  return message;
}

TEST_F(SaveTest, AFullDiskLeavesTheOldFileAsItWasAndAddsNoFile) {
  if (GetDriveTypeW(kExactDrive) != DRIVE_FIXED) GTEST_SKIP() << "no drive K: here";
  // More than one of the writer's 64 KiB buffers and less than two: the write of the
  // first fails, then the close.
  program_->Retrieve();
  RemoteListView list = program_->List();
  list.SetChecked(-1, true);
  const size_t runs = 96 * 1024 / ExpectedExportBytes(ReadListContents(list)).size();
  for (size_t run = 1; run < runs; ++run) program_->Retrieve();
  list.SetChecked(-1, true);
  const size_t listBytes = ExpectedExportBytes(ReadListContents(list)).size();
  ASSERT_GT(listBytes, 66u * 1024);
  ASSERT_LT(listBytes, 124u * 1024);

  const std::wstring path = std::wstring(kExactDrive) + L"drives.txt";
  const std::string old = "the list saved before\r\n";
  WriteFileBytes(path, old);
  const std::vector<std::wstring> entries = FolderEntries(L"K:");
  struct Cleanup {
    std::wstring path;
    ~Cleanup() {
      DeleteFileW(kFiller);
      DeleteFileW(path.c_str());
    }
  } cleanup{path};
  WriteFileBytes(kFiller, std::string(FreeOnExactDrive() - 16 * 1024, 'f'));
  ASSERT_EQ(FreeOnExactDrive(), 16u * 1024);
  SaveAs(path);
  AnswerWriterReports({180, 184}, SystemMessage(ERROR_DISK_FULL));
  ExpectNoDialogOnceAtRest();
  ASSERT_TRUE(DeleteFileW(kFiller));
  EXPECT_EQ(ReadFileBytes(path).value_or("<missing>"), old);
  EXPECT_EQ(FolderEntries(L"K:"), entries);
  EXPECT_TRUE(program_->IsRunning());
}

}  // namespace
}  // namespace brindlecap::e2e
