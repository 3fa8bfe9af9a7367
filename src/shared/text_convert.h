#pragma once
// Conversions for texts that are known to be ASCII (labels, numbers, exception texts).
#include <cstdint>
#include <string>
#include <string_view>

namespace brindlecap {

std::u16string AsciiToUtf16(std::string_view text);
// The number in decimal digits, without sign or leading zeros.
std::u16string DecimalText(unsigned long long value);
// The value's last `digits` hexadecimal digits, leading zeros kept (ASCII).
std::string HexText(uint32_t value, int digits, bool upperCase = true);
// Characters above 0x7F become '?'.
std::string Utf16ToAscii(std::u16string_view text);
// 'a' to 'z' become 'A' to 'Z'; every other character stays as it is.
char16_t AsciiUpperCase(char16_t c);
std::u16string AsciiUpperCase(std::u16string text);
// The same texts but for the case of ASCII letters (switches, drive letters, units).
bool SameIgnoringAsciiCase(std::u16string_view a, std::u16string_view b);

}  // namespace brindlecap
