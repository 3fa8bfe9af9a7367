#pragma once
// How long a replace, rename or removal is tried again while another program holds
// the file for a moment: on Windows, virus scanners, indexers and sync clients open
// a file just written, without delete sharing, for tens of milliseconds. The waits
// grow (10, 20, 40 ... ms) and add up to about two seconds.
#include <cstdint>

namespace brindlecap {

// The system's error numbers that such a hold gives.
namespace held_file_error {
constexpr uint32_t kAccessDenied = 5;
constexpr uint32_t kSharingViolation = 32;
constexpr uint32_t kLockViolation = 33;
constexpr uint32_t kUnableToRemoveReplaced = 1175;
// A replace given a backup name left both files under their own names.
constexpr uint32_t kUnableToMoveReplacement = 1176;
}  // namespace held_file_error

// What a replace waits out. Access denied is not among them: a share refuses a
// replace with it for good, and the rename that follows waits out a hold itself.
constexpr bool IsReplaceHold(uint32_t error) {
  using namespace held_file_error;
  return error == kSharingViolation || error == kLockViolation ||
         error == kUnableToRemoveReplaced || error == kUnableToMoveReplacement;
}

constexpr bool IsBriefHold(uint32_t error) {
  using namespace held_file_error;
  return error == kAccessDenied || error == kSharingViolation || error == kLockViolation ||
         error == kUnableToRemoveReplaced || error == kUnableToMoveReplacement;
}

constexpr uint32_t kFirstRetryWaitMs = 10;
constexpr uint32_t kRetryWaitsTotalMs = 2000;

// Calls `attempt` (0 on success, else the system's error number) until it succeeds,
// fails for a reason `isHold` does not accept, or the waits have added up to the
// total; `sleep(ms)` waits. Returns the last attempt's result.
template <typename Attempt, typename Sleep>
uint32_t RetryWhileHeld(Attempt&& attempt, Sleep&& sleep, bool (*isHold)(uint32_t) = IsBriefHold) {
  uint32_t error = attempt();
  uint32_t wait = kFirstRetryWaitMs;
  for (uint32_t waited = 0; isHold(error) && waited < kRetryWaitsTotalMs; wait *= 2) {
    if (wait > kRetryWaitsTotalMs - waited) wait = kRetryWaitsTotalMs - waited;
    sleep(wait);
    waited += wait;
    error = attempt();
  }
  return error;
}

}  // namespace brindlecap
