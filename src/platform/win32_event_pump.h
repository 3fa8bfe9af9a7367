#pragma once
#include <windows.h>

#include "shared/event_pump.h"

namespace brindlecap::win32 {

// Lets the thread's window messages run, keyboard navigation of the main window
// included. Costs one queue-status check when nothing is waiting.
class Win32EventPump : public EventPump {
 public:
  void SetDialogWindow(HWND window) noexcept { dialogWindow_ = window; }
  void DoEvents() override;

 private:
  HWND dialogWindow_ = nullptr;
};

// One message of the program's loops: keyboard navigation first, then dispatch.
void DispatchThreadMessage(HWND dialogWindow, MSG& message);

}  // namespace brindlecap::win32
