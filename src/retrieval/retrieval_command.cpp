#include "retrieval/retrieval_command.h"

#include <utility>

#include "shared/runtime_failure.h"

namespace brindlecap {

namespace {

// A short row, as for a drive without a medium; nothing of the drive is known.
DriveRow NotAnsweringRow(const std::u16string& root) noexcept {
  DriveRow row;
  try {
    row.Cell(ResultColumn::kDrive) = root + u"  - Not answering";
    row.facts.root = root;
  } catch (...) {
    // No memory for the texts: the row stays empty.
  }
  row.facts.answered = false;
  return row;
}

}  // namespace

RetrievalCommand::RetrievalCommand(RowList& list, DriveSystem system, MessageBoxService& messages,
                                   DriveWorkers workers)
    : list_(list),
      system_(system),
      workers_(std::move(workers)),
      messages_(messages),
      op_(messages, location::kStartRetrieving) {}

void RetrievalCommand::Run() noexcept {
  if (running_) return;
  running_ = true;

  std::vector<std::u16string> roots;
  instance_ = std::make_unique<DriveInfo>(system_);
  op_.Do(kListDrives, [&] {
    Answer<std::vector<std::u16string>> listed = instance_->Roots();
    if (listed.failure) throw RuntimeFailure(listed.failure->description);
    roots = std::move(listed.value);
    // A failed folder search leaves the drives' rows as they are.
    if (mountedFolders_) {
      for (std::u16string& folder : instance_->MountedFolders(roots).value) {
        roots.push_back(std::move(folder));
      }
    }
  });
  op_.Do(kAskEveryDrive, [&] { AskEveryDrive(roots); });
  TakeAnswers();
}

void RetrievalCommand::AskEveryDrive(const std::vector<std::u16string>& roots) {
  for (const std::u16string& root : roots) {
    // A machine that reports no drive at all gives one empty root: no row for it.
    if (root.empty()) continue;
    drives_.push_back(std::make_shared<DriveTurn>(root));
  }
  const DriveSystem& system = system_;
  for (const std::shared_ptr<DriveTurn>& drive : drives_) {
    bool started = false;
    try {
      started = workers_.threads.Start([drive, system, answered = workers_.answered] {
        drive->row = RunDriveSteps(drive->root, system);
        drive->answered.store(true, std::memory_order_release);
        if (answered) answered();
      });
    } catch (...) {
      // No memory for the work itself: as without a thread.
    }
    // Without a thread of its own the drive is asked here, so the run always ends.
    if (!started) {
      drive->row = RunDriveSteps(drive->root, system);
      drive->answered.store(true, std::memory_order_release);
    }
  }
}

void RetrievalCommand::TakeAnswers() noexcept {
  // An error report shown while adding a row lets this run again: the outer call
  // takes the drives that answered meanwhile.
  if (!running_ || takingAnswers_) return;
  takingAnswers_ = true;
  while (nextDrive_ < drives_.size() &&
         drives_[nextDrive_]->answered.load(std::memory_order_acquire)) {
    const DriveTurn& drive = *drives_[nextDrive_];
    currentDrive_ = drive.root;
    AddDriveRow(drive.row);
    currentDrive_.clear();
    ++nextDrive_;
  }
  takingAnswers_ = false;
  if (nextDrive_ < drives_.size()) return;
  EndRun();
}

void RetrievalCommand::GiveUp() noexcept {
  if (!running_ || takingAnswers_) return;
  takingAnswers_ = true;
  for (; nextDrive_ < drives_.size(); ++nextDrive_) {
    const DriveTurn& drive = *drives_[nextDrive_];
    currentDrive_ = drive.root;
    // One look at the flag decides: a drive that answers meanwhile stays given up.
    if (drive.answered.load(std::memory_order_acquire)) {
      AddDriveRow(drive.row);
    } else {
      AddDriveRow(NotAnsweringRow(drive.root));
    }
    currentDrive_.clear();
  }
  takingAnswers_ = false;
  EndRun();
}

void RetrievalCommand::EndRun() noexcept {
  running_ = false;
  instance_.reset();
  drives_.clear();
  nextDrive_ = 0;
}

void RetrievalCommand::AddDriveRow(const DriveRow& drive) noexcept {
  ReportingOperation& op = op_;
  size_t nextReport = 0;
  // The reports the drive's steps met at this line, in their order.
  const auto showReportsOf = [&](RetrievalLine line) {
    for (; nextReport < drive.reports.size() && drive.reports[nextReport].line == line;
         ++nextReport) {
      const StepReport& report = drive.reports[nextReport];
      if (report.title.empty()) {
        op.Report(line, report.text);
      } else {
        op.Do(line, [&] { messages_.Show(report.text, report.title, report.icon); });
      }
    }
  };
  // Writes a cell whose step produced it; a step that failed has shown its report.
  // Until the row is added, every write to it fails as a write past the list.
  int row = -1;
  const auto writeCell = [&](RetrievalLine line, ResultColumn column) {
    showReportsOf(line);
    if (!drive.Cell(column)) return;
    op.Do(line, [&] { list_.SetCell(row, IndexOf(column), *drive.Cell(column)); });
  };
  // The kind's name and the number it stands for land in the row together.
  const auto writeKind = [&](RetrievalLine line) {
    showReportsOf(line);
    if (!drive.Cell(ResultColumn::kType)) return;
    op.Do(line, [&] {
      list_.SetCell(row, IndexOf(ResultColumn::kType), *drive.Cell(ResultColumn::kType));
      list_.SetRowFacts(row, drive.facts);
    });
  };
  // The row is added before its kind is known.
  const auto addRow = [&](RetrievalLine line) {
    showReportsOf(line);
    op.Do(line, [&] {
      DriveFacts facts = drive.facts;
      facts.kindCode.reset();
      row = list_.AddRow(drive.Cell(ResultColumn::kDrive).value_or(std::u16string()));
      list_.SetRowFacts(row, facts);
    });
  };

  showReportsOf(kTestMedium);
  if (!drive.facts.hasMedium) {
    addRow(kAddShortRow);
    writeKind(kWriteShortRowKind);
    return;
  }
  showReportsOf(kAskVolume);
  showReportsOf(kAskSpace);
  addRow(kAddFullRow);
  writeKind(kWriteKind);
  writeCell(kWriteFileSystem, ResultColumn::kFileSystem);
  writeCell(kWriteTotal, ResultColumn::kTotalSpace);
  writeCell(kWriteFree, ResultColumn::kFreeSpace);
  writeCell(kWriteUsed, ResultColumn::kUsedSpace);
  writeCell(kWriteSerial, ResultColumn::kSerialNumber);
}

}  // namespace brindlecap
