#pragma once
#include <windows.h>

#include "shared/event_pump.h"

namespace brindlecap::win32 {

// Lets the thread's window messages run, keyboard navigation of the main window
// included. Costs one queue-status check when nothing is waiting.
class SystemEventPump : public EventPump {
 public:
  // With an interval, the queue is looked at no more often than that: a loop that
  // yields per cell still answers the user within the interval, without paying a
  // queue check (a round trip to the window server under Wine) for every cell.
  explicit SystemEventPump(DWORD minimumIntervalMilliseconds = 0) noexcept
      : minimumInterval_(minimumIntervalMilliseconds) {}
  void SetDialogWindow(HWND window) noexcept { dialogWindow_ = window; }
  void RunWaitingEvents() override;
  // Waits so many milliseconds, running the events as they arrive.
  void RunEventsFor(DWORD milliseconds) noexcept;

 private:
  HWND dialogWindow_ = nullptr;
  DWORD minimumInterval_;
  DWORD lastCheck_ = 0;
};

// One message of the program's loops: keyboard navigation first, then dispatch.
void DispatchThreadMessage(HWND dialogWindow, MSG& message);

}  // namespace brindlecap::win32
