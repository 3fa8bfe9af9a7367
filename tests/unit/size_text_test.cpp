#include "drive_info/size_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>

#include "shared/runtime_failure.h"
#include "shared/text_convert.h"
#include "support/failure_text.h"
#include "support/fake_system_text.h"

namespace brindlecap {
namespace {

using testing::FailureText;

class SizeTextTest : public ::testing::Test {
 protected:
  std::u16string Parse(int64_t scaled, int16_t roundBy) const {
    return SizeText(ByteAmount::FromScaled(scaled), roundBy, locale);
  }

  testing::FakeLocale locale;
};

constexpr int64_t kScale = ByteAmount::kScale;
constexpr int64_t kKB = 1024, kMB = kKB << 10, kGB = kMB << 10, kTB = kGB << 10;

TEST_F(SizeTextTest, ExamplesAndUnitBoundaries) {
  const struct {
    int64_t scaled;
    int16_t roundBy;
    std::u16string text;
  } cases[] = {
      {0, 2, u"0 Bytes"},
      {1023 * kScale, 2, u"1023 Bytes"},
      {1024 * kScale, 2, u"1 KB"},
      {1536 * kScale, 2, u"1.5 KB"},
      {(kMB - 1) * kScale, 2, u"1024 KB"},  // rounding never moves to the next unit
      {kMB * kScale, 2, u"1 MB"},
      {(kGB - 1) * kScale, 2, u"1024 MB"},
      {kGB * kScale, 2, u"1 GB"},
      {(kTB - 1) * kScale, 2, u"1024 GB"},
      {kTB * kScale, 2, u"1 TB"},
      // No larger unit; 1,024 TB itself is beyond a byte amount.
      {800 * kTB * kScale, 2, u"800 TB"},
      {922337203685477 * kScale, 2, u"838.86 TB"},
      {500107862016 * kScale, 2, u"465.76 GB"},
      {2199023255552 * kScale, 2, u"2 TB"},
      {1179648 * kScale, 2, u"1.12 MB"},         // 1.125 exactly: to the even digit
      {1184768 * kScale, 2, u"1.13 MB"},         // 1.1298828125
      {1023 * kScale + 9999, 2, u"1024 Bytes"},  // a fraction below 1 KB stays in bytes
      {1536 * kScale, 0, u"2 KB"},
      {2560 * kScale, 0, u"2 KB"},
      {3584 * kScale, 0, u"4 KB"},
      {10001234, 4, u"1000.1234 Bytes"},
      {10001234, 3, u"1000.123 Bytes"},
      {10001235, 3, u"1000.124 Bytes"},  // half-way: to the even digit
      {10001225, 3, u"1000.122 Bytes"},
      // Negative counts are bytes, and a value that rounds to zero has no sign.
      {-1 * kScale, 2, u"-1 Bytes"},
      {-2048 * kScale, 2, u"-2048 Bytes"},
      {-1, 2, u"0 Bytes"},
      {-5000, 0, u"0 Bytes"},
      {-15000, 0, u"-2 Bytes"},
      {5000, 0, u"0 Bytes"},
      {15000, 0, u"2 Bytes"},
      {INT64_MIN, 4, u"-922337203685477.5808 Bytes"},
      {INT64_MIN, 2, u"-922337203685477.58 Bytes"},
      {INT64_MAX, 2, u"838.86 TB"},
      {INT64_MAX, 4, u"838.8608 TB"},
      // Many places show the exact value, which ends after 44 places at most.
      {INT64_MAX, 44, u"838.86079999999999990905052982270717620849609375 TB"},
      {INT64_MAX, 32767, u"838.86079999999999990905052982270717620849609375 TB"},
      {kTB * kScale + 1, 16, u"1.0000000000000001 TB"},
      {kTB * kScale + 1, 15, u"1 TB"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Parse(c.scaled, c.roundBy), c.text) << c.scaled << " by " << c.roundBy;
  }
}

TEST_F(SizeTextTest, CommaLocale) {
  locale.separator = u",";
  EXPECT_EQ(Parse(1536 * kScale, 2), u"1,5 KB");
  EXPECT_EQ(Parse(-15000, 1), u"-1,5 Bytes");
  EXPECT_EQ(Parse(1024 * kScale, 2), u"1 KB");
}

// An independent reference: |scaled| / (10^4 * 2^k) equals |scaled| * 5^k / 10^(k+4),
// so the exact decimal digits come from repeated multiplication by 5, and the
// rounding compares the dropped digits with "5000...".
std::string TimesFive(const std::string& digits) {
  std::string result;
  int carry = 0;
  for (auto digit = digits.rbegin(); digit != digits.rend(); ++digit) {
    const int value = (*digit - '0') * 5 + carry;
    result.push_back(static_cast<char>('0' + value % 10));
    carry = value / 10;
  }
  for (; carry != 0; carry /= 10) result.push_back(static_cast<char>('0' + carry % 10));
  std::reverse(result.begin(), result.end());
  return result;
}

std::string PlusOne(std::string digits) {
  size_t i = digits.size();
  while (i > 0 && digits[i - 1] == '9') digits[--i] = '0';
  if (i == 0) return "1" + digits;
  ++digits[i - 1];
  return digits;
}

std::string ReferenceText(int64_t scaled, int places) {
  int shift = 0;
  std::string unit = " Bytes";
  const struct {
    int shift;
    const char* text;
  } units[] = {{40, " TB"}, {30, " GB"}, {20, " MB"}, {10, " KB"}};
  for (const auto& candidate : units) {
    if (scaled >= 0 && scaled / kScale >= (int64_t{1} << candidate.shift)) {
      shift = candidate.shift;
      unit = candidate.text;
      break;
    }
  }
  const bool negative = scaled < 0;
  std::string digits = negative ? std::to_string(-(scaled + 1)) : std::to_string(scaled);
  if (negative) digits = PlusOne(digits);  // |INT64_MIN| is out of int64's range
  for (int i = 0; i < shift; ++i) digits = TimesFive(digits);
  size_t point = static_cast<size_t>(shift) + 4;  // digits after the point
  if (digits.size() <= point) digits.insert(0, point + 1 - digits.size(), '0');

  if (static_cast<size_t>(places) < point) {
    const size_t keep = digits.size() - (point - places);
    std::string kept = digits.substr(0, keep);
    const std::string dropped = digits.substr(keep);
    const int versusHalf = dropped.compare("5" + std::string(dropped.size() - 1, '0'));
    if (versusHalf > 0 || (versusHalf == 0 && (kept.back() - '0') % 2 == 1)) kept = PlusOne(kept);
    digits = kept;
    point = places;
  }
  std::string whole = digits.substr(0, digits.size() - point);
  std::string fraction = digits.substr(digits.size() - point);
  while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
  whole.erase(0, std::min(whole.find_first_not_of('0'), whole.size() - 1));
  const bool zero = whole == "0" && fraction.empty();
  return (negative && !zero ? "-" : "") + whole + (fraction.empty() ? "" : "." + fraction) + unit;
}

// Byte counts of every kind: any 64-bit value, whole byte counts, values around
// the unit boundaries, and exact half-way cases for each unit and place count.
int64_t RandomScaled(std::mt19937_64& random, int kind) {
  const auto below = [&](uint64_t limit) { return static_cast<int64_t>(random() % limit); };
  const int shifts[] = {0, 10, 20, 30, 40};
  switch (kind) {
    case 0: {
      const int64_t value = static_cast<int64_t>(random() >> below(64));
      return below(8) == 0 && value != INT64_MIN ? -value : value;
    }
    case 1:
      return static_cast<int64_t>(random() >> (15 + below(49))) * kScale;
    case 2:
      return (int64_t{1} << shifts[1 + below(4)]) * kScale + below(40001) - 20000;
    default: {
      const int shift = shifts[below(5)];
      const int places = static_cast<int>(below(shift == 0 ? 4 : 5));
      int64_t tenPower = 1;
      for (int i = 0; i < 4 - places; ++i) tenPower *= 10;
      const int64_t odd = 2 * below(400) + 1;  // small enough for 1 TB * 10^4
      // (odd / 2) / 10^places units, written in ten-thousandths of a byte.
      return shift == 0 ? odd * tenPower / 2 : odd * (int64_t{1} << (shift - 1)) * tenPower;
    }
  }
}

TEST_F(SizeTextTest, MatchesAnIndependentDecimalReference) {
  std::mt19937_64 random(0x5EED2024);
  int checked = 0;
  for (int i = 0; i < 4000; ++i) {
    const int64_t scaled = RandomScaled(random, i % 4);
    for (int16_t roundBy = 0; roundBy <= 4; ++roundBy) {
      ASSERT_EQ(Utf16ToAscii(Parse(scaled, roundBy)), ReferenceText(scaled, roundBy))
          << "scaled " << scaled << " by " << roundBy;
      ++checked;
    }
    if (i % 10 == 0) {
      const int16_t many = static_cast<int16_t>(40 + i % 8);
      ASSERT_EQ(Utf16ToAscii(Parse(scaled, many)), ReferenceText(scaled, many)) << scaled;
    }
  }
  EXPECT_EQ(checked, 20000);
}

TEST(ByteAmountTest, AmountsBeyondTheLayoutOverflow) {
  EXPECT_EQ(ByteAmount::FromBytes(922337203685477).scaled, 9223372036854770000);
  EXPECT_EQ(ByteAmount::FromBytes(0).scaled, 0);
  for (uint64_t amount : {uint64_t{922337203685478}, UINT64_MAX}) {
    EXPECT_EQ(FailureText([&] { ByteAmount::FromBytes(amount); }), u"Overflow") << amount;
  }
  const testing::FakeLocale locale;
  EXPECT_EQ(FailureText([&] { SizeText(ByteAmount::FromScaled(kScale), -1, locale); }),
            u"Invalid procedure call or argument");
}

}  // namespace
}  // namespace brindlecap
