#include "main_window/core/window_controller.h"

namespace brindlecap {

void WindowController::MouseMovedOver(PointerArea area) noexcept {
  if (mousePointer_ == PointerShape::kHourglass) return;
  mousePointer_ = area == PointerArea::kButton ? PointerShape::kHand : PointerShape::kArrow;
}

bool WindowController::CloseMayProceed(bool saving) noexcept {
  if (saving) closeWaiting_ = true;
  return !saving;
}

bool WindowController::TakeWaitingClose(bool saving) noexcept {
  if (saving || !closeWaiting_) return false;
  closeWaiting_ = false;
  return true;
}

}  // namespace brindlecap
