// The skin file is whatever lies next to the program: any bytes must give either a
// theme or the parser's own failure, never a crash, a hang or a sanitizer report.
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "main_window/core/theme.h"
#include "shared/runtime_failure.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace brindlecap;
  const std::string_view content(reinterpret_cast<const char*>(data), size);
  try {
    const Theme theme = ParseTheme(content);
    if (theme.fontName && (theme.fontName->empty() || theme.fontName->size() > 31)) std::abort();
    for (const std::optional<uint32_t>& colour :
         {theme.windowBackground, theme.listBackground, theme.listText}) {
      if (colour && *colour > 0xFFFFFFu) std::abort();
    }
  } catch (const RuntimeFailure& failure) {
    // Anything else thrown escapes and is reported by libFuzzer.
    if (failure.Description().rfind(u"Invalid skin file", 0) != 0) std::abort();
  }
  return 0;
}
