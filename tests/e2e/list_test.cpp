// The results list as a Windows list: copy, sort and remove, driven from another
// process after "Start Retrieving" on the fixture drives.
#include <windows.h>
// These need windows.h first.
#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <optional>
#include <string>
#include <vector>

#include "support/scratch_files.h"
#include "support/window_driver.h"

namespace brindlecap::e2e {
namespace {

using namespace std::chrono_literals;
using Row = std::vector<std::wstring>;

constexpr int kTotalSpaceColumn = 3;

// What a size text such as "465.76 GB" stands for, near enough to order by; -1
// for an empty cell.
double ApproximateBytes(const std::wstring& text) {
  if (text.empty()) return -1;
  wchar_t* unit = nullptr;
  double value = std::wcstod(text.c_str(), &unit);
  for (const wchar_t* scale : {L" KB", L" MB", L" GB", L" TB"}) {
    value *= 1024;
    if (std::wstring(unit) == scale) return value;
  }
  return value / (1024.0 * 1024 * 1024 * 1024);  // " Bytes"
}

std::wstring JoinedLines(const std::vector<std::wstring>& headers, const std::vector<Row>& rows) {
  const auto line = [](const Row& cells) {
    std::wstring text;
    for (size_t i = 0; i < cells.size(); ++i) text += (i ? L"\t" : L"") + cells[i];
    return text + L"\r\n";
  };
  std::wstring text = line(headers);
  for (const Row& row : rows) text += line(row);
  return text;
}

class ListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    program_ = ProgramDriver::Start(BRINDLECAP_EXE, folder_.Path());
    program_->Retrieve();
    list_ = program_->List();
    rows_ = list_.Rows();
    ASSERT_GE(rows_.size(), 4u);
  }
  void TearDown() override { program_->Close(10s); }

  // Ctrl+C typed, and the text it leaves on the clipboard.
  std::wstring CopiedText() {
    OpenClipboard(nullptr);
    EmptyClipboard();
    CloseClipboard();
    TypeControlKey(program_->MainWindow(), 'C');
    std::optional<std::wstring> text;
    WaitUntil([&] { return (text = ClipboardText()).has_value(); }, 10s);
    return text.value_or(L"(nothing copied)");
  }

  ScratchFolder folder_;
  std::unique_ptr<ProgramDriver> program_;
  RemoteListView list_{nullptr, nullptr};
  std::vector<Row> rows_;
};

TEST_F(ListTest, CtrlCCopiesTheSelectedRowsOrEveryRowAsTabSeparatedLines) {
  const std::vector<std::wstring> headers = list_.Headers();
  list_.ClickItem(0);  // the button pressed last had the keyboard focus
  ASSERT_EQ(FocusOfThreadOwning(list_.Handle()), list_.Handle());
  list_.Select({3, 1});
  EXPECT_EQ(Narrow(CopiedText()), Narrow(JoinedLines(headers, {rows_[1], rows_[3]})));
  list_.Select({});
  EXPECT_EQ(Narrow(CopiedText()), Narrow(JoinedLines(headers, rows_)));
  // Another program holds the clipboard for 300 ms as Ctrl+C is typed: the copy waits.
  list_.Select({2});
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  TypeControlKey(program_->MainWindow(), 'C');
  Sleep(300);
  CloseClipboard();
  std::optional<std::wstring> held;
  WaitUntil([&] { return (held = ClipboardText()).has_value(); }, 5s);
  EXPECT_EQ(Narrow(held.value_or(L"(nothing copied)")), Narrow(JoinedLines(headers, {rows_[2]})));
  // Ctrl+A selects every row.
  TypeControlKey(program_->MainWindow(), 'A');
  EXPECT_TRUE(WaitUntil([&] { return list_.SelectedCount() == list_.ItemCount(); }, 10s));
}

TEST_F(ListTest, AHeaderClickSortsBySizeNotTextAndASecondClickReverses) {
  const auto totals = [&] {
    std::vector<double> bytes;
    for (const Row& row : list_.Rows()) bytes.push_back(ApproximateBytes(row[kTotalSpaceColumn]));
    return bytes;
  };
  list_.ClickHeader(kTotalSpaceColumn);
  std::vector<double> ascending = totals();
  EXPECT_TRUE(std::is_sorted(ascending.begin(), ascending.end()));
  EXPECT_EQ(list_.SortArrow(kTotalSpaceColumn), HDF_SORTUP);
  EXPECT_EQ(list_.SortArrow(0), 0);

  list_.ClickHeader(kTotalSpaceColumn);
  std::vector<double> descending = totals();
  EXPECT_TRUE(std::is_sorted(descending.rbegin(), descending.rend()));
  EXPECT_EQ(list_.SortArrow(kTotalSpaceColumn), HDF_SORTDOWN);
  // The rows are the same rows, only in another order.
  EXPECT_EQ(ascending.size(), rows_.size());
  std::sort(descending.begin(), descending.end());
  EXPECT_EQ(descending, ascending);

  // "Start Retrieving" while the sort is shown: the new rows take their places.
  program_->Retrieve();
  const std::vector<double> more = totals();
  EXPECT_EQ(more.size(), 2 * rows_.size());
  EXPECT_TRUE(std::is_sorted(more.rbegin(), more.rend()));
}

TEST_F(ListTest, DeleteRemovesTheSelectedRowsAndSelectsTheNextOne) {
  list_.Select({0, 2});
  list_.PressKey(VK_DELETE);
  std::vector<Row> expected = rows_;
  expected.erase(expected.begin() + 2);
  expected.erase(expected.begin());
  EXPECT_EQ(list_.Rows(), expected);
  EXPECT_EQ(list_.SelectedCount(), 1);
  EXPECT_EQ(SendOrThrow(list_.Handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED),
            0);
  // Nothing selected: Delete does nothing.
  list_.Select({});
  list_.PressKey(VK_DELETE);
  EXPECT_EQ(list_.ItemCount(), static_cast<int>(expected.size()));
}

}  // namespace
}  // namespace brindlecap::e2e
