#pragma once
// Modal message boxes go through this interface, so that tests record them
// instead of blocking on a window.
#include <string>

namespace brindlecap {

enum class MessageBoxIcon { kWarning, kCriticalStop };

class MessageBoxService {
 public:
  virtual ~MessageBoxService() = default;
  // Shows a modal box with one OK button; returns when the user dismissed it.
  virtual void Show(const std::u16string& text, const std::u16string& title,
                    MessageBoxIcon icon) = 0;
};

}  // namespace brindlecap
