#pragma once
// What a call raised, for tests that expect a particular failure.
#include <cstdint>

#include "shared/runtime_failure.h"

namespace brindlecap::testing {

// The number of the RuntimeFailure that `action` raises; 0 when it raises none.
template <class Action>
int32_t FailureNumber(Action&& action) {
  try {
    action();
  } catch (const RuntimeFailure& failure) {
    return failure.Number();
  }
  return 0;
}

}  // namespace brindlecap::testing
