#pragma once
// What a call raised, for tests that expect a particular failure.
#include <optional>
#include <string>

#include "shared/runtime_failure.h"

namespace brindlecap::testing {

// The description of the RuntimeFailure that `action` raises; none when it raises none.
template <class Action>
std::optional<std::u16string> FailureText(Action&& action) {
  try {
    action();
  } catch (const RuntimeFailure& failure) {
    return failure.Description();
  }
  return std::nullopt;
}

}  // namespace brindlecap::testing
