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

// Why a query found less than it was asked: the system's error code, or the number
// of a failure met on the way, with that failure's description (empty for a code).
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

// Each amount is empty when the answer did not produce it (too large to hold, say).
struct DriveSpace {
  std::optional<ByteAmount> total, free, used;
  std::optional<float> usedPercent;  // rounded to hundredths
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
