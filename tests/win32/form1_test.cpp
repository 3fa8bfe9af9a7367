// The real main window in this process, read back through Win32.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "main_window/core/application_title.h"
#include "main_window/core/form_layout.h"
#include "main_window/core/home_page_draw.h"
#include "platform/dpi.h"
#include "shared/error_report.h"
#include "shared/win32/skin.h"
#include "win32/support/form_fixture.h"

namespace brindlecap::testing {
namespace {

namespace layout = form_layout;

std::wstring WindowText(HWND window) {
  wchar_t text[256] = {};
  ::GetWindowTextW(window, text, 256);
  return text;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  ::GetClassNameW(window, name, 64);
  return name;
}

RECT ChildRect(HWND parent, HWND child) {
  RECT rect;
  ::GetWindowRect(child, &rect);
  ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

void ExpectBox(HWND parent, HWND child, const layout::Box& box, int dpi) {
  const RECT rect = ChildRect(parent, child);
  EXPECT_EQ(rect.left, win32::TwipsToPixels(box.left, dpi));
  EXPECT_EQ(rect.top, win32::TwipsToPixels(box.top, dpi));
  EXPECT_EQ(rect.right - rect.left, win32::TwipsToPixels(box.width, dpi));
  EXPECT_EQ(rect.bottom - rect.top, win32::TwipsToPixels(box.height, dpi));
}

LOGFONTW FontOf(HWND window) {
  LOGFONTW font{};
  ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(window, WM_GETFONT, 0, 0)), sizeof font,
               &font);
  return font;
}

class Form1Design : public ::testing::TestWithParam<int> {};

// At the screen's DPI, and at 120 and 144 DPI as a larger setting gives them.
INSTANTIATE_TEST_SUITE_P(Dpi, Form1Design, ::testing::Values(0, 120, 144));

TEST_P(Form1Design, WindowControlsFontsAndColumnsAsDesigned) {
  FormFixture fixture;
  fixture.dpi = GetParam();
  fixture.Load();
  const HWND form = fixture.form->Handle();
  const int dpi = GetParam() > 0 ? GetParam() : win32::ScreenDpi();

  EXPECT_EQ(WindowText(form), std::wstring(L"Quillmarsh Orvane Tessel Plint Vaskrow"));
  RECT client;
  ::GetClientRect(form, &client);
  EXPECT_EQ(client.right, win32::TwipsToPixels(layout::kClientWidth, dpi));
  EXPECT_EQ(client.bottom, win32::TwipsToPixels(layout::kClientHeight, dpi));
  if (dpi == 96) {
    EXPECT_EQ(client.right * 1000 + client.bottom, 1064 * 1000 + 218);
  }
  if (dpi == 144) {
    EXPECT_EQ(client.right * 1000 + client.bottom, 1596 * 1000 + 327);
  }

  const LONG style = ::GetWindowLongW(form, GWL_STYLE);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(style & WS_THICKFRAME);

  // Tab order is the order of the children: the list, then the two buttons.
  const HWND list = ::GetWindow(form, GW_CHILD);
  const HWND start = ::GetWindow(list, GW_HWNDNEXT);
  const HWND save = ::GetWindow(start, GW_HWNDNEXT);
  EXPECT_EQ(::GetWindow(save, GW_HWNDNEXT), nullptr);
  EXPECT_EQ(ClassOf(list), L"SysListView32");
  EXPECT_EQ(ClassOf(start), L"Button");
  EXPECT_EQ(ClassOf(save), L"Button");
  EXPECT_EQ(WindowText(start), L"Start Retrieving");
  EXPECT_EQ(WindowText(save), L"Save Results As Text File");
  ExpectBox(form, list, layout::kListView1, dpi);
  ExpectBox(form, start, layout::kPushButton6, dpi);
  ExpectBox(form, save, layout::kPushButton8, dpi);
  for (HWND control : {list, start, save}) {
    EXPECT_TRUE(::GetWindowLongW(control, GWL_STYLE) & WS_TABSTOP);
  }

  const LOGFONTW listFont = FontOf(list), buttonFont = FontOf(start);
  EXPECT_STREQ(listFont.lfFaceName, L"Arial");
  EXPECT_EQ(listFont.lfWeight, FW_BOLD);
  EXPECT_EQ(listFont.lfHeight, win32::PointsToFontHeight(9, dpi));
  EXPECT_STREQ(buttonFont.lfFaceName, L"Arial");
  EXPECT_EQ(buttonFont.lfWeight, FW_BOLD);
  EXPECT_EQ(buttonFont.lfHeight, win32::PointsToFontHeight(11.25, dpi));
  EXPECT_EQ(FontOf(save).lfHeight, buttonFont.lfHeight);

  EXPECT_EQ(::GetWindowLongW(list, GWL_STYLE) & LVS_TYPEMASK, LVS_REPORT);
  const auto extended = ::SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
  EXPECT_EQ(extended & (LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES),
            LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
  EXPECT_FALSE(extended & LVS_EX_INFOTIP);

  ListView& results = fixture.form->ListView1();
  ASSERT_EQ(results.ColumnHeadersCount(), 7);
  for (int c = 1; c <= 7; ++c) {
    const auto& expected = layout::kResultColumns[c - 1];
    EXPECT_EQ(results.ColumnHeaderText(c), expected.header);
    EXPECT_EQ(::SendMessageW(list, LVM_GETCOLUMNWIDTH, c - 1, 0),
              win32::TwipsToPixels(expected.widthTwips, dpi));
  }
  EXPECT_EQ(results.ListItemsCount(), 0);
  EXPECT_TRUE(fixture.boxes.boxes.empty());
  EXPECT_EQ(fixture.form->BackColor(), RGB(255, 255, 255));
  EXPECT_EQ(fixture.form->MouseIcon(), nullptr);

  // The application title lives in the hidden window that owns the main window.
  const HWND application = fixture.form->ApplicationHandle();
  EXPECT_EQ(::GetWindow(form, GW_OWNER), application);
  EXPECT_FALSE(::IsWindowVisible(application));
  EXPECT_EQ(WindowText(application), L"Quillmarsh Orvane Tessel Plint");
  EXPECT_NE(::SendMessageW(form, WM_GETICON, ICON_BIG, 0), 0);
}

TEST(Form1Placement, ShowsCentredWithTheFocusInTheList) {
  FormFixture fixture;
  fixture.Load();
  fixture.form->Show();
  const HWND form = fixture.form->Handle();
  RECT frame;
  ::GetWindowRect(form, &frame);
  EXPECT_NEAR((frame.left + frame.right) / 2, ::GetSystemMetrics(SM_CXSCREEN) / 2, 1);
  EXPECT_NEAR((frame.top + frame.bottom) / 2, ::GetSystemMetrics(SM_CYSCREEN) / 2, 1);
  EXPECT_EQ(::GetFocus(), ::GetWindow(form, GW_CHILD));
}

TEST(Form1Startup, HandPointerFileBecomesTheMouseIcon) {
  FormFixture fixture;
  fixture.folder.WriteFile(L"HAND-M.CUR", MinimalCursorFile());
  fixture.Load();
  EXPECT_NE(fixture.form->MouseIcon(), nullptr);
  EXPECT_TRUE(fixture.boxes.boxes.empty());
}

TEST(Form1Startup, AHandPointerFileThatIsNoCursorIsReportedAtLine106) {
  FormFixture fixture;
  fixture.folder.WriteFile(L"HAND-M.CUR", "this is not a cursor");
  fixture.Load();
  EXPECT_EQ(fixture.form->MouseIcon(), nullptr);
  ASSERT_EQ(fixture.boxes.boxes.size(), 1u);
  EXPECT_NE(fixture.boxes.boxes[0].text.find(u"Form_Load at line 106\r"), std::u16string::npos);
  EXPECT_EQ(fixture.form->ListView1().ColumnHeadersCount(), 7);  // start-up went on
}

TEST(Form1Startup, ASkinFileTurnsTheWindowToButtonFaceAndAppliesTheTheme) {
  FormFixture fixture;
  fixture.folder.WriteFile(L"x\\o.cjs", "list.background = #102030\nlist.text = #F0E0D0\n");
  fixture.Load();
  EXPECT_TRUE(fixture.boxes.boxes.empty());
  EXPECT_EQ(fixture.form->BackColor(), ::GetSysColor(COLOR_BTNFACE));
  const HWND list = ::GetWindow(fixture.form->Handle(), GW_CHILD);
  EXPECT_EQ(static_cast<COLORREF>(::SendMessageW(list, LVM_GETBKCOLOR, 0, 0)),
            RGB(0x10, 0x20, 0x30));
  EXPECT_EQ(static_cast<COLORREF>(::SendMessageW(list, LVM_GETTEXTCOLOR, 0, 0)),
            RGB(0xF0, 0xE0, 0xD0));
}

TEST(Form1Startup, AHiddenOrSystemSkinFileCountsAsAbsent) {
  for (DWORD attributes : {DWORD{FILE_ATTRIBUTE_HIDDEN}, DWORD{FILE_ATTRIBUTE_SYSTEM}}) {
    FormFixture fixture;
    fixture.folder.WriteFile(L"x\\o.cjs", "list.background = #102030\n", attributes);
    fixture.Load();
    EXPECT_TRUE(fixture.boxes.boxes.empty());
    EXPECT_EQ(fixture.form->BackColor(), RGB(255, 255, 255));
  }
}

TEST(Form1Startup, ABrokenSkinFileGivesOneReportAt102AndKeepsTheButtonFace) {
  const std::pair<std::string, std::u16string> broken[] = {
      {"list.background = purple\n", u"(line 1)"},
      {"# fine\n# " + std::string(4096, 'x') + "\n", u"(line 2): a line is longer than"},
      {std::string(16 * 1024 * 1024, '#'), u"larger than 64 KiB"}};
  for (const auto& [content, reason] : broken) {
    SCOPED_TRACE(std::string(reason.begin(), reason.end()));
    FormFixture fixture;
    fixture.folder.WriteFile(L"x\\o.cjs", content);
    fixture.Load();
    ASSERT_EQ(fixture.boxes.boxes.size(), 1u);
    EXPECT_EQ(fixture.boxes.boxes[0].title, u"Application Error");
    EXPECT_NE(fixture.boxes.boxes[0].text.find(u"Form_Load at line 102\r"), std::u16string::npos);
    EXPECT_NE(fixture.boxes.boxes[0].text.find(reason), std::u16string::npos);
    EXPECT_EQ(fixture.form->BackColor(), ::GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(fixture.form->ListView1().ColumnHeadersCount(), 7);
  }
}

TEST(Form1Startup, TheHomePageOpensOnlyOnASeven) {
  {
    FormFixture fixture(7);
    fixture.Load();
    EXPECT_EQ(fixture.launched, std::vector<std::u16string>{std::u16string(kHomePageAddress)});
  }
  for (int number : {1, 6, 8, 100}) {
    FormFixture fixture(number);
    fixture.Load();
    EXPECT_TRUE(fixture.launched.empty()) << number;
  }
  FormFixture failing(7);
  failing.failLaunch = true;
  failing.Load();
  ASSERT_EQ(failing.boxes.boxes.size(), 1u);
  EXPECT_NE(failing.boxes.boxes[0].text.find(u"Form_Load at line 108\r"), std::u16string::npos);
}

LPARAM MouseMoveOverClient() { return MAKELPARAM(HTCLIENT, WM_MOUSEMOVE); }

TEST(Form1Pointer, HandOverButtonsArrowElsewhereNeverReplacingTheHourglass) {
  FormFixture fixture;
  fixture.folder.WriteFile(L"HAND-M.CUR", MinimalCursorFile());
  fixture.Load();
  win32::Form1& form = *fixture.form;
  const HWND window = form.Handle();
  const HWND list = ::GetWindow(window, GW_CHILD);
  const HWND start = ::GetWindow(list, GW_HWNDNEXT);
  const HWND save = ::GetWindow(start, GW_HWNDNEXT);
  const HWND header = reinterpret_cast<HWND>(::SendMessageW(list, LVM_GETHEADER, 0, 0));
  const auto moveOver = [&](HWND over) {
    ::SendMessageW(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(over), MouseMoveOverClient());
  };

  EXPECT_EQ(form.MousePointer(), 0);
  moveOver(start);
  EXPECT_EQ(form.MousePointer(), 99);
  EXPECT_EQ(::GetCursor(), form.MouseIcon());
  moveOver(list);
  EXPECT_EQ(form.MousePointer(), 0);
  moveOver(save);
  EXPECT_EQ(form.MousePointer(), 99);
  moveOver(window);
  EXPECT_EQ(form.MousePointer(), 0);
  moveOver(save);
  moveOver(header);  // the list's header is part of the list
  EXPECT_EQ(form.MousePointer(), 0);

  form.SetMousePointer(11);
  for (HWND over : {start, list, save, window}) {
    moveOver(over);
    EXPECT_EQ(form.MousePointer(), 11);
    EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_WAIT));
  }
}

TEST(Form1Closing, ACloseRequestPumpsNeverCancelsAndEndsTheProgram) {
  FormFixture fixture;
  fixture.Load();
  const HWND window = fixture.form->Handle();
  // A click waiting in the queue is carried out before the window closes.
  ::PostMessageW(window, WM_COMMAND, MAKEWPARAM(6, BN_CLICKED), 0);
  ::SendMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(fixture.ended);
  EXPECT_FALSE(::IsWindow(window));
  EXPECT_GT(fixture.rowsAtEnd, 0);
  EXPECT_TRUE(fixture.boxes.boxes.empty());
}

TEST(Form1CheckMarks, AMarkSetOnASelectedRowGoesToEverySelectedRow) {
  FormFixture fixture;
  fixture.Load();
  ListView& results = fixture.form->ListView1();
  for (int i = 0; i < 4; ++i) results.ListItemsAdd(u"row");
  const HWND list = ::GetWindow(fixture.form->Handle(), GW_CHILD);
  LVITEMW select{};
  select.stateMask = LVIS_SELECTED;
  select.state = LVIS_SELECTED;
  ::SendMessageW(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&select));
  ::SendMessageW(list, LVM_SETITEMSTATE, 2, reinterpret_cast<LPARAM>(&select));
  LVITEMW check{};
  check.stateMask = LVIS_STATEIMAGEMASK;
  check.state = INDEXTOSTATEIMAGEMASK(2);
  ::SendMessageW(list, LVM_SETITEMSTATE, 2, reinterpret_cast<LPARAM>(&check));
  EXPECT_TRUE(results.Checked(1));
  EXPECT_FALSE(results.Checked(2));
  EXPECT_TRUE(results.Checked(3));
  EXPECT_FALSE(results.Checked(4));
}

}  // namespace
}  // namespace brindlecap::testing
