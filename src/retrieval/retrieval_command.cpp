#include "retrieval/retrieval_command.h"

#include <memory>
#include <optional>
#include <vector>

#include "shared/error_report.h"
#include "shared/runtime_failure.h"

namespace brindlecap {

namespace {

// A drive's answers, fresh for every drive: a cell shows a value only when this
// drive's query produced it.
struct DriveAnswers {
  std::u16string volume, fileSystem, serialNumber;
  Currency totalSpace = kNotProduced, freeSpace = kNotProduced, usedSpace = kNotProduced;
  float usedSpacePercent = 0.0f;

  // No real byte count is negative, so this value marks an amount never written.
  static constexpr Currency kNotProduced = Currency::FromScaled(INT64_MIN);
};

std::u16string SizeCell(const clsDriveInfo& driveInfo, Currency amount) {
  const int16_t roundBy = 2;
  if (amount == DriveAnswers::kNotProduced) return {};
  return driveInfo.ParseSize(amount, roundBy);
}

}  // namespace

void RetrievalCommand::Run() noexcept {
  ReportingOperation op(system_.messages, location::kStartRetrieving);
  if (op.ExitIf(100, [&] { return running_; })) return;
  op.Do(102, [&] { running_ = true; });

  std::unique_ptr<clsDriveInfo> instance;
  std::vector<std::u16string> drives;
  op.Do(106, [&] { instance = std::make_unique<clsDriveInfo>(system_); });
  // Every use of the instance fails cleanly if it could not be created.
  auto driveInfo = [&]() -> clsDriveInfo& {
    if (!instance) throw ObjectNotSetFailure();
    return *instance;
  };
  op.Do(108, [&] { driveInfo().GetDrives(drives); });

  const size_t driveCount = drives.size();
  for (size_t index = 0; index < driveCount; ++index) {
    const std::u16string& root = drives[index];
    // A machine that reports no drive at all gives one empty root: no row for it.
    if (root.empty()) continue;

    DriveAnswers answers;
    int row = 0;
    bool present = false;
    op.Do(112, [&] { present = driveInfo().Exists(root); });
    if (present) {
      op.Do(114, [&] {
        if (driveInfo().GetDriveInfo(root, answers.volume, answers.fileSystem,
                                     answers.serialNumber) != 0) {
          answers.volume.clear();
          answers.fileSystem.clear();
          answers.serialNumber.clear();
        }
      });
      op.Do(116, [&] {
        driveInfo().GetDriveSpace(root, answers.totalSpace, answers.freeSpace, answers.usedSpace,
                                  answers.usedSpacePercent);
      });
      op.Do(118, [&] { row = list_.ListItemsAdd(root + u" - [" + answers.volume + u"]"); });
      op.Do(120, [&] { list_.SetSubItem(row, 1, driveInfo().GetDriveTypeName(root)); });
      op.Do(122, [&] { list_.SetSubItem(row, 2, answers.fileSystem); });
      op.Do(124, [&] { list_.SetSubItem(row, 3, SizeCell(driveInfo(), answers.totalSpace)); });
      op.Do(126, [&] { list_.SetSubItem(row, 4, SizeCell(driveInfo(), answers.freeSpace)); });
      op.Do(128, [&] { list_.SetSubItem(row, 5, SizeCell(driveInfo(), answers.usedSpace)); });
      op.Do(136, [&] { list_.SetSubItem(row, 6, answers.serialNumber); });
    } else {
      op.Do(138, [&] { row = list_.ListItemsAdd(root + u"  - No Disk present"); });
      op.Do(140, [&] { list_.SetSubItem(row, 1, driveInfo().GetDriveTypeName(root)); });
    }
  }
  op.Do(144, [&] { running_ = false; });
}

}  // namespace brindlecap
