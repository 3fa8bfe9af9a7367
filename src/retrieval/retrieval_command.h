#pragma once
// "Start Retrieving": appends one row per drive to the results list.
#include <functional>

#include "drive_info/drive_info.h"
#include "main_window/core/list_view.h"
#include "shared/error_report.h"

namespace brindlecap {

class RetrievalCommand {
 public:
  RetrievalCommand(ListView& list, DriveSystem system) : list_(list), system_(system) {}

  // The click of the retrieval button. Runs to the end without yielding; a
  // click that arrives while a run is under way is turned away.
  void Run() noexcept;
  bool Running() const noexcept { return running_; }

 private:
  // One drive's steps: the full row for a drive with a medium, else the short row.
  void AddDriveRow(ReportingOperation& op, const std::function<DriveInfo&()>& driveInfo,
                   const std::u16string& root) noexcept;

  ListView& list_;
  DriveSystem system_;
  bool running_ = false;
};

}  // namespace brindlecap
