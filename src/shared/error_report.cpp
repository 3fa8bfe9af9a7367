#include "shared/error_report.h"

#include "shared/runtime_failure.h"
#include "shared/text_convert.h"

namespace brindlecap {

std::u16string ComposeApplicationErrorText(std::u16string_view description,
                                           std::u16string_view locationLabel, int line) {
  std::u16string text;
  text.append(description);
  text.append(u"\r\n");
  text.append(locationLabel);
  text.append(u"at line ");
  text.append(DecimalText(static_cast<unsigned>(line < 0 ? -line : line)));
  text.append(u"\r\r");
  text.append(u"Please email screenshot of this message to ");
  text.append(kSupportEmailAddress);
  return text;
}

void MessageBoxService::ShowApplicationError(std::u16string_view description,
                                             std::u16string_view locationLabel, int line) {
  Show(ComposeApplicationErrorText(description, locationLabel, line),
       std::u16string(kApplicationErrorTitle), MessageBoxIcon::kWarning);
}

void ReportApplicationError(MessageBoxService& messages, std::u16string_view description,
                            std::u16string_view locationLabel, int line) {
  messages.ShowApplicationError(description, locationLabel, line);
}

void ReportingOperation::ReportCurrentFailure(int line) noexcept {
  try {
    Report(line, CurrentFailure().Description());
  } catch (...) {
    // Not even the report could be shown (no memory for its text): go on silently
    // rather than let a failure cross into the window procedure.
  }
}

void ReportingOperation::Report(int line, std::u16string_view description) noexcept {
  try {
    ReportApplicationError(messages_, description, locationLabel_, line);
  } catch (...) {
    // As above: nothing may leave a reporting operation.
  }
}

}  // namespace brindlecap
