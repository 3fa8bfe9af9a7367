#pragma once
// /check for monitoring engines (the plugin protocol): each chosen drive's state
// against the free-space thresholds, and the one line the engine reads: the status
// text, then '|' and each drive's performance data. The exit code is the state.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "results/drive_facts.h"

namespace brindlecap {

// A drive is below the threshold when its free space is less than this share of its
// total (percent) or than this amount.
struct FreeThreshold {
  double percent = 0;
  std::optional<int64_t> bytes;
};
// "10%", "2.5%", "20GB", "500 MB", "4096Bytes" (units of 1,024); nothing otherwise.
std::optional<FreeThreshold> ParseFreeThreshold(std::u16string_view text);

struct CheckThresholds {
  FreeThreshold warn{10, std::nullopt}, crit{5, std::nullopt};
};

// The protocol's states, by their exit codes.
enum class CheckState : int { kOk = 0, kWarning = 1, kCritical = 2, kUnknown = 3 };

struct CheckResult {
  CheckState state = CheckState::kUnknown;
  std::u16string line;  // ends with CR LF
};

// The drives' states and the line. A drive that did not answer in time is
// CRITICAL, one whose space is unknown UNKNOWN; the line's state is the worst,
// CRITICAL before WARNING before UNKNOWN before OK.
CheckResult CheckDrives(const std::vector<DriveFacts>& drives, const CheckThresholds& thresholds,
                        int timeoutSeconds);
// A drive asked for by its letter that the computer does not have.
CheckResult MissingDrive(std::u16string_view root);
// A command line the check cannot run with.
CheckResult BadCheckCommandLine(std::string_view problem, std::u16string_view argument);

}  // namespace brindlecap
