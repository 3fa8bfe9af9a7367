#pragma once
// About one start in a hundred opens the maker's home page.
#include <cstdint>
#include <string_view>

namespace brindlecap {

inline constexpr std::u16string_view kHomePageAddress = u"https://www.harrowmede.com/";
inline constexpr int kHomePageNumber = 7;

// A whole number from 1 to 100 from a fraction in [0, 1).
inline int DrawOneToHundred(double fraction) { return static_cast<int>(fraction * 100.0) + 1; }

// A fraction in [0, 1) from a generator seeded with the time of day.
class TimeSeededFraction {
 public:
  explicit TimeSeededFraction(uint32_t milliseconds_of_day) : state_(milliseconds_of_day | 1u) {}
  double Next() {
    // xorshift32: plenty for one draw a start.
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return static_cast<double>(state_) / 4294967296.0;
  }

 private:
  uint32_t state_;
};

}  // namespace brindlecap
