// The list's commands: Ctrl+C, Ctrl+A and Delete, and the right-click menu that
// offers them with Check All and Uncheck All.
#include <algorithm>
#include <vector>

#include "main_window/core/copy_text.h"
#include "main_window/win32/clipboard.h"
#include "main_window/win32/results_list_control.h"
#include "platform/handles.h"

namespace brindlecap::win32 {

namespace {

enum MenuCommand : UINT { kCopy = 1, kSelectAll, kCheckAll, kUncheckAll, kRemove };

}  // namespace

bool ResultsListControl::OnKeyDown(WPARAM key) noexcept {
  const bool control = ::GetKeyState(VK_CONTROL) < 0;
  if (key == VK_SPACE) {
    ToggleSelection();
  } else if (control && key == 'C') {
    CopySelection();
  } else if (control && key == 'A') {
    SelectAll();
  } else if (key == VK_DELETE) {
    RemoveSelection();
  } else {
    return false;
  }
  return true;
}

// The key-down did the work: no type-ahead, no beep.
bool ResultsListControl::KeyDownDidTheWork(WPARAM character) noexcept {
  return character == L' ' || character == 1 || character == 3;  // Space, Ctrl+A, Ctrl+C
}

void ResultsListControl::ShowContextMenu(LPARAM screenPoint) noexcept {
  POINT point{static_cast<short>(LOWORD(screenPoint)), static_cast<short>(HIWORD(screenPoint))};
  if (screenPoint == -1) {
    // From the keyboard: under the focused row; without one the rectangle stays
    // empty (LVIR_BOUNDS is 0) and the menu opens at the list's corner.
    RECT row{LVIR_BOUNDS, 0, 0, 0};
    CallControl(LVM_GETITEMRECT,
                CallControl(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED),
                reinterpret_cast<LPARAM>(&row));
    point = {row.left, row.bottom};
    ::ClientToScreen(window_, &point);
  }
  UniqueMenu menu(::CreatePopupMenu());
  if (!menu) return;
  static constexpr struct {
    UINT command;
    const wchar_t* text;  // none: a separator
  } kItems[] = {{kCopy, L"&Copy\tCtrl+C"},  {kSelectAll, L"Select &All\tCtrl+A"}, {0, nullptr},
                {kCheckAll, L"C&heck All"}, {kUncheckAll, L"&Uncheck All"},       {0, nullptr},
                {kRemove, L"&Remove\tDel"}};
  const bool anyRow = model_.RowCount() > 0;
  const bool anySelected = !SelectedItems().empty();
  for (const auto& item : kItems) {
    const bool enabled = item.command == kRemove ? anySelected : anyRow;
    const UINT flags =
        item.text == nullptr ? MF_SEPARATOR : MF_STRING | (enabled ? MF_ENABLED : MF_GRAYED);
    ::AppendMenuW(menu.get(), flags, item.command, item.text);
  }
  const UINT command = static_cast<UINT>(
      ::TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN,
                       point.x, point.y, 0, window_, nullptr));
  switch (command) {
    case kCopy:
      CopySelection();
      break;
    case kSelectAll:
      SelectAll();
      break;
    case kCheckAll:
    case kUncheckAll:
      SetAllChecked(command == kCheckAll);
      break;
    case kRemove:
      RemoveSelection();
      break;
    default:
      break;
  }
}

void ResultsListControl::CopySelection() noexcept {
  CopyToClipboard(window_, RowsAsText(ShownResults(model_), SelectedItems()));
}

void ResultsListControl::SelectAll() noexcept {
  LVITEMW state{};
  state.state = state.stateMask = LVIS_SELECTED;
  CallControl(LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
}

void ResultsListControl::SetAllChecked(bool checked) noexcept {
  for (int row = 0; row < model_.RowCount(); ++row) model_.SetChecked(row, checked);
}

void ResultsListControl::RemoveSelection() noexcept {
  std::vector<int> positions = SelectedItems();
  if (positions.empty()) return;
  const int first = positions.front();
  shownRows_.clear();  // rows are renumbered as they go: the selection is set anew below
  if (!model_.RemoveShown(positions)) {  // a save is reading the rows: nothing went
    RememberShownRows();
    return;
  }
  // As in other lists, the row that now stands where the first one went is selected.
  const int count = model_.RowCount();
  const int next = std::min(first, count - 1);
  SelectItems(next >= 0 ? std::vector<int>{next} : std::vector<int>{}, next, true);
}

}  // namespace brindlecap::win32
