#include "shared/runtime_failure.h"

namespace brindlecap {

RuntimeFailure InvalidArgumentFailure() {
  return {error_number::kInvalidArgument, u"Invalid procedure call or argument"};
}
RuntimeFailure OverflowFailure() { return {error_number::kOverflow, u"Overflow"}; }
RuntimeFailure ObjectNotSetFailure() {
  return {error_number::kObjectNotSet, u"Object variable or With block variable not set"};
}
RuntimeFailure IndexOutOfBoundsFailure() {
  return {error_number::kIndexOutOfBounds, u"Index out of bounds"};
}

}  // namespace brindlecap
