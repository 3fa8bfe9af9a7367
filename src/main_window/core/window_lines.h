#pragma once
// The numbered lines of the window's two reporting operations: the numbers an
// error report quotes (see shared/error_report.h).
namespace brindlecap {

// Loading the window.
enum StartUpLine : int {
  kApplySkin = 102,
  kFindHandCursor = 104,
  kLoadHandCursor = 106,
  kVisitHomePage = 108,
  kSetCaptionIconAndTitle = 126,
  kAddFirstColumn = 128,   // each further column two lines on
  kSizeFirstColumn = 142,  // likewise
};

// The request to close the window.
enum CloseRequestLine : int {
  kLetEventsRunFirst = 100,
  kLetEventsRunAgain = 102,
};

}  // namespace brindlecap
