#include "main_window/core/byte_count_text.h"

namespace brindlecap {

std::u16string ByteCountText(uint64_t bytes, std::u16string_view separator,
                             std::u16string_view grouping) {
  constexpr std::u16string_view kUnit = u" bytes";
  if (separator.size() > 3) separator = separator.substr(0, 3);
  // Group sizes are single digits; the pattern's other characters only separate them.
  size_t next = 0;
  const auto nextSize = [&]() -> int {
    while (next < grouping.size() && (grouping[next] < u'0' || grouping[next] > u'9')) ++next;
    return next < grouping.size() ? grouping[next++] - u'0' : -1;
  };
  int size = nextSize(), inGroup = 0;
  bool repeat = false;
  // Written from the right: at most 20 digits, 19 separators and the unit.
  char16_t text[20 + 19 * 3 + kUnit.size()];
  char16_t* const end = text + sizeof text / sizeof text[0];
  char16_t* start = end - kUnit.size();
  kUnit.copy(start, kUnit.size());
  do {
    if (size > 0 && inGroup == size) {
      start -= separator.size();
      separator.copy(start, separator.size());
      inGroup = 0;
      // A final 0 repeats the size before it; a pattern that ends otherwise stops grouping.
      if (!repeat) {
        const int following = nextSize();
        repeat = following == 0;
        if (!repeat) size = following < 0 ? 0 : following;
      }
    }
    *--start = static_cast<char16_t>(u'0' + bytes % 10);
    ++inGroup;
    bytes /= 10;
  } while (bytes != 0);
  return std::u16string(start, end);
}

}  // namespace brindlecap
