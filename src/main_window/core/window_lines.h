#pragma once
// Where loading the window can fail, and the line an error report quotes for each
// (see shared/error_report.h).
namespace brindlecap {

enum StartUpLine : int {
  kApplySkin = 102,
  kLoadHandCursor = 106,
  kVisitHomePage = 108,
  kSetCaptionIconAndTitle = 126,
};

}  // namespace brindlecap
