#pragma once
// The skin file "x\o.cjs": a small theme of our own in "key = value" lines.
//   # a comment
//   window.background = #F0F0F0   # colours as #RRGGBB
//   list.background   = #FFFFFF
//   list.text         = #1F1F1F
//   font.name         = Tahoma    ; the face of the list's and buttons' fonts
// Blank lines and lines starting with '#' or ';' are ignored. Elsewhere a '#' or
// ';' that follows a space or tab starts a comment running to the end of the
// line, except a '#' that begins a value: that is a colour. Keys are
// case-insensitive. Anything else is an error, and so is a file larger than
// kLargestThemeFile or a line longer than kLongestThemeLine.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace brindlecap {

struct Theme {
  std::optional<uint32_t> windowBackground;  // 0xRRGGBB
  std::optional<uint32_t> listBackground;
  std::optional<uint32_t> listText;
  std::optional<std::u16string> fontName;
};

inline constexpr size_t kLargestThemeFile = 64 * 1024;  // bytes
inline constexpr size_t kLongestThemeLine = 1024;       // bytes, line end not counted

// Raises a RuntimeFailure naming the line for a file that is not a theme.
Theme ParseTheme(std::string_view content);

}  // namespace brindlecap
