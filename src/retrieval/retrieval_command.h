#pragma once
// "Start Retrieving": appends one row per drive to the results list. Every drive's
// steps run at once, each on a worker thread of its own, and produce the drive's
// row and reports; the window's thread adds the rows and shows the reports in
// drive order, so they come exactly as if it had asked each drive itself, and a
// slow drive holds up only the rows from its own on. No question that can wait on
// a drive is asked on the window's thread, but for the list of drive letters.
#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "drive_info/drive_info.h"
#include "results/row_list.h"
#include "retrieval/drive_steps.h"
#include "retrieval/worker_threads.h"
#include "shared/error_report.h"

namespace brindlecap {

class RetrievalCommand {
 public:
  RetrievalCommand(RowList& list, DriveSystem system, MessageBoxService& messages,
                   DriveWorkers workers);
  RetrievalCommand(const RetrievalCommand&) = delete;
  RetrievalCommand& operator=(const RetrievalCommand&) = delete;

  // The click of the retrieval button: takes the drive list, sets every drive's
  // steps going and adds the rows of the drives that have already answered. A
  // click that arrives while a run is under way is turned away.
  void Run() noexcept;
  // Adds the rows of every drive that has answered, in drive order; ends the run
  // after the last one. Call it on the window's thread whenever a drive answers.
  void TakeAnswers() noexcept;
  // Ends the run at once (a deadline has passed): every drive still being asked
  // gets a row "X:\  - Not answering", the others their own rows, in drive order.
  // A worker may still finish a given-up drive later: its row is never read.
  void GiveUp() noexcept;
  bool Running() const noexcept { return running_; }
  // The next runs add, after the drives, a row for each folder a volume is mounted in.
  void IncludeMountedFolders() noexcept { mountedFolders_ = true; }
  // The root of the drive whose row and reports are being added; empty between drives.
  const std::u16string& CurrentDrive() const noexcept { return currentDrive_; }

 private:
  // One drive's turn: its row, once its worker has produced it.
  struct DriveTurn {
    explicit DriveTurn(std::u16string driveRoot) : root(std::move(driveRoot)) {}
    const std::u16string root;
    DriveRow row;  // the worker's until `answered` is set; never read without it
    std::atomic<bool> answered{false};
  };

  void AskEveryDrive(const std::vector<std::u16string>& roots);
  void EndRun() noexcept;
  // Adds the drive's row and shows its reports, each at its step.
  void AddDriveRow(const DriveRow& row) noexcept;

  RowList& list_;
  DriveSystem system_;
  DriveWorkers workers_;
  MessageBoxService& messages_;
  ReportingOperation op_;
  bool running_ = false;
  bool takingAnswers_ = false;
  bool mountedFolders_ = false;
  std::u16string currentDrive_;
  // The run's working state.
  std::unique_ptr<DriveInfo> instance_;
  std::vector<std::shared_ptr<DriveTurn>> drives_;
  size_t nextDrive_ = 0;
};

}  // namespace brindlecap
