#pragma once
// The system's text answers: the ANSI code page (CP_ACP) and the user's locale.
#include "shared/system_text.h"

namespace brindlecap::win32 {

class Win32AnsiCodePage : public AnsiCodePage {
 public:
  std::string ToAnsi(std::u16string_view text) const override;
  std::u16string FromAnsi(std::string_view text) const override;
};

class Win32LocaleInfo : public LocaleInfo {
 public:
  // The user's decimal separator; "." when the locale cannot be read.
  std::u16string DecimalSeparator() const override;
};

}  // namespace brindlecap::win32
