#pragma once
// The one home of the results: every retrieval appends to it, the window shows
// it and every export reads it. Rows keep their cell texts, the facts the texts
// were made from and their check marks.
//
// Rows, columns and shown positions count from 0. A row's index stays what AddRow returned until
// rows are removed; the order the rows are shown in is kept apart from it: a sort changes only the
// shown order, and a row added or changed while a sort is shown takes its place in it at once.
#include <cstdint>
#include <optional>
#include <vector>

#include "results/row_list.h"
#include "results/row_order.h"

namespace brindlecap {

class ResultsModel : public RowList {
 public:
  // Told of every change, so that a view can follow.
  class Listener {
   public:
    virtual ~Listener() = default;
    virtual void ColumnAdded(int column) = 0;
    virtual void RowsAdded(int firstRow, int count) = 0;
    virtual void RowChanged(int row) = 0;
    // The row's check mark changed (after RowChanged), for those who announce it.
    virtual void RowCheckChanged(int row) = 0;
    // Rows moved or went: everything shown may differ.
    virtual void RowsRearranged() = 0;
  };
  void SetListener(Listener* listener) noexcept { listener_ = listener; }

  void AddColumn(const std::u16string& text) override;
  int ColumnCount() const override { return static_cast<int>(columns_.size()); }
  std::u16string_view ColumnTitle(int column) const override;

  int AddRow(const std::u16string& text) override;
  int RowCount() const override { return static_cast<int>(facts_.size()); }
  void SetCell(int row, int column, const std::u16string& text) override;
  std::u16string_view Cell(int row, int column) const override;
  bool Checked(int row) const override;
  void SetRowFacts(int row, const DriveFacts& facts) override;

  const DriveFacts& RowFacts(int row) const;

  // The check rules. A click on a row's box toggles that row alone; the space
  // bar toggles the selected rows together (the focused row when none is
  // selected): they all take the opposite of the focused row's mark, or of the
  // first selected row's when the focus is elsewhere.
  void SetChecked(int row, bool checked);
  void ToggleChecked(int row);
  void ToggleTogether(const std::vector<int>& selectedRows, int focusedRow);

  // The row shown at a position, and back.
  int RowAt(int position) const;
  int PositionOf(int row) const;

  // Orders the shown rows by the key; ties keep the order they had. False, and
  // nothing changes, while the order is held.
  bool SortBy(const SortKey& key);
  const std::optional<SortKey>& Sort() const noexcept { return sort_; }
  void SetCollation(const TextCollation* collation) noexcept;
  // Removes the rows at these shown positions. False while the order is held.
  bool RemoveShown(const std::vector<int>& positions);
  // While held (a save reads the rows by position), nothing moves or goes: new
  // rows wait at the end and take their places at the last release.
  void HoldOrder() noexcept { ++orderHolds_; }
  void ReleaseOrder();

 private:
  // Every cell's text lives in one growing buffer; a column keeps where each of its
  // cells starts and how long it is. Reading a column, or a row, then touches little
  // memory, however many rows there are.
  struct Span {
    uint32_t start = 0, length = 0;
  };
  struct Column {
    std::u16string header;
    std::vector<Span> cells;  // one a row; an empty span for a cell never written
  };
  const Column& ColumnAt(int column) const;
  void RequireRow(int row) const;
  void RequireColumn(int column) const;
  Span Store(std::u16string_view text);
  std::u16string_view TextOf(Span span) const { return {texts_.data() + span.start, span.length}; }
  void RowChanged(int row);
  bool ShownBefore(int rowIndex, int otherIndex) const;
  void PlaceRow(int row);
  std::vector<int>::iterator PlaceAmong(std::vector<int>::iterator first,
                                        std::vector<int>::iterator last, int index) const;
  void Rearranged();

  std::vector<Column> columns_;
  // The row's own text when the list has no column yet.
  std::vector<Span> itemTexts_;
  std::u16string texts_;
  std::vector<DriveFacts> facts_;
  std::vector<bool> checked_;
  // Zero-based: the row shown at each position.
  std::vector<int> order_;
  std::optional<SortKey> sort_;
  const TextCollation* collation_ = nullptr;
  int orderHolds_ = 0;
  Listener* listener_ = nullptr;
};

// The results as shown, by position: what a copy and a save read.
class ShownResults : public RowListReader {
 public:
  explicit ShownResults(const ResultsModel& model) : model_(model) {}
  int ColumnCount() const override { return model_.ColumnCount(); }
  std::u16string_view ColumnTitle(int column) const override { return model_.ColumnTitle(column); }
  int RowCount() const override { return model_.RowCount(); }
  std::u16string_view Cell(int position, int column) const override {
    return model_.Cell(model_.RowAt(position), column);
  }
  bool Checked(int position) const override { return model_.Checked(model_.RowAt(position)); }

 private:
  const ResultsModel& model_;
};

}  // namespace brindlecap
