#include "results/spreadsheet_cell.h"

namespace brindlecap {

std::u16string SpreadsheetCell(std::u16string_view text, CellBreaks breaks) {
  std::u16string cell(text);
  if (breaks == CellBreaks::kSpaced) {
    for (char16_t& c : cell) {
      if (c == u'\t' || c == u'\r' || c == u'\n') c = u' ';
    }
  }
  if (!cell.empty() &&
      std::u16string_view(u"=+-@").find(cell.front()) != std::u16string_view::npos) {
    cell.insert(cell.begin(), u'\'');
  }
  return cell;
}

}  // namespace brindlecap
