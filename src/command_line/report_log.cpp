#include "command_line/report_log.h"

#include "shared/error_report.h"

namespace brindlecap {

void ReportLog::Show(const std::u16string& text, const std::u16string&, MessageBoxIcon) {
  Add(std::nullopt, text);
}

void ReportLog::ShowApplicationError(std::u16string_view description,
                                     std::u16string_view locationLabel, int line) {
  if (locationLabel != location::kStartRetrieving) {
    failures_.push_back({line, std::u16string(description), {}});
    return;
  }
  Add(line, std::u16string(description));
}

const std::vector<ReportedFailure>& ReportLog::Failures() {
  TakeNewRow();
  return failures_;
}

void ReportLog::TakeNewRow() {
  if (waitingForRow_.empty() || results_.ListItemsCount() <= rowsBeforeWaiting_) return;
  for (size_t index : waitingForRow_) {
    failures_[index].root = results_.RowFacts(rowsBeforeWaiting_ + 1).root;
  }
  waitingForRow_.clear();
}

void ReportLog::Add(std::optional<int> line, std::u16string description) {
  TakeNewRow();
  const int rows = results_.ListItemsCount();
  failures_.push_back({line, std::move(description), {}});
  // A box without a line comes from inside a step that fills the row in.
  const int step = line.value_or(120);
  if (step >= 112 && step <= 116) {
    if (waitingForRow_.empty()) rowsBeforeWaiting_ = rows;
    waitingForRow_.push_back(failures_.size() - 1);
  } else if (step == 118 || step == 138) {
    waitingForRow_.clear();  // the drive gets no row: its reports stay apart
    rowsWhenAddFailed_ = rows;
  } else if (step >= 120 && step <= 140 && rows > 0 && rows != rowsWhenAddFailed_) {
    failures_.back().root = results_.RowFacts(rows).root;
  }
}

}  // namespace brindlecap
