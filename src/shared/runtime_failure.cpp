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
    return RuntimeFailure(u"Out of memory");
  } catch (const std::exception& failure) {
    return RuntimeFailure(AsciiToUtf16(failure.what()));
  } catch (...) {
    return RuntimeFailure(u"Unexpected failure");
  }
}

RuntimeFailure InvalidArgumentFailure() {
  return RuntimeFailure(u"Invalid procedure call or argument");
}
RuntimeFailure OverflowFailure() { return RuntimeFailure(u"Overflow"); }
RuntimeFailure ObjectNotSetFailure() {
  return RuntimeFailure(u"Object variable or With block variable not set");
}
RuntimeFailure IndexOutOfBoundsFailure() { return RuntimeFailure(u"Index out of bounds"); }

}  // namespace brindlecap
