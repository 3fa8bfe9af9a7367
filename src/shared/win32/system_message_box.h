#pragma once
#include <windows.h>

#include "shared/message_box.h"

namespace brindlecap::win32 {

// MessageBoxW, modal to the owner window when there is one.
class SystemMessageBox : public MessageBoxService {
 public:
  void SetOwner(HWND owner) noexcept { owner_ = owner; }
  void Show(const std::u16string& text, const std::u16string& title, MessageBoxIcon icon) override;

 private:
  HWND owner_ = nullptr;
};

}  // namespace brindlecap::win32
