#pragma once
// Layout is written in twips (1/1440 inch) and becomes pixels at the window's real DPI.
#include <windows.h>

namespace brindlecap::win32 {

// Sent to a per-monitor aware window whose DPI changed (Windows 8.1 and later).
constexpr UINT kDpiChangedMessage = 0x02E0;

// The system DPI: what every window has where Windows has no per-monitor DPI.
int ScreenDpi();
// The DPI the window is shown at: its monitor's where Windows has GetDpiForWindow
// (Windows 10 1607), else the system's.
int WindowDpi(HWND window);
// Whether the window itself follows its monitor's DPI, so that a DPI change is ours
// to apply; a system-aware window is scaled by Windows and ignores the change.
bool FollowsMonitorDpi(HWND window);
// The window rectangle's size for that client size, with the frame the system draws
// at the window's DPI.
SIZE FrameSize(HWND window, SIZE client);
// The same for a window not made yet, with these styles, at that DPI.
SIZE FrameSize(DWORD style, DWORD exStyle, SIZE client, int dpi);

inline int TwipsToPixels(double twips, int dpi) {
  return static_cast<int>(twips * dpi / 1440.0 + 0.5);
}
// A font height in pixels for a size in points (negative: character height).
inline int PointsToFontHeight(double points, int dpi) {
  return -static_cast<int>(points * dpi / 72.0 + 0.5);
}

}  // namespace brindlecap::win32
