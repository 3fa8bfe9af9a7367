#include "drive_info/currency.h"

#include "shared/runtime_failure.h"

namespace brindlecap {

Currency Currency::FromUnsignedAmount(uint64_t amount) {
  if (amount > static_cast<uint64_t>(kMaxWholeAmount)) throw OverflowFailure();
  return FromScaled(static_cast<int64_t>(amount) * kScale);
}

}  // namespace brindlecap
