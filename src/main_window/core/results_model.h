#pragma once
// The one home of the results: every retrieval appends to it, the window shows
// it and every export reads it. Rows keep their cell texts, the facts the texts
// were made from and their check marks.
#include <cstdint>
#include <vector>

#include "main_window/core/list_view.h"

namespace brindlecap {

class ResultsModel : public ListView {
 public:
  // Told of every change, so that a view can follow. Rows and columns are 1-based.
  class Listener {
   public:
    virtual ~Listener() = default;
    virtual void ColumnAdded(int column) = 0;
    virtual void ColumnWidthChanged(int column) = 0;
    virtual void RowsAdded(int firstRow, int count) = 0;
    virtual void RowChanged(int row) = 0;
  };
  void SetListener(Listener* listener) noexcept { listener_ = listener; }

  void ColumnHeadersAdd(const std::u16string& text) override;
  void SetColumnHeaderWidth(int column, float twips) override;
  float ColumnHeaderWidth(int column) const override;
  int ColumnHeadersCount() const override { return static_cast<int>(columns_.size()); }
  std::u16string_view ColumnHeaderText(int column) const override;

  int ListItemsAdd(const std::u16string& text) override;
  int ListItemsCount() const override { return static_cast<int>(facts_.size()); }
  std::u16string_view ListItemText(int row) const override;
  void SetSubItem(int row, int16_t subItem, const std::u16string& text) override;
  std::u16string_view SubItem(int row, int16_t subItem) const override;
  bool Checked(int row) const override;
  void SetRowFacts(int row, const DriveFacts& facts) override;

  const DriveFacts& RowFacts(int row) const;
  // Any cell by its column (1 is the row's own text); empty when never written.
  std::u16string_view Cell(int row, int column) const;

  // The check rules. A click on a row's box toggles that row alone; the space
  // bar toggles the selected rows together (the focused row when none is
  // selected): they all take the opposite of the focused row's mark, or of the
  // first selected row's when the focus is elsewhere.
  void SetChecked(int row, bool checked);
  void ToggleChecked(int row);
  void ToggleTogether(const std::vector<int>& selectedRows, int focusedRow);

 private:
  // Every cell's text lives in one growing buffer; a column keeps where each of its
  // cells starts and how long it is. Reading a column, or a row, then touches little
  // memory, however many rows there are.
  struct Span {
    uint32_t start = 0, length = 0;
  };
  struct Column {
    std::u16string header;
    float widthTwips = 1440.0f;  // a column added without a width is one inch wide
    std::vector<Span> cells;     // one a row; an empty span for a cell never written
  };
  const Column& ColumnAt(int column) const;
  void RequireRow(int row) const;
  void RequireSubItem(int16_t subItem) const;
  Span Store(std::u16string_view text);
  std::u16string_view TextOf(Span span) const { return {texts_.data() + span.start, span.length}; }
  void RowChanged(int row);

  std::vector<Column> columns_;
  // The row's own text when the list has no column yet.
  std::vector<Span> itemTexts_;
  std::u16string texts_;
  std::vector<DriveFacts> facts_;
  std::vector<bool> checked_;
  Listener* listener_ = nullptr;
};

}  // namespace brindlecap
