#pragma once
// What one row of the results was made from, kept beside its cell texts so that
// anything reading the results can use the exact values rather than the texts.
#include <cstdint>
#include <optional>
#include <string>

namespace brindlecap {

struct DriveFacts {
  std::u16string root;
  bool hasMedium = false;
  // Each value is empty when the system's answer did not produce it.
  std::optional<int16_t> kindCode;  // the system's drive type number
  // The system's exact counts, as the caller sees them (under a quota, the caller's
  // share), and the whole volume's free space.
  std::optional<uint64_t> totalBytes, freeBytes, usedBytes, volumeFreeBytes;
  std::optional<uint32_t> serialNumber;
  std::optional<float> usedPercent;
  // The error number a script is told when the volume or the space query failed:
  // the system's error code, or the number of the failure it met; none when it answered.
  std::optional<uint32_t> volumeFailure, spaceFailure;
  bool answered = true;  // false: the drive did not answer before the deadline
};

}  // namespace brindlecap
