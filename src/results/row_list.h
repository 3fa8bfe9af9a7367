#pragma once
// The results list as the commands use it: a table of text cells under column
// headers, with a check mark per row. Indexes are 1-based; a sub-item n is the
// cell of column n + 1. An index out of range raises IndexOutOfBoundsFailure.
// Texts read back stay valid until the list next changes.
#include <cstdint>
#include <string>
#include <string_view>

#include "results/drive_facts.h"

namespace brindlecap {

// What a reader of the list sees: enough to write it out.
class RowListReader {
 public:
  virtual ~RowListReader() = default;

  virtual int ColumnCount() const = 0;
  virtual std::u16string_view ColumnTitle(int column) const = 0;
  virtual int RowCount() const = 0;
  virtual std::u16string_view RowText(int row) const = 0;
  // Empty when never written.
  virtual std::u16string_view SubItem(int row, int16_t subItem) const = 0;
  virtual bool Checked(int row) const = 0;
};

class RowList : public RowListReader {
 public:
  // Appends a column at the end.
  virtual void AddColumn(const std::u16string& text) = 0;

  // Appends a row with empty sub-items and a clear check mark; returns its index.
  virtual int AddRow(const std::u16string& text) = 0;
  virtual void SetSubItem(int row, int16_t subItem, const std::u16string& text) = 0;

  // What the row's cells were made from.
  virtual void SetRowFacts(int row, const DriveFacts& facts) = 0;
};

}  // namespace brindlecap
