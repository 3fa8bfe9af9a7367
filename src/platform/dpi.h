#pragma once
// Layout is written in twips (1/1440 inch) and becomes pixels at the screen's real DPI.
#include <windows.h>

namespace brindlecap::win32 {

int ScreenDpi();
inline int TwipsToPixels(double twips, int dpi) {
  return static_cast<int>(twips * dpi / 1440.0 + 0.5);
}
// A font height in pixels for a size in points (negative: character height).
inline int PointsToFontHeight(double points, int dpi) {
  return -static_cast<int>(points * dpi / 72.0 + 0.5);
}

}  // namespace brindlecap::win32
