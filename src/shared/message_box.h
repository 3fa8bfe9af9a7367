#pragma once
// Modal message boxes go through this interface, so that tests record them
// instead of blocking on a window.
#include <string>
#include <string_view>

namespace brindlecap {

enum class MessageBoxIcon { kWarning, kCriticalStop, kInformation };

class MessageBoxService {
 public:
  virtual ~MessageBoxService() = default;
  // Shows a modal box with one OK button; returns when the user dismissed it.
  virtual void Show(const std::u16string& text, const std::u16string& title,
                    MessageBoxIcon icon) = 0;
  // An "Application Error" report of a reporting operation. By default the box that
  // ComposeApplicationErrorText words (error_report.cpp); a service that collects
  // reports instead of showing them takes the parts.
  virtual void ShowApplicationError(std::u16string_view description,
                                    std::u16string_view locationLabel, int line);
};

}  // namespace brindlecap
