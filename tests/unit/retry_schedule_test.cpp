#include "export/retry_schedule.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace brindlecap {
namespace {

struct Retries {
  std::vector<uint32_t> waits;
  int attempts = 0;
  uint32_t result = 0;
};

// Every attempt fails with `error` until attempt `succeedsAt` (1-based; 0 never).
Retries RetryFailing(uint32_t error, int succeedsAt, bool (*isHold)(uint32_t) = IsBriefHold) {
  Retries run;
  run.result =
      RetryWhileHeld([&]() -> uint32_t { return ++run.attempts == succeedsAt ? 0 : error; },
                     [&](uint32_t ms) { run.waits.push_back(ms); }, isHold);
  return run;
}

TEST(RetryScheduleTest, AHoldIsWaitedOutWithGrowingWaitsForAboutTwoSeconds) {
  const Retries held = RetryFailing(held_file_error::kSharingViolation, 0);
  EXPECT_EQ(held.waits, (std::vector<uint32_t>{10, 20, 40, 80, 160, 320, 640, 730}));
  EXPECT_EQ(held.attempts, 9) << "one attempt after the last wait";
  EXPECT_EQ(held.result, held_file_error::kSharingViolation);

  const Retries released = RetryFailing(held_file_error::kSharingViolation, 4);
  EXPECT_EQ(released.waits, (std::vector<uint32_t>{10, 20, 40}));
  EXPECT_EQ(released.result, 0u);
}

TEST(RetryScheduleTest, OnlyTheErrorsOfAHoldAreTriedAgain) {
  struct Case {
    uint32_t error;
    bool retried;
    bool replaceRetried;  // a replace falls back to a rename at once instead
  };
  const Case cases[] = {
      {0, false, false},     // done at once
      {5, true, false},      // access denied: a file open without delete sharing, or a share
      {32, true, true},      // sharing violation
      {33, true, true},      // lock violation
      {1175, true, true},    // the replaced file could not be removed
      {1176, true, true},    // with a backup name both files kept their names
      {1177, false, false},  // the old file is under the backup name: not a hold
      {2, false, false},     // file not found
      {3, false, false},     // path not found
      {50, false, false},    // not supported (a share)
      {112, false, false},   // disk full
      {183, false, false},   // a file of the new name appeared meanwhile
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.error);
    const Retries run = RetryFailing(c.error, 2);
    EXPECT_EQ(run.attempts, c.retried ? 2 : 1);
    EXPECT_EQ(run.result, c.retried ? 0u : c.error);
    EXPECT_EQ(RetryFailing(c.error, 2, IsReplaceHold).result, c.replaceRetried ? 0u : c.error);
  }
}

}  // namespace
}  // namespace brindlecap
