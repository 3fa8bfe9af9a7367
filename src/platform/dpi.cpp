#include "platform/dpi.h"

#include "platform/handles.h"

namespace brindlecap::win32 {

namespace {

// Windows 10 1607 and later: looked up at run time, null before.
template <class Function>
Function User32Function(const char* name) {
  const HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
  if (user32 == nullptr) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(user32, name)));
}

constexpr int kPerMonitorAware = 2;  // DPI_AWARENESS_PER_MONITOR_AWARE, V1 and V2 alike

}  // namespace

int ScreenDpi() {
  UniqueScreenDc screen(::GetDC(nullptr));
  if (!screen) return 96;
  const int dpi = ::GetDeviceCaps(screen.get(), LOGPIXELSY);
  return dpi > 0 ? dpi : 96;
}

int WindowDpi(HWND window) {
  using GetDpiForWindow = UINT(WINAPI*)(HWND);
  static const auto dpiForWindow = User32Function<GetDpiForWindow>("GetDpiForWindow");
  const int dpi = dpiForWindow != nullptr ? static_cast<int>(dpiForWindow(window)) : 0;
  return dpi > 0 ? dpi : ScreenDpi();
}

bool FollowsMonitorDpi(HWND window) {
  using GetWindowContext = HANDLE(WINAPI*)(HWND);
  using GetAwareness = int(WINAPI*)(HANDLE);
  static const auto windowContext =
      User32Function<GetWindowContext>("GetWindowDpiAwarenessContext");
  static const auto awareness = User32Function<GetAwareness>("GetAwarenessFromDpiAwarenessContext");
  if (windowContext == nullptr || awareness == nullptr) return false;
  return awareness(windowContext(window)) == kPerMonitorAware;
}

SIZE FrameSize(DWORD style, DWORD exStyle, SIZE client, int dpi) {
  using AdjustForDpi = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
  static const auto adjustForDpi = User32Function<AdjustForDpi>("AdjustWindowRectExForDpi");
  RECT frame{0, 0, client.cx, client.cy};
  if (adjustForDpi == nullptr ||
      !adjustForDpi(&frame, style, FALSE, exStyle, static_cast<UINT>(dpi))) {
    frame = {0, 0, client.cx, client.cy};
    ::AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  }
  return {frame.right - frame.left, frame.bottom - frame.top};
}

SIZE FrameSize(HWND window, SIZE client) {
  return FrameSize(static_cast<DWORD>(::GetWindowLongW(window, GWL_STYLE)),
                   static_cast<DWORD>(::GetWindowLongW(window, GWL_EXSTYLE)), client,
                   WindowDpi(window));
}

}  // namespace brindlecap::win32
