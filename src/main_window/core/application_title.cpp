#include "main_window/core/application_title.h"

#include "shared/runtime_failure.h"

namespace brindlecap {

std::u16string CutApplicationTitle(std::u16string_view productName) {
  constexpr size_t kMaxTitleLength = 40;
  std::u16string_view title = productName;
  do {
    const size_t lastBlank = title.rfind(u' ');
    if (lastBlank == std::u16string_view::npos) throw InvalidArgumentFailure();
    title = title.substr(0, lastBlank);
  } while (title.size() > kMaxTitleLength);
  return std::u16string(title);
}

}  // namespace brindlecap
