#pragma once
// The system's text answers: the ANSI code page (CP_ACP) and the user's locale.
#include "shared/system_text.h"

namespace brindlecap::win32 {

class SystemAnsiCodePage : public AnsiCodePage {
 public:
  // Another code page of the system's (the console's, the OEM one) where asked.
  explicit SystemAnsiCodePage(unsigned codePage = 0 /* CP_ACP */) noexcept : codePage_(codePage) {}
  std::string ToAnsi(std::u16string_view text) const override;
  std::u16string FromAnsi(std::string_view text) const override;

 private:
  unsigned codePage_;
};

// Everything the program asks of the user's locale.
class SystemLocale : public LocaleInfo {
 public:
  // The user's decimal separator; "." when the locale cannot be read.
  std::u16string DecimalSeparator() const override;
  // The digit grouping of long numbers ("," and "3;0" in English).
  std::u16string ThousandsSeparator() const;
  std::u16string DigitGrouping() const;
  // The user's order of texts, case ignored: below, at or above 0. A failure
  // compares as "before": nothing worse than an odd order.
  static int Compare(std::u16string_view a, std::u16string_view b) noexcept;
};

}  // namespace brindlecap::win32
