#include "shared/win32/system_text.h"

#include <windows.h>

#include "platform/system_failure.h"

namespace brindlecap::win32 {

// Both conversions take explicit lengths, so embedded NULs pass through.
std::string SystemAnsiCodePage::ToAnsi(std::u16string_view text) const {
  if (text.empty()) return {};
  const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
  const int length = static_cast<int>(text.size());
  const int size = ::WideCharToMultiByte(codePage_, 0, wide, length, nullptr, 0, nullptr, nullptr);
  if (size == 0) ThrowLastError();
  std::string ansi(static_cast<size_t>(size), '\0');
  if (::WideCharToMultiByte(codePage_, 0, wide, length, &ansi[0], size, nullptr, nullptr) == 0) {
    ThrowLastError();
  }
  return ansi;
}

std::u16string SystemAnsiCodePage::FromAnsi(std::string_view text) const {
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  const int size = ::MultiByteToWideChar(codePage_, 0, text.data(), length, nullptr, 0);
  if (size == 0) ThrowLastError();
  std::u16string wide(static_cast<size_t>(size), u'\0');
  if (::MultiByteToWideChar(codePage_, 0, text.data(), length, reinterpret_cast<wchar_t*>(&wide[0]),
                            size) == 0) {
    ThrowLastError();
  }
  return wide;
}

namespace {

std::u16string LocaleText(LCTYPE what, std::u16string fallback) {
  wchar_t text[16] = {};  // the system allows at most 4 characters for these, and 9 for grouping
  const int length = ::GetLocaleInfoW(LOCALE_USER_DEFAULT, what, text, 16);
  if (length <= 1) return fallback;
  return std::u16string(reinterpret_cast<const char16_t*>(text), static_cast<size_t>(length - 1));
}

}  // namespace

std::u16string SystemLocale::DecimalSeparator() const { return LocaleText(LOCALE_SDECIMAL, u"."); }

std::u16string SystemLocale::ThousandsSeparator() const {
  return LocaleText(LOCALE_STHOUSAND, u"");
}

std::u16string SystemLocale::DigitGrouping() const { return LocaleText(LOCALE_SGROUPING, u""); }

int SystemLocale::Compare(std::u16string_view a, std::u16string_view b) noexcept {
  return ::CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE,
                          reinterpret_cast<const wchar_t*>(a.data()), static_cast<int>(a.size()),
                          reinterpret_cast<const wchar_t*>(b.data()), static_cast<int>(b.size())) -
         CSTR_EQUAL;
}

}  // namespace brindlecap::win32
