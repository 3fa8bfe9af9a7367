#include "platform/win32_system_text.h"

#include <windows.h>

#include "platform/system_failure.h"

namespace brindlecap::win32 {

// Both conversions take explicit lengths, so embedded NULs pass through.
std::string Win32AnsiCodePage::ToAnsi(std::u16string_view text) const {
  if (text.empty()) return {};
  const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
  const int length = static_cast<int>(text.size());
  const int size = ::WideCharToMultiByte(CP_ACP, 0, wide, length, nullptr, 0, nullptr, nullptr);
  if (size == 0) ThrowLastError();
  std::string ansi(static_cast<size_t>(size), '\0');
  if (::WideCharToMultiByte(CP_ACP, 0, wide, length, &ansi[0], size, nullptr, nullptr) == 0) {
    ThrowLastError();
  }
  return ansi;
}

std::u16string Win32AnsiCodePage::FromAnsi(std::string_view text) const {
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  const int size = ::MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
  if (size == 0) ThrowLastError();
  std::u16string wide(static_cast<size_t>(size), u'\0');
  if (::MultiByteToWideChar(CP_ACP, 0, text.data(), length, reinterpret_cast<wchar_t*>(&wide[0]),
                            size) == 0) {
    ThrowLastError();
  }
  return wide;
}

std::u16string Win32LocaleInfo::DecimalSeparator() const {
  wchar_t separator[8] = {};  // the system allows at most 3 characters and the NUL
  const int length = ::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8);
  if (length <= 1) return u".";
  return std::u16string(reinterpret_cast<const char16_t*>(separator),
                        static_cast<size_t>(length - 1));
}

}  // namespace brindlecap::win32
