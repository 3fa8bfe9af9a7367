#pragma once
// The pointer the save sets while it writes, and what it sets it on: the window
// implements this, so the window needs nothing else of the save's to hold it.
namespace brindlecap {

// The window's pointer value: 0 default arrow, 11 hourglass, 99 custom picture.
namespace mouse_pointer {
constexpr int kDefault = 0;
constexpr int kHourglass = 11;
constexpr int kCustom = 99;
}  // namespace mouse_pointer

class MousePointerOwner {
 public:
  virtual ~MousePointerOwner() = default;
  virtual int MousePointer() const = 0;
  virtual void SetMousePointer(int value) = 0;
};

}  // namespace brindlecap
