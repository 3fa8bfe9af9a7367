#include "drive_info/size_text.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "shared/runtime_failure.h"
#include "shared/text_convert.h"

namespace brindlecap {

namespace {

struct SizeUnit {
  int shift;  // the unit is 2^shift bytes
  const char16_t* text;
};
// Largest first; a count below 1 KB (negative counts included) is in bytes.
constexpr SizeUnit kUnits[] = {{40, u" TB"}, {30, u" GB"}, {20, u" MB"}, {10, u" KB"}};
constexpr SizeUnit kBytes = {0, u" Bytes"};

// |scaled| / (10^4 * 2^40) has at most 44 places after the point: beyond that
// every digit is 0 and nothing is left to round.
constexpr int kMaxExactPlaces = 44;

struct RoundedDecimal {
  uint64_t whole = 0;
  std::string fraction;  // digits after the point, no trailing zeros
};

void AddOneInLastPlace(RoundedDecimal& value) {
  for (auto digit = value.fraction.rbegin(); digit != value.fraction.rend(); ++digit) {
    if (*digit != '9') {
      ++*digit;
      return;
    }
    *digit = '0';
  }
  ++value.whole;
}

// numerator / denominator rounded to `places` decimals, half-way to even, exactly:
// long division digit by digit. The denominator is at most 10^4 * 2^40, so ten
// times a remainder still fits 64 bits.
RoundedDecimal RoundQuotient(uint64_t numerator, uint64_t denominator, int places) {
  RoundedDecimal value{numerator / denominator, {}};
  uint64_t rest = numerator % denominator;
  places = std::min(places, kMaxExactPlaces);
  for (int i = 0; i < places && rest != 0; ++i) {
    rest *= 10;
    value.fraction.push_back(static_cast<char>('0' + rest / denominator));
    rest %= denominator;
  }
  const int lastDigit =
      value.fraction.empty() ? static_cast<int>(value.whole % 10) : value.fraction.back() - '0';
  const uint64_t twiceRest = rest * 2;
  if (twiceRest > denominator || (twiceRest == denominator && lastDigit % 2 == 1)) {
    AddOneInLastPlace(value);
  }
  while (!value.fraction.empty() && value.fraction.back() == '0') value.fraction.pop_back();
  return value;
}

void AppendAscii(std::u16string& text, const std::string& ascii) {
  for (char c : ascii) text.push_back(static_cast<char16_t>(c));
}

}  // namespace

std::u16string SizeText(ByteAmount size, int decimalPlaces, const LocaleInfo& locale) {
  if (decimalPlaces < 0) throw InvalidArgumentFailure();
  SizeUnit unit = kBytes;
  for (const SizeUnit& candidate : kUnits) {
    if (size.scaled >= (int64_t{1} << candidate.shift) * ByteAmount::kScale) {
      unit = candidate;
      break;
    }
  }
  const bool negative = size.scaled < 0;
  // Written as 0 - x so that the most negative value has a magnitude too.
  const uint64_t magnitude = negative ? uint64_t{0} - static_cast<uint64_t>(size.scaled)
                                      : static_cast<uint64_t>(size.scaled);
  const RoundedDecimal value = RoundQuotient(
      magnitude, static_cast<uint64_t>(ByteAmount::kScale) << unit.shift, decimalPlaces);

  std::u16string text;
  if (negative && (value.whole != 0 || !value.fraction.empty())) text.push_back(u'-');
  text += DecimalText(value.whole);
  if (!value.fraction.empty()) {
    text += locale.DecimalSeparator();
    AppendAscii(text, value.fraction);
  }
  text += unit.text;
  return text;
}

}  // namespace brindlecap
