#include "drive_info/byte_amount.h"

#include "shared/runtime_failure.h"

namespace brindlecap {

ByteAmount ByteAmount::FromBytes(uint64_t amount) {
  if (amount > static_cast<uint64_t>(kMaxBytes)) throw OverflowFailure();
  return FromScaled(static_cast<int64_t>(amount) * kScale);
}

}  // namespace brindlecap
