#include "main_window/win32/usage_bar_painter.h"

#include <optional>

#include "main_window/core/form_layout.h"
#include "platform/handles.h"
#include "results/result_columns.h"
#include "results/usage_bar.h"

namespace brindlecap::win32 {

namespace {

constexpr COLORREF kNearlyFullColour = RGB(0xD0, 0x20, 0x20);
constexpr int kBarSubItem = IndexOf(ResultColumn::kUsedSpace);

// `cell` is the cell's rectangle; `share` is between 0 and 1.
void PaintUsageBar(HDC dc, const RECT& cell, double share, bool rowSelected, int dpi) noexcept {
  const int size = form_layout::kUsageBarPixelsAt96Dpi * dpi / 96;
  // No track under the rest: it would cross the descenders of a "Bytes" text.
  RECT used{cell.left + size, cell.bottom - 1 - size, cell.right - size, cell.bottom - 1};
  used.right = used.left + static_cast<LONG>((used.right - used.left) * share + 0.5);
  if (used.right <= used.left || used.top < cell.top) return;
  // On a selected row the highlight is the background: the bar takes the text's colour.
  const COLORREF colour = share >= kNearlyFullShare
                              ? kNearlyFullColour
                              : ::GetSysColor(rowSelected ? COLOR_HIGHLIGHTTEXT : COLOR_HIGHLIGHT);
  UniqueBrush brush(::CreateSolidBrush(colour));
  if (brush) ::FillRect(dc, &used, brush.get());
}

}  // namespace

LRESULT UsageBarPainter::OnCustomDraw(const NMLVCUSTOMDRAW& draw) const noexcept {
  switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
      return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
      return CDRF_NOTIFYSUBITEMDRAW;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM:
      return draw.iSubItem == kBarSubItem ? CDRF_NOTIFYPOSTPAINT : CDRF_DODEFAULT;
    case CDDS_ITEMPOSTPAINT | CDDS_SUBITEM: {
      const HWND list = draw.nmcd.hdr.hwndFrom;
      const int item = static_cast<int>(draw.nmcd.dwItemSpec);
      if (draw.iSubItem != kBarSubItem || item < 0 || item >= model_.RowCount()) break;
      const std::optional<double> share = UsageBarShare(model_.RowFacts(model_.RowAt(item)));
      RECT cell{LVIR_BOUNDS, kBarSubItem, 0, 0};
      if (!share || !::SendMessageW(list, LVM_GETSUBITEMRECT, static_cast<WPARAM>(item),
                                    reinterpret_cast<LPARAM>(&cell))) {
        break;
      }
      const bool highlighted =
          (::SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(item), LVIS_SELECTED) &
           LVIS_SELECTED) != 0 &&
          ::GetFocus() == list;
      PaintUsageBar(draw.nmcd.hdc, cell, *share, highlighted, dpi_);
      break;
    }
    default:
      break;
  }
  return CDRF_DODEFAULT;
}

}  // namespace brindlecap::win32
