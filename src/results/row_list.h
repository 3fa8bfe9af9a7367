#pragma once
// The results list as the commands use it: a table of text cells under column
// headers, with a check mark per row. Rows and columns count from 0; column 0
// holds the drive (ResultColumn::kDrive). A row out of range, or a column out of
// range written to, raises IndexOutOfBoundsFailure; a cell of a column the list does
// not have reads as empty. Texts read back stay valid until the list next changes.
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
  // Empty when never written.
  virtual std::u16string_view Cell(int row, int column) const = 0;
  virtual bool Checked(int row) const = 0;
};

class RowList : public RowListReader {
 public:
  // Appends a column at the end.
  virtual void AddColumn(const std::u16string& text) = 0;

  // Appends a row whose drive cell holds the text, its other cells empty and its
  // check mark clear; returns its index.
  virtual int AddRow(const std::u16string& text) = 0;
  virtual void SetCell(int row, int column, const std::u16string& text) = 0;

  // What the row's cells were made from.
  virtual void SetRowFacts(int row, const DriveFacts& facts) = 0;
};

}  // namespace brindlecap
