#pragma once
// Without a window no box may appear: the reports a retrieval would have shown are
// kept instead, each with the drive whose turn it was.
#include <string>
#include <vector>

#include "export/table_text.h"
#include "shared/message_box.h"

namespace brindlecap {

class RetrievalCommand;

class ReportLog : public MessageBoxService {
 public:
  // The retrieval whose drive a report concerns; nullptr: none.
  void Follow(const RetrievalCommand* retrieval) noexcept { retrieval_ = retrieval; }

  // A box that is no "Application Error" report: its text, without a line.
  void Show(const std::u16string& text, const std::u16string& title, MessageBoxIcon icon) override;
  void ShowApplicationError(std::u16string_view description, std::u16string_view locationLabel,
                            int line) override;

  // In the order they came.
  const std::vector<ReportedFailure>& Failures() const noexcept { return failures_; }

 private:
  std::u16string CurrentDrive() const;

  const RetrievalCommand* retrieval_ = nullptr;
  std::vector<ReportedFailure> failures_;
};

}  // namespace brindlecap
