#pragma once
// A count of bytes as the size texts reckon with it: a signed 64-bit integer
// holding the count multiplied by 10,000, so at most 922,337,203,685,477 bytes
// (some 819 TB); a larger count is not produced and its cell stays empty.
#include <cstdint>

namespace brindlecap {

struct ByteAmount {
  static constexpr int64_t kScale = 10000;
  // The largest whole amount: 922,337,203,685,477.
  static constexpr int64_t kMaxBytes = INT64_MAX / kScale;

  int64_t scaled = 0;

  static constexpr ByteAmount FromScaled(int64_t value) { return ByteAmount{value}; }
  // Raises OverflowFailure when the amount does not fit.
  static ByteAmount FromBytes(uint64_t amount);

  friend bool operator==(ByteAmount a, ByteAmount b) { return a.scaled == b.scaled; }
  friend bool operator!=(ByteAmount a, ByteAmount b) { return a.scaled != b.scaled; }
};

}  // namespace brindlecap
