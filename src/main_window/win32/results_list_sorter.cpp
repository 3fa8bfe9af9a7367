#include "main_window/win32/results_list_sorter.h"

#include <commctrl.h>

#include "results/result_columns.h"
#include "shared/win32/system_text.h"

namespace brindlecap::win32 {

int ResultsListSorter::SystemCollation::Compare(std::u16string_view a,
                                                std::u16string_view b) const {
  return SystemLocale::Compare(a, b);
}

void ResultsListSorter::SortByColumn(HWND list, int column) noexcept {
  if (column < 0 || column >= model_.ColumnCount()) return;
  SortKey key{column, FactOfColumn(column), true};
  if (model_.Sort() && model_.Sort()->column == column) key.ascending = !model_.Sort()->ascending;
  // The selection and the focus go with their rows (ResultsListControl::RowsRearranged).
  if (!model_.SortBy(key)) return;
  const LRESULT focused =
      ::SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED);
  if (focused >= 0) ::SendMessageW(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(focused), FALSE);
  ShowSortArrow(list);
}

// Common controls 6 draw the arrow; older versions have no such flags and show none.
void ResultsListSorter::ShowSortArrow(HWND list) const noexcept {
  const auto header = reinterpret_cast<HWND>(::SendMessageW(list, LVM_GETHEADER, 0, 0));
  if (header == nullptr) return;
  const auto& sort = model_.Sort();
  const int count = static_cast<int>(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
  for (int index = 0; index < count; ++index) {
    HDITEMW item{};
    item.mask = HDI_FORMAT;
    if (!::SendMessageW(header, HDM_GETITEMW, index, reinterpret_cast<LPARAM>(&item))) continue;
    item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
    if (sort && sort->column == index) item.fmt |= sort->ascending ? HDF_SORTUP : HDF_SORTDOWN;
    ::SendMessageW(header, HDM_SETITEMW, index, reinterpret_cast<LPARAM>(&item));
  }
}

}  // namespace brindlecap::win32
