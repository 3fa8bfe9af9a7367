#pragma once
// The thin bar under the Used Space text: used against total, in the system's
// highlight colour, red once the drive is nearly full.
#include <windows.h>

namespace brindlecap::win32 {

// `cell` is the cell's rectangle; `share` is between 0 and 1.
void PaintUsageBar(HDC dc, const RECT& cell, double share, bool rowSelected, int dpi) noexcept;

}  // namespace brindlecap::win32
