#include "retrieval/drive_steps.h"

#include "drive_info/size_text.h"
#include "shared/runtime_failure.h"

namespace brindlecap {

namespace {

constexpr char16_t kProbeFailureTitle[] = u"Harrowmede - GetMediaType";

// A drive's steps, each at its line: a failure is kept as that line's report and
// the next step goes on.
class DriveSteps {
 public:
  DriveSteps(const std::u16string& root, const DriveSystem& system)
      : root_(root), system_(system), info_(system) {}

  DriveRow Run() {
    row_.facts.root = root_;
    // The medium test never fails: a drive whose search failed has no medium.
    if (!info_.Exists(root_).value) {
      row_.Cell(ResultColumn::kDrive) = root_ + u"  - No Disk present";
      WriteKind(kWriteShortRowKind);
      return std::move(row_);
    }
    row_.facts.hasMedium = true;
    const Answer<VolumeDetails> volume = info_.Volume(root_);
    row_.facts.volumeFailure = Number(volume.failure);
    if (!volume.failure) row_.facts.serialNumber = volume.value.serialNumber;
    const Answer<DriveSpace> space = info_.Space(root_);
    row_.facts.spaceFailure = Number(space.failure);
    if (!space.failure) {
      row_.facts.totalBytes = space.value.totalBytes;
      row_.facts.freeBytes = space.value.freeBytes;
      row_.facts.usedBytes = space.value.usedBytes;
      row_.facts.volumeFreeBytes = space.value.volumeFreeBytes;
      row_.facts.usedPercent = space.value.usedPercent;
    }

    // A failed volume query shows nothing of the volume, not even its NUL buffers.
    const VolumeDetails shown = volume.failure ? VolumeDetails{} : volume.value;
    row_.Cell(ResultColumn::kDrive) = root_ + u" - [" + shown.name + u"]";
    WriteKind(kWriteKind);
    row_.Cell(ResultColumn::kFileSystem) = shown.fileSystem;
    WriteSize(kWriteTotal, ResultColumn::kTotalSpace, space.value.total);
    WriteSize(kWriteFree, ResultColumn::kFreeSpace, space.value.free);
    WriteSize(kWriteUsed, ResultColumn::kUsedSpace, space.value.used);
    row_.Cell(ResultColumn::kSerialNumber) = shown.serialText;
    return std::move(row_);
  }

 private:
  // A failed call that left no code is told as any other failure of the query.
  static std::optional<uint32_t> Number(const std::optional<QueryFailure>& failure) {
    if (!failure) return std::nullopt;
    return static_cast<uint32_t>(failure->number != 0 ? failure->number : kQueryFailed);
  }

  void WriteKind(RetrievalLine line) {
    const Answer<DriveKind> kind = info_.KindName(root_);
    if (kind.value.probeFailure) {
      row_.reports.push_back({line, kind.value.probeFailure->description, kProbeFailureTitle,
                              MessageBoxIcon::kCriticalStop});
    }
    if (kind.failure) {
      row_.reports.push_back({line, kind.failure->description, {}});
      return;
    }
    row_.Cell(ResultColumn::kType) = kind.value.name;
    row_.facts.kindCode = kind.value.code;
  }

  void WriteSize(RetrievalLine line, ResultColumn cell, const std::optional<ByteAmount>& amount) {
    if (!amount) {
      row_.Cell(cell) = std::u16string();
      return;
    }
    try {
      row_.Cell(cell) = SizeText(*amount, 2, system_.locale);
    } catch (...) {
      row_.reports.push_back({line, CurrentFailure().Description(), {}});
    }
  }

  const std::u16string& root_;
  const DriveSystem& system_;
  DriveInfo info_;
  DriveRow row_;
};

}  // namespace

DriveRow RunDriveSteps(const std::u16string& root, const DriveSystem& system) noexcept {
  try {
    return DriveSteps(root, system).Run();
  } catch (...) {
    // No memory for the row's texts: the drive's row says so, at its first step.
    DriveRow row;
    row.facts.root = root;
    try {
      row.reports.push_back({kTestMedium, u"Out of memory", {}});
    } catch (...) {
    }
    return row;
  }
}

}  // namespace brindlecap
