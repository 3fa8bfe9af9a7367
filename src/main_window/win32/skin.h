#pragma once
// The optional skin: "x\o.cjs" in the program's folder turns the window to the
// button-face colour and applies the theme that the file holds.
#include <windows.h>

#include <cstdint>
#include <string>

#include "main_window/core/theme.h"

namespace brindlecap::win32 {

// The system's button-face colour as an OLE colour value (system colour 15).
inline constexpr uint32_t kButtonFaceOleColour = 0x8000000Fu;
inline constexpr wchar_t kSkinFileName[] = L"\\x\\o.cjs";

// Resolves an OLE colour: the high bit marks a system colour index.
COLORREF ResolveOleColour(uint32_t oleColour);

class SkinnableForm {
 public:
  virtual ~SkinnableForm() = default;
  virtual HWND Handle() const = 0;
  virtual std::wstring ProgramFolder() const = 0;
  virtual void SetBackColor(uint32_t oleColour) = 0;
  virtual void ApplyTheme(const Theme& theme) = 0;
};

// Does nothing without a normal (not hidden, not system) skin file; raises a
// failure when the file cannot be read or is not a theme.
void ApplySkin(SkinnableForm& form);

}  // namespace brindlecap::win32
