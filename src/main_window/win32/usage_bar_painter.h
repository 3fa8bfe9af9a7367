#pragma once
// The thin bar under the Used Space text: used against total, in the system's
// highlight colour, red once the drive is nearly full. The list owns one and
// passes it its custom-draw notifications.
#include <windows.h>

#include <commctrl.h>

#include "results/results_model.h"

namespace brindlecap::win32 {

class UsageBarPainter {
 public:
  explicit UsageBarPainter(const ResultsModel& model) : model_(model) {}

  void SetDpi(int dpi) noexcept { dpi_ = dpi; }
  // The answer to the list's NM_CUSTOMDRAW: the list draws, then the bar goes on top.
  LRESULT OnCustomDraw(const NMLVCUSTOMDRAW& draw) const noexcept;

 private:
  const ResultsModel& model_;
  int dpi_ = 96;
};

}  // namespace brindlecap::win32
