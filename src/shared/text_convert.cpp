#include "shared/text_convert.h"

namespace brindlecap {

std::u16string AsciiToUtf16(std::string_view text) {
  std::u16string result;
  result.reserve(text.size());
  for (unsigned char c : text) result.push_back(c < 0x80 ? char16_t(c) : u'?');
  return result;
}

std::string Utf16ToAscii(std::u16string_view text) {
  std::string result;
  result.reserve(text.size());
  for (char16_t c : text) result.push_back(c < 0x80 ? char(c) : '?');
  return result;
}

}  // namespace brindlecap
