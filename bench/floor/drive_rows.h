#pragma once
// A drive's seven cells, made from its answers (drive_calls.h) the plain way,
// with the texts Brindlecap shows: root and label, the kind's name, the file
// system, the three sizes (up to two decimals, in the largest unit that fits),
// the serial as "1234-ABCD".
#include "drive_calls.h"

namespace brindlecap::drive_floor {

// Volume labels hold at most 32 characters, file system names fewer.
struct Row {
  wchar_t cells[7][64] = {};
};

inline const wchar_t* KindName(const DriveAnswers& answers) {
  switch (answers.type) {
    case DRIVE_UNKNOWN:
      return L"Unknown";
    case DRIVE_NO_ROOT_DIR:
      return L"Not Found";
    case DRIVE_REMOVABLE:
      return answers.root[0] == 'A' || answers.root[0] == 'B' ? L"Floppy" : L"USB Drive";
    case DRIVE_FIXED:
      return L"Fixed";
    case DRIVE_REMOTE:
      return L"Remote";
    case DRIVE_CDROM:
      return answers.deviceType == FILE_DEVICE_CD_ROM ? L"CD-ROM"
             : answers.deviceType == FILE_DEVICE_DVD  ? L"DVD-ROM"
                                                      : L"";
    case DRIVE_RAMDISK:
      return L"RAM Disk";
    default:
      return L"";
  }
}

// Rounded to hundredths, half-way to the even digit; trailing zeros dropped.
inline void SizeText(ULONGLONG bytes, wchar_t (&text)[64]) {
  static const wchar_t* const kUnits[] = {L"Bytes", L"KB", L"MB", L"GB", L"TB"};
  int unit = 4;
  while (unit > 0 && bytes >> (10 * unit) == 0) --unit;
  const int shift = 10 * unit;
  const ULONGLONG one = ULONGLONG{1} << shift;
  ULONGLONG whole = bytes >> shift;
  const ULONGLONG hundredthsExact = (bytes & (one - 1)) * 100;
  ULONGLONG hundredths = hundredthsExact >> shift;
  const ULONGLONG twiceRest = (hundredthsExact & (one - 1)) * 2;
  if (twiceRest > one || (twiceRest == one && hundredths % 2 == 1)) ++hundredths;
  if (hundredths == 100) ++whole, hundredths = 0;
  // Below 2^24 in every unit: wsprintfW has no 64-bit numbers.
  const auto shown = static_cast<unsigned>(whole), fraction = static_cast<unsigned>(hundredths);
  if (fraction == 0) {
    wsprintfW(text, L"%u %s", shown, kUnits[unit]);
  } else if (fraction % 10 == 0) {
    wsprintfW(text, L"%u.%u %s", shown, fraction / 10, kUnits[unit]);
  } else {
    wsprintfW(text, L"%u.%02u %s", shown, fraction, kUnits[unit]);
  }
}

inline Row MakeRow(const DriveAnswers& answers) {
  Row row;
  wchar_t text[1024];  // wsprintfW's largest
  if (!answers.present) {
    wsprintfW(text, L"%hs  - No Disk present", answers.root);
    lstrcpynW(row.cells[0], text, 64);
    lstrcpynW(row.cells[1], KindName(answers), 64);
    return row;
  }
  wsprintfW(text, L"%hs - [%hs]", answers.root, answers.volumeKnown ? answers.volume : "");
  lstrcpynW(row.cells[0], text, 64);
  lstrcpynW(row.cells[1], KindName(answers), 64);
  if (answers.volumeKnown) {
    wsprintfW(text, L"%hs", answers.fileSystem);
    lstrcpynW(row.cells[2], text, 64);
    if (answers.serial == 0) {
      lstrcpyW(row.cells[6], L"No SN");
    } else {
      wsprintfW(row.cells[6], L"%04X-%04X", HIWORD(answers.serial), LOWORD(answers.serial));
    }
  }
  if (answers.spaceKnown) {
    // Under a quota only what the caller may use counts as free.
    const ULONGLONG total = answers.total.QuadPart, free = answers.free.QuadPart,
                    callerFree = answers.callerFree.QuadPart;
    const ULONGLONG used =
        free <= total ? total - free : (callerFree <= total ? total - callerFree : 0);
    SizeText(total, row.cells[3]);
    SizeText(free, row.cells[4]);
    SizeText(used, row.cells[5]);
  }
  return row;
}

}  // namespace brindlecap::drive_floor
