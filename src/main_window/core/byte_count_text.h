#pragma once
// An exact byte count in the user's digit grouping: "500,107,862,016 bytes".
#include <cstdint>
#include <string>
#include <string_view>

namespace brindlecap {

// `grouping` is the system's pattern: group sizes (single digits) from the right,
// separated by ';', where a final 0 repeats the last size ("3;0": 1,234,567; "3;2;0":
// 12,34,567; "3": 1234,567; "0" or empty: no grouping). A separator longer than
// three characters is cut to three, as the system allows.
std::u16string ByteCountText(uint64_t bytes, std::u16string_view separator,
                             std::u16string_view grouping);

}  // namespace brindlecap
