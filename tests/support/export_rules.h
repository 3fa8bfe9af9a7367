#pragma once
// What the program must show and write, computed here from first principles:
// the bytes of an exported list and the size texts of byte counts.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace brindlecap::e2e {

// A list as read back from the window.
struct ListContents {
  std::vector<std::wstring> headers;
  std::vector<std::vector<std::wstring>> rows;  // one text per column; missing cells are empty
  std::vector<bool> checked;                    // one per row
};

// Each column's width: its longest text among the header and every row,
// checked or not, counted in UTF-16 units.
std::vector<size_t> ExportColumnWidths(const ListContents& list);

// The export as text: the header line, then each checked row; every cell padded
// with spaces to its column's width and followed by a tab; every line ends in CR LF.
std::wstring ExpectedExportText(const ListContents& list);

// The file's bytes: the text above in an ANSI code page, without a byte-order mark.
std::string ExpectedExportBytes(const ListContents& list, UINT codePage = CP_ACP);

// A byte count as the list shows it: "N Bytes" below 1 KB, else KB, MB, GB or TB
// (powers of 1024) with the value rounded half-to-even to two decimals, written
// in its shortest form with '.' as the separator.
std::wstring SizeText(uint64_t bytes);

// True when `text` is SizeText(n) for some n in [low, high]: for a figure that may
// move between the program's reading and ours.
bool SizeTextWithin(const std::wstring& text, uint64_t low, uint64_t high);

}  // namespace brindlecap::e2e
