// The real main window in this process, read back through Win32.
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
#include "shared/error_report.h"
#include "shared/runtime_failure.h"
#include "support/window_driver.h"
#include "support/window_fixture.h"

namespace brindlecap::testing {
namespace {

namespace layout = form_layout;
using e2e::ClassNameOf;
using e2e::TextOf;

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

// The colour the window erases its background with, read back from a bitmap it erased.
COLORREF BackgroundOf(HWND form) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = 4;
  info.bmiHeader.biHeight = -4;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  const HDC dc = ::CreateCompatibleDC(nullptr);
  const HBITMAP bitmap = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  const HGDIOBJ before = ::SelectObject(dc, bitmap);
  ::SendMessageW(form, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  const COLORREF colour = ::GetPixel(dc, 1, 1);
  ::SelectObject(dc, before);
  ::DeleteObject(bitmap);
  ::DeleteDC(dc);
  return colour;
}

// The pointer the window shows when the mouse moves over that control.
HCURSOR PointerOver(HWND form, HWND over) {
  ::SetCursor(nullptr);
  ::SendMessageW(form, WM_SETCURSOR, reinterpret_cast<WPARAM>(over),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  return ::GetCursor();
}

// Whether the cursor is the one MinimalCursorFile draws: 32 x 32, its hot spot at 4, 4.
bool IsTheHandCursor(HCURSOR cursor) {
  ICONINFO info{};
  if (cursor == nullptr || !::GetIconInfo(cursor, &info)) return false;
  BITMAP mask{};
  ::GetObjectW(info.hbmMask, sizeof mask, &mask);
  if (info.hbmColor != nullptr) ::DeleteObject(info.hbmColor);
  ::DeleteObject(info.hbmMask);
  return !info.fIcon && info.xHotspot == 4 && info.yHotspot == 4 && mask.bmWidth == 32;
}

HWND StartButtonOf(HWND form) { return ::GetWindow(::GetWindow(form, GW_CHILD), GW_HWNDNEXT); }

struct DpiCase {
  int startDpi;    // 0: the screen's
  int movedToDpi;  // 0: stays; else WM_DPICHANGED after the start
};

class MainWindowDesign : public ::testing::TestWithParam<DpiCase> {};

// At the screen's DPI, and at 120 and 144 DPI as a larger setting gives them; and
// moved to a monitor of another DPI, the same as a start there.
INSTANTIATE_TEST_SUITE_P(Dpi, MainWindowDesign,
                         ::testing::Values(DpiCase{0, 0}, DpiCase{120, 0}, DpiCase{144, 0},
                                           DpiCase{96, 144}, DpiCase{144, 96}, DpiCase{120, 144}));

TEST_P(MainWindowDesign, WindowControlsFontsAndColumnsAsDesigned) {
  const DpiCase dpiCase = GetParam();
  WindowFixture fixture;
  fixture.dpi = dpiCase.startDpi;
  fixture.Load();
  const HWND form = fixture.form->Handle();
  const int dpi = dpiCase.movedToDpi > 0 ? dpiCase.movedToDpi
                  : dpiCase.startDpi > 0 ? dpiCase.startDpi
                                         : win32::ScreenDpi();
  if (dpiCase.movedToDpi > 0) {
    // Windows suggests the window's rectangle at the new DPI: that of a start there,
    // somewhere else on the screen.
    WindowFixture there;
    there.dpi = dpiCase.movedToDpi;
    there.Load();
    RECT suggested;
    ::GetWindowRect(there.form->Handle(), &suggested);
    ::OffsetRect(&suggested, 40 - suggested.left, 30 - suggested.top);
    ::SendMessageW(form, win32::kDpiChangedMessage, MAKEWPARAM(dpi, dpi),
                   reinterpret_cast<LPARAM>(&suggested));
    RECT frame;
    ::GetWindowRect(form, &frame);
    EXPECT_TRUE(::EqualRect(&frame, &suggested));
  }
  // The smallest size is the designed one, at this DPI too.
  MINMAXINFO limits{};
  ::SendMessageW(form, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
  RECT frame;
  ::GetWindowRect(form, &frame);
  EXPECT_EQ(limits.ptMinTrackSize.x, frame.right - frame.left);
  EXPECT_EQ(limits.ptMinTrackSize.y, frame.bottom - frame.top);

  EXPECT_EQ(TextOf(form), std::wstring(L"Quillmarsh Orvane Tessel Plint Vaskrow"));
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
  EXPECT_TRUE(style & WS_MAXIMIZEBOX);
  EXPECT_TRUE(style & WS_THICKFRAME);

  // Tab order is the order of the children: the list, then the two buttons.
  const HWND list = ::GetWindow(form, GW_CHILD);
  const HWND start = ::GetWindow(list, GW_HWNDNEXT);
  const HWND save = ::GetWindow(start, GW_HWNDNEXT);
  EXPECT_EQ(::GetWindow(save, GW_HWNDNEXT), nullptr);
  EXPECT_EQ(ClassNameOf(list), L"SysListView32");
  EXPECT_EQ(ClassNameOf(start), L"Button");
  EXPECT_EQ(ClassNameOf(save), L"Button");
  EXPECT_EQ(TextOf(start), L"Start Retrieving");
  EXPECT_EQ(TextOf(save), L"Save Results As Text File");
  ExpectBox(form, list, layout::kResultsList, dpi);
  ExpectBox(form, start, layout::kStartRetrievingButton, dpi);
  ExpectBox(form, save, layout::kSaveResultsButton, dpi);
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

  RowList& results = fixture.form->Results();
  ASSERT_EQ(results.ColumnCount(), 7);
  for (int c = 1; c <= 7; ++c) {
    const auto& expected = layout::kResultColumns[c - 1];
    EXPECT_EQ(results.ColumnTitle(c), expected.header);
    EXPECT_EQ(::SendMessageW(list, LVM_GETCOLUMNWIDTH, c - 1, 0),
              win32::TwipsToPixels(expected.widthTwips, dpi));
  }
  EXPECT_EQ(results.RowCount(), 0);
  EXPECT_TRUE(fixture.boxes.boxes.empty());
  EXPECT_EQ(BackgroundOf(form), RGB(255, 255, 255));
  // Without a pointer file the buttons show the arrow.
  EXPECT_EQ(PointerOver(form, start), ::LoadCursorW(nullptr, IDC_ARROW));

  // The application title lives in the hidden window that owns the main window.
  const HWND application = ::GetWindow(form, GW_OWNER);
  ASSERT_NE(application, nullptr);
  EXPECT_EQ(ClassNameOf(application), L"Brindlecap.Application");
  EXPECT_FALSE(::IsWindowVisible(application));
  EXPECT_EQ(TextOf(application), L"Quillmarsh Orvane Tessel Plint");
  EXPECT_NE(::SendMessageW(form, WM_GETICON, ICON_BIG, 0), 0);
}

TEST(MainWindowPlacement, ShowsCentredWithTheFocusInTheList) {
  WindowFixture fixture;
  fixture.Load();
  fixture.form->Show();
  const HWND form = fixture.form->Handle();
  RECT frame;
  ::GetWindowRect(form, &frame);
  EXPECT_NEAR((frame.left + frame.right) / 2, ::GetSystemMetrics(SM_CXSCREEN) / 2, 1);
  EXPECT_NEAR((frame.top + frame.bottom) / 2, ::GetSystemMetrics(SM_CYSCREEN) / 2, 1);
  EXPECT_EQ(::GetFocus(), ::GetWindow(form, GW_CHILD));
}

// Each size the title bar, the taskbar and Explorer ask for at 100 to 200 % has an
// image of its own, not one scaled down by the system (these test programs carry the
// program's resources).
TEST(ProgramResources, TheIconHasAnImageForEverySmallSizeAndTheLargeOne) {
  const HRSRC found = ::FindResourceW(nullptr, MAKEINTRESOURCEW(1), RT_GROUP_ICON);
  ASSERT_NE(found, nullptr);
  const auto* directory = static_cast<const BYTE*>(::LockResource(::LoadResource(nullptr, found)));
  ASSERT_NE(directory, nullptr);
  const int count = directory[4] | directory[5] << 8;
  std::set<int> sizes;
  for (int i = 0; i < count; ++i) {
    const int width = directory[6 + 14 * i];  // 14-byte entries; 0 stands for 256
    sizes.insert(width == 0 ? 256 : width);
  }
  EXPECT_EQ(sizes, (std::set<int>{16, 20, 24, 32, 48, 256}));
}

// Wine makes every window per-monitor aware whatever the manifest says: only the
// manifest shows what Windows will do. Windows 10 1607 and later read dpiAwareness
// (per monitor, v2 where there is one); earlier ones read dpiAware (the system DPI).
TEST(ProgramResources, TheManifestAsksForPerMonitorDpiAndTheSystemDpiBefore) {
  const HRSRC found = ::FindResourceW(nullptr, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
  ASSERT_NE(found, nullptr);
  const std::string manifest(
      static_cast<const char*>(::LockResource(::LoadResource(nullptr, found))),
      ::SizeofResource(nullptr, found));
  EXPECT_NE(manifest.find("<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/"
                          "WindowsSettings\">PerMonitorV2, PerMonitor</dpiAwareness>"),
            std::string::npos);
  EXPECT_NE(manifest.find("<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/"
                          "WindowsSettings\">true</dpiAware>"),
            std::string::npos);
}

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
              static_cast<float>(layout::kResultColumns[6].widthTwips));
  }
}

// The tip window that holds the list's tool (the list itself has tips of its own).
struct TipSearch {
  TOOLINFOW& tool;
  HWND found = nullptr;
};
BOOL CALLBACK FindListTip(HWND window, LPARAM param) {
  auto& search = *reinterpret_cast<TipSearch*>(param);
  if (ClassNameOf(window) == TOOLTIPS_CLASSW &&
      ::SendMessageW(window, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&search.tool))) {
    search.found = window;
  }
  return search.found == nullptr;
}
HWND ListTip(TOOLINFOW& tool) {
  TipSearch search{tool};
  ::EnumThreadWindows(::GetCurrentThreadId(), FindListTip, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

TEST(MainWindowList, PointingAtASizeTipsItsExactBytesInTheLocalesGrouping) {
  WindowFixture fixture;
  fixture.Load();
  ResultsModel& results = fixture.form->Results();
  DriveFacts facts;
  facts.root = u"C:\\";
  facts.totalBytes = 500107862016;
  facts.freeBytes = 4096;
  const int row = results.AddRow(u"C:\\ - [System]");
  results.SetRowFacts(row, facts);
  results.SetSubItem(row, 3, u"465.76 GB");
  const HWND list = ::GetWindow(fixture.form->Handle(), GW_CHILD);
  const auto pointAt = [&](int column) {
    RECT cell{LVIR_BOUNDS, column, 0, 0};
    ::SendMessageW(list, LVM_GETSUBITEMRECT, 0, reinterpret_cast<LPARAM>(&cell));
    ::SendMessageW(list, WM_MOUSEMOVE, 0,
                   MAKELPARAM((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2));
    return cell;
  };

  wchar_t text[80] = L"";
  TOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.hwnd = list;
  tool.uId = 1;
  const HWND tip = ListTip(tool);
  ASSERT_NE(tip, nullptr);
  const auto tipText = [&] {
    text[0] = L'\0';
    tool.lpszText = text;
    ::SendMessageW(tip, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&tool));
    return std::wstring(text);
  };
  // The test prefix's locale is English (United States): commas, groups of three.
  const RECT total = pointAt(3);
  EXPECT_EQ(tipText(), L"500,107,862,016 bytes");
  ::SendMessageW(tip, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tool));
  EXPECT_TRUE(::EqualRect(&tool.rect, &total));  // the tip belongs to that cell alone
  pointAt(4);
  EXPECT_EQ(tipText(), L"4,096 bytes");
  // A text cell and a size the system did not give have no tip.
  for (int column : {1, 5}) {
    pointAt(column);
    ::SendMessageW(tip, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tool));
    EXPECT_TRUE(::IsRectEmpty(&tool.rect)) << column;
  }
}

LPARAM MouseMoveOverClient() { return MAKELPARAM(HTCLIENT, WM_MOUSEMOVE); }

TEST(MainWindowPointer, HandOverButtonsArrowElsewhereNeverReplacingTheHourglass) {
  WindowFixture fixture;
  fixture.folder.WriteFile(L"HAND-M.CUR", MinimalCursorFile());
  fixture.Load();
  win32::MainWindow& form = *fixture.form;
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
  EXPECT_TRUE(IsTheHandCursor(::GetCursor()));
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

TEST(MainWindowList, AfterASaveTheRowsSortAndGoAgain) {
  WindowFixture fixture;
  fixture.Load();
  ResultsModel& results = fixture.form->Results();
  results.AddRow(u"D:\\");
  results.AddRow(u"C:\\");
  // The save holds the order while it reads the rows (this dialog is cancelled).
  ::SendMessageW(fixture.form->Handle(), WM_COMMAND, MAKEWPARAM(8, BN_CLICKED), 0);
  EXPECT_TRUE(results.SortBy({2, ColumnValue::kText, true}));
  EXPECT_TRUE(results.RemoveShown({1}));
}

// The close request's two lines, 100 and 102, only let waiting events run through
// the window's own pump; nothing that runs there can raise a failure into them
// (no handler of the window lets a failure out), so no test makes them fail.
TEST(MainWindowClosing, ACloseRequestPumpsNeverCancelsAndEndsTheProgram) {
  WindowFixture fixture;
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

}  // namespace
}  // namespace brindlecap::testing
