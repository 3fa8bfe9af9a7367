#include "shared/text_convert.h"

namespace brindlecap {

std::u16string AsciiToUtf16(std::string_view text) {
  std::u16string result;
  result.reserve(text.size());
  for (unsigned char c : text) result.push_back(c < 0x80 ? char16_t(c) : u'?');
  return result;
}

std::string HexText(uint32_t value, int digits, bool upperCase) {
  const char* const hexDigits = upperCase ? "0123456789ABCDEF" : "0123456789abcdef";
  std::string text(static_cast<size_t>(digits > 0 ? digits : 0), '0');
  for (size_t i = text.size(); i-- > 0; value >>= 4) text[i] = hexDigits[value & 0xF];
  return text;
}

std::u16string DecimalText(unsigned long long value) {
  // Not std::to_string: it would bring the C library's whole printf into the program.
  char16_t digits[20];
  size_t count = 0;
  do {
    digits[count++] = static_cast<char16_t>(u'0' + value % 10);
    value /= 10;
  } while (value != 0);
  std::u16string text;
  while (count > 0) text.push_back(digits[--count]);
  return text;
}

std::string Utf16ToAscii(std::u16string_view text) {
  std::string result;
  result.reserve(text.size());
  for (char16_t c : text) result.push_back(c < 0x80 ? char(c) : '?');
  return result;
}

char16_t AsciiUpperCase(char16_t c) {
  return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

std::u16string AsciiUpperCase(std::u16string text) {
  for (char16_t& c : text) c = AsciiUpperCase(c);
  return text;
}

bool SameIgnoringAsciiCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (AsciiUpperCase(a[i]) != AsciiUpperCase(b[i])) return false;
  }
  return true;
}

}  // namespace brindlecap
