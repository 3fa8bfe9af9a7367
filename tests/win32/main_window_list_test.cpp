// The real main window in this process: the list's size tips, the pointer over
// the window, the buttons during a run, sorting after a save, and the close request.
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
#include "support/held_workers.h"
#include "support/window_driver.h"
#include "support/window_fixture.h"
#include "win32/main_window_probes.h"

namespace brindlecap::testing {
namespace {

using e2e::ClassNameOf;

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
  results.SetCell(row, 3, u"465.76 GB");
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
  pointAt(1);
  EXPECT_EQ(ListTip(tool), nullptr) << "a name has no tip to make a window for";
  // The test prefix's locale is English (United States): commas, groups of three.
  const RECT total = pointAt(3);
  const HWND tip = ListTip(tool);  // made when the pointer first came to a size
  ASSERT_NE(tip, nullptr);
  const auto tipText = [&] {
    text[0] = L'\0';
    tool.lpszText = text;
    ::SendMessageW(tip, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&tool));
    return std::wstring(text);
  };
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

  EXPECT_EQ(form.MousePointer(), PointerShape::kArrow);
  moveOver(start);
  EXPECT_EQ(form.MousePointer(), PointerShape::kHand);
  EXPECT_TRUE(IsTheHandCursor(::GetCursor()));
  moveOver(list);
  EXPECT_EQ(form.MousePointer(), PointerShape::kArrow);
  moveOver(save);
  EXPECT_EQ(form.MousePointer(), PointerShape::kHand);
  moveOver(window);
  EXPECT_EQ(form.MousePointer(), PointerShape::kArrow);
  moveOver(save);
  moveOver(header);  // the list's header is part of the list
  EXPECT_EQ(form.MousePointer(), PointerShape::kArrow);

  form.SetMousePointer(PointerShape::kHourglass);
  for (HWND over : {start, list, save, window}) {
    moveOver(over);
    EXPECT_EQ(form.MousePointer(), PointerShape::kHourglass);
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
  EXPECT_TRUE(results.SortBy({1, ColumnValue::kText, true}));
  EXPECT_TRUE(results.RemoveShown({0}));
}

// Handles the window's events until `done` holds, for at most two seconds.
template <class Condition>
bool PumpUntil(Condition done) {
  for (int waited = 0; waited < 2000 && !done(); ++waited) {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
    ::Sleep(1);
  }
  return done();
}

TEST(MainWindowRetrieval, TheButtonsGoOffOnlyOnceARunHasWaitedAMoment) {
  WindowFixture fixture;
  HeldWorkers workers;
  workers.holding = true;
  fixture.workers = &workers;
  fixture.Load();
  const HWND window = fixture.form->Handle();
  const HWND list = ::GetWindow(window, GW_CHILD);
  const HWND start = ::GetWindow(list, GW_HWNDNEXT);
  const HWND save = ::GetWindow(start, GW_HWNDNEXT);
  const auto buttonsOn = [&] { return ::IsWindowEnabled(start) && ::IsWindowEnabled(save); };

  ::SendMessageW(window, WM_COMMAND, MAKEWPARAM(6, BN_CLICKED), 0);
  // A run that may yet end within the moment does not flash the buttons.
  EXPECT_TRUE(buttonsOn());
  EXPECT_TRUE(PumpUntil([&] { return !::IsWindowEnabled(start) && !::IsWindowEnabled(save); }));
  const size_t drives = workers.HeldCount();
  for (size_t drive = 0; drive < drives; ++drive) workers.Finish(drive);
  EXPECT_TRUE(PumpUntil([&] {
    return buttonsOn() && ::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) == LRESULT(drives);
  }));
}

// The close request's two lines, 100 and 102, only let waiting events run through
// the window's own pump; nothing that runs there can raise a failure into them
// (no handler of the window lets a failure out), so no test makes them fail.
TEST(MainWindowClosing, ACloseRequestPumpsNeverCancelsAndEndsTheProgram) {
  WindowFixture fixture;
  // The drives answer within the click, so their rows wait in the queue for the
  // second pump whatever the machine's load.
  HeldWorkers workers;
  fixture.workers = &workers;
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
