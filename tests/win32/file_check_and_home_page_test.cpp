// The file check and the home page launcher, in this process.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "main_window/win32/home_page.h"
#include "main_window/win32/results_list_control.h"
#include "shared/runtime_failure.h"
#include "shared/win32/file_check.h"
#include "support/window_fixture.h"

namespace brindlecap::testing {
namespace {

TEST(FileCheck, AnswersForFilesAndNeverFails) {
  e2e::ScratchFolder folder;
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
