// Windows of another process seen from outside: their facts, the pointer, the
// keyboard and the clipboard, and the messages sent to them.
#include <algorithm>

#include "support/window_driver.h"

namespace brindlecap::e2e {

std::wstring ClassNameOf(HWND window) {
  wchar_t name[256] = L"";
  GetClassNameW(window, name, 256);
  return name;
}

std::wstring TextOf(HWND window) {
  const auto length = SendOrThrow(window, WM_GETTEXTLENGTH, 0, 0, Milliseconds(10000));
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const auto copied = SendOrThrow(window, WM_GETTEXT, text.size(),
                                  reinterpret_cast<LPARAM>(text.data()), Milliseconds(10000));
  text.resize(static_cast<size_t>(copied));
  return text;
}

int ControlIdOf(HWND window) { return GetDlgCtrlID(window); }

LONG StyleOf(HWND window) { return GetWindowLongW(window, GWL_STYLE); }

LONG ExStyleOf(HWND window) { return GetWindowLongW(window, GWL_EXSTYLE); }

RECT WindowRectOf(HWND window) {
  RECT rect{};
  if (!GetWindowRect(window, &rect)) throw DriverError(Win32Error("GetWindowRect"));
  return rect;
}

SIZE ClientSizeOf(HWND window) {
  RECT rect{};
  if (!GetClientRect(window, &rect)) throw DriverError(Win32Error("GetClientRect"));
  return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

RECT RectInParentClient(HWND child) {
  RECT rect = WindowRectOf(child);
  MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

std::vector<HWND> ChildrenInOrder(HWND parent) {
  std::vector<HWND> children;
  for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    children.push_back(child);
  }
  return children;
}

HWND FocusOfThreadOwning(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) {
    throw DriverError(Win32Error("GetGUIThreadInfo"));
  }
  return info.hwndFocus;
}

int ScreenDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi;
}

HCURSOR ForegroundCursor() {
  CURSORINFO info{};
  info.cbSize = sizeof info;
  if (!GetCursorInfo(&info)) throw DriverError(Win32Error("GetCursorInfo"));
  return info.hCursor;
}

void MovePointerTo(HWND window, POINT clientPoint) {
  if (!ClientToScreen(window, &clientPoint) || !SetCursorPos(clientPoint.x, clientPoint.y)) {
    throw DriverError(Win32Error("SetCursorPos"));
  }
}

namespace {

struct WindowSearch {
  DWORD processId;
  const wchar_t* className;
  bool visibleOnly;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM param) {
  auto& search = *reinterpret_cast<WindowSearch*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (search.processId != 0 && owner != search.processId) return TRUE;
  if (search.visibleOnly && !IsWindowVisible(window)) return TRUE;
  if (search.className != nullptr && ClassNameOf(window) != search.className) return TRUE;
  search.found.push_back(window);
  return TRUE;
}

}  // namespace

std::vector<HWND> TopLevelWindowsOf(DWORD processId, const wchar_t* className, bool visibleOnly) {
  WindowSearch search{processId, className, visibleOnly, {}};
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

void TypeControlKey(HWND window, char letter) {
  SetForegroundWindow(window);
  INPUT keys[4] = {};
  const WORD codes[4] = {VK_CONTROL, static_cast<WORD>(letter), static_cast<WORD>(letter),
                         VK_CONTROL};
  for (int i = 0; i < 4; ++i) {
    keys[i].type = INPUT_KEYBOARD;
    keys[i].ki.wVk = codes[i];
    keys[i].ki.dwFlags = i < 2 ? 0 : KEYEVENTF_KEYUP;
  }
  if (SendInput(4, keys, sizeof(INPUT)) != 4) throw DriverError(Win32Error("SendInput"));
}

std::optional<std::wstring> ClipboardText() {
  if (!OpenClipboard(nullptr)) return std::nullopt;
  std::optional<std::wstring> text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* characters = static_cast<const wchar_t*>(GlobalLock(data))) {
      text = characters;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

LRESULT SendOrThrow(HWND window, UINT message, WPARAM wParam, LPARAM lParam, Milliseconds timeout) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL,
                           static_cast<UINT>(timeout.count()), &result)) {
    char text[160];
    std::snprintf(text, sizeof text,
                  "message 0x%X to window %p got no answer (timeout or gone), error %lu", message,
                  static_cast<void*>(window), GetLastError());
    throw DriverError(text);
  }
  return static_cast<LRESULT>(result);
}

void PostOrThrow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!PostMessageW(window, message, wParam, lParam)) throw DriverError(Win32Error("PostMessage"));
}

}  // namespace brindlecap::e2e
