#include "main_window/win32/usage_bar_painter.h"

#include "main_window/core/usage_bar.h"
#include "platform/handles.h"

namespace brindlecap::win32 {

namespace {

constexpr COLORREF kNearlyFullColour = RGB(0xD0, 0x20, 0x20);

void Fill(HDC dc, const RECT& rect, COLORREF colour) {
  UniqueBrush brush(::CreateSolidBrush(colour));
  if (brush) ::FillRect(dc, &rect, brush.get());
}

}  // namespace

void PaintUsageBar(HDC dc, const RECT& cell, double share, bool rowSelected, int dpi) noexcept {
  const int inset = 3 * dpi / 96, height = 3 * dpi / 96;
  RECT track{cell.left + inset, cell.bottom - 1 - height, cell.right - inset, cell.bottom - 1};
  if (track.right <= track.left || track.top < cell.top) return;
  // On a selected row the highlight is the background: the bar takes the text's colour.
  if (!rowSelected) Fill(dc, track, ::GetSysColor(COLOR_3DFACE));
  RECT used = track;
  used.right = track.left + static_cast<LONG>((track.right - track.left) * share + 0.5);
  const COLORREF colour = share >= kNearlyFullShare
                              ? kNearlyFullColour
                              : ::GetSysColor(rowSelected ? COLOR_HIGHLIGHTTEXT : COLOR_HIGHLIGHT);
  if (used.right > used.left) Fill(dc, used, colour);
}

}  // namespace brindlecap::win32
