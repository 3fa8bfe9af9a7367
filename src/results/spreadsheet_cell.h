#pragma once
// A cell as it leaves for a spreadsheet: in tab lines (/stab), on the clipboard
// (Ctrl+C) and in CSV. A file system name comes from a server and a label from
// whoever formatted the medium, so a cell may hold anything.
#include <string>
#include <string_view>

namespace brindlecap {

enum class CellBreaks {
  kKept,    // CSV: quoting keeps them inside the cell
  kSpaced,  // tab lines and the clipboard: a TAB, CR or LF would start a cell or a line
};

// The text with a leading apostrophe when it begins with = + - or @ (a spreadsheet
// would run it as a formula), and with each TAB, CR and LF a space where asked.
std::u16string SpreadsheetCell(std::u16string_view text, CellBreaks breaks);

}  // namespace brindlecap
