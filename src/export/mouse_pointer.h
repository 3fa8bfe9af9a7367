#pragma once
// The pointer the save sets while it writes, and what it sets it on: the window
// implements this, so the window needs nothing else of the save's to hold it.
namespace brindlecap {

enum class PointerShape {
  kArrow,      // each control's own pointer
  kHourglass,  // a save is writing: it stays until the save takes it away
  kHand,       // over a button: the program's hand picture, or the arrow without one
};

class MousePointerOwner {
 public:
  virtual ~MousePointerOwner() = default;
  virtual PointerShape MousePointer() const noexcept = 0;
  virtual void SetMousePointer(PointerShape shape) noexcept = 0;
};

}  // namespace brindlecap
