#pragma once
// A click on a column header sorts the rows by that column's value, a second click
// reverses the order, and the header shows the order's arrow.
#include <windows.h>

#include <string_view>

#include "results/results_model.h"

namespace brindlecap::win32 {

class ResultsListSorter {
 public:
  explicit ResultsListSorter(ResultsModel& model) : model_(model) {}
  ~ResultsListSorter() { model_.SetCollation(nullptr); }
  ResultsListSorter(const ResultsListSorter&) = delete;
  ResultsListSorter& operator=(const ResultsListSorter&) = delete;

  // From here on, the model compares texts as the user's locale does.
  void CollateTexts() noexcept { model_.SetCollation(&collation_); }
  // Sorts by `column` (from 1) and keeps the focused row of `list` in view.
  void SortByColumn(HWND list, int column) noexcept;

 private:
  class SystemCollation : public TextCollation {
   public:
    int Compare(std::u16string_view a, std::u16string_view b) const override;
  };

  void ShowSortArrow(HWND list) const noexcept;

  ResultsModel& model_;
  SystemCollation collation_;
};

}  // namespace brindlecap::win32
