// The results list over the real list-view control, in this process: what tools
// read, clicks, keys, sorting and ticking rows.
#include "main_window/win32/results_list_control.h"

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "main_window/win32/home_page.h"
#include "results/result_columns.h"
#include "shared/runtime_failure.h"
#include "shared/win32/file_check.h"
#include "support/window_fixture.h"
#include "win32/results_list_fixture.h"

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

TEST_F(ResultsListControlTest, ColumnsRowsAndTextsAreTheModelsAsToolsReadThem) {
  for (auto header : {u"Drive", u"Type", u"Serial Number"}) model.AddColumn(header);
  // The designed widths of the results' columns: 2500 and 2000 twips, 15 to a pixel.
  EXPECT_EQ(::SendMessageW(window, LVM_GETCOLUMNWIDTH, 0, 0), 167);
  EXPECT_EQ(::SendMessageW(window, LVM_GETCOLUMNWIDTH, 1, 0), 133);
  wchar_t header[32] = {};
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT;
  column.pszText = header;
  column.cchTextMax = 32;
  ::SendMessageW(window, LVM_GETCOLUMNW, 2, reinterpret_cast<LPARAM>(&column));
  EXPECT_EQ(std::wstring(header), L"Serial Number");

  model.AddRow(u"A:\\  - No Disk present");
  model.AddRow(u"C:\\ - [Système]");
  model.SetCell(0, 1, u"Floppy");
  model.SetCell(1, 2, u"1234-ABCD");
  EXPECT_EQ(::SendMessageW(window, LVM_GETITEMCOUNT, 0, 0), 2);
  EXPECT_EQ(TextOf(1, 0), u"C:\\ - [Système]");
  EXPECT_EQ(TextOf(0, 1), u"Floppy");
  EXPECT_EQ(TextOf(0, 2), u"");
  EXPECT_EQ(TextOf(1, 2), u"1234-ABCD");
  // Typing moves to the row that starts with what was typed.
  ::SendMessageW(window, WM_CHAR, L'c', 1);  // key data: one key press
  EXPECT_EQ(::SendMessageW(window, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED), 1);
  const std::u16string longText(3000, u'x');
  model.SetCell(1, 1, longText);
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
  model.SortBy({0, ColumnValue::kText, false});
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
  model.SortBy({0, ColumnValue::kText, true});
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
  // The row added last (E:) selected too, then a batch of the run that brings no row.
  SetState(4, LVIS_SELECTED, LVIS_SELECTED);
  control.HoldUpdates();
  control.ReleaseUpdates();
  EXPECT_EQ(SelectedItems(), (std::vector<int>{3, 4, 5}));
  // Delete removes the rows the user selected, the last ones: the new last row is
  // selected and focused.
  ::SendMessageW(window, WM_KEYDOWN, VK_DELETE, 0);
  ASSERT_EQ(model.RowCount(), 3);
  for (int row = 0; row < 3; ++row) {
    EXPECT_LT(model.Cell(row, IndexOf(ResultColumn::kDrive)), u"D:\\");
  }
  EXPECT_EQ(SelectedItems(), std::vector<int>{2});
  EXPECT_EQ(FocusedItem(), 2);
}

TEST_F(ResultsListControlTest, AHeaderClickSortsTextsAsTheUsersLocaleDoesAndASecondReverses) {
  for (auto header : {u"Drive", u"Type", u"File System"}) model.AddColumn(header);
  // By code units "FAT32" "NTFS" "exFAT" "ÉCO"; the user's locale goes by the letters,
  // whatever their case and accents.
  for (auto fileSystem : {u"NTFS", u"exFAT", u"FAT32", u"ÉCO"}) {
    model.SetCell(model.AddRow(u"C:\\"), 2, fileSystem);
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
  model.SetChecked(0, true);  // the focused row's mark decides: both get ticked
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
  model.SortBy({0, ColumnValue::kText, false});  // D C B A
  SetState(1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  model.SetChecked(1, true);
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
  // Sorted C B A: the index is the position shown, so item 0 is row C.
  model.SortBy({0, ColumnValue::kText, false});
  SetState(0, INDEXTOSTATEIMAGEMASK(1), LVIS_STATEIMAGEMASK);
  SetState(2, INDEXTOSTATEIMAGEMASK(2), LVIS_STATEIMAGEMASK);
  EXPECT_EQ(Marks(), (std::vector<bool>{true, true, false}));
}

}  // namespace
}  // namespace brindlecap::testing
