#pragma once
// The results list over the real list-view control, in a parent window of its own,
// in this process.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "main_window/win32/results_list_control.h"
#include "support/window_fixture.h"

namespace brindlecap::testing {

inline void PumpMessages() {
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
}

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
    for (int row = 0; row < model.RowCount(); ++row) {
      EXPECT_EQ(model.Checked(row), CheckedOnScreen(model.PositionOf(row))) << row;
      marks.push_back(model.Checked(row));
    }
    return marks;
  }

  HWND parent = nullptr, window = nullptr;
  ResultsModel model;
  win32::ResultsListControl control{model};
};

}  // namespace brindlecap::testing
