// The main window as it opens: caption, size, border, position, controls, tab
// order, focus, the results list's columns; and closing it ends the program.
#include <windows.h>
// These need windows.h first.
#include <commctrl.h>
#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <cmath>
#include <string>

#include "support/scratch_files.h"
#include "support/window_driver.h"

namespace brindlecap::e2e {
namespace {

using namespace std::chrono_literals;

constexpr int kTwipsPerInch = 1440;

// A length in twips must show as that many pixels at the screen's DPI; when the
// exact figure is fractional, either neighbouring whole pixel is accepted.
::testing::AssertionResult IsPixelsOf(int pixels, int twips, int dpi) {
  const double exact = static_cast<double>(twips) * dpi / kTwipsPerInch;
  if (std::fabs(pixels - exact) < 1.0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << pixels << " px, expected " << twips
                                       << " twips = " << exact << " px at " << dpi << " dpi";
}

bool ProcessListed(DWORD processId) {
  UniqueKernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
       more = Process32NextW(snapshot.get(), &entry)) {
    if (entry.th32ProcessID == processId) return true;
  }
  return false;
}

class StartupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    program_ = ProgramDriver::Start(BRINDLECAP_EXE, folder_.Path());
    window_ = program_->MainWindow();
    dpi_ = ScreenDpi();
  }
  void TearDown() override { program_->Close(10s); }

  ScratchFolder folder_;
  std::unique_ptr<ProgramDriver> program_;
  HWND window_ = nullptr;
  int dpi_ = 96;
};

TEST_F(StartupTest, WindowHasProductCaptionSizingBorderAndClientSize) {
  EXPECT_EQ(Narrow(TextOf(window_)), Narrow(kMainWindowCaption));
  EXPECT_EQ(Narrow(ClassNameOf(window_)), Narrow(kMainWindowClass));

  const SIZE client = ClientSizeOf(window_);
  EXPECT_TRUE(IsPixelsOf(client.cx, 15960, dpi_)) << "client width";
  EXPECT_TRUE(IsPixelsOf(client.cy, 3270, dpi_)) << "client height";

  const LONG style = StyleOf(window_);
  EXPECT_EQ(style & WS_CAPTION, WS_CAPTION) << "title bar";
  EXPECT_EQ(style & WS_THICKFRAME, WS_THICKFRAME) << "resizable";
  EXPECT_EQ(style & WS_MAXIMIZEBOX, WS_MAXIMIZEBOX) << "maximize box";
  EXPECT_EQ(style & WS_MINIMIZEBOX, WS_MINIMIZEBOX) << "minimize box";
  EXPECT_EQ(style & WS_SYSMENU, WS_SYSMENU) << "system menu, which carries the boxes";
  EXPECT_TRUE(IsWindowVisible(window_));
  EXPECT_FALSE(IsIconic(window_));
}

TEST_F(StartupTest, ALargerWindowGivesTheListTheRoomAndTheDesignedSizeIsTheSmallest) {
  const HWND list = program_->Control(kListId);
  const std::vector<HWND> buttons = {program_->Control(kStartRetrievingId),
                                     program_->Control(kSaveResultsId)};
  const RECT designed = WindowRectOf(window_), listDesigned = RectInParentClient(list);
  const RECT buttonsDesigned[] = {RectInParentClient(buttons[0]), RectInParentClient(buttons[1])};
  const int width = designed.right - designed.left, height = designed.bottom - designed.top;
  const SIZE clientDesigned = ClientSizeOf(window_);
  const auto resize = [&](int cx, int cy) {
    SetWindowPos(window_, nullptr, 0, 0, cx, cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SendOrThrow(window_, WM_NULL, 0, 0);
  };

  resize(width + 300, height + 200);
  RECT grown = RectInParentClient(list);
  EXPECT_EQ(grown.left, listDesigned.left);
  EXPECT_EQ(grown.top, listDesigned.top);
  EXPECT_EQ(grown.right, listDesigned.right + 300);
  EXPECT_EQ(grown.bottom, listDesigned.bottom + 200);
  for (int i = 0; i < 2; ++i) {
    const RECT button = RectInParentClient(buttons[i]);
    EXPECT_TRUE(EqualRect(&button, &buttonsDesigned[i])) << "button " << i << " moved";
  }

  // Smaller than designed: the window stops at its designed size.
  resize(width - 200, height - 100);
  const RECT least = WindowRectOf(window_), listLeast = RectInParentClient(list);
  EXPECT_EQ(least.right - least.left, width);
  EXPECT_EQ(least.bottom - least.top, height);
  EXPECT_TRUE(EqualRect(&listLeast, &listDesigned));

  // Maximized: the list keeps its designed margins to the client area's edges.
  ShowWindow(window_, SW_MAXIMIZE);
  SendOrThrow(window_, WM_NULL, 0, 0);
  EXPECT_TRUE(IsZoomed(window_));
  const SIZE client = ClientSizeOf(window_);
  const RECT maximized = RectInParentClient(list);
  EXPECT_GT(client.cx, clientDesigned.cx);
  EXPECT_EQ(client.cx - maximized.right, clientDesigned.cx - listDesigned.right);
  EXPECT_EQ(client.cy - maximized.bottom, clientDesigned.cy - listDesigned.bottom);
}

TEST_F(StartupTest, WindowOpensCentredOnTheScreen) {
  const RECT rect = WindowRectOf(window_);
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  auto centred = [&](const RECT& area) {
    const double dx = (rect.left + rect.right) / 2.0 - (area.left + area.right) / 2.0;
    const double dy = (rect.top + rect.bottom) / 2.0 - (area.top + area.bottom) / 2.0;
    return std::fabs(dx) <= 1.0 && std::fabs(dy) <= 1.0;
  };
  EXPECT_TRUE(centred(screen) || centred(work))
      << "window " << rect.left << "," << rect.top << " - " << rect.right << "," << rect.bottom
      << " on a screen of " << screen.right << "x" << screen.bottom;
}

TEST_F(StartupTest, ApplicationTitleIsTheProductNameWithoutItsLastWord) {
  // The hidden owner window carries the application title.
  HWND owner = GetWindow(window_, GW_OWNER);
  ASSERT_NE(owner, nullptr) << "the main window has no owner window";
  DWORD ownerProcess = 0;
  GetWindowThreadProcessId(owner, &ownerProcess);
  EXPECT_EQ(ownerProcess, program_->ProcessId());
  EXPECT_FALSE(IsWindowVisible(owner));
  EXPECT_EQ(Narrow(TextOf(owner)), "Quillmarsh Orvane Tessel Plint");
}

TEST_F(StartupTest, ControlsSitAtTheirDesignedPlaces) {
  struct Expected {
    int id;
    const char* className;
    const char* text;
    int left, top, width, height;  // twips
  };
  const Expected controls[] = {
      {kListId, "SysListView32", nullptr, 120, 630, 15720, 2535},
      {kStartRetrievingId, "Button", "Start Retrieving", 120, 120, 7800, 405},
      {kSaveResultsId, "Button", "Save Results As Text File", 8040, 120, 7800, 405},
  };
  for (const Expected& expected : controls) {
    SCOPED_TRACE("control id " + std::to_string(expected.id));
    HWND control = program_->Control(expected.id);
    EXPECT_STRCASEEQ(Narrow(ClassNameOf(control)).c_str(), expected.className);
    if (expected.text != nullptr) {
      EXPECT_EQ(Narrow(TextOf(control)), expected.text);
    }
    EXPECT_TRUE(IsWindowVisible(control));
    EXPECT_TRUE(IsWindowEnabled(control));
    const RECT rect = RectInParentClient(control);
    EXPECT_TRUE(IsPixelsOf(rect.left, expected.left, dpi_)) << "left";
    EXPECT_TRUE(IsPixelsOf(rect.top, expected.top, dpi_)) << "top";
    EXPECT_TRUE(IsPixelsOf(rect.right - rect.left, expected.width, dpi_)) << "width";
    EXPECT_TRUE(IsPixelsOf(rect.bottom - rect.top, expected.height, dpi_)) << "height";
  }
}

TEST_F(StartupTest, TabOrderIsListThenStartThenSaveAndTheListHasFocus) {
  std::vector<int> tabOrder;
  for (HWND child : ChildrenInOrder(window_)) {
    const bool tabStop = (StyleOf(child) & WS_TABSTOP) != 0;
    if (tabStop && IsWindowVisible(child) && IsWindowEnabled(child)) {
      tabOrder.push_back(ControlIdOf(child));
    }
  }
  EXPECT_EQ(tabOrder, (std::vector<int>{kListId, kStartRetrievingId, kSaveResultsId}));
  // The next tab stop after the list, as the dialog manager sees it.
  EXPECT_EQ(GetNextDlgTabItem(window_, program_->Control(kListId), FALSE),
            program_->Control(kStartRetrievingId));
  EXPECT_EQ(FocusOfThreadOwning(window_), program_->Control(kListId));
}

TEST_F(StartupTest, ListHasSevenColumnsAndNoRows) {
  RemoteListView list = program_->List();
  EXPECT_EQ(StyleOf(list.Handle()) & LVS_TYPEMASK, LVS_REPORT);
  EXPECT_EQ(list.ItemCount(), 0);

  struct Expected {
    const char* text;
    int twips;
  };
  const Expected columns[] = {{"Drive", 2500},        {"Type", 2000},       {"File System", 1200},
                              {"Total Space", 1500},  {"Free Space", 1500}, {"Used Space", 1500},
                              {"Serial Number", 5000}};
  ASSERT_EQ(list.ColumnCount(), 7);
  for (int index = 0; index < 7; ++index) {
    SCOPED_TRACE("column " + std::to_string(index + 1));
    const ColumnInfo column = list.Column(index);
    EXPECT_EQ(Narrow(column.text), columns[index].text);
    EXPECT_TRUE(IsPixelsOf(column.width, columns[index].twips, dpi_)) << "width";
    EXPECT_EQ(column.format & LVCFMT_JUSTIFYMASK, LVCFMT_LEFT);
  }
}

TEST_F(StartupTest, ListShowsCheckBoxesFullRowSelectionAndGridLines) {
  const DWORD style = program_->List().ExtendedStyle();
  EXPECT_TRUE(style & LVS_EX_CHECKBOXES);
  EXPECT_TRUE(style & LVS_EX_FULLROWSELECT);
  EXPECT_TRUE(style & LVS_EX_GRIDLINES);
}

TEST_F(StartupTest, ClosingTheWindowEndsTheProgram) {
  const DWORD processId = program_->ProcessId();
  ASSERT_TRUE(ProcessListed(processId));
  EXPECT_TRUE(program_->Close(10s)) << "the program did not end by itself within 10 s";
  EXPECT_FALSE(program_->IsRunning());
  EXPECT_FALSE(IsWindow(window_));
  EXPECT_TRUE(TopLevelWindowsOf(processId, nullptr, false).empty());
  EXPECT_TRUE(WaitUntil([&] { return !ProcessListed(processId); }, 30s))
      << "process " << processId << " is still listed";
}

}  // namespace
}  // namespace brindlecap::e2e
