#include "command_line/report_log.h"

#include "retrieval/retrieval_command.h"
#include "shared/error_report.h"

namespace brindlecap {

std::u16string ReportLog::CurrentDrive() const {
  return retrieval_ != nullptr ? retrieval_->CurrentDrive() : std::u16string();
}

void ReportLog::Show(const std::u16string& text, const std::u16string&, MessageBoxIcon) {
  failures_.push_back({std::nullopt, text, CurrentDrive()});
}

void ReportLog::ShowApplicationError(std::u16string_view description,
                                     std::u16string_view locationLabel, int line) {
  const bool retrieval = locationLabel == location::kStartRetrieving;
  failures_.push_back(
      {line, std::u16string(description), retrieval ? CurrentDrive() : std::u16string()});
}

}  // namespace brindlecap
