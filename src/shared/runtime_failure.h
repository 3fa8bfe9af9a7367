#pragma once
// A failure as the program's operations raise it: a runtime error number and the
// text that describes it. Reporting operations catch it and show the error report.
#include <cstdint>
#include <exception>
#include <string>

namespace brindlecap {

// Runtime error numbers that the program raises itself.
namespace error_number {
constexpr int32_t kInvalidArgument = 5;
constexpr int32_t kOverflow = 6;
constexpr int32_t kOutOfMemory = 7;
constexpr int32_t kInternalError = 51;
constexpr int32_t kObjectNotSet = 91;
constexpr int32_t kIndexOutOfBounds = 35600;
}  // namespace error_number

class RuntimeFailure : public std::exception {
 public:
  RuntimeFailure(int32_t number, std::u16string description)
      : number_(number), description_(std::move(description)) {}
  int32_t Number() const noexcept { return number_; }
  const std::u16string& Description() const noexcept { return description_; }
  const char* what() const noexcept override { return "Brindlecap runtime failure"; }

 private:
  int32_t number_;
  std::u16string description_;
};

// The failure being handled, whatever was raised: call it only inside a catch block.
// Out of memory, another exception's own text, or "Unexpected failure".
RuntimeFailure CurrentFailure();

// The runtime's own wording for the numbers above.
RuntimeFailure InvalidArgumentFailure();
RuntimeFailure OverflowFailure();
RuntimeFailure ObjectNotSetFailure();
RuntimeFailure IndexOutOfBoundsFailure();

}  // namespace brindlecap
