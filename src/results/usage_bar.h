#pragma once
// The bar under a drive's used space, in the window's list and on the exported page:
// how full the drive is, and when to warn.
#include <optional>

#include "results/drive_facts.h"

namespace brindlecap {

// From this share on the bar turns red.
inline constexpr double kNearlyFullShare = 0.9;

// The system's drive type number of a CD or DVD drive.
inline constexpr int16_t kOpticalDriveKind = 5;

// Used against total, between 0 and 1; nothing when the row has no bar: either
// amount is missing, or the drive is a CD or DVD, whose free space is always zero
// (a full red bar would warn of nothing).
inline std::optional<double> UsageBarShare(const DriveFacts& facts) {
  if (!facts.totalBytes || !facts.usedBytes || *facts.totalBytes <= 0) return std::nullopt;
  if (facts.kindCode == kOpticalDriveKind) return std::nullopt;
  const double share =
      static_cast<double>(*facts.usedBytes) / static_cast<double>(*facts.totalBytes);
  return share < 0.0 ? 0.0 : (share > 1.0 ? 1.0 : share);
}

}  // namespace brindlecap
