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

// Stands in for the list control: fails as one column is added, or is given its width.
class FailingColumns : public ResultsModel::Listener {
 public:
  FailingColumns(int added, int widened) : added_(added), widened_(widened) {}
  void ColumnAdded(int column) override { FailAt(column, added_); }
  void ColumnWidthChanged(int column) override { FailAt(column, widened_); }
  void RowsAdded(int, int) override {}
  void RowChanged(int) override {}
  void RowCheckChanged(int) override {}
  void RowsRearranged() override {}

 private:
  static void FailAt(int column, int failing) {
    if (column == failing) throw RuntimeFailure(35605, u"Control deleted");
  }
  int added_, widened_;
};

// One failing step per row; a column step fails in the list control it informs,
// for which FailingColumns stands in. Not in the table: 104 (looking for the
// pointer file never fails) and the icon step of 126 (these test programs carry
// the program's icon, and the window takes the instance that holds it).
struct StartUpFault {
  void (*arrange)(WindowFixture&);
  int failingColumn, failingWidth;  // the column whose adding or width fails
  int line;
};

const StartUpFault kStartUpFaults[] = {
    {[](WindowFixture& f) { f.folder.WriteFile(L"x\\o.cjs", "list.background = purple\n"); }, 0, 0,
     102},
    {[](WindowFixture& f) { f.folder.WriteFile(L"HAND-M.CUR", "not a cursor"); }, 0, 0, 106},
    {[](WindowFixture& f) {
       f.homePageNumber = 7;
       f.failLaunch = true;
     },
     0, 0, 108},
    // The caption, then the application title.
    {[](WindowFixture& f) { f.windowCreated = KeepItsText; }, 0, 0, 126},
    {[](WindowFixture& f) {
       f.windowCreated = [](HWND form) { KeepItsText(::GetWindow(form, GW_OWNER)); };
     },
     0, 0, 126},
    {nullptr, 1, 0, 128},
    {nullptr, 2, 0, 130},
    {nullptr, 3, 0, 132},
    {nullptr, 4, 0, 134},
    {nullptr, 5, 0, 136},
    {nullptr, 6, 0, 138},
    {nullptr, 7, 0, 140},
    {nullptr, 0, 1, 142},
    {nullptr, 0, 2, 144},
    {nullptr, 0, 3, 146},
    {nullptr, 0, 4, 148},
    {nullptr, 0, 5, 150},
    {nullptr, 0, 6, 152},
    {nullptr, 0, 7, 154},
};

TEST(MainWindowStartup, AFailingStepIsReportedAtItsLineAndTheStartUpGoesOn) {
  for (const StartUpFault& fault : kStartUpFaults) {
    SCOPED_TRACE(fault.line);
    FailingColumns columns(fault.failingColumn, fault.failingWidth);
    WindowFixture fixture;
    if (fault.arrange) fault.arrange(fixture);
    if (fault.failingColumn != 0 || fault.failingWidth != 0) {
      fixture.windowCreated = [&](HWND) { fixture.form->Results().SetListener(&columns); };
    }
    fixture.Load();
    EXPECT_EQ(fixture.boxes.LinesAt(location::kFormLoad), std::vector<int>{fault.line});
    // The last step, the last column's width, still took place.
    EXPECT_EQ(fixture.form->Results().ColumnWidth(7),
              static_cast<float>(kResultColumns[6].widthTwips));
  }
}

}  // namespace
}  // namespace brindlecap::testing
