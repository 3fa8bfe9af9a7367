#pragma once
// Which drives a command-line run reports: the letters of /drives and the kinds of
// /kinds, the same rows for every format and for /check.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "results/results_model.h"

namespace brindlecap {

// The kinds /kinds names, one bit each.
namespace drive_kind {
constexpr unsigned kFixed = 1, kUsb = 2, kFloppy = 4, kCd = 8, kDvd = 16, kRemote = 32, kRam = 64;
}

struct DriveChoice {
  std::u16string letters;  // upper case, in the order asked; empty: every letter
  unsigned kinds = 0;      // drive_kind bits; 0: every kind
  bool mediumOnly = false;
};

// "C,D" or "c:,d:\"; nothing when a part is not one letter.
std::optional<std::u16string> ParseDriveLetters(std::u16string_view text);
// "fixed,remote"; nothing when a part is no kind's short name.
std::optional<unsigned> ParseDriveKinds(std::u16string_view text);

// The kind of a drive from the system's drive type number and the kind's name
// ("CD-ROM" or "DVD-ROM"); removable drives A: and B: are floppies. 0: none of them.
unsigned KindOf(std::optional<int16_t> code, std::u16string_view root,
                std::u16string_view kindName);

struct ChosenRows {
  std::vector<int> rows;   // in the model's order
  std::u16string missing;  // the root of the first asked letter that has no row
};
ChosenRows ChooseRows(const ResultsModel& results, const DriveChoice& choice);

}  // namespace brindlecap
