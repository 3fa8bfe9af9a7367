#pragma once
// The main window's design, in twips (1/1440 inch; 15 twips are one pixel at 96 DPI).
#include <string_view>

namespace brindlecap::form_layout {

struct Box {
  int left, top, width, height;
};

inline constexpr int kClientWidth = 15960;
inline constexpr int kClientHeight = 3270;
inline constexpr Box kResultsList{120, 630, 15720, 2535};
inline constexpr Box kStartRetrievingButton{120, 120, 7800, 405};
inline constexpr Box kSaveResultsButton{8040, 120, 7800, 405};

inline constexpr std::u16string_view kStartRetrievingText = u"Start Retrieving";
inline constexpr std::u16string_view kSaveResultsText = u"Save Results As Text File";

inline constexpr std::u16string_view kFontFace = u"Arial";
inline constexpr double kFormFontPoints = 9.0;
inline constexpr double kButtonFontPoints = 11.25;

// The usage bar's height and its distance from the cell's sides, in pixels at 96
// DPI. It is drawn under the used space (results/result_columns.h).
inline constexpr int kUsageBarPixelsAt96Dpi = 3;

}  // namespace brindlecap::form_layout
