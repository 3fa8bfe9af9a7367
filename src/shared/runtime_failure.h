#pragma once
// A failure as the program's operations raise it: the text that describes it.
// Reporting operations catch it and show the error report.
#include <exception>
#include <string>

namespace brindlecap {

class RuntimeFailure : public std::exception {
 public:
  explicit RuntimeFailure(std::u16string description) : description_(std::move(description)) {}
  const std::u16string& Description() const noexcept { return description_; }
  const char* what() const noexcept override { return "Brindlecap runtime failure"; }

 private:
  std::u16string description_;
};

// The failure being handled, whatever was raised: call it only inside a catch block.
// Out of memory, another exception's own text, or "Unexpected failure".
RuntimeFailure CurrentFailure();

// The failures the program raises itself, in their usual words.
RuntimeFailure InvalidArgumentFailure();
RuntimeFailure OverflowFailure();
RuntimeFailure ObjectNotSetFailure();
RuntimeFailure IndexOutOfBoundsFailure();

}  // namespace brindlecap
