#pragma once
// The system's text answers for tests: a Windows-1252-like code page (Latin-1,
// '?' for anything else, NULs kept) and a locale with a settable separator.
#include <string>
#include <string_view>

#include "shared/system_text.h"

namespace brindlecap::testing {

class FakeCodePage : public AnsiCodePage {
 public:
  std::string ToAnsi(std::u16string_view text) const override {
    std::string ansi;
    for (char16_t c : text) ansi.push_back(c <= 0xFF ? static_cast<char>(c) : '?');
    return ansi;
  }
  std::u16string FromAnsi(std::string_view text) const override {
    std::u16string wide;
    for (char c : text) wide.push_back(static_cast<unsigned char>(c));
    return wide;
  }
};

class FakeLocale : public LocaleInfo {
 public:
  explicit FakeLocale(std::u16string separator = u".") : separator(std::move(separator)) {}
  std::u16string DecimalSeparator() const override { return separator; }
  std::u16string separator;
};

}  // namespace brindlecap::testing
