#pragma once
// The display text of a byte count: the value in a power-of-1,024 unit, rounded
// exactly to a number of decimal places, half-way cases to the even digit.
#include <string>

#include "drive_info/byte_amount.h"
#include "shared/system_text.h"

namespace brindlecap {

// Raises InvalidArgumentFailure for negative decimalPlaces. The locale is asked for its decimal
// separator only when the number has a fraction to show.
std::u16string SizeText(ByteAmount size, int decimalPlaces, const LocaleInfo& locale);

}  // namespace brindlecap
