#include "shared/runtime_failure.h"

#include <new>

#include "shared/text_convert.h"

namespace brindlecap {

RuntimeFailure CurrentFailure() {
  try {
    throw;
  } catch (const RuntimeFailure& failure) {
    return failure;
  } catch (const std::bad_alloc&) {
    return {error_number::kOutOfMemory, u"Out of memory"};
  } catch (const std::exception& failure) {
    return {error_number::kInternalError, AsciiToUtf16(failure.what())};
  } catch (...) {
    return {error_number::kInternalError, u"Unexpected failure"};
  }
}

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
