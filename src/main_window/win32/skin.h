#pragma once
// The optional skin: "x\o.cjs" in the program's folder turns the window to the
// button-face colour and applies the theme that the file holds.
#include <windows.h>

#include <cstdint>
#include <string>

#include "main_window/core/theme.h"

namespace brindlecap::win32 {

// A colour as the window's look names it: one of the system's colours (by its
// index, so it follows the user's scheme), or a fixed red, green and blue.
struct Colour {
  static constexpr Colour System(int index) { return {true, static_cast<uint32_t>(index)}; }
  static constexpr Colour Fixed(COLORREF rgb) { return {false, rgb}; }
  // What GDI paints with, the system's colour looked up now.
  COLORREF Resolve() const { return system ? ::GetSysColor(static_cast<int>(value)) : value; }

  bool system;
  uint32_t value;
};

inline constexpr Colour kButtonFace = Colour::System(COLOR_BTNFACE);
inline constexpr wchar_t kSkinFileName[] = L"\\x\\o.cjs";

class SkinnableForm {
 public:
  virtual ~SkinnableForm() = default;
  virtual HWND Handle() const = 0;
  virtual std::wstring ProgramFolder() const = 0;
  virtual void SetBackground(Colour colour) = 0;
  virtual void ApplyTheme(const Theme& theme) = 0;
};

// Does nothing without a normal (not hidden, not system) skin file; raises a
// failure when the file cannot be read or is not a theme.
void ApplySkin(SkinnableForm& form);

}  // namespace brindlecap::win32
