#pragma once
// The one error report of the program and the mechanism that lets a reporting
// operation run its numbered lines, report a failure with the line's number and
// go on with the next action.
#include <string>
#include <string_view>

#include "shared/message_box.h"

namespace brindlecap {

// Where each reporting operation says it failed (fixed texts, each ends with a blank).
namespace location {
inline constexpr std::u16string_view kFormLoad = u"in Brindlecap2021/08/31.Form1.Form_Load ";
inline constexpr std::u16string_view kStartRetrieving =
    u"in Brindlecap2021/08/31.Form1.PushButton6_Click ";
inline constexpr std::u16string_view kSaveResults =
    u"in Brindlecap2021/08/31.Form1.PushButton8_Click ";
inline constexpr std::u16string_view kWriteList =
    u"in Brindlecap2021/08/31.Main.SaveListviewProperlySpacedWithoutProgressBar ";
}  // namespace location

inline constexpr std::u16string_view kSupportEmailAddress = u"support@harrowmede.com";
inline constexpr std::u16string_view kApplicationErrorTitle = u"Application Error";

std::u16string ComposeApplicationErrorText(std::u16string_view description,
                                           std::u16string_view locationLabel, int line);

// Shows the "Application Error" box and returns when the user dismissed it.
void ReportApplicationError(MessageBoxService& messages, std::u16string_view description,
                            std::u16string_view locationLabel, int line);

// Reports the failures of one operation. Each operation names its failure points
// once, in an enum of the lines a report quotes; a failure inside such an action
// (or anything it calls) is reported with its line, and the operation goes on with
// what follows. Code that cannot fail runs as it is, outside any action.
class ReportingOperation {
 public:
  ReportingOperation(MessageBoxService& messages, std::u16string_view locationLabel)
      : messages_(messages), locationLabel_(locationLabel) {}

  // An action that can fail: a system call, a file write, an allocation that grows.
  template <class Action>
  void Do(int line, Action&& action) noexcept {
    try {
      action();
    } catch (...) {
      ReportCurrentFailure(line);
    }
  }

  // Reports a failure met elsewhere (on a worker thread, say) as this line's.
  void Report(int line, std::u16string_view description) noexcept;

 private:
  // Must be called from inside a catch block.
  void ReportCurrentFailure(int line) noexcept;

  MessageBoxService& messages_;
  std::u16string_view locationLabel_;
};

}  // namespace brindlecap
