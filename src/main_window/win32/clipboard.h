#pragma once
// Puts text on the clipboard as Unicode text.
#include <windows.h>

#include <string_view>

namespace brindlecap::win32 {

// False when the clipboard stayed busy for about half a second or took nothing.
bool CopyToClipboard(HWND owner, std::u16string_view text) noexcept;

}  // namespace brindlecap::win32
