#pragma once
// What the real main window shows, read back in this process: its background
// colour and the pointer it shows over a control.
#include <windows.h>

namespace brindlecap::testing {

// The colour the window erases its background with, read back from a bitmap it erased.
inline COLORREF BackgroundOf(HWND form) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = 4;
  info.bmiHeader.biHeight = -4;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  const HDC dc = ::CreateCompatibleDC(nullptr);
  const HBITMAP bitmap = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  const HGDIOBJ before = ::SelectObject(dc, bitmap);
  ::SendMessageW(form, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  const COLORREF colour = ::GetPixel(dc, 1, 1);
  ::SelectObject(dc, before);
  ::DeleteObject(bitmap);
  ::DeleteDC(dc);
  return colour;
}

// The pointer the window shows when the mouse moves over that control.
inline HCURSOR PointerOver(HWND form, HWND over) {
  ::SetCursor(nullptr);
  ::SendMessageW(form, WM_SETCURSOR, reinterpret_cast<WPARAM>(over),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  return ::GetCursor();
}

// Whether the cursor is the one MinimalCursorFile draws: 32 x 32, its hot spot at 4, 4.
inline bool IsTheHandCursor(HCURSOR cursor) {
  ICONINFO info{};
  if (cursor == nullptr || !::GetIconInfo(cursor, &info)) return false;
  BITMAP mask{};
  ::GetObjectW(info.hbmMask, sizeof mask, &mask);
  if (info.hbmColor != nullptr) ::DeleteObject(info.hbmColor);
  ::DeleteObject(info.hbmMask);
  return !info.fIcon && info.xHotspot == 4 && info.yHotspot == 4 && mask.bmWidth == 32;
}

}  // namespace brindlecap::testing
