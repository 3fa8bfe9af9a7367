// The results list over the real list-view control, the file check and the
// home page launcher, in this process.
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

// What an accessibility hook in this thread hears: the child ids of the list's
// state changes.
std::vector<LONG> stateChanges;
HWND stateChangesOf = nullptr;
void CALLBACK HearStateChange(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child,
                              DWORD, DWORD) {
  if (event == EVENT_OBJECT_STATECHANGE && window == stateChangesOf && object == OBJID_CLIENT) {
    stateChanges.push_back(child);
  }
}

void PumpMessages() {
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
}

// A window's client area drawn into a bitmap, as the window draws it on the screen.
class Picture {
 public:
  explicit Picture(HWND window) {
    RECT client;
    ::GetClientRect(window, &client);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = client.right;
    info.bmiHeader.biHeight = -client.bottom;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    previous_ =
        ::SelectObject(dc_, ::CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    ::SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc_),
                   PRF_CLIENT | PRF_ERASEBKGND);
    ::GdiFlush();
  }
  ~Picture() {
    ::DeleteObject(::SelectObject(dc_, previous_));
    ::DeleteDC(dc_);
  }
  Picture(const Picture&) = delete;
  Picture& operator=(const Picture&) = delete;

  // How many pixel columns of `area` show a colour that `matches`.
  template <class Match>
  int ColumnsShowing(const RECT& area, Match matches) const {
    int columns = 0;
    for (int x = area.left; x < area.right; ++x) {
      for (int y = area.top; y < area.bottom; ++y) {
        if (matches(::GetPixel(dc_, x, y))) {
          ++columns;
          break;
        }
      }
    }
    return columns;
  }

 private:
  HDC dc_ = ::CreateCompatibleDC(nullptr);
  HGDIOBJ previous_ = nullptr;
};

// The control in a parent window of its own that passes the control's
// notifications on, as the main window does.
class ResultsListControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&controls);
    WNDCLASSW parentClass{};
    parentClass.lpfnWndProc = &ParentProcedure;
    parentClass.hInstance = ::GetModuleHandleW(nullptr);
    parentClass.lpszClassName = L"ResultsListControlTest";
    ::RegisterClassW(&parentClass);
    parent = ::CreateWindowExW(0, L"ResultsListControlTest", L"", WS_POPUP, 0, 0, 500, 300, nullptr,
                               nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ::SetWindowLongPtrW(parent, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&control));
    window = ::CreateWindowExW(0, WC_LISTVIEWW, L"",
                               WS_CHILD | WS_VISIBLE | win32::ResultsListControl::kStyle, 0, 0, 500,
                               300, parent, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    control.Attach(window, 96);
    ::ShowWindow(parent, SW_SHOWNOACTIVATE);
  }
  void TearDown() override { ::DestroyWindow(parent); }

  static LRESULT CALLBACK ParentProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* list =
        reinterpret_cast<win32::ResultsListControl*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    LRESULT result = 0;
    if (message == WM_NOTIFY && list != nullptr &&
        list->OnNotify(*reinterpret_cast<NMHDR*>(lParam), result)) {
      return result;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
  }

  // What a screen reader or another program reads from the control.
  std::u16string TextOf(int index, int subItem, int bufferSize = 256) {
    std::vector<wchar_t> buffer(bufferSize);
    LVITEMW item{};
    item.iSubItem = subItem;
    item.pszText = buffer.data();
    item.cchTextMax = bufferSize;
    const auto length =
        ::SendMessageW(window, LVM_GETITEMTEXTW, index, reinterpret_cast<LPARAM>(&item));
    return std::u16string(reinterpret_cast<const char16_t*>(buffer.data()), length);
  }
  bool CheckedOnScreen(int index) {
    return (::SendMessageW(window, LVM_GETITEMSTATE, index, LVIS_STATEIMAGEMASK) >> 12) == 2;
  }
  void SetState(int index, UINT state, UINT mask) {
    LVITEMW item{};
    item.state = state;
    item.stateMask = mask;
    ::SendMessageW(window, LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&item));
  }
  // Rows "A:\\", "B:\\", ... in that order.
  void AddRows(int count) {
    for (auto header : {u"Drive", u"Type", u"Serial Number"}) model.AddColumn(header);
    for (int i = 0; i < count; ++i) model.AddRow(std::u16string(1, u'A' + i) + u":\\");
  }
  std::vector<int> SelectedItems() {
    std::vector<int> items;
    for (LRESULT item = -1;
         (item = ::SendMessageW(window, LVM_GETNEXTITEM, item, LVNI_SELECTED)) >= 0;) {
      items.push_back(static_cast<int>(item));
    }
    return items;
  }
  int FocusedItem() {
    return static_cast<int>(
        ::SendMessageW(window, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
  }
  // Clicks where the hit test finds the row's check box.
  void ClickBox(int index) {
    RECT bounds{LVIR_BOUNDS, 0, 0, 0};
    ::SendMessageW(window, LVM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&bounds));
    for (int x = bounds.left; x < bounds.left + 40; ++x) {
      LVHITTESTINFO hit{};
      hit.pt = {x, (bounds.top + bounds.bottom) / 2};
      ::SendMessageW(window, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
      if (hit.iItem == index && (hit.flags & LVHT_ONITEMSTATEICON)) {
        ::SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(hit.pt.x, hit.pt.y));
        ::SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(hit.pt.x, hit.pt.y));
        return;
      }
    }
    ADD_FAILURE() << "no check box found on row " << index;
  }
  // Opens the right-click menu from the keyboard and picks the item by its underlined
  // letter; the Escape behind the letter closes a menu that the letter left open.
  void PickFromMenu(wchar_t letter) {
    ::PostMessageW(window, WM_CHAR, letter, 1);
    ::PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 1);
    ::SendMessageW(window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window), -1);
    PumpMessages();
  }
  // Clicks the middle of column header `index` (from 0).
  void ClickHeader(int index) {
    const auto header = reinterpret_cast<HWND>(::SendMessageW(window, LVM_GETHEADER, 0, 0));
    RECT rect{};
    ::SendMessageW(header, HDM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rect));
    const LPARAM middle = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    ::SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, middle);
    ::SendMessageW(header, WM_LBUTTONUP, 0, middle);
  }
  std::vector<bool> Marks() {
    std::vector<bool> marks;
    for (int row = 1; row <= model.RowCount(); ++row) {
      EXPECT_EQ(model.Checked(row), CheckedOnScreen(model.PositionOf(row) - 1)) << row;
      marks.push_back(model.Checked(row));
    }
    return marks;
  }

  HWND parent = nullptr, window = nullptr;
  ResultsModel model;
  win32::ResultsListControl control{model};
};

TEST_F(ResultsListControlTest, ColumnsRowsAndTextsAreTheModelsAsToolsReadThem) {
  for (auto header : {u"Drive", u"Type", u"Serial Number"}) model.AddColumn(header);
  model.SetColumnWidth(1, 2500.0f);
  EXPECT_EQ(::SendMessageW(window, LVM_GETCOLUMNWIDTH, 0, 0), 167);  // 2500 / 15, rounded
  EXPECT_EQ(::SendMessageW(window, LVM_GETCOLUMNWIDTH, 1, 0), 96);   // one inch by default
  wchar_t header[32] = {};
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT;
  column.pszText = header;
  column.cchTextMax = 32;
  ::SendMessageW(window, LVM_GETCOLUMNW, 2, reinterpret_cast<LPARAM>(&column));
  EXPECT_EQ(std::wstring(header), L"Serial Number");

  model.AddRow(u"A:\\  - No Disk present");
  model.AddRow(u"C:\\ - [Système]");
  model.SetSubItem(1, 1, u"Floppy");
  model.SetSubItem(2, 2, u"1234-ABCD");
  EXPECT_EQ(::SendMessageW(window, LVM_GETITEMCOUNT, 0, 0), 2);
  EXPECT_EQ(TextOf(1, 0), u"C:\\ - [Système]");
  EXPECT_EQ(TextOf(0, 1), u"Floppy");
  EXPECT_EQ(TextOf(0, 2), u"");
  EXPECT_EQ(TextOf(1, 2), u"1234-ABCD");
  // Typing moves to the row that starts with what was typed.
  ::SendMessageW(window, WM_CHAR, L'c', 1);  // key data: one key press
  EXPECT_EQ(::SendMessageW(window, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED), 1);
  const std::u16string longText(3000, u'x');
  model.SetSubItem(2, 1, longText);
  EXPECT_EQ(TextOf(1, 1, 4000), longText);
  EXPECT_EQ(TextOf(1, 1, 10), u"xxxxxxxxx");  // cut to the caller's buffer

  // Held updates reach the control at the release.
  control.HoldUpdates();
  model.AddRow(u"E:\\");
  EXPECT_EQ(::SendMessageW(window, LVM_GETITEMCOUNT, 0, 0), 2);
  control.ReleaseUpdates();
  EXPECT_EQ(::SendMessageW(window, LVM_GETITEMCOUNT, 0, 0), 3);
}

TEST_F(ResultsListControlTest, AClickOnABoxTogglesThatRowAloneSelectedOrNot) {
  AddRows(4);
  SetState(0, LVIS_SELECTED, LVIS_SELECTED);
  SetState(2, LVIS_SELECTED, LVIS_SELECTED);
  ClickBox(2);
  EXPECT_EQ(Marks(), (std::vector<bool>{false, false, true, false}));
  ClickBox(3);
  ClickBox(2);
  EXPECT_EQ(Marks(), (std::vector<bool>{false, false, false, true}));
  // The click changed no selection.
  EXPECT_EQ(::SendMessageW(window, LVM_GETSELECTEDCOUNT, 0, 0), 2);

  // Sorted D C B A: the box shown first is row D's, and a screen reader hears
  // that the first child changed.
  model.SortBy({1, ColumnValue::kText, false});
  stateChangesOf = window;
  stateChanges.clear();
  const HWINEVENTHOOK hook = ::SetWinEventHook(EVENT_OBJECT_STATECHANGE, EVENT_OBJECT_STATECHANGE,
                                               nullptr, &HearStateChange, ::GetCurrentProcessId(),
                                               ::GetCurrentThreadId(), WINEVENT_OUTOFCONTEXT);
  ASSERT_NE(hook, nullptr);
  ClickBox(0);
  PumpMessages();
  ::UnhookWinEvent(hook);
  EXPECT_EQ(Marks(), (std::vector<bool>{false, false, false, false}));
  EXPECT_EQ(stateChanges, std::vector<LONG>{1});

  // A click on a row's text selects the row and ticks nothing.
  RECT label{LVIR_LABEL, 0, 0, 0};
  ::SendMessageW(window, LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&label));
  const LPARAM middle = MAKELPARAM((label.left + label.right) / 2, (label.top + label.bottom) / 2);
  ::PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, middle);
  ::PostMessageW(window, WM_LBUTTONUP, 0, middle);
  PumpMessages();
  EXPECT_EQ(Marks(), (std::vector<bool>{false, false, false, false}));
  EXPECT_EQ(SelectedItems(), std::vector<int>{1});
}

TEST_F(ResultsListControlTest, TypingFindsTheNextRowStartingWithTheTextAsEveryWindowsAsks) {
  AddRows(4);  // A: B: C: D:
  model.AddRow(u"b:\\ again");
  constexpr UINT kSubstring = 0x0004;  // LVFI_SUBSTRING, which Windows since Vista sends
  const struct {
    UINT flags;
    const wchar_t* text;
    // The item after which the search begins (-1: from the top); Wine does not
    // skip it, Windows does: the cases hold either way.
    int start;
    int found;
  } cases[] = {
      {LVFI_PARTIAL, L"b", -1, 1},
      {kSubstring, L"b", -1, 1},
      {kSubstring, L"b", 2, 4},
      {LVFI_PARTIAL | LVFI_WRAP, L"c", 3, 2},  // as Wine asks
      {kSubstring | LVFI_WRAP, L"c", 3, 2},
      {kSubstring, L"c", 3, -1},
      {kSubstring, L"x", -1, -1},
      {LVFI_STRING, L"b", -1, -1},  // the whole text, not its start
      {LVFI_STRING, L"C:\\", -1, 2},
  };
  for (const auto& c : cases) {
    LVFINDINFOW find{};
    find.flags = c.flags;
    find.psz = c.text;
    EXPECT_EQ(::SendMessageW(window, LVM_FINDITEMW, static_cast<WPARAM>(c.start),
                             reinterpret_cast<LPARAM>(&find)),
              c.found)
        << "flags " << c.flags << ", \"" << static_cast<char>(c.text[0]) << "\", after " << c.start;
  }
}

TEST_F(ResultsListControlTest, SelectionAndFocusStayOnTheirRowsWhenRowsArriveDuringASort) {
  model.AddColumn(u"Drive");
  for (auto text : {u"B:\\", u"D:\\", u"F:\\"}) model.AddRow(text);
  model.SortBy({1, ColumnValue::kText, true});
  SetState(1, LVIS_SELECTED, LVIS_SELECTED);                                // D:
  SetState(2, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);  // F:
  model.AddRow(u"A:\\");  // shown first: the others move down
  EXPECT_EQ(SelectedItems(), (std::vector<int>{2, 3}));
  EXPECT_EQ(FocusedItem(), 3);
  // Rows that arrive while updates are held move them at the release.
  control.HoldUpdates();
  model.AddRow(u"C:\\");
  model.AddRow(u"E:\\");
  control.ReleaseUpdates();
  EXPECT_EQ(SelectedItems(), (std::vector<int>{3, 5}));
  EXPECT_EQ(FocusedItem(), 5);
  // Delete removes the rows the user selected.
  ::SendMessageW(window, WM_KEYDOWN, VK_DELETE, 0);
  ASSERT_EQ(model.RowCount(), 4);
  for (int row = 1; row <= 4; ++row) {
    EXPECT_NE(model.RowText(row), u"D:\\");
    EXPECT_NE(model.RowText(row), u"F:\\");
  }
}

TEST_F(ResultsListControlTest, AHeaderClickSortsTextsAsTheUsersLocaleDoesAndASecondReverses) {
  for (auto header : {u"Drive", u"Type", u"File System"}) model.AddColumn(header);
  // By code units "FAT32" "NTFS" "exFAT" "ÉCO"; the user's locale goes by the letters,
  // whatever their case and accents.
  for (auto fileSystem : {u"NTFS", u"exFAT", u"FAT32", u"ÉCO"}) {
    model.SetSubItem(model.AddRow(u"C:\\"), 2, fileSystem);
  }
  const auto shown = [&] {
    std::vector<std::u16string> texts;
    for (int index = 0; index < model.RowCount(); ++index) texts.push_back(TextOf(index, 2));
    return texts;
  };
  ClickHeader(2);
  EXPECT_EQ(shown(), (std::vector<std::u16string>{u"ÉCO", u"exFAT", u"FAT32", u"NTFS"}));
  ClickHeader(2);
  EXPECT_EQ(shown(), (std::vector<std::u16string>{u"NTFS", u"FAT32", u"exFAT", u"ÉCO"}));
}

TEST_F(ResultsListControlTest, CAndAActOnlyWithCtrl) {
  AddRows(3);
  const struct {
    WPARAM key;
    bool control;
    bool copied;
    int selected;
  } cases[] = {
      {'C', true, true, 0},
      {'C', false, false, 0},
      {'A', true, false, 3},
      {'A', false, false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(1, static_cast<char>(c.key)) + (c.control ? " with Ctrl" : ""));
    SetState(-1, 0, LVIS_SELECTED);
    ASSERT_TRUE(::OpenClipboard(nullptr));
    ::EmptyClipboard();
    ::CloseClipboard();
    BYTE keys[256] = {};
    keys[VK_CONTROL] = c.control ? 0x80 : 0;
    ::SetKeyboardState(keys);
    ::SendMessageW(window, WM_KEYDOWN, c.key, 0);
    keys[VK_CONTROL] = 0;
    ::SetKeyboardState(keys);
    EXPECT_EQ(::IsClipboardFormatAvailable(CF_UNICODETEXT) != FALSE, c.copied);
    EXPECT_EQ(::SendMessageW(window, LVM_GETSELECTEDCOUNT, 0, 0), c.selected);
  }
}

TEST_F(ResultsListControlTest, SpaceTogglesTheSelectedRowsTogetherOrElseTheFocusedRow) {
  AddRows(4);
  SetState(0, LVIS_SELECTED, LVIS_SELECTED);
  SetState(2, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  model.SetChecked(1, true);  // the focused row's mark decides: both get ticked
  const auto space = [&] {
    ::SendMessageW(window, WM_KEYDOWN, VK_SPACE, 0);
    ::SendMessageW(window, WM_CHAR, L' ', 0);
    ::SendMessageW(window, WM_KEYUP, VK_SPACE, 0);
  };
  space();
  EXPECT_EQ(Marks(), (std::vector<bool>{true, false, true, false}));
  space();
  EXPECT_EQ(Marks(), (std::vector<bool>{false, false, false, false}));
  SetState(-1, 0, LVIS_SELECTED);
  space();
  EXPECT_EQ(Marks(), (std::vector<bool>{false, false, true, false}));
}

TEST_F(ResultsListControlTest, TheRightClickMenuChecksAndUnchecksEveryRowWhateverIsSelected) {
  AddRows(4);
  model.SortBy({1, ColumnValue::kText, false});  // D C B A
  SetState(1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  model.SetChecked(2, true);
  PickFromMenu(L'h');  // C&heck All
  EXPECT_EQ(Marks(), (std::vector<bool>{true, true, true, true}));
  PickFromMenu(L'u');  // &Uncheck All
  EXPECT_EQ(Marks(), (std::vector<bool>{false, false, false, false}));
  PickFromMenu(L'h');
  EXPECT_EQ(Marks(), (std::vector<bool>{true, true, true, true}));
  EXPECT_EQ(SelectedItems(), std::vector<int>{1});  // the selection stays as it was
}

TEST_F(ResultsListControlTest, ToolsTickAndUntickRowsByTheStateImage) {
  AddRows(3);
  SetState(1, INDEXTOSTATEIMAGEMASK(2), LVIS_STATEIMAGEMASK);
  EXPECT_EQ(Marks(), (std::vector<bool>{false, true, false}));
  SetState(-1, INDEXTOSTATEIMAGEMASK(2), LVIS_STATEIMAGEMASK);
  EXPECT_EQ(Marks(), (std::vector<bool>{true, true, true}));
  // Selection in the same call still reaches the control.
  SetState(0, INDEXTOSTATEIMAGEMASK(1) | LVIS_SELECTED, LVIS_STATEIMAGEMASK | LVIS_SELECTED);
  EXPECT_EQ(Marks(), (std::vector<bool>{false, true, true}));
  EXPECT_EQ(::SendMessageW(window, LVM_GETITEMSTATE, 0, LVIS_SELECTED), LVIS_SELECTED);
}

// The list drawn into a bitmap as it draws on the screen: the bar under Used Space
// is as long as the drive is full, in the highlight colour, red from 90 %; a CD or
// DVD drive and a short row have none.
TEST_F(ResultsListControlTest, TheUsedSpaceCellShowsHowFullTheDriveIsRedFromNinetyPercent) {
  for (auto header : {u"Drive", u"Type", u"File System", u"Total", u"Free", u"Used Space"}) {
    model.AddColumn(header);
    model.SetColumnWidth(model.ColumnCount(), 1200.0f);  // all six in view
  }
  const COLORREF highlight = ::GetSysColor(COLOR_HIGHLIGHT);
  const auto isRed = [](COLORREF c) {
    return GetRValue(c) >= 0xA0 && GetGValue(c) < 0x60 && GetBValue(c) < 0x60;
  };
  const struct {
    int16_t kind;                 // 2 removable, 3 fixed, 5 CD or DVD
    std::optional<int64_t> used;  // of 1000 bytes; none: a short row
    double highlightShare, redShare;
  } rows[] = {{3, 500, 0.5, 0}, {3, 899, 0.899, 0}, {3, 900, 0, 0.9},
              {2, 1000, 0, 1},  {5, 1000, 0, 0},    {2, std::nullopt, 0, 0}};
  for (const auto& row : rows) {
    DriveFacts facts;
    facts.kindCode = row.kind;
    if (row.used) {
      facts.totalBytes = 1000;
      facts.usedBytes = *row.used;
    }
    model.SetRowFacts(model.AddRow(u"C:\\"), facts);
  }
  const Picture picture(window);
  for (int index = 0; index < model.RowCount(); ++index) {
    RECT cell{LVIR_BOUNDS, 5, 0, 0};
    ::SendMessageW(window, LVM_GETSUBITEMRECT, index, reinterpret_cast<LPARAM>(&cell));
    const double track = cell.right - cell.left - 6;  // 3 pixels in at either end
    EXPECT_NEAR(picture.ColumnsShowing(cell, [&](COLORREF c) { return c == highlight; }),
                rows[index].highlightShare * track, 1.0)
        << index;
    EXPECT_NEAR(picture.ColumnsShowing(cell, isRed), rows[index].redShare * track, 1.0) << index;
  }
}

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
