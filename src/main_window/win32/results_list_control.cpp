#include "main_window/win32/results_list_control.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "main_window/core/byte_count_text.h"
#include "main_window/core/copy_text.h"
#include "main_window/core/form_layout.h"
#include "main_window/core/usage_bar.h"
#include "main_window/win32/clipboard.h"
#include "main_window/win32/usage_bar_painter.h"
#include "platform/dpi.h"
#include "platform/wide_text.h"

// Vista's commctrl.h; older mingw-w64 headers lack it.
#ifndef LVFI_SUBSTRING
#define LVFI_SUBSTRING 0x0004
#endif

namespace brindlecap::win32 {

namespace {

constexpr wchar_t kControlProperty[] = L"Brindlecap.ResultsListControl";
constexpr UINT kUncheckedImage = 1, kCheckedImage = 2;

UINT StateImageOf(UINT state) { return (state & LVIS_STATEIMAGEMASK) >> 12; }

enum MenuCommand : UINT { kCopy = 1, kSelectAll, kCheckAll, kUncheckAll, kRemove };

ColumnValue ValueOfColumn(int column) {
  const auto& columns = form_layout::kResultColumns;
  if (column < 1 || static_cast<size_t>(column) > columns.size()) return ColumnValue::kText;
  return columns[column - 1].value;
}

std::optional<int64_t> BytesOf(const DriveFacts& facts, ColumnValue value) {
  switch (value) {
    case ColumnValue::kTotalBytes:
      return facts.totalBytes;
    case ColumnValue::kFreeBytes:
      return facts.freeBytes;
    case ColumnValue::kUsedBytes:
      return facts.usedBytes;
    default:
      return std::nullopt;
  }
}

}  // namespace

int ResultsListControl::SystemCollation::Compare(std::u16string_view a,
                                                 std::u16string_view b) const {
  // A failure (0) counts as "before": nothing worse than an odd order.
  return ::CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE,
                          reinterpret_cast<const wchar_t*>(a.data()), static_cast<int>(a.size()),
                          reinterpret_cast<const wchar_t*>(b.data()), static_cast<int>(b.size())) -
         CSTR_EQUAL;
}

ResultsListControl::~ResultsListControl() {
  model_.SetListener(nullptr);
  model_.SetCollation(nullptr);
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
  model_.SetCollation(&collation_);
  CreateTip();
  for (int column = 1; column <= model_.ColumnHeadersCount(); ++column) ColumnAdded(column);
  SyncItemCount();
  RememberShownRows();
}

void ResultsListControl::SetDpi(int dpi) noexcept {
  const int oldDpi = dpi_;
  dpi_ = dpi;
  if (window_ == nullptr || oldDpi <= 0) return;
  for (int column = 1; column <= model_.ColumnHeadersCount(); ++column) {
    const float twips = model_.ColumnHeaderWidth(column);
    const int shown = static_cast<int>(::SendMessageW(window_, LVM_GETCOLUMNWIDTH, column - 1, 0));
    // A width the user dragged keeps its length in inches; the others are designed anew.
    const int width = shown == TwipsToPixels(twips, oldDpi) ? TwipsToPixels(twips, dpi)
                                                            : (shown * dpi + oldDpi / 2) / oldDpi;
    ::SendMessageW(window_, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column - 1),
                   MAKELPARAM(width, 0));
  }
}

void ResultsListControl::ReleaseUpdates() noexcept {
  if (holds_ > 0 && --holds_ > 0) return;
  RowsRearranged();
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
  if (holds_ > 0) return;
  SyncItemCount();
  RememberShownRows();
}

void ResultsListControl::RowChanged(int row) {
  if (holds_ > 0 || window_ == nullptr) return;
  const int item = model_.PositionOf(row) - 1;
  ::SendMessageW(window_, LVM_REDRAWITEMS, static_cast<WPARAM>(item), item);
}

// Screen readers hear the box change; announced once the model holds the new mark.
void ResultsListControl::RowCheckChanged(int row) {
  if (holds_ > 0 || window_ == nullptr) return;
  ::NotifyWinEvent(EVENT_OBJECT_STATECHANGE, window_, OBJID_CLIENT, model_.PositionOf(row));
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
    return row <= model_.ListItemsCount() ? model_.PositionOf(row) - 1 : -1;
  };
  for (int& item : selected) item = positionNow(item);
  selected.erase(std::remove(selected.begin(), selected.end(), -1), selected.end());
  SyncItemCount();
  SelectItems(selected, positionNow(focused), false);
  RememberShownRows();
  ::InvalidateRect(window_, nullptr, TRUE);
}

void ResultsListControl::RememberShownRows() noexcept {
  const int count = model_.ListItemsCount();
  shownRows_.resize(static_cast<size_t>(count));
  for (int position = 1; position <= count; ++position) {
    shownRows_[static_cast<size_t>(position - 1)] = model_.RowAt(position);
  }
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
    case LVN_COLUMNCLICK:
      SortByColumn(reinterpret_cast<NMLISTVIEW&>(header).iSubItem + 1);
      result = 0;
      return true;
    case NM_CUSTOMDRAW:
      result = OnCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW&>(header));
      return true;
    default:
      return false;
  }
}

// Typing in the list moves to the next row whose text starts with what was typed.
int ResultsListControl::FindItem(const NMLVFINDITEMW& find) const noexcept {
  // Windows since Vista asks with LVFI_SUBSTRING, which means what LVFI_PARTIAL means.
  const UINT prefix = LVFI_PARTIAL | LVFI_SUBSTRING;
  if ((find.lvfi.flags & (LVFI_STRING | prefix)) == 0 || find.lvfi.psz == nullptr) return -1;
  const std::wstring_view wanted(find.lvfi.psz);
  const int count = model_.ListItemsCount();
  const int start = find.iStart >= 0 && find.iStart < count ? find.iStart : 0;
  const bool partial = (find.lvfi.flags & prefix) != 0;
  for (int step = 0; step < count; ++step) {
    const int index = (start + step) % count;
    if (index < start && (find.lvfi.flags & LVFI_WRAP) == 0) break;
    const std::u16string_view text = model_.Cell(model_.RowAt(index + 1), 1);
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
  if (item.iItem < 0 || item.iItem >= model_.ListItemsCount()) return;
  const int row = model_.RowAt(item.iItem + 1);
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

LRESULT ResultsListControl::CallControl(UINT message, WPARAM wParam, LPARAM lParam) const noexcept {
  return ::CallWindowProcW(controlProcedure_, window_, message, wParam, lParam);
}

LRESULT ResultsListControl::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  if (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) RelayToTip(message, wParam, lParam);
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (ToggleAtPoint(lParam)) return 0;
      break;
    case WM_KEYDOWN:
      if (OnKeyDown(wParam)) return 0;
      break;
    case WM_CHAR:
      // The key-down did the work: no type-ahead, no beep.
      if (wParam == L' ' || wParam == 1 || wParam == 3) return 0;  // Space, Ctrl+A, Ctrl+C
      break;
    case WM_CONTEXTMENU:
      ShowContextMenu(lParam);
      return 0;
    case WM_NOTIFY: {
      auto& header = *reinterpret_cast<NMHDR*>(lParam);
      if (tip_ && header.hwndFrom == tip_.get() && header.code == TTN_GETDISPINFOW) {
        reinterpret_cast<NMTTDISPINFOW&>(header).lpszText =
            reinterpret_cast<wchar_t*>(tipText_.data());
        return 0;
      }
      break;
    }
    case LVM_SETITEMSTATE:
      return SetItemState(static_cast<int>(wParam), *reinterpret_cast<const LVITEMW*>(lParam));
    case WM_NCDESTROY: {
      const WNDPROC procedure = controlProcedure_;
      ::SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure));
      ::RemovePropW(window_, kControlProperty);
      if (!::IsWindow(tip_.get())) tip_.release();  // gone with the window that owned it
      tip_.reset();
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
  model_.ToggleChecked(model_.RowAt(index + 1));
  return true;
}

void ResultsListControl::ToggleSelection() noexcept {
  std::vector<int> rows = SelectedItems();
  for (int& row : rows) row = model_.RowAt(row + 1);
  const int focused =
      static_cast<int>(CallControl(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
  const bool hasFocus = focused >= 0 && focused < model_.ListItemsCount();
  model_.ToggleTogether(rows, hasFocus ? model_.RowAt(focused + 1) : 0);
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
        model_.SetChecked(model_.RowAt(index + 1), checked);
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

std::vector<int> ResultsListControl::SelectedItems() const noexcept {
  std::vector<int> items;
  const LRESULT count = model_.ListItemsCount();
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

void ResultsListControl::CopySelection() noexcept {
  std::vector<int> positions = SelectedItems();
  for (int& position : positions) ++position;
  CopyToClipboard(window_, RowsAsText(ShownResults(model_), positions));
}

void ResultsListControl::SelectAll() noexcept {
  LVITEMW state{};
  state.state = state.stateMask = LVIS_SELECTED;
  CallControl(LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
}

void ResultsListControl::SetAllChecked(bool checked) noexcept {
  for (int row = 1; row <= model_.ListItemsCount(); ++row) model_.SetChecked(row, checked);
}

void ResultsListControl::RemoveSelection() noexcept {
  std::vector<int> positions = SelectedItems();
  if (positions.empty()) return;
  const int first = positions.front();
  for (int& position : positions) ++position;
  shownRows_.clear();  // rows are renumbered as they go: the selection is set anew below
  if (!model_.RemoveShown(positions)) {  // a save is reading the rows: nothing went
    RememberShownRows();
    return;
  }
  // As in other lists, the row that now stands where the first one went is selected.
  const int count = model_.ListItemsCount();
  const int next = std::min(first, count - 1);
  SelectItems(next >= 0 ? std::vector<int>{next} : std::vector<int>{}, next, true);
}

void ResultsListControl::SortByColumn(int column) noexcept {
  if (column < 1 || column > model_.ColumnHeadersCount()) return;
  SortKey key{column, ValueOfColumn(column), true};
  if (model_.Sort() && model_.Sort()->column == column) key.ascending = !model_.Sort()->ascending;
  // The selection and the focus go with their rows (RowsRearranged).
  if (!model_.SortBy(key)) return;
  const LRESULT focused = CallControl(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED);
  if (focused >= 0) CallControl(LVM_ENSUREVISIBLE, static_cast<WPARAM>(focused), FALSE);
  ShowSortArrow();
}

// Common controls 6 draw the arrow; older versions have no such flags and show none.
void ResultsListControl::ShowSortArrow() noexcept {
  const auto header = reinterpret_cast<HWND>(CallControl(LVM_GETHEADER, 0, 0));
  if (header == nullptr) return;
  const auto& sort = model_.Sort();
  const int count = static_cast<int>(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
  for (int index = 0; index < count; ++index) {
    HDITEMW item{};
    item.mask = HDI_FORMAT;
    if (!::SendMessageW(header, HDM_GETITEMW, index, reinterpret_cast<LPARAM>(&item))) continue;
    item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
    if (sort && sort->column == index + 1) item.fmt |= sort->ascending ? HDF_SORTUP : HDF_SORTDOWN;
    ::SendMessageW(header, HDM_SETITEMW, index, reinterpret_cast<LPARAM>(&item));
  }
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
  const bool anyRow = model_.ListItemsCount() > 0;
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

LRESULT ResultsListControl::OnCustomDraw(NMLVCUSTOMDRAW& draw) noexcept {
  constexpr int kBarSubItem = form_layout::kUsedSpaceColumn - 1;
  switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
      return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
      return CDRF_NOTIFYSUBITEMDRAW;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM:
      return draw.iSubItem == kBarSubItem ? CDRF_NOTIFYPOSTPAINT : CDRF_DODEFAULT;
    case CDDS_ITEMPOSTPAINT | CDDS_SUBITEM: {
      const int item = static_cast<int>(draw.nmcd.dwItemSpec);
      if (draw.iSubItem != kBarSubItem || item < 0 || item >= model_.ListItemsCount()) break;
      const std::optional<double> share = UsageBarShare(model_.RowFacts(model_.RowAt(item + 1)));
      RECT cell{LVIR_BOUNDS, kBarSubItem, 0, 0};
      if (!share || !CallControl(LVM_GETSUBITEMRECT, static_cast<WPARAM>(item),
                                 reinterpret_cast<LPARAM>(&cell))) {
        break;
      }
      const bool highlighted =
          (CallControl(LVM_GETITEMSTATE, static_cast<WPARAM>(item), LVIS_SELECTED) &
           LVIS_SELECTED) != 0 &&
          ::GetFocus() == window_;
      PaintUsageBar(draw.nmcd.hdc, cell, *share, highlighted, dpi_);
      break;
    }
    default:
      break;
  }
  return CDRF_DODEFAULT;
}

void ResultsListControl::CreateTip() noexcept {
  tip_.reset(::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                               WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr,
                               nullptr, nullptr));
  if (!tip_) return;  // no tips, the list works on
  // The size every common-controls version since 4.70 takes.
  TOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.hwnd = window_;
  tool.uId = 1;
  tool.lpszText = LPSTR_TEXTCALLBACKW;
  ::SendMessageW(tip_.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

// The tip's one tool covers the size cell under the pointer, or nothing.
void ResultsListControl::FollowPointer(LPARAM point) noexcept {
  LVHITTESTINFO hit{};
  hit.pt = {static_cast<short>(LOWORD(point)), static_cast<short>(HIWORD(point))};
  CallControl(LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit));
  if ((hit.flags & LVHT_ONITEM) == 0) hit.iItem = -1;
  if (hit.iItem == tipItem_ && hit.iSubItem == tipSubItem_) return;
  tipItem_ = hit.iItem;
  tipSubItem_ = hit.iSubItem;
  RECT cell{LVIR_BOUNDS, hit.iSubItem, 0, 0};
  tipText_ = hit.iItem >= 0 ? ExactBytesAt(hit.iItem, hit.iSubItem) : std::u16string();
  if (tipText_.empty() || !CallControl(LVM_GETSUBITEMRECT, static_cast<WPARAM>(hit.iItem),
                                       reinterpret_cast<LPARAM>(&cell))) {
    cell = {};
  }
  TOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.hwnd = window_;
  tool.uId = 1;
  tool.rect = cell;
  ::SendMessageW(tip_.get(), TTM_POP, 0, 0);
  ::SendMessageW(tip_.get(), TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void ResultsListControl::RelayToTip(UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  if (!tip_) return;
  if (message == WM_MOUSEMOVE) FollowPointer(lParam);
  MSG relayed{};
  relayed.hwnd = window_;
  relayed.message = message;
  relayed.wParam = wParam;
  relayed.lParam = lParam;
  ::SendMessageW(tip_.get(), TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
}

std::u16string ResultsListControl::ExactBytesAt(int item, int subItem) const {
  if (item >= model_.ListItemsCount()) return {};
  const DriveFacts& facts = model_.RowFacts(model_.RowAt(item + 1));
  const std::optional<int64_t> bytes = BytesOf(facts, ValueOfColumn(subItem + 1));
  if (!bytes || *bytes < 0) return {};
  wchar_t separator[8] = {}, grouping[16] = {};
  ::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, separator, 8);
  ::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SGROUPING, grouping, 16);
  return ByteCountText(static_cast<uint64_t>(*bytes), reinterpret_cast<const char16_t*>(separator),
                       reinterpret_cast<const char16_t*>(grouping));
}

}  // namespace brindlecap::win32
