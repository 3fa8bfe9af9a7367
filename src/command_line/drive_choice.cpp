#include "command_line/drive_choice.h"

#include <algorithm>

#include "drive_info/kernel32.h"
#include "results/result_columns.h"
#include "retrieval/drive_steps.h"
#include "shared/text_convert.h"

namespace brindlecap {

namespace {

constexpr struct {
  std::u16string_view name;
  unsigned kind;
} kKindNames[] = {{u"fixed", drive_kind::kFixed},   {u"usb", drive_kind::kUsb},
                  {u"floppy", drive_kind::kFloppy}, {u"cd", drive_kind::kCd},
                  {u"dvd", drive_kind::kDvd},       {u"remote", drive_kind::kRemote},
                  {u"ram", drive_kind::kRam}};

// The comma-separated parts of the text, each given to take; false when one is refused.
template <typename Take>
bool EachPart(std::u16string_view text, Take take) {
  if (text.empty()) return false;
  for (size_t start = 0;;) {
    const size_t end = std::min(text.find(u',', start), text.size());
    if (!take(text.substr(start, end - start))) return false;
    if (end == text.size()) return true;
    start = end + 1;
  }
}

}  // namespace

std::optional<std::u16string> ParseDriveLetters(std::u16string_view text) {
  std::u16string letters;
  const bool read = EachPart(text, [&](std::u16string_view part) {
    if (part.size() == 3 && part[2] == u'\\') part.remove_suffix(1);
    if (part.size() == 2 && part[1] == u':') part.remove_suffix(1);
    const char16_t letter = part.size() == 1 ? AsciiUpperCase(part[0]) : u'\0';
    if (letter < u'A' || letter > u'Z') return false;
    if (letters.find(letter) == std::u16string::npos) letters += letter;
    return true;
  });
  if (!read) return std::nullopt;
  return letters;
}

std::optional<unsigned> ParseDriveKinds(std::u16string_view text) {
  unsigned kinds = 0;
  const bool read = EachPart(text, [&](std::u16string_view part) {
    for (const auto& known : kKindNames) {
      if (!SameIgnoringAsciiCase(part, known.name)) continue;
      kinds |= known.kind;
      return true;
    }
    return false;
  });
  if (!read) return std::nullopt;
  return kinds;
}

unsigned KindOf(std::optional<int16_t> code, std::u16string_view root,
                std::u16string_view kindName) {
  namespace k = win32_constant;
  if (!code) return 0;
  switch (static_cast<uint32_t>(*code)) {
    case k::kDriveFixed:
      return drive_kind::kFixed;
    case k::kDriveRemovable:
      return !root.empty() && (AsciiUpperCase(root[0]) == u'A' || AsciiUpperCase(root[0]) == u'B')
                 ? drive_kind::kFloppy
                 : drive_kind::kUsb;
    case k::kDriveCdrom:
      return kindName == u"DVD-ROM" ? drive_kind::kDvd : drive_kind::kCd;
    case k::kDriveRemote:
      return drive_kind::kRemote;
    case k::kDriveRamdisk:
      return drive_kind::kRam;
    default:
      return 0;
  }
}

ChosenRows ChooseRows(const ResultsModel& results, const DriveChoice& choice) {
  ChosenRows chosen;
  std::u16string found;
  for (int row = 0; row < results.RowCount(); ++row) {
    const DriveFacts& facts = results.RowFacts(row);
    const char16_t letter = facts.root.empty() ? u'\0' : AsciiUpperCase(facts.root[0]);
    found += letter;
    if (!choice.letters.empty() && choice.letters.find(letter) == std::u16string::npos) continue;
    // A drive that did not answer may be of any kind, and must not go unseen.
    if (!facts.answered) {
      chosen.rows.push_back(row);
      continue;
    }
    const unsigned kind =
        KindOf(facts.kindCode, facts.root, results.Cell(row, IndexOf(ResultColumn::kType)));
    if (choice.kinds != 0 && (choice.kinds & kind) == 0) continue;
    if (choice.mediumOnly && !facts.hasMedium) continue;
    chosen.rows.push_back(row);
  }
  for (const char16_t letter : choice.letters) {
    if (found.find(letter) != std::u16string::npos) continue;
    chosen.missing = std::u16string(1, letter) + u":\\";
    break;
  }
  return chosen;
}

}  // namespace brindlecap
