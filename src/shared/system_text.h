#pragma once
// What the system says about text: the ANSI code page at the kernel32 calls and
// in the export file, and the user's decimal separator for size texts.
#include <string>
#include <string_view>

namespace brindlecap {

class AnsiCodePage {
 public:
  virtual ~AnsiCodePage() = default;
  // Characters the code page cannot hold become the system's replacement ('?').
  virtual std::string ToAnsi(std::u16string_view text) const = 0;
  // Keeps embedded NUL characters.
  virtual std::u16string FromAnsi(std::string_view text) const = 0;
};

class LocaleInfo {
 public:
  virtual ~LocaleInfo() = default;
  virtual std::u16string DecimalSeparator() const = 0;
};

}  // namespace brindlecap
