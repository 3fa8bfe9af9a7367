#include "retrieval/retrieval_command.h"

#include <functional>
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

}  // namespace

void RetrievalCommand::Run() noexcept {
  ReportingOperation op(system_.messages, location::kStartRetrieving);
  if (op.ExitIf(100, [&] { return running_; })) return;
  op.Do(102, [&] { running_ = true; });

  std::unique_ptr<DriveInfo> instance;
  std::vector<std::u16string> roots;
  op.Do(106, [&] { instance = std::make_unique<DriveInfo>(system_); });
  // Every use of the instance fails cleanly if it could not be created.
  auto driveInfo = [&]() -> DriveInfo& {
    if (!instance) throw ObjectNotSetFailure();
    return *instance;
  };
  op.Do(108, [&] { driveInfo().GetDrives(roots); });

  const size_t driveCount = roots.size();
  for (size_t index = 0; index < driveCount; ++index) {
    // A machine that reports no drive at all gives one empty root: no row for it.
    if (roots[index].empty()) continue;
    AddDriveRow(op, driveInfo, roots[index]);
  }
  op.Do(144, [&] { running_ = false; });
}

void RetrievalCommand::AddDriveRow(ReportingOperation& op,
                                   const std::function<DriveInfo&()>& driveInfo,
                                   const std::u16string& root) noexcept {
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
    if (driveInfo().GetDriveInfo(root, answers.volume, answers.fileSystem, answers.serialText,
                                 &serialNumber) != 0) {
      answers.volume.clear();
      answers.fileSystem.clear();
      answers.serialText.clear();
    } else {
      answers.facts.serialNumber = serialNumber;
    }
  });
  op.Do(116, [&] {
    const int16_t status = driveInfo().GetDriveSpace(root, answers.totalSpace, answers.freeSpace,
                                                     answers.usedSpace, answers.usedPercent);
    answers.TakeAmounts(status == 0);
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
