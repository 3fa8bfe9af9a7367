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

// Records every call in order; ShowSave answers with the next scripted path
// ("" is a cancel). The call named by `failing` raises a failure instead.
class ScriptedDialog : public SaveDialog {
 public:
  void SetFileName(const std::u16string& fileName) override {
    Enter("SetFileName");
    calls.push_back(u"FileName=" + fileName);
    fileName_ = fileName;
  }
  std::u16string FileName() const override {
    Enter("FileName");
    return fileName_;
  }
  void SetFlags(int32_t flags) override {
    Enter("SetFlags");
    calls.push_back(u"Flags=" + AsciiToUtf16(std::to_string(flags)));
  }
  void SetDialogTitle(const std::u16string& title) override {
    Enter("SetDialogTitle");
    calls.push_back(u"DialogTitle=" + title);
  }
  void SetFilter(const std::u16string& filter) override {
    Enter("SetFilter");
    calls.push_back(u"Filter=" + filter);
  }
  void ShowSave() override {
    calls.push_back(u"ShowSave");
    writingWhileShown = writingWhileShown || (command && command->Writing());
    ++shown;
    if (failing == "ShowSave") throw RuntimeFailure(32755, u"Cancel was selected.");
    fileName_ = answers.empty() ? u"" : answers.front();
    if (!answers.empty()) answers.erase(answers.begin());
  }

  std::vector<std::u16string> calls;
  std::vector<std::u16string> answers;
  int shown = 0;
  std::string failing;
  const SaveCommand* command = nullptr;
  bool writingWhileShown = false;

 private:
  void Enter(const std::string& call) const {
    if (call == failing) throw InvalidArgumentFailure();
  }

  std::u16string fileName_ = u"previous.txt";
};

class RecordingPointer : public MousePointerOwner {
 public:
  int MousePointer() const override { return value; }
  void SetMousePointer(int newValue) override {
    if (newValue == failingValue) throw InvalidArgumentFailure();
    value = newValue;
    history.push_back(newValue);
  }
  int value = mouse_pointer::kCustom;
  int failingValue = -1;  // setting this value fails
  std::vector<int> history;
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
    list.SetSubItem(row, 1, u"Fixed");
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
  EXPECT_EQ(store.createCalls, 0);
  EXPECT_TRUE(messages.boxes.empty());
  EXPECT_TRUE(pointer.history.empty());
  EXPECT_EQ(pointer.value, mouse_pointer::kCustom);
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
  std::vector<int> pointerAtYield;
  pump.hook = [&](int) {
    pointerAtYield.push_back(pointer.value);
    EXPECT_TRUE(command.Writing());  // a logoff now would cut the file short
  };
  command.Run();
  EXPECT_FALSE(command.Writing());
  ASSERT_FALSE(pointerAtYield.empty());
  for (int value : pointerAtYield) EXPECT_EQ(value, mouse_pointer::kHourglass);
  EXPECT_EQ(pointer.history,
            (std::vector<int>{mouse_pointer::kHourglass, mouse_pointer::kDefault}));
  EXPECT_TRUE(messages.boxes.empty());
}

TEST_F(SaveCommandTest, ClicksDuringASaveAreIgnoredAndTheNextClickWorksAgain) {
  dialog.answers = {u"C:\\first.txt", u"C:\\second.txt"};
  std::vector<bool> savingAtYield;
  pump.hook = [&](int yield) {
    savingAtYield.push_back(command.Saving());
    // Two clicks: the first ignored click must not end the running save's guard.
    if (yield == 1 || yield == 2) command.Run();
  };
  command.Run();

  EXPECT_EQ(dialog.shown, 1);
  for (bool saving : savingAtYield) EXPECT_TRUE(saving);
  EXPECT_EQ(pointer.history,
            (std::vector<int>{mouse_pointer::kHourglass, mouse_pointer::kDefault}));
  EXPECT_FALSE(command.Saving());

  pump.hook = nullptr;
  command.Run();
  EXPECT_EQ(dialog.shown, 2);
  EXPECT_EQ(store.files.count(u"C:\\second.txt"), 1u);
}

TEST_F(SaveCommandTest, RetrievalDuringASaveStillAppendsItsRows) {
  dialog.answers = {u"C:\\out.txt"};
  pump.hook = [&](int yield) {
    if (yield == 1) {
      const int row = list.AddRow(u"Z:\\ - [Network]");
      list.SetSubItem(row, 1, u"Network");
    }
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
            (std::vector<int>{mouse_pointer::kHourglass, mouse_pointer::kDefault}));
}

// One failing step per row: a call of the dialog, or setting one pointer value.
// Not in the table, as nothing in them can fail: 118 (testing the chosen name
// for emptiness) and 122 (the writer reports its own failures, under its own
// name, and always returns).
struct SaveFault {
  const char* dialogCall;
  int pointerValue;
  std::vector<int> lines;
  bool written;  // whether the list still reaches the file
};

void PrintTo(const SaveFault& fault, std::ostream* out) {
  *out << fault.dialogCall << " " << fault.pointerValue;
}

class SaveFaultTest : public SaveCommandTest, public ::testing::WithParamInterface<SaveFault> {};

const SaveFault kSaveFaults[] = {
    {"SetFileName", -1, {106}, true},
    {"SetFlags", -1, {108}, true},
    {"SetDialogTitle", -1, {110}, true},
    {"SetFilter", -1, {112}, true},
    // Without a chosen name the command ends at its exit test.
    {"ShowSave", -1, {114}, false},
    {"FileName", -1, {116}, false},
    {"", mouse_pointer::kHourglass, {120}, true},
    {"", mouse_pointer::kDefault, {124}, true},
};

INSTANTIATE_TEST_SUITE_P(EveryStep, SaveFaultTest, ::testing::ValuesIn(kSaveFaults));

TEST_P(SaveFaultTest, IsReportedAtItsLineAndTheCommandGoesOn) {
  const SaveFault& fault = GetParam();
  dialog.answers = {u"C:\\out.txt"};
  dialog.failing = fault.dialogCall;
  pointer.failingValue = fault.pointerValue;
  command.Run();
  EXPECT_EQ(messages.LinesAt(location::kSaveResults), fault.lines);
  EXPECT_EQ(store.files.count(u"C:\\out.txt"), fault.written ? 1u : 0u);
  EXPECT_FALSE(command.Saving());
}

}  // namespace
}  // namespace brindlecap
