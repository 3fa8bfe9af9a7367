#pragma once
// The bar under a drive's used space: how full the drive is, and when to warn.
#include <optional>

#include "main_window/core/drive_facts.h"

namespace brindlecap {

// From this share on the bar turns red.
inline constexpr double kNearlyFullShare = 0.9;

// Used against total, between 0 and 1; nothing when either amount is missing.
inline std::optional<double> UsedShare(const DriveFacts& facts) {
  if (!facts.totalBytes || !facts.usedBytes || *facts.totalBytes <= 0) return std::nullopt;
  const double share =
      static_cast<double>(*facts.usedBytes) / static_cast<double>(*facts.totalBytes);
  return share < 0.0 ? 0.0 : (share > 1.0 ? 1.0 : share);
}

}  // namespace brindlecap
