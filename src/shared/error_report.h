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
inline constexpr std::u16string_view kFormQueryUnload =
    u"in Brindlecap2021/08/31.Form1.Form_QueryUnload ";
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

// Runs the numbered lines of one reporting operation. Each operation names its lines
// once, in an enum of its steps; the numbers are what a report quotes, and a failure
// inside a line's action (or anything it calls) is reported with that number, after
// which the operation goes on with its next action as if the failed one had finished.
// Every action goes through Do, If or ExitIf; nothing escapes these calls.
class ReportingOperation {
 public:
  ReportingOperation(MessageBoxService& messages, std::u16string_view locationLabel)
      : messages_(messages), locationLabel_(locationLabel) {}

  // An ordinary action: an assignment or a call.
  template <class Action>
  void Do(int line, Action&& action) noexcept {
    try {
      action();
    } catch (...) {
      ReportCurrentFailure(line);
    }
  }

  // The test of a conditional step that guards ordinary actions. When the test
  // itself fails, the failure is reported and the guarded actions run.
  template <class Test>
  bool If(int line, Test&& test) noexcept {
    try {
      return static_cast<bool>(test());
    } catch (...) {
      ReportCurrentFailure(line);
      return true;
    }
  }

  // The test of a step that guards nothing but leaving the operation (or a jump).
  // When the test itself fails, the failure is reported and the exit is not taken.
  template <class Test>
  bool ExitIf(int line, Test&& test) noexcept {
    try {
      return static_cast<bool>(test());
    } catch (...) {
      ReportCurrentFailure(line);
      return false;
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
