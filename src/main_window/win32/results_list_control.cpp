#include "main_window/win32/results_list_control.h"

#include <algorithm>
#include <vector>

#include "platform/dpi.h"
#include "platform/wide_text.h"

namespace brindlecap::win32 {

namespace {

constexpr wchar_t kControlProperty[] = L"Brindlecap.ResultsListControl";
constexpr UINT kUncheckedImage = 1, kCheckedImage = 2;

UINT StateImageOf(UINT state) { return (state & LVIS_STATEIMAGEMASK) >> 12; }

}  // namespace

ResultsListControl::~ResultsListControl() {
  model_.SetListener(nullptr);
  if (window_ != nullptr && ::IsWindow(window_)) {
    ::SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(controlProcedure_));
    ::RemovePropW(window_, kControlProperty);
  }
}

void ResultsListControl::Attach(HWND listView, int dpi) {
  window_ = listView;
  dpi_ = dpi;
  ::SendMessageW(window_, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                 LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
  // Check marks are the model's: the control asks for them like for the texts.
  ::SendMessageW(window_, LVM_SETCALLBACKMASK, LVIS_STATEIMAGEMASK, 0);
  ::SetPropW(window_, kControlProperty, this);
  controlProcedure_ = reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(
      window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ResultsListControl::SubclassProcedure)));
  model_.SetListener(this);
  for (int column = 1; column <= model_.ColumnHeadersCount(); ++column) ColumnAdded(column);
  SyncItemCount();
}

void ResultsListControl::ReleaseUpdates() noexcept {
  if (holds_ > 0 && --holds_ > 0) return;
  SyncItemCount();
  ::InvalidateRect(window_, nullptr, TRUE);
}

void ResultsListControl::SyncItemCount() noexcept {
  if (window_ == nullptr) return;
  ::SendMessageW(window_, LVM_SETITEMCOUNT, static_cast<WPARAM>(model_.ListItemsCount()),
                 LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
}

void ResultsListControl::ColumnAdded(int column) {
  if (window_ == nullptr) return;
  std::wstring header = ToWide(model_.ColumnHeaderText(column));
  LVCOLUMNW item{};
  item.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
  item.fmt = LVCFMT_LEFT;
  item.pszText = header.data();
  item.cx = TwipsToPixels(model_.ColumnHeaderWidth(column), dpi_);
  ::SendMessageW(window_, LVM_INSERTCOLUMNW, static_cast<WPARAM>(column - 1),
                 reinterpret_cast<LPARAM>(&item));
}

void ResultsListControl::ColumnWidthChanged(int column) {
  if (window_ == nullptr) return;
  ::SendMessageW(window_, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column - 1),
                 MAKELPARAM(TwipsToPixels(model_.ColumnHeaderWidth(column), dpi_), 0));
}

void ResultsListControl::RowsAdded(int, int) {
  if (holds_ == 0) SyncItemCount();
}

void ResultsListControl::RowChanged(int row) {
  if (holds_ > 0 || window_ == nullptr) return;
  ::SendMessageW(window_, LVM_REDRAWITEMS, static_cast<WPARAM>(row - 1), row - 1);
}

bool ResultsListControl::OnNotify(NMHDR& header, LRESULT& result) noexcept {
  if (header.hwndFrom != window_ || window_ == nullptr) return false;
  switch (header.code) {
    case LVN_GETDISPINFOW:
      AnswerDisplayInfo(reinterpret_cast<NMLVDISPINFOW&>(header).item);
      result = 0;
      return true;
    case LVN_ODFINDITEMW:
      result = FindItem(reinterpret_cast<NMLVFINDITEMW&>(header));
      return true;
    default:
      return false;
  }
}

// Typing in the list moves to the next row whose text starts with what was typed.
int ResultsListControl::FindItem(const NMLVFINDITEMW& find) const noexcept {
  if ((find.lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) == 0 || find.lvfi.psz == nullptr) return -1;
  const std::wstring_view wanted(find.lvfi.psz);
  const int count = model_.ListItemsCount();
  const int start = find.iStart >= 0 && find.iStart < count ? find.iStart : 0;
  const bool partial = (find.lvfi.flags & LVFI_PARTIAL) != 0;
  for (int step = 0; step < count; ++step) {
    const int index = (start + step) % count;
    if (index < start && (find.lvfi.flags & LVFI_WRAP) == 0) break;
    const std::u16string_view text = model_.Cell(index + 1, 1);
    if (text.size() < wanted.size() || (!partial && text.size() != wanted.size())) continue;
    if (::CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE,
                         reinterpret_cast<const wchar_t*>(text.data()),
                         static_cast<int>(wanted.size()), wanted.data(),
                         static_cast<int>(wanted.size())) == CSTR_EQUAL) {
      return index;
    }
  }
  return -1;
}

void ResultsListControl::AnswerDisplayInfo(LVITEMW& item) const noexcept {
  const int row = item.iItem + 1;
  if (row < 1 || row > model_.ListItemsCount()) return;
  if ((item.mask & LVIF_TEXT) && item.pszText != nullptr && item.cchTextMax > 0) {
    const std::u16string_view text = model_.Cell(row, item.iSubItem + 1);
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

LRESULT CALLBACK ResultsListControl::SubclassProcedure(HWND window, UINT message, WPARAM wParam,
                                                       LPARAM lParam) noexcept {
  auto* control = static_cast<ResultsListControl*>(::GetPropW(window, kControlProperty));
  if (control == nullptr) return ::DefWindowProcW(window, message, wParam, lParam);
  return control->HandleMessage(message, wParam, lParam);
}

LRESULT ResultsListControl::CallControl(UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  return ::CallWindowProcW(controlProcedure_, window_, message, wParam, lParam);
}

LRESULT ResultsListControl::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (ToggleAtPoint(lParam)) return 0;
      break;
    case WM_KEYDOWN:
      if (wParam == VK_SPACE) {
        ToggleSelection();
        return 0;
      }
      break;
    case WM_CHAR:
      if (wParam == L' ') return 0;  // the key-down did the work: no type-ahead, no beep
      break;
    case LVM_SETITEMSTATE:
      return SetItemState(static_cast<int>(wParam), *reinterpret_cast<const LVITEMW*>(lParam));
    case WM_NCDESTROY: {
      const WNDPROC procedure = controlProcedure_;
      ::SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure));
      ::RemovePropW(window_, kControlProperty);
      const HWND window = window_;
      window_ = nullptr;
      return ::CallWindowProcW(procedure, window, message, wParam, lParam);
    }
    default:
      break;
  }
  return CallControl(message, wParam, lParam);
}

// A click on a row's box toggles that row alone, whatever is selected.
bool ResultsListControl::ToggleAtPoint(LPARAM point) noexcept {
  LVHITTESTINFO hit{};
  hit.pt = {static_cast<short>(LOWORD(point)), static_cast<short>(HIWORD(point))};
  const int index = static_cast<int>(CallControl(LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  if (index < 0 || (hit.flags & LVHT_ONITEMSTATEICON) == 0) return false;
  if (index >= model_.ListItemsCount()) return false;
  ::SetFocus(window_);
  model_.ToggleChecked(index + 1);
  return true;
}

void ResultsListControl::ToggleSelection() noexcept {
  std::vector<int> selected;
  int index = -1;
  while ((index = static_cast<int>(
              CallControl(LVM_GETNEXTITEM, static_cast<WPARAM>(index), LVNI_SELECTED))) >= 0) {
    selected.push_back(index + 1);
  }
  const int focused =
      static_cast<int>(CallControl(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
  try {
    model_.ToggleTogether(selected, focused + 1);
  } catch (...) {
    // A selection the control holds beyond the model's rows: nothing to toggle.
  }
}

// Tools (accessibility, automation) tick and untick rows by the state image.
LRESULT ResultsListControl::SetItemState(int index, const LVITEMW& item) noexcept {
  if (item.stateMask & LVIS_STATEIMAGEMASK) {
    const UINT image = StateImageOf(item.state);
    if (image == kUncheckedImage || image == kCheckedImage) {
      const bool checked = image == kCheckedImage;
      const int count = model_.ListItemsCount();
      if (index == -1) {
        for (int row = 1; row <= count; ++row) model_.SetChecked(row, checked);
      } else if (index >= 0 && index < count) {
        model_.SetChecked(index + 1, checked);
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

}  // namespace brindlecap::win32
