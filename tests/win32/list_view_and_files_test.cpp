// The results list over the real list-view control, the file check and the
// home page launcher, in this process.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include "main_window/win32/home_page.h"
#include "main_window/win32/win32_list_view.h"
#include "shared/runtime_failure.h"
#include "shared/win32/file_check.h"
#include "win32/support/form_fixture.h"

namespace brindlecap::testing {
namespace {

class Win32ListViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&controls);
    window = ::CreateWindowExW(0, WC_LISTVIEWW, L"", WS_POPUP | LVS_REPORT, 0, 0, 400, 200, nullptr,
                               nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    ::SendMessageW(window, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_CHECKBOXES);
    list.Attach(window, 96);
  }
  void TearDown() override { ::DestroyWindow(window); }

  int32_t FailureOf(const std::function<void()>& action) {
    try {
      action();
    } catch (const RuntimeFailure& failure) {
      return failure.Number();
    }
    return 0;
  }

  HWND window = nullptr;
  win32::Win32ListView list;
};

TEST_F(Win32ListViewTest, ColumnsAreAppendedWithTheirTextsAndWidthsInTwips) {
  list.ColumnHeadersAdd(u"Drive");
  list.ColumnHeadersAdd(u"Type");
  EXPECT_EQ(list.ColumnHeadersCount(), 2);
  EXPECT_EQ(list.ColumnHeaderText(1), u"Drive");
  EXPECT_EQ(list.ColumnHeaderText(2), u"Type");
  list.SetColumnHeaderWidth(1, 2500.0f);
  EXPECT_EQ(::SendMessageW(window, LVM_GETCOLUMNWIDTH, 0, 0), 167);  // 2500 / 15, rounded
  list.SetColumnHeaderWidth(2, 1500.0f);
  EXPECT_FLOAT_EQ(list.ColumnHeaderWidth(2), 1500.0f);
}

TEST_F(Win32ListViewTest, RowsKeepTheirOrderTextsAndClearCheckMarks) {
  for (auto header : {u"Drive", u"Type", u"Serial Number"}) list.ColumnHeadersAdd(header);
  EXPECT_EQ(list.ListItemsAdd(u"A:\\  - No Disk present"), 1);
  EXPECT_EQ(list.ListItemsAdd(u"C:\\ - [Système]"), 2);
  list.SetSubItem(1, 1, u"Floppy");
  list.SetSubItem(2, 2, u"1234-ABCD");
  EXPECT_EQ(list.ListItemsCount(), 2);
  EXPECT_EQ(list.ListItemText(2), u"C:\\ - [Système]");
  EXPECT_EQ(list.SubItem(1, 1), u"Floppy");
  EXPECT_EQ(list.SubItem(1, 2), u"");
  EXPECT_EQ(list.SubItem(2, 2), u"1234-ABCD");
  EXPECT_FALSE(list.Checked(1));
  EXPECT_FALSE(list.Checked(2));

  LVITEMW check{};
  check.stateMask = LVIS_STATEIMAGEMASK;
  check.state = INDEXTOSTATEIMAGEMASK(2);
  ::SendMessageW(window, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&check));
  EXPECT_FALSE(list.Checked(1));
  EXPECT_TRUE(list.Checked(2));
}

TEST_F(Win32ListViewTest, LongTextsComeBackWhole) {
  list.ColumnHeadersAdd(u"Drive");
  list.ColumnHeadersAdd(u"Type");
  const std::u16string longText(3000, u'x');
  list.ListItemsAdd(longText);
  list.SetSubItem(1, 1, longText + u"y");
  EXPECT_EQ(list.ListItemText(1), longText);
  EXPECT_EQ(list.SubItem(1, 1), longText + u"y");
}

TEST_F(Win32ListViewTest, IndexesOutOfRangeRaiseIndexOutOfBounds) {
  list.ColumnHeadersAdd(u"Drive");
  list.ColumnHeadersAdd(u"Type");
  list.ListItemsAdd(u"C:\\");
  constexpr int32_t kOutOfBounds = error_number::kIndexOutOfBounds;
  EXPECT_EQ(FailureOf([&] { list.ListItemText(0); }), kOutOfBounds);
  EXPECT_EQ(FailureOf([&] { list.ListItemText(2); }), kOutOfBounds);
  EXPECT_EQ(FailureOf([&] { list.SubItem(1, 2); }), kOutOfBounds);
  EXPECT_EQ(FailureOf([&] { list.SetSubItem(1, 0, u"x"); }), kOutOfBounds);
  EXPECT_EQ(FailureOf([&] { list.ColumnHeaderText(3); }), kOutOfBounds);
  EXPECT_EQ(FailureOf([&] { list.SetColumnHeaderWidth(3, 100.0f); }), kOutOfBounds);
  EXPECT_EQ(FailureOf([&] { list.Checked(5); }), kOutOfBounds);
}

TEST_F(Win32ListViewTest, AListWithoutItsWindowFailsCleanly) {
  win32::Win32ListView detached;
  EXPECT_EQ(FailureOf([&] { detached.ListItemsCount(); }), error_number::kObjectNotSet);
  EXPECT_EQ(FailureOf([&] { detached.ListItemsAdd(u"x"); }), error_number::kObjectNotSet);
}

TEST(FileCheck, AnswersForFilesAndNeverFails) {
  TemporaryFolder folder;
  folder.WriteFile(L"HAND-M.CUR", "x");
  folder.WriteFile(L"hidden.cur", "x", FILE_ATTRIBUTE_HIDDEN);
  EXPECT_TRUE(win32::FileExists(folder.Path() + L"\\HAND-M.CUR"));
  EXPECT_TRUE(win32::FileExists(folder.Path() + L"\\hidden.cur"));
  EXPECT_FALSE(win32::FileExists(folder.Path() + L"\\missing.cur"));
  EXPECT_FALSE(win32::FileExists(folder.Path()));  // a folder is no file
  EXPECT_FALSE(win32::FileExists(L""));
  EXPECT_FALSE(win32::FileExists(L"Q:\\no\\such\\drive.cur"));
  EXPECT_FALSE(win32::FileExists(L"bad|name<>.cur"));
}

TEST(FileCheck, TheProgramFolderIsWhereTheExecutableIs) {
  wchar_t module[MAX_PATH];
  const DWORD length = ::GetModuleFileNameW(nullptr, module, MAX_PATH);
  const std::wstring folder = win32::ProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_NE(folder.back(), L'\\');
  EXPECT_EQ(std::wstring(module, length).substr(0, folder.size() + 1), folder + L"\\");
}

TEST(HomePage, ExplorerRunsFromTheWindowsFolderByItsFullPath) {
  EXPECT_EQ(win32::ExplorerPath(L"C:\\WINDOWS"), L"C:\\WINDOWS\\explorer.exe");
  EXPECT_EQ(win32::ExplorerPath(L"C:\\"), L"C:\\explorer.exe");
  EXPECT_EQ(win32::ExplorerCommandLine(L"C:\\WINDOWS\\explorer.exe", u"https://example.org/"),
            L"\"C:\\WINDOWS\\explorer.exe\" \"https://example.org/\"");
  for (int i = 0; i < 20; ++i) {
    const int number = win32::DrawHomePageNumber();
    EXPECT_GE(number, 1);
    EXPECT_LE(number, 100);
  }
}

}  // namespace
}  // namespace brindlecap::testing
