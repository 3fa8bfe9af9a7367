#pragma once
// Without a window no box may appear: the reports a retrieval would have shown are
// kept instead, each with the drive whose row it concerns.
#include <string>
#include <vector>

#include "export/table_text.h"
#include "results/results_model.h"
#include "shared/message_box.h"

namespace brindlecap {

// Which drive a retrieval's report concerns follows from its steps (numbered lines,
// run in drive order on the caller's thread): 112 to 116 ask the drive before its
// row exists, 118 or 138 add the row, the later lines fill it in. The rest, and the
// reports of other operations, belong to no drive.
class ReportLog : public MessageBoxService {
 public:
  explicit ReportLog(const ResultsModel& results) : results_(results) {}

  // A box that is no "Application Error" report: its text, without a line.
  void Show(const std::u16string& text, const std::u16string& title, MessageBoxIcon icon) override;
  void ShowApplicationError(std::u16string_view description, std::u16string_view locationLabel,
                            int line) override;

  // In the order they came.
  const std::vector<ReportedFailure>& Failures();

 private:
  void Add(std::optional<int> line, std::u16string description);
  // Reports made before their drive's row existed take its root once it does.
  void TakeNewRow();

  const ResultsModel& results_;
  std::vector<ReportedFailure> failures_;
  std::vector<size_t> waitingForRow_;  // failures_ indexes
  int rowsBeforeWaiting_ = 0;
  int rowsWhenAddFailed_ = -1;  // the row count when a drive's row could not be added
};

}  // namespace brindlecap
