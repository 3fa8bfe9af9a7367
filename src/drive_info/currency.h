#pragma once
// The OLE Automation currency layout: a signed 64-bit integer holding the
// amount multiplied by 10,000.
#include <cstdint>

namespace brindlecap {

struct Currency {
  static constexpr int64_t kScale = 10000;
  // The largest whole amount: 922,337,203,685,477.
  static constexpr int64_t kMaxWholeAmount = INT64_MAX / kScale;

  int64_t scaled = 0;

  static constexpr Currency FromScaled(int64_t value) { return Currency{value}; }
  // Raises OverflowFailure when the amount does not fit.
  static Currency FromUnsignedAmount(uint64_t amount);

  friend bool operator==(Currency a, Currency b) { return a.scaled == b.scaled; }
  friend bool operator!=(Currency a, Currency b) { return a.scaled != b.scaled; }
};

}  // namespace brindlecap
