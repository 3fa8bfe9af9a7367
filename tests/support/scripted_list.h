#pragma once
// A results model whose calls a test scripts: chosen calls of a method fail, and
// a hook runs after every row added (where a click could come in).
//
//   ScriptedList list;
//   list.FailCalls("SubItem", {2});  // the second SubItem call from now fails
#include <functional>
#include <map>
#include <set>
#include <string>

#include "results/results_model.h"
#include "shared/runtime_failure.h"

namespace brindlecap::testing {

class ScriptedList : public ResultsModel {
 private:
  template <class Call>
  auto Answer(const std::string& method, Call&& call) const {
    if (depth_ == 0) {
      const int number = ++counts_[method];
      const auto failing = failing_.find(method);
      if (failing != failing_.end() && failing->second.count(number) != 0) {
        throw RuntimeFailure(35605, u"Control deleted");
      }
    }
    struct Inside {
      int& depth;
      ~Inside() { --depth; }
    } inside{++depth_};
    return call();
  }

 public:
  // Calls are counted from 1, from this moment on, per method; a call the model
  // makes to itself while answering one of these does not count.
  void FailCalls(const std::string& method, std::set<int> calls) {
    failing_[method] = std::move(calls);
    counts_.clear();
  }
  std::function<void()> afterAdd;

  int ColumnCount() const override {
    return Answer("ColumnCount", [&] { return ResultsModel::ColumnCount(); });
  }
  std::u16string_view ColumnTitle(int column) const override {
    return Answer("ColumnTitle", [&] { return ResultsModel::ColumnTitle(column); });
  }
  int AddRow(const std::u16string& text) override {
    const int row = Answer("AddRow", [&] { return ResultsModel::AddRow(text); });
    if (afterAdd) afterAdd();
    return row;
  }
  int RowCount() const override {
    return Answer("RowCount", [&] { return ResultsModel::RowCount(); });
  }
  std::u16string_view RowText(int row) const override {
    return Answer("RowText", [&] { return ResultsModel::RowText(row); });
  }
  void SetSubItem(int row, int16_t subItem, const std::u16string& text) override {
    Answer("SetSubItem", [&] { ResultsModel::SetSubItem(row, subItem, text); });
  }
  std::u16string_view SubItem(int row, int16_t subItem) const override {
    return Answer("SubItem", [&] { return ResultsModel::SubItem(row, subItem); });
  }
  bool Checked(int row) const override {
    return Answer("Checked", [&] { return ResultsModel::Checked(row); });
  }

 private:
  std::map<std::string, std::set<int>> failing_;
  mutable std::map<std::string, int> counts_;
  mutable int depth_ = 0;
};

}  // namespace brindlecap::testing
