#pragma once
// A results model that a test can make fail: it finds no memory for a chosen
// drive's row, or for one of its cells; and a hook runs after every row added
// (where a click could come in).
//
//   ScriptedList list;
//   list.Refuse(u'C', ResultColumn::kFreeSpace);  // C:'s free space cannot be written
#include <functional>
#include <optional>
#include <string>

#include "results/result_columns.h"
#include "results/results_model.h"
#include "shared/runtime_failure.h"

namespace brindlecap::testing {

class ScriptedList : public ResultsModel {
 public:
  // The drive's row (no column), or its cell of the column.
  void Refuse(char16_t drive, std::optional<ResultColumn> column = std::nullopt) {
    refusedDrive_ = drive;
    refusedColumn_ = column;
  }
  std::function<void()> afterAdd;

  int AddRow(const std::u16string& text) override {
    if (!refusedColumn_ && IsRefused(text)) throw OutOfMemory();
    const int row = ResultsModel::AddRow(text);
    if (afterAdd) afterAdd();
    return row;
  }
  void SetCell(int row, int column, const std::u16string& text) override {
    if (refusedColumn_ && column == IndexOf(*refusedColumn_) &&
        IsRefused(Cell(row, IndexOf(ResultColumn::kDrive)))) {
      throw OutOfMemory();
    }
    ResultsModel::SetCell(row, column, text);
  }

 private:
  static RuntimeFailure OutOfMemory() { return RuntimeFailure(u"Out of memory"); }
  bool IsRefused(std::u16string_view driveText) const {
    return refusedDrive_ != u'\0' && !driveText.empty() && driveText[0] == refusedDrive_;
  }

  char16_t refusedDrive_ = u'\0';
  std::optional<ResultColumn> refusedColumn_;
};

}  // namespace brindlecap::testing
