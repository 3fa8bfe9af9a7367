#pragma once
// "Start Retrieving": appends one row per drive to the results list. Every drive
// is asked at once on a worker thread of its own; the window's thread takes the
// answers in drive order and runs the numbered steps over them, so rows, texts
// and error reports come exactly as if it had asked each drive itself, and a slow
// drive holds up only the rows from its own on.
#include <functional>
#include <memory>
#include <vector>

#include "drive_info/drive_info.h"
#include "results/list_view.h"
#include "retrieval/recorded_answers.h"
#include "retrieval/worker_threads.h"
#include "shared/error_report.h"

namespace brindlecap {

class RetrievalCommand {
 public:
  RetrievalCommand(ListView& list, DriveSystem system, DriveWorkers workers);
  RetrievalCommand(const RetrievalCommand&) = delete;
  RetrievalCommand& operator=(const RetrievalCommand&) = delete;

  // The click of the retrieval button: takes the drive list, sets every drive's
  // questions going and adds the rows of the drives that have already answered.
  // A click that arrives while a run is under way is turned away.
  void Run() noexcept;
  // Adds the rows of every drive that has answered, in drive order; ends the run
  // after the last one. Call it on the window's thread whenever a drive answers.
  void TakeAnswers() noexcept;
  bool Running() const noexcept { return running_; }

 private:
  void AskEveryDrive(const std::vector<std::u16string>& roots);
  // One drive's steps: the full row for a drive with a medium, else the short row.
  void AddDriveRow(const std::u16string& root) noexcept;
  DriveInfo& Instance();

  ListView& list_;
  DriveSystem system_;
  DriveWorkers workers_;
  RecordedKernel32 replay_;
  ReportingOperation op_;
  bool running_ = false;
  bool takingAnswers_ = false;
  // The run's working state.
  std::unique_ptr<DriveInfo> instance_;
  std::vector<std::shared_ptr<DriveAnswerRecording>> drives_;
  size_t nextDrive_ = 0;
};

}  // namespace brindlecap
