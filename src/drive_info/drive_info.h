#pragma once
// Everything the program asks about the computer's drives. The class asks the
// system afresh on every call and remembers nothing between calls. Every query
// answers with what it found and, when it could not find it all, why: none of
// them raises, and none shows anything.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "drive_info/byte_amount.h"
#include "drive_info/kernel32.h"
#include "shared/system_text.h"

namespace brindlecap {

// Where the class's questions go.
struct DriveSystem {
  Kernel32& kernel32;
  const AnsiCodePage& codePage;
  const LocaleInfo& locale;
};

// The status of a query that failed on its own rather than in a system call.
constexpr int32_t kQueryOutOfMemory = 7;
constexpr int32_t kQueryFailed = 51;  // anything else met on the way

// Why a query found less than it was asked: the system's error code, or one of the
// statuses above with the description of the failure met (empty for a code).
struct QueryFailure {
  int32_t number = 0;
  std::u16string description;
};

// A query's answer: its value, which holds whatever the query produced before it
// failed, and the failure, if any.
template <class Value>
struct Answer {
  Value value{};
  std::optional<QueryFailure> failure;
};

struct VolumeDetails {
  std::u16string name, fileSystem;
  std::u16string serialText;  // "1234-ABCD", or "No SN" for a serial number of 0
  uint32_t serialNumber = 0;
};

// The space as the caller sees it: under a quota, the caller's share of the volume.
struct DriveSpace {
  // The system's exact counts; Free never exceeds Total, and Used = Total - Free.
  uint64_t totalBytes = 0, freeBytes = 0, usedBytes = 0;
  uint64_t volumeFreeBytes = 0;  // the whole volume's free space, quota or not
  // The counts for the size texts; each empty when too large for a byte amount.
  std::optional<ByteAmount> total, free, used;
  std::optional<float> usedPercent;  // rounded to hundredths; none of a total of 0
};

struct DriveKind {
  int16_t code = 0;     // the system's drive type number
  std::u16string name;  // "Fixed", "USB Drive", "CD-ROM"...; empty when unknown
  // The optical device probe met a failure: the name is then empty.
  std::optional<QueryFailure> probeFailure;
};

class DriveInfo {
 public:
  explicit DriveInfo(DriveSystem system) : system_(system) {}

  std::u16string UnQualifyPath(std::u16string path) const;
  // The drive roots in the system's order ("C:\"); one empty root on a machine
  // that reports no drive at all.
  Answer<std::vector<std::u16string>> Roots();
  // The folders that volumes are mounted in ("C:\Data\Archive\"), each volume's in
  // the system's order; `driveRoots` are where the Windows 2000 search starts.
  Answer<std::vector<std::u16string>> MountedFolders(const std::vector<std::u16string>& driveRoots);
  // A root is searched inside: an empty but readable volume still has a medium.
  Answer<bool> Exists(const std::u16string& path);
  Answer<int16_t> Kind(const std::u16string& root);
  // The kind's name; an optical drive's comes from its device type.
  Answer<DriveKind> KindName(const std::u16string& root);
  Answer<VolumeDetails> Volume(const std::u16string& root);
  Answer<DriveSpace> Space(const std::u16string& root);

 private:
  bool IsWin2000OrLater();
  // The optical device's type, or nothing (an older system, a device that cannot
  // be opened or asked). Raises what it meets on the way.
  std::optional<int32_t> MediaType(const std::u16string& root);

  DriveSystem system_;
};

}  // namespace brindlecap
