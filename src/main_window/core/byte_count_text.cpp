#include "main_window/core/byte_count_text.h"

namespace brindlecap {

namespace {

// Reads group sizes from the pattern, one at a time.
class GroupPattern {
 public:
  explicit GroupPattern(std::u16string_view pattern) : pattern_(pattern) {}
  // The next group's size; 0 when no separator comes any more.
  int Next() {
    if (repeat_) return size_;
    if (next_ > pattern_.size()) return 0;  // used up: the rest is one group
    int read = 0;
    bool any = false;
    for (; next_ < pattern_.size() && pattern_[next_] != u';'; ++next_) {
      const char16_t c = pattern_[next_];
      if (c >= u'0' && c <= u'9' && read < 64) {
        read = read * 10 + (c - u'0');
        any = true;
      }
    }
    const bool last = next_++ >= pattern_.size();
    // A final 0 repeats the size before it.
    repeat_ = last && any && read == 0 && size_ > 0;
    if (!repeat_) size_ = read;
    return size_;
  }

 private:
  std::u16string_view pattern_;
  size_t next_ = 0;
  int size_ = 0;
  bool repeat_ = false;
};

}  // namespace

std::u16string ByteCountText(uint64_t bytes, std::u16string_view separator,
                             std::u16string_view grouping) {
  constexpr std::u16string_view kUnit = u" bytes";
  if (separator.size() > 3) separator = separator.substr(0, 3);
  // Written from the right: at most 20 digits, 19 separators and the unit.
  char16_t text[20 + 19 * 3 + kUnit.size()];
  char16_t* start = text + sizeof text / sizeof text[0] - kUnit.size();
  kUnit.copy(start, kUnit.size());
  GroupPattern groups(grouping);
  int size = groups.Next(), inGroup = 0;
  do {
    if (size > 0 && inGroup == size) {
      start -= separator.size();
      separator.copy(start, separator.size());
      inGroup = 0;
      size = groups.Next();
    }
    *--start = static_cast<char16_t>(u'0' + bytes % 10);
    ++inGroup;
    bytes /= 10;
  } while (bytes != 0);
  return std::u16string(start, text + sizeof text / sizeof text[0]);
}

}  // namespace brindlecap
