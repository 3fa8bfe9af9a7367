#pragma once
// Pointing at a Total, Free or Used Space cell shows the size's exact byte count
// ("500,107,862,016 bytes") in a tooltip. The list owns one and passes it its
// mouse messages and the tip's request for its text.
#include <windows.h>

#include <string>

#include "platform/handles.h"
#include "results/results_model.h"

namespace brindlecap::win32 {

class ExactBytesTip {
 public:
  explicit ExactBytesTip(const ResultsModel& model) : model_(model) {}

  // The tip is for `list`. It is made when the pointer first comes to a size, so a
  // start-up under the pointer makes no window; without one the list works on.
  void Attach(HWND list) noexcept;
  // A mouse message of the list: the tip follows the cell under the pointer.
  void Relay(UINT message, WPARAM wParam, LPARAM lParam) noexcept;
  // Answers the tip's request for its text; false for any other notification.
  bool AnswerTextRequest(NMHDR& header) noexcept;
  // The list is being destroyed, and the tip, a window it owns, with it.
  void ListDestroyed() noexcept;

 private:
  void Create() noexcept;
  void FollowPointer(LPARAM point) noexcept;
  std::u16string ExactBytesAt(int item, int subItem) const;

  const ResultsModel& model_;
  HWND list_ = nullptr;
  UniqueWindow tip_;
  bool creationTried_ = false;
  int item_ = -1, subItem_ = -1;  // the cell the tip is for
  std::u16string text_;
};

}  // namespace brindlecap::win32
