#include "main_window/win32/usage_bar_painter.h"

#include "main_window/core/form_layout.h"
#include "main_window/core/usage_bar.h"
#include "platform/handles.h"

namespace brindlecap::win32 {

namespace {

constexpr COLORREF kNearlyFullColour = RGB(0xD0, 0x20, 0x20);

}  // namespace

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

}  // namespace brindlecap::win32
