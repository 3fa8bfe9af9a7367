#pragma once
// The list as text for the clipboard: the header line, then one line a row, the
// cells joined by tabs and every line ended by CR LF, so that it pastes into a
// spreadsheet as a table (each cell as SpreadsheetCell makes it: one line, no formula).
#include <string>
#include <vector>

#include "results/row_list.h"

namespace brindlecap {

// The given rows in the given order; every row when none is given.
std::u16string RowsAsText(const RowListReader& list, const std::vector<int>& rows);

}  // namespace brindlecap
