#pragma once
// What the main window does with the pointer and with a close request, apart
// from any window: the window reports where the mouse is and what the user
// asks, and shows what this decides.
#include "export/mouse_pointer.h"

namespace brindlecap {

enum class PointerArea { kButton, kList, kWindow };

class WindowController : public MousePointerOwner {
 public:
  PointerShape MousePointer() const noexcept override { return mousePointer_; }
  void SetMousePointer(PointerShape shape) noexcept override { mousePointer_ = shape; }

  // The hand picture over the buttons, the arrow elsewhere; the hourglass stays
  // until whoever set it takes it away.
  void MouseMovedOver(PointerArea area) noexcept;

  // A close while a save writes would cut the file short: it waits for the end
  // of the save. Answers whether the close may go on now.
  [[nodiscard]] bool CloseMayProceed(bool saving) noexcept;
  // After a save: true, once, when a close waited for it.
  [[nodiscard]] bool TakeWaitingClose(bool saving) noexcept;

 private:
  PointerShape mousePointer_ = PointerShape::kArrow;
  bool closeWaiting_ = false;
};

}  // namespace brindlecap
