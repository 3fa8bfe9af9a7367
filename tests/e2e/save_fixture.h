#pragma once
// "Save Results As Text File" through the real save dialog, from another process:
// the program started in a scratch folder, the dialog answered, the file awaited.
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

using namespace std::chrono_literals;

inline const std::wstring kWriterLabel =
    L"in Brindlecap2021/08/31.Main.SaveListviewProperlySpacedWithoutProgressBar ";

inline ListContents ReadListContents(const RemoteListView& list) {
  return ListContents{list.Headers(), list.Rows(), list.CheckMarks()};
}

// The writer holds the file open until it has finished; then an exclusive open succeeds.
inline bool FileClosedByWriter(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

// Closed, no longer being written, and its size stays put.
inline bool WaitForFinishedFile(const std::wstring& path, Milliseconds timeout) {
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

inline std::string Printable(const std::string& bytes) {
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
inline std::vector<std::wstring> DisplayedLines(const std::wstring& text) {
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

}  // namespace brindlecap::e2e
