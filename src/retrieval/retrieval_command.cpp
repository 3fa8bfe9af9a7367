#include "retrieval/retrieval_command.h"

#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "shared/error_report.h"
#include "shared/runtime_failure.h"

namespace brindlecap {

namespace {

// A drive's answers, fresh for every drive: a cell shows a value only when this
// drive's query produced it.
struct DriveAnswers {
  std::u16string volume, fileSystem, serialText;
  Currency totalSpace = kNotProduced, freeSpace = kNotProduced, usedSpace = kNotProduced;
  float usedPercent = 0.0f;
  DriveFacts facts;

  // No real byte count is negative, so this value marks an amount never written.
  static constexpr Currency kNotProduced = Currency::FromScaled(INT64_MIN);

  static std::optional<int64_t> Bytes(Currency amount) {
    if (amount == kNotProduced) return std::nullopt;
    return amount.scaled / Currency::kScale;
  }
  void TakeAmounts(bool complete) {
    facts.totalBytes = Bytes(totalSpace);
    facts.freeBytes = Bytes(freeSpace);
    facts.usedBytes = Bytes(usedSpace);
    if (complete) facts.usedPercent = usedPercent;
  }
};

std::u16string SizeCell(const DriveInfo& driveInfo, Currency amount) {
  const int16_t roundBy = 2;
  if (amount == DriveAnswers::kNotProduced) return {};
  return driveInfo.ParseSize(amount, roundBy);
}

// Where a worker's boxes go: nowhere. A failure it meets is met again when the
// window's thread replays the drive's answers, and reported there.
class NoMessageBoxes : public MessageBoxService {
 public:
  void Show(const std::u16string&, const std::u16string&, MessageBoxIcon) override {}
};
NoMessageBoxes noMessageBoxes;

// Asks one drive the questions of its steps, in their order, keeping every answer.
void AskDrive(DriveAnswerRecording& drive, const DriveSystem& system) noexcept {
  try {
    RecordedKernel32 recorder(system.kernel32);
    recorder.Record(drive);
    DriveInfo driveInfo(DriveSystem{recorder, system.codePage, system.locale, noMessageBoxes});
    const std::u16string& root = drive.root;
    // A failed test counts as passed, as in the steps.
    bool present = true;
    try {
      present = driveInfo.Exists(root);
    } catch (...) {
    }
    if (present) {
      std::u16string volume, fileSystem, serialText;
      uint32_t serialNumber = 0;
      Currency total, free, used;
      float usedPercent = 0.0f;
      try {
        (void)driveInfo.GetDriveInfo(root, volume, fileSystem, serialText, &serialNumber);
      } catch (...) {
      }
      try {
        (void)driveInfo.GetDriveSpace(root, total, free, used, usedPercent);
      } catch (...) {
      }
    }
    int16_t kindCode = 0;
    driveInfo.GetDriveTypeName(root, &kindCode);
  } catch (...) {
    // Whatever was not recorded is asked again on the window's thread.
  }
}

}  // namespace

RetrievalCommand::RetrievalCommand(ListView& list, DriveSystem system, DriveWorkers workers)
    : list_(list),
      system_(system),
      workers_(std::move(workers)),
      replay_(system.kernel32),
      op_(system.messages, location::kStartRetrieving) {}

void RetrievalCommand::Run() noexcept {
  if (op_.ExitIf(100, [&] { return running_; })) return;
  op_.Do(102, [&] { running_ = true; });

  std::vector<std::u16string> roots;
  op_.Do(106, [&] {
    instance_ = std::make_unique<DriveInfo>(
        DriveSystem{replay_, system_.codePage, system_.locale, system_.messages});
  });
  op_.Do(108, [&] { Instance().GetDrives(roots); });
  op_.Do(110, [&] { AskEveryDrive(roots); });
  TakeAnswers();
}

void RetrievalCommand::AskEveryDrive(const std::vector<std::u16string>& roots) {
  for (const std::u16string& root : roots) {
    // A machine that reports no drive at all gives one empty root: no row for it.
    if (root.empty()) continue;
    drives_.push_back(std::make_shared<DriveAnswerRecording>(root));
  }
  const DriveSystem& system = system_;
  for (const std::shared_ptr<DriveAnswerRecording>& drive : drives_) {
    bool started = false;
    try {
      started = workers_.threads.Start([drive, system, answered = workers_.answered] {
        AskDrive(*drive, system);
        drive->answered.store(true, std::memory_order_release);
        if (answered) answered();
      });
    } catch (...) {
      // No memory for the work itself: as without a thread.
    }
    // Without a thread of its own the drive is asked on this thread, at its turn, so
    // the run always reaches its end.
    if (!started) drive->answered.store(true, std::memory_order_release);
  }
}

void RetrievalCommand::TakeAnswers() noexcept {
  // An error report shown while adding a row lets this run again: the outer call
  // takes the drives that answered meanwhile.
  if (!running_ || takingAnswers_) return;
  takingAnswers_ = true;
  while (nextDrive_ < drives_.size() &&
         drives_[nextDrive_]->answered.load(std::memory_order_acquire)) {
    const DriveAnswerRecording& drive = *drives_[nextDrive_];
    replay_.Replay(&drive);
    AddDriveRow(drive.root);
    replay_.Replay(nullptr);
    ++nextDrive_;
  }
  takingAnswers_ = false;
  if (nextDrive_ < drives_.size()) return;
  op_.Do(144, [&] { running_ = false; });
  instance_.reset();
  drives_.clear();
  nextDrive_ = 0;
}

DriveInfo& RetrievalCommand::Instance() {
  // Every use of the instance fails cleanly if it could not be created.
  if (!instance_) throw ObjectNotSetFailure();
  return *instance_;
}

void RetrievalCommand::AddDriveRow(const std::u16string& root) noexcept {
  ReportingOperation& op = op_;
  const auto driveInfo = [&]() -> DriveInfo& { return Instance(); };
  DriveAnswers answers;
  int row = 0;
  // The kind's name and the number it stands for land in the row together.
  const auto setKind = [&] {
    int16_t kindCode = 0;
    list_.SetSubItem(row, 1, driveInfo().GetDriveTypeName(root, &kindCode));
    answers.facts.kindCode = kindCode;
    list_.SetRowFacts(row, answers.facts);
  };
  // A failed test counts as passed, like every test step: the full row is tried.
  if (!op.If(112, [&] { return driveInfo().Exists(root); })) {
    op.Do(138, [&] {
      answers.facts.root = root;
      row = list_.ListItemsAdd(root + u"  - No Disk present");
      list_.SetRowFacts(row, answers.facts);
    });
    op.Do(140, setKind);
    return;
  }
  answers.facts.hasMedium = true;
  op.Do(114, [&] {
    uint32_t serialNumber = 0;
    answers.facts.volumeStatus = driveInfo().GetDriveInfo(root, answers.volume, answers.fileSystem,
                                                          answers.serialText, &serialNumber);
    if (answers.facts.volumeStatus != 0) {
      answers.volume.clear();
      answers.fileSystem.clear();
      answers.serialText.clear();
    } else {
      answers.facts.serialNumber = serialNumber;
    }
  });
  op.Do(116, [&] {
    answers.facts.spaceStatus = driveInfo().GetDriveSpace(
        root, answers.totalSpace, answers.freeSpace, answers.usedSpace, answers.usedPercent);
    answers.TakeAmounts(answers.facts.spaceStatus == 0);
  });
  op.Do(118, [&] {
    answers.facts.root = root;
    row = list_.ListItemsAdd(root + u" - [" + answers.volume + u"]");
    list_.SetRowFacts(row, answers.facts);
  });
  op.Do(120, setKind);
  op.Do(122, [&] { list_.SetSubItem(row, 2, answers.fileSystem); });
  op.Do(124, [&] { list_.SetSubItem(row, 3, SizeCell(driveInfo(), answers.totalSpace)); });
  op.Do(126, [&] { list_.SetSubItem(row, 4, SizeCell(driveInfo(), answers.freeSpace)); });
  op.Do(128, [&] { list_.SetSubItem(row, 5, SizeCell(driveInfo(), answers.usedSpace)); });
  op.Do(136, [&] { list_.SetSubItem(row, 6, answers.serialText); });
}

}  // namespace brindlecap
