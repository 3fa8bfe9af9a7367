#include "export/save_command.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "results/results_model.h"
#include "shared/error_report.h"
#include "shared/runtime_failure.h"
#include "shared/text_convert.h"
#include "support/hook_pump.h"
#include "support/memory_text_file.h"
#include "support/recording_message_box.h"

namespace brindlecap {
namespace {

using testing::MemoryFileStore;
using testing::RecordingMessageBox;

using testing::HookPump;

// Records what the dialog is told; ShowSave answers with the next scripted path
// ("" is a cancel), or fails when told to, as the system's dialog can.
class ScriptedDialog : public SaveDialog {
 public:
  void SetFileName(const std::u16string& fileName) override {
    calls.push_back(u"FileName=" + fileName);
    fileName_ = fileName;
  }
  std::u16string FileName() const override { return fileName_; }
  void SetFlags(int32_t flags) override {
    calls.push_back(u"Flags=" + AsciiToUtf16(std::to_string(flags)));
  }
  void SetDialogTitle(const std::u16string& title) override {
    calls.push_back(u"DialogTitle=" + title);
  }
  void SetFilter(const std::u16string& filter) override { calls.push_back(u"Filter=" + filter); }
  void ShowSave() override {
    calls.push_back(u"ShowSave");
    writingWhileShown = writingWhileShown || (command && command->Writing());
    ++shown;
    if (failing) throw RuntimeFailure(u"Cancel was selected.");
    fileName_ = answers.empty() ? u"" : answers.front();
    if (!answers.empty()) answers.erase(answers.begin());
  }

  std::vector<std::u16string> calls;
  std::vector<std::u16string> answers;
  int shown = 0;
  bool failing = false;
  const SaveCommand* command = nullptr;
  bool writingWhileShown = false;

 private:
  std::u16string fileName_ = u"previous.txt";
};

class RecordingPointer : public MousePointerOwner {
 public:
  PointerShape MousePointer() const noexcept override { return value; }
  void SetMousePointer(PointerShape shape) noexcept override {
    value = shape;
    history.push_back(shape);
  }
  PointerShape value = PointerShape::kHand;
  std::vector<PointerShape> history;
};

const std::vector<std::u16string> kOneShowing = {
    u"FileName=", u"Flags=2621955", u"DialogTitle=Save",
    u"Filter=Text Files (*.txt)|*.txt|All Files (*.*)|*.*|", u"ShowSave"};

class SaveCommandTest : public ::testing::Test {
 protected:
  SaveCommandTest() {
    list.AddColumn(u"Drive");
    list.AddColumn(u"Type");
    const int row = list.AddRow(u"C:\\");
    list.SetCell(row, 1, u"Fixed");
    list.SetChecked(row, true);
  }

  ResultsModel list;
  MemoryFileStore store;
  HookPump pump;
  RecordingMessageBox messages;
  ExportServices services{store.Factory(), pump, messages};
  ScriptedDialog dialog;
  RecordingPointer pointer;
  SaveCommand command{list, dialog, pointer, services};
};

TEST_F(SaveCommandTest, CancelWritesNothingShowsNothingAndLeavesThePointer) {
  dialog.answers = {u""};
  dialog.command = &command;
  command.Run();
  EXPECT_FALSE(dialog.writingWhileShown);  // an open dialog holds no logoff back
  EXPECT_EQ(dialog.calls, kOneShowing);
  EXPECT_TRUE(store.files.empty());
  EXPECT_TRUE(messages.boxes.empty());
  EXPECT_TRUE(pointer.history.empty());
  EXPECT_EQ(pointer.value, PointerShape::kHand);
  EXPECT_FALSE(command.Saving());
}

TEST_F(SaveCommandTest, EveryShowingIsPrecededByTheSameSettings) {
  dialog.answers = {u"C:\\a.txt", u"C:\\b"};
  command.Run();
  command.Run();
  std::vector<std::u16string> twice = kOneShowing;
  twice.insert(twice.end(), kOneShowing.begin(), kOneShowing.end());
  EXPECT_EQ(dialog.calls, twice);
  // A name without an extension is used as typed.
  EXPECT_EQ(store.files.count(u"C:\\a.txt"), 1u);
  EXPECT_EQ(store.files[u"C:\\b"], "Drive\tType \t\r\nC:\\  \tFixed\t\r\n");
}

TEST_F(SaveCommandTest, HourglassAndWritingShowOnlyWhileTheListIsWritten) {
  dialog.answers = {u"C:\\out.txt"};
  std::vector<PointerShape> pointerAtYield;
  pump.hook = [&] {
    pointerAtYield.push_back(pointer.value);
    EXPECT_TRUE(command.Writing());  // a logoff now would cut the file short
  };
  command.Run();
  EXPECT_FALSE(command.Writing());
  ASSERT_FALSE(pointerAtYield.empty());
  for (PointerShape value : pointerAtYield) EXPECT_EQ(value, PointerShape::kHourglass);
  EXPECT_EQ(pointer.history,
            (std::vector<PointerShape>{PointerShape::kHourglass, PointerShape::kArrow}));
  EXPECT_TRUE(messages.boxes.empty());
}

TEST_F(SaveCommandTest, ClicksDuringASaveAreIgnoredAndTheNextClickWorksAgain) {
  dialog.answers = {u"C:\\first.txt", u"C:\\second.txt"};
  // A click whenever the save lets events run: an ignored click must not end the
  // running save's guard for the next one.
  pump.hook = [&] { command.Run(); };
  command.Run();

  EXPECT_EQ(dialog.shown, 1);
  EXPECT_EQ(store.files[u"C:\\first.txt"], "Drive\tType \t\r\nC:\\  \tFixed\t\r\n");
  EXPECT_EQ(store.files.count(u"C:\\second.txt"), 0u);
  EXPECT_EQ(pointer.history,
            (std::vector<PointerShape>{PointerShape::kHourglass, PointerShape::kArrow}));
  EXPECT_FALSE(command.Saving());

  pump.hook = nullptr;
  command.Run();
  EXPECT_EQ(dialog.shown, 2);
  EXPECT_EQ(store.files.count(u"C:\\second.txt"), 1u);
}

TEST_F(SaveCommandTest, RetrievalDuringASaveStillAppendsItsRows) {
  dialog.answers = {u"C:\\out.txt"};
  // A retrieval's row arrives the first time the save lets events run.
  bool added = false;
  pump.hook = [&] {
    if (added) return;
    added = true;
    list.SetCell(list.AddRow(u"Z:\\ - [Network]"), 1, u"Network");
  };
  command.Run();
  EXPECT_EQ(list.RowCount(), 2);
  // The new row is unchecked and only widens the column measured after it.
  EXPECT_EQ(store.files[u"C:\\out.txt"], "Drive\tType   \t\r\nC:\\  \tFixed  \t\r\n");
}

TEST_F(SaveCommandTest, WriterFailuresCarryTheWriterLabelAndThePointerComesBack) {
  dialog.answers = {u"C:\\missing\\out.txt"};
  store.failCreate = true;
  command.Run();
  ASSERT_EQ(messages.boxes.size(), 4u);  // create, header, row, close
  for (const auto& box : messages.boxes) {
    EXPECT_NE(box.text.find(location::kWriteList), std::u16string::npos);
  }
  EXPECT_EQ(pointer.history,
            (std::vector<PointerShape>{PointerShape::kHourglass, PointerShape::kArrow}));
}

TEST_F(SaveCommandTest, ADialogThatFailsIsReportedAndNothingIsWritten) {
  dialog.answers = {u"C:\\out.txt"};
  dialog.failing = true;
  command.Run();
  EXPECT_EQ(messages.LinesAt(location::kSaveResults), std::vector<int>{114});
  EXPECT_EQ(messages.boxes[0].text.rfind(u"Cancel was selected.\r\n", 0), 0u);
  EXPECT_TRUE(store.files.empty());
  EXPECT_TRUE(pointer.history.empty());
  EXPECT_FALSE(command.Saving());
}

}  // namespace
}  // namespace brindlecap
