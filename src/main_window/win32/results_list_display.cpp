// The list's rows on screen: texts and check marks answered from the model, clicks,
// the space bar and tools ticking rows, the selection and the focus kept on their
// rows when rows move, and type-ahead.
#include <algorithm>
#include <vector>

#include "main_window/win32/results_list_control.h"
#include "results/result_columns.h"
#include "shared/win32/system_text.h"

// Vista's commctrl.h; older mingw-w64 headers lack it.
#ifndef LVFI_SUBSTRING
#define LVFI_SUBSTRING 0x0004
#endif

namespace brindlecap::win32 {

namespace {

constexpr UINT kUncheckedImage = 1, kCheckedImage = 2;

UINT StateImageOf(UINT state) { return (state & LVIS_STATEIMAGEMASK) >> 12; }

}  // namespace

void ResultsListControl::SyncItemCount() noexcept {
  if (window_ == nullptr) return;
  ::SendMessageW(window_, LVM_SETITEMCOUNT, static_cast<WPARAM>(model_.RowCount()),
                 LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
}

void ResultsListControl::RowsAdded(int, int) {
  if (holds_ > 0) return;
  SyncItemCount();
  RememberShownRows();
}

void ResultsListControl::RowChanged(int row) {
  if (holds_ > 0 || window_ == nullptr) return;
  const int item = model_.PositionOf(row);
  ::SendMessageW(window_, LVM_REDRAWITEMS, static_cast<WPARAM>(item), item);
}

// Screen readers hear the box change; announced once the model holds the new mark.
void ResultsListControl::RowCheckChanged(int row) {
  if (holds_ > 0 || window_ == nullptr) return;
  // An item's child id counts from 1: 0 is the control itself.
  ::NotifyWinEvent(EVENT_OBJECT_STATECHANGE, window_, OBJID_CLIENT, model_.PositionOf(row) + 1);
}

void ResultsListControl::RowsRearranged() {
  if (holds_ > 0 || window_ == nullptr) return;
  // The control keeps its selection by position: it goes with the rows that moved.
  std::vector<int> selected = SelectedItems();
  const int focused =
      static_cast<int>(CallControl(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
  const auto positionNow = [&](int item) {
    if (item < 0 || static_cast<size_t>(item) >= shownRows_.size()) return -1;
    const int row = shownRows_[static_cast<size_t>(item)];
    return row < model_.RowCount() ? model_.PositionOf(row) : -1;
  };
  for (int& item : selected) item = positionNow(item);
  selected.erase(std::remove(selected.begin(), selected.end(), -1), selected.end());
  SyncItemCount();
  SelectItems(selected, positionNow(focused), false);
  RememberShownRows();
  ::InvalidateRect(window_, nullptr, TRUE);
}

void ResultsListControl::RememberShownRows() noexcept {
  const int count = model_.RowCount();
  shownRows_.resize(static_cast<size_t>(count));
  for (int position = 0; position < count; ++position) {
    shownRows_[static_cast<size_t>(position)] = model_.RowAt(position);
  }
}

// Typing in the list moves to the next row whose text starts with what was typed.
int ResultsListControl::FindItem(const NMLVFINDITEMW& find) const noexcept {
  // Windows since Vista asks with LVFI_SUBSTRING, which means what LVFI_PARTIAL means.
  const UINT prefix = LVFI_PARTIAL | LVFI_SUBSTRING;
  if ((find.lvfi.flags & (LVFI_STRING | prefix)) == 0 || find.lvfi.psz == nullptr) return -1;
  const std::wstring_view wanted(find.lvfi.psz);
  const int count = model_.RowCount();
  const int start = find.iStart >= 0 && find.iStart < count ? find.iStart : 0;
  const bool partial = (find.lvfi.flags & prefix) != 0;
  for (int step = 0; step < count; ++step) {
    const int index = (start + step) % count;
    if (index < start && (find.lvfi.flags & LVFI_WRAP) == 0) break;
    const std::u16string_view text =
        model_.Cell(model_.RowAt(index), IndexOf(ResultColumn::kDrive));
    if (text.size() < wanted.size() || (!partial && text.size() != wanted.size())) continue;
    const std::u16string_view wantedText(reinterpret_cast<const char16_t*>(wanted.data()),
                                         wanted.size());
    if (SystemLocale::Compare(text.substr(0, wanted.size()), wantedText) == 0) {
      return index;
    }
  }
  return -1;
}

void ResultsListControl::AnswerDisplayInfo(LVITEMW& item) const noexcept {
  if (item.iItem < 0 || item.iItem >= model_.RowCount()) return;
  const int row = model_.RowAt(item.iItem);
  if ((item.mask & LVIF_TEXT) && item.pszText != nullptr && item.cchTextMax > 0) {
    const std::u16string_view text = model_.Cell(row, item.iSubItem);
    const size_t length = std::min(text.size(), static_cast<size_t>(item.cchTextMax - 1));
    std::copy_n(text.data(), length, reinterpret_cast<char16_t*>(item.pszText));
    item.pszText[length] = L'\0';
  }
  if (item.mask & LVIF_STATE) {
    const UINT image = model_.Checked(row) ? kCheckedImage : kUncheckedImage;
    item.state = (item.state & ~LVIS_STATEIMAGEMASK) | INDEXTOSTATEIMAGEMASK(image);
    item.stateMask |= LVIS_STATEIMAGEMASK;
  }
}

// A click on a row's box toggles that row alone, whatever is selected.
bool ResultsListControl::ToggleAtPoint(LPARAM point) noexcept {
  LVHITTESTINFO hit{};
  hit.pt = {static_cast<short>(LOWORD(point)), static_cast<short>(HIWORD(point))};
  const int index = static_cast<int>(CallControl(LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  if (index < 0 || (hit.flags & LVHT_ONITEMSTATEICON) == 0) return false;
  if (index >= model_.RowCount()) return false;
  ::SetFocus(window_);
  model_.ToggleChecked(model_.RowAt(index));
  return true;
}

void ResultsListControl::ToggleSelection() noexcept {
  std::vector<int> rows = SelectedItems();
  for (int& row : rows) row = model_.RowAt(row);
  const int focused =
      static_cast<int>(CallControl(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
  const bool hasFocus = focused >= 0 && focused < model_.RowCount();
  model_.ToggleTogether(rows, hasFocus ? model_.RowAt(focused) : -1);
}

// Tools (accessibility, automation) tick and untick rows by the state image.
LRESULT ResultsListControl::SetItemState(int index, const LVITEMW& item) noexcept {
  if (item.stateMask & LVIS_STATEIMAGEMASK) {
    const UINT image = StateImageOf(item.state);
    if (image == kUncheckedImage || image == kCheckedImage) {
      const bool checked = image == kCheckedImage;
      const int count = model_.RowCount();
      if (index == -1) {
        for (int row = 0; row < count; ++row) model_.SetChecked(row, checked);
      } else if (index >= 0 && index < count) {
        model_.SetChecked(model_.RowAt(index), checked);
      } else {
        return FALSE;
      }
    }
  }
  LVITEMW rest = item;
  rest.stateMask &= ~LVIS_STATEIMAGEMASK;
  if (rest.stateMask == 0) return TRUE;
  return CallControl(LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&rest));
}

std::vector<int> ResultsListControl::SelectedItems() const noexcept {
  std::vector<int> items;
  const LRESULT count = model_.RowCount();
  for (LRESULT item = -1;
       (item = CallControl(LVM_GETNEXTITEM, static_cast<WPARAM>(item), LVNI_SELECTED)) >= 0 &&
       item < count;) {
    items.push_back(static_cast<int>(item));
  }
  return items;
}

void ResultsListControl::SelectItems(const std::vector<int>& items, int focused,
                                     bool showFocused) noexcept {
  LVITEMW state{};
  state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  CallControl(LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
  state.state = state.stateMask = LVIS_SELECTED;
  for (int item : items) {
    CallControl(LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&state));
  }
  if (focused < 0) return;
  state.state = state.stateMask = LVIS_FOCUSED;
  CallControl(LVM_SETITEMSTATE, static_cast<WPARAM>(focused), reinterpret_cast<LPARAM>(&state));
  if (showFocused) CallControl(LVM_ENSUREVISIBLE, static_cast<WPARAM>(focused), FALSE);
}

}  // namespace brindlecap::win32
