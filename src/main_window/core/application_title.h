#pragma once
// The product's names: the window caption keeps the whole product name; the
// application title is the product name cut by whole words to 40 characters.
#include <string>
#include <string_view>

namespace brindlecap {

inline constexpr std::u16string_view kProductName = u"Quillmarsh Orvane Tessel Plint Vaskrow";

// Drops the last word, then more words while the text is longer than 40
// characters. The last word always goes, even from a short name. A text that
// has no blank left to cut at raises InvalidArgumentFailure.
std::u16string CutApplicationTitle(std::u16string_view productName);

}  // namespace brindlecap
