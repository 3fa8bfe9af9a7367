// The real main window in this process, read back through Win32: its design at
// each DPI, its placement and the program's resources.
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
  for (int c = 0; c < 7; ++c) {
    const auto& expected = kResultColumns[static_cast<size_t>(c)];
    EXPECT_EQ(results.ColumnTitle(c), expected.header);
    EXPECT_EQ(::SendMessageW(list, LVM_GETCOLUMNWIDTH, c, 0),
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
  EXPECT_NE(::GetClassLongPtrW(form, GCLP_HICON), 0U);  // the caption's and the taskbar's
  EXPECT_NE(::GetClassLongPtrW(form, GCLP_HICONSM), 0U);
}

// Moved to a monitor of a lower DPI, the window may keep its larger size (Windows
// suggests it so when the user had enlarged it): the list still fills the room.
TEST(MainWindowPlacement, ADpiChangeThatKeepsTheSizeLeavesTheListFillingTheWindow) {
  WindowFixture fixture;
  fixture.dpi = 144;
  fixture.Load();
  const HWND form = fixture.form->Handle();
  RECT kept;
  ::GetWindowRect(form, &kept);
  ::SendMessageW(form, win32::kDpiChangedMessage, MAKEWPARAM(96, 96),
                 reinterpret_cast<LPARAM>(&kept));
  RECT client, list = ChildRect(form, ::GetWindow(form, GW_CHILD));
  ::GetClientRect(form, &client);
  const layout::Box& box = layout::kResultsList;
  EXPECT_EQ(list.left, win32::TwipsToPixels(box.left, 96));
  EXPECT_GT(client.right, win32::TwipsToPixels(layout::kClientWidth, 96));
  // The margins at the right and bottom as designed at 96 DPI: 8 and 7 pixels.
  EXPECT_EQ(client.right - list.right, 8);
  EXPECT_EQ(client.bottom - list.bottom, 7);
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

}  // namespace
}  // namespace brindlecap::testing
