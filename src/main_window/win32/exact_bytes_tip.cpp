#include "main_window/win32/exact_bytes_tip.h"

#include <commctrl.h>

#include <optional>

#include "main_window/core/byte_count_text.h"
#include "results/result_columns.h"
#include "shared/win32/system_text.h"

namespace brindlecap::win32 {

namespace {

constexpr UINT_PTR kToolId = 1;

std::optional<uint64_t> BytesOf(const DriveFacts& facts, ColumnValue value) {
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

void ExactBytesTip::Attach(HWND list) noexcept {
  list_ = list;
  creationTried_ = false;
}

void ExactBytesTip::Create() noexcept {
  creationTried_ = true;
  tip_.reset(::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                               WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, list_, nullptr, nullptr,
                               nullptr));
  if (!tip_) return;
  // The size every common-controls version since 4.70 takes.
  TOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.hwnd = list_;
  tool.uId = kToolId;
  tool.lpszText = LPSTR_TEXTCALLBACKW;
  ::SendMessageW(tip_.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void ExactBytesTip::Relay(UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  if (list_ == nullptr) return;
  if (message == WM_MOUSEMOVE) FollowPointer(lParam);
  if (!tip_) return;
  MSG relayed{};
  relayed.hwnd = list_;
  relayed.message = message;
  relayed.wParam = wParam;
  relayed.lParam = lParam;
  ::SendMessageW(tip_.get(), TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
}

bool ExactBytesTip::AnswerTextRequest(NMHDR& header) noexcept {
  if (!tip_ || header.hwndFrom != tip_.get() || header.code != TTN_GETDISPINFOW) return false;
  reinterpret_cast<NMTTDISPINFOW&>(header).lpszText = reinterpret_cast<wchar_t*>(text_.data());
  return true;
}

void ExactBytesTip::ListDestroyed() noexcept {
  if (!::IsWindow(tip_.get())) tip_.release();  // gone with the window that owned it
  tip_.reset();
  list_ = nullptr;
  creationTried_ = false;
}

// The tip's one tool covers the size cell under the pointer, or nothing.
void ExactBytesTip::FollowPointer(LPARAM point) noexcept {
  LVHITTESTINFO hit{};
  hit.pt = {static_cast<short>(LOWORD(point)), static_cast<short>(HIWORD(point))};
  ::SendMessageW(list_, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit));
  if ((hit.flags & LVHT_ONITEM) == 0) hit.iItem = -1;
  if (hit.iItem == item_ && hit.iSubItem == subItem_) return;
  item_ = hit.iItem;
  subItem_ = hit.iSubItem;
  RECT cell{LVIR_BOUNDS, hit.iSubItem, 0, 0};
  text_ = hit.iItem >= 0 ? ExactBytesAt(hit.iItem, hit.iSubItem) : std::u16string();
  if (!tip_) {
    if (text_.empty() || creationTried_) return;
    Create();
    if (!tip_) return;
  }
  if (text_.empty() || !::SendMessageW(list_, LVM_GETSUBITEMRECT, static_cast<WPARAM>(hit.iItem),
                                       reinterpret_cast<LPARAM>(&cell))) {
    cell = {};
  }
  TOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.hwnd = list_;
  tool.uId = kToolId;
  tool.rect = cell;
  ::SendMessageW(tip_.get(), TTM_POP, 0, 0);
  ::SendMessageW(tip_.get(), TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
}

std::u16string ExactBytesTip::ExactBytesAt(int item, int subItem) const {
  if (item >= model_.RowCount()) return {};
  const DriveFacts& facts = model_.RowFacts(model_.RowAt(item));
  const std::optional<uint64_t> bytes = BytesOf(facts, FactOfColumn(subItem));
  if (!bytes) return {};
  const SystemLocale locale;
  return ByteCountText(*bytes, locale.ThousandsSeparator(), locale.DigitGrouping());
}

}  // namespace brindlecap::win32
