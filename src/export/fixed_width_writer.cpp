#include "export/fixed_width_writer.h"

#include <cstdint>
#include <vector>

#include "shared/error_report.h"
#include "shared/runtime_failure.h"

namespace brindlecap {

namespace {

RuntimeFailure SubscriptOutOfRangeFailure() { return {9, u"Subscript out of range"}; }

int32_t Length(std::u16string_view text) {
  if (text.size() > static_cast<size_t>(INT32_MAX)) throw OverflowFailure();
  return static_cast<int32_t>(text.size());
}

int32_t WidthOf(const std::vector<int32_t>& widths, int column) {
  if (column < 1 || static_cast<size_t>(column) > widths.size()) {
    throw SubscriptOutOfRangeFailure();
  }
  return widths[column - 1];
}

// Appends the text, the spaces up to the width and a tab. Everything is worked
// out before the line changes, so a failure leaves the line as it was.
void AppendPadded(std::u16string& line, std::u16string_view text, int32_t width) {
  const int32_t spaces = width - Length(text);
  if (spaces < 0) throw InvalidArgumentFailure();
  line.append(text).append(static_cast<size_t>(spaces), u' ').push_back(u'\t');
}

// Sub-item numbers are 16-bit: a column past that range cannot be addressed.
int16_t SubItemIndex(int column) {
  if (column - 1 > INT16_MAX) throw OverflowFailure();
  return static_cast<int16_t>(column - 1);
}

void AppendUnpadded(std::u16string& line, std::u16string_view text) {
  line.append(text).push_back(u'\t');
}

// The numbered lines of writing the list: the numbers a report quotes.
enum WriterLine : int {
  kClearWidths = 100,
  kCountColumnsToMeasure = 102,
  kStartColumnWidth = 104,
  kTestHeaderWidth = 106,
  kTakeHeaderWidth = 108,
  kCountRowsToMeasure = 110,
  kYieldWhileMeasuring = 112,
  kTestFirstColumn = 114,
  kTestItemWidth = 116,
  kTakeItemWidth = 118,
  kTestCellWidth = 120,
  kTakeCellWidth = 122,
  kAddColumnWidth = 126,
  kKeepColumnWidth = 128,
  kPrepareLine = 132,
  kMakeTextFiles = 134,
  kCreateFile = 136,
  kCountHeaderColumns = 138,
  kYieldWhileWritingHeader = 140,
  kTestHeaderFits = 142,
  kPadHeader = 144,
  kAppendWideHeader = 146,
  kWriteHeaderLine = 150,
  kCountRowsToWrite = 152,
  kYieldBetweenRows = 154,
  kClearLine = 156,
  kTestChecked = 158,
  kCountCells = 160,
  kYieldBetweenCells = 162,
  kReadCell = 164,
  kTestItemFits = 166,
  kPadItem = 168,
  kAppendWideItem = 170,
  kTestCellFits = 172,
  kPadCell = 174,
  kAppendWideCell = 176,
  kWriteRowLine = 180,
  kCloseFile = 184,
  kReleaseFile = 186,
  kReleaseTextFiles = 188,
};

// One save's working state, shared by its three passes.
class FixedWidthWrite {
 public:
  FixedWidthWrite(const RowListReader& list, const std::u16string& path, ExportServices& services)
      : list_(list),
        path_(path),
        services_(services),
        op_(services.messages, location::kWriteList) {}

  void Run() {
    MeasureColumns();
    WriteHeader();
    WriteCheckedRows();
    op_.Do(kCloseFile, [&] { Writer().Close(); });
    op_.Do(kReleaseFile, [&] { writer_.reset(); });
    op_.Do(kReleaseTextFiles, [&] { files_.reset(); });
  }

 private:
  // Once creation has failed there is nothing to write to: every use fails cleanly.
  TextFiles& Files() {
    if (!files_) throw ObjectNotSetFailure();
    return *files_;
  }
  TextFileWriter& Writer() {
    if (!writer_) throw ObjectNotSetFailure();
    return *writer_;
  }
  void Yield() { services_.pump.RunWaitingEvents(); }

  // Every column's width over its header and all rows, checked or not.
  void MeasureColumns() {
    op_.Do(kClearWidths, [&] { widths_.clear(); });
    int columnCount = 0;
    op_.Do(kCountColumnsToMeasure, [&] { columnCount = list_.ColumnCount(); });
    for (int c = 1; c <= columnCount; ++c) {
      int32_t running = 0;
      op_.Do(kStartColumnWidth, [&] { running = 0; });
      if (op_.If(kTestHeaderWidth, [&] { return Length(list_.ColumnTitle(c)) > running; })) {
        op_.Do(kTakeHeaderWidth, [&] { running = Length(list_.ColumnTitle(c)); });
      }
      int rowCount = 0;
      op_.Do(kCountRowsToMeasure, [&] { rowCount = list_.RowCount(); });
      for (int r = 1; r <= rowCount; ++r) {
        op_.Do(kYieldWhileMeasuring, [&] { Yield(); });
        MeasureCell(r, c, running);
      }
      op_.Do(kAddColumnWidth, [&] { widths_.push_back(0); });
      op_.Do(kKeepColumnWidth, [&] {
        if (widths_.empty()) throw SubscriptOutOfRangeFailure();
        widths_.back() = running;
      });
    }
  }

  void MeasureCell(int r, int c, int32_t& running) {
    if (op_.If(kTestFirstColumn, [&] { return c == 1; })) {
      if (op_.If(kTestItemWidth, [&] { return Length(list_.RowText(r)) > running; })) {
        op_.Do(kTakeItemWidth, [&] { running = Length(list_.RowText(r)); });
      }
    } else {
      if (op_.If(kTestCellWidth,
                 [&] { return Length(list_.SubItem(r, SubItemIndex(c))) > running; })) {
        op_.Do(kTakeCellWidth, [&] { running = Length(list_.SubItem(r, SubItemIndex(c))); });
      }
    }
  }

  // The file and the header line.
  void WriteHeader() {
    op_.Do(kPrepareLine, [&] {
      line_.clear();
      // One buffer for every line: room for the widest possible padded line.
      size_t capacity = widths_.size();
      for (int32_t width : widths_) capacity += static_cast<size_t>(width);
      line_.reserve(capacity);
    });
    op_.Do(kMakeTextFiles, [&] {
      if (!services_.makeTextFiles) throw ObjectNotSetFailure();
      files_ = services_.makeTextFiles();
    });
    op_.Do(kCreateFile, [&] { writer_ = Files().Create(path_, true); });
    int columnCount = 0;
    op_.Do(kCountHeaderColumns, [&] { columnCount = list_.ColumnCount(); });
    for (int c = 1; c <= columnCount; ++c) {
      op_.Do(kYieldWhileWritingHeader, [&] { Yield(); });
      if (op_.If(kTestHeaderFits,
                 [&] { return WidthOf(widths_, c) >= Length(list_.ColumnTitle(c)); })) {
        op_.Do(kPadHeader, [&] { AppendPadded(line_, list_.ColumnTitle(c), WidthOf(widths_, c)); });
      } else {
        op_.Do(kAppendWideHeader, [&] { AppendUnpadded(line_, list_.ColumnTitle(c)); });
      }
    }
    op_.Do(kWriteHeaderLine, [&] { Writer().WriteLine(line_); });
  }

  // One line per checked row.
  void WriteCheckedRows() {
    int rowCount = 0;
    op_.Do(kCountRowsToWrite, [&] { rowCount = list_.RowCount(); });
    for (int r = 1; r <= rowCount; ++r) {
      op_.Do(kYieldBetweenRows, [&] { Yield(); });
      op_.Do(kClearLine, [&] { line_.clear(); });
      if (op_.If(kTestChecked, [&] { return list_.Checked(r); })) WriteRow(r);
    }
  }

  void WriteRow(int r) {
    int cellCount = 0;
    op_.Do(kCountCells, [&] { cellCount = list_.ColumnCount(); });
    for (int c = 1; c <= cellCount; ++c) {
      op_.Do(kYieldBetweenCells, [&] { Yield(); });
      // Read once: nothing can change the list between the test and the append
      // (no yield comes between them), so the text is used where it lies.
      op_.Do(kReadCell, [&] {
        cell_ = {};
        cell_ = c == 1 ? list_.RowText(r) : list_.SubItem(r, SubItemIndex(c));
      });
      const bool firstColumn = c == 1;
      if (op_.If(firstColumn ? kTestItemFits : kTestCellFits,
                 [&] { return WidthOf(widths_, c) >= Length(cell_); })) {
        op_.Do(firstColumn ? kPadItem : kPadCell,
               [&] { AppendPadded(line_, cell_, WidthOf(widths_, c)); });
      } else {
        op_.Do(firstColumn ? kAppendWideItem : kAppendWideCell,
               [&] { AppendUnpadded(line_, cell_); });
      }
    }
    op_.Do(kWriteRowLine, [&] { Writer().WriteLine(line_); });
  }

  const RowListReader& list_;
  const std::u16string& path_;
  ExportServices& services_;
  ReportingOperation op_;
  std::vector<int32_t> widths_;
  std::u16string line_;
  std::u16string_view cell_;
  std::unique_ptr<TextFiles> files_;
  std::unique_ptr<TextFileWriter> writer_;
};

}  // namespace

void WriteFixedWidthList(const RowListReader& list, const std::u16string& path,
                         ExportServices& services) noexcept {
  FixedWidthWrite(list, path, services).Run();
}

}  // namespace brindlecap
