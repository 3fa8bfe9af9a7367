#include "shared/win32/system_event_pump.h"

namespace brindlecap::win32 {

void DispatchThreadMessage(HWND dialogWindow, MSG& message) {
  if (dialogWindow != nullptr && ::IsDialogMessageW(dialogWindow, &message)) return;
  ::TranslateMessage(&message);
  ::DispatchMessageW(&message);
}

void SystemEventPump::RunWaitingEvents() {
  if (minimumInterval_ != 0) {
    const DWORD now = ::GetTickCount();
    if (now - lastCheck_ < minimumInterval_) return;
    lastCheck_ = now;
  }
  if (HIWORD(::GetQueueStatus(QS_ALLINPUT)) == 0) return;
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // Leave the quit request for the outer loop that owns it.
      ::PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    DispatchThreadMessage(dialogWindow_, message);
  }
}

void SystemEventPump::RunEventsFor(DWORD milliseconds) noexcept {
  const DWORD start = ::GetTickCount();
  for (DWORD waited = 0; waited < milliseconds; waited = ::GetTickCount() - start) {
    if (::MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - waited, QS_ALLINPUT) ==
        WAIT_OBJECT_0) {
      try {
        RunWaitingEvents();
      } catch (...) {
        // A handler that raised is no reason to stop waiting.
      }
    }
  }
}

}  // namespace brindlecap::win32
