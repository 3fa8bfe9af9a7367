// The real main window in this process: what its start-up reads (the pointer
// file, the skin file), the home page, and a failing step reported at its line.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

#include "main_window/core/application_title.h"
#include "main_window/core/form_layout.h"
#include "main_window/core/home_page_draw.h"
#include "main_window/win32/skin.h"
#include "platform/dpi.h"
#include "results/result_columns.h"
#include "shared/error_report.h"
#include "shared/runtime_failure.h"
#include "support/window_driver.h"
#include "support/window_fixture.h"
#include "win32/main_window_probes.h"

namespace brindlecap::testing {
namespace {

namespace layout = form_layout;

HWND StartButtonOf(HWND form) { return ::GetWindow(::GetWindow(form, GW_CHILD), GW_HWNDNEXT); }

TEST(MainWindowStartup, HandPointerFileBecomesTheMouseIcon) {
  WindowFixture fixture;
  fixture.folder.WriteFile(L"HAND-M.CUR", MinimalCursorFile());
  fixture.Load();
  const HWND form = fixture.form->Handle();
  EXPECT_TRUE(IsTheHandCursor(PointerOver(form, StartButtonOf(form))));
  EXPECT_TRUE(fixture.boxes.boxes.empty());
}

TEST(MainWindowStartup, AHandPointerFileThatIsNoCursorIsReportedAtLine106) {
  WindowFixture fixture;
  fixture.folder.WriteFile(L"HAND-M.CUR", "this is not a cursor");
  fixture.Load();
  const HWND form = fixture.form->Handle();
  EXPECT_EQ(PointerOver(form, StartButtonOf(form)), ::LoadCursorW(nullptr, IDC_ARROW));
  ASSERT_EQ(fixture.boxes.boxes.size(), 1u);
  EXPECT_NE(fixture.boxes.boxes[0].text.find(u"Form_Load at line 106\r"), std::u16string::npos);
  EXPECT_NE(fixture.boxes.boxes[0].text.find(u"Invalid picture"), std::u16string::npos);
  EXPECT_EQ(fixture.form->Results().ColumnCount(), 7);  // start-up went on
}

TEST(MainWindowStartup, ASkinFileTurnsTheWindowToButtonFaceAndAppliesTheTheme) {
  WindowFixture fixture;
  fixture.folder.WriteFile(L"x\\o.cjs", "list.background = #102030\nlist.text = #F0E0D0\n");
  fixture.Load();
  EXPECT_TRUE(fixture.boxes.boxes.empty());
  EXPECT_EQ(BackgroundOf(fixture.form->Handle()), ::GetSysColor(COLOR_BTNFACE));
  const HWND list = ::GetWindow(fixture.form->Handle(), GW_CHILD);
  EXPECT_EQ(static_cast<COLORREF>(::SendMessageW(list, LVM_GETBKCOLOR, 0, 0)),
            RGB(0x10, 0x20, 0x30));
  EXPECT_EQ(static_cast<COLORREF>(::SendMessageW(list, LVM_GETTEXTCOLOR, 0, 0)),
            RGB(0xF0, 0xE0, 0xD0));
}

TEST(MainWindowStartup, AHiddenOrSystemSkinFileCountsAsAbsent) {
  for (DWORD attributes : {DWORD{FILE_ATTRIBUTE_HIDDEN}, DWORD{FILE_ATTRIBUTE_SYSTEM}}) {
    WindowFixture fixture;
    fixture.folder.WriteFile(L"x\\o.cjs", "list.background = #102030\n", attributes);
    fixture.Load();
    EXPECT_TRUE(fixture.boxes.boxes.empty());
    EXPECT_EQ(BackgroundOf(fixture.form->Handle()), RGB(255, 255, 255));
  }
}

TEST(MainWindowStartup, ABrokenSkinFileGivesOneReportAt102AndKeepsTheButtonFace) {
  const std::pair<std::string, std::u16string> broken[] = {
      {"list.background = purple\n", u"(line 1)"},
      {"# fine\n# " + std::string(4096, 'x') + "\n", u"(line 2): a line is longer than"},
      {std::string(16 * 1024 * 1024, '#'), u"larger than 64 KiB"}};
  for (const auto& [content, reason] : broken) {
    SCOPED_TRACE(std::string(reason.begin(), reason.end()));
    WindowFixture fixture;
    fixture.folder.WriteFile(L"x\\o.cjs", content);
    fixture.Load();
    ASSERT_EQ(fixture.boxes.boxes.size(), 1u);
    EXPECT_EQ(fixture.boxes.boxes[0].title, u"Application Error");
    EXPECT_NE(fixture.boxes.boxes[0].text.find(u"Form_Load at line 102\r"), std::u16string::npos);
    EXPECT_NE(fixture.boxes.boxes[0].text.find(reason), std::u16string::npos);
    EXPECT_EQ(BackgroundOf(fixture.form->Handle()), ::GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(fixture.form->Results().ColumnCount(), 7);
  }
}

TEST(MainWindowStartup, TheHomePageOpensOnlyOnASeven) {
  {
    WindowFixture fixture(7);
    fixture.Load();
    EXPECT_EQ(fixture.launched, std::vector<std::u16string>{std::u16string(kHomePageAddress)});
  }
  for (int number : {1, 6, 8, 100}) {
    WindowFixture fixture(number);
    fixture.Load();
    EXPECT_TRUE(fixture.launched.empty()) << number;
  }
  WindowFixture failing(7);
  failing.failLaunch = true;
  failing.Load();
  ASSERT_EQ(failing.boxes.boxes.size(), 1u);
  EXPECT_NE(failing.boxes.boxes[0].text.find(u"Form_Load at line 108\r"), std::u16string::npos);
}

// Stands in front of a window's procedure and turns down every change of its text.
WNDPROC textKeeperNext = nullptr;
LRESULT CALLBACK TurnDownText(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SETTEXT) {
    ::SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  return ::CallWindowProcW(textKeeperNext, window, message, wParam, lParam);
}
void KeepItsText(HWND window) {
  textKeeperNext = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TurnDownText)));
}

// Where start-up can fail, one case each. Not in the table: the icon step of 126
// (these test programs carry the program's icon, and the window takes the
// instance that holds it).
struct StartUpFault {
  void (*arrange)(WindowFixture&);
  int line;
};

const StartUpFault kStartUpFaults[] = {
    {[](WindowFixture& f) { f.folder.WriteFile(L"x\\o.cjs", "list.background = purple\n"); }, 102},
    {[](WindowFixture& f) { f.folder.WriteFile(L"HAND-M.CUR", "not a cursor"); }, 106},
    {[](WindowFixture& f) {
       f.homePageNumber = 7;
       f.failLaunch = true;
     },
     108},
    // The caption, then the application title.
    {[](WindowFixture& f) { f.windowCreated = KeepItsText; }, 126},
    {[](WindowFixture& f) {
       f.windowCreated = [](HWND form) { KeepItsText(::GetWindow(form, GW_OWNER)); };
     },
     126},
};

TEST(MainWindowStartup, AFailingStepIsReportedAtItsLineAndTheStartUpGoesOn) {
  for (const StartUpFault& fault : kStartUpFaults) {
    SCOPED_TRACE(fault.line);
    WindowFixture fixture;
    if (fault.arrange) fault.arrange(fixture);
    fixture.Load();
    EXPECT_EQ(fixture.boxes.LinesAt(location::kFormLoad), std::vector<int>{fault.line});
    // The last step, adding the columns, still took place.
    EXPECT_EQ(fixture.form->Results().ColumnCount(), 7);
  }
}

}  // namespace
}  // namespace brindlecap::testing
