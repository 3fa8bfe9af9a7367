#pragma once
// Puts text on the clipboard as Unicode text.
#include <windows.h>

#include <string_view>

namespace brindlecap::win32 {

// False when the clipboard could not be opened or took nothing.
bool CopyToClipboard(HWND owner, std::u16string_view text) noexcept;

}  // namespace brindlecap::win32
