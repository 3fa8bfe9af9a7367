#include "export/fixed_width_writer.h"

#include <algorithm>
#include <vector>

#include "shared/error_report.h"
#include "shared/runtime_failure.h"

namespace brindlecap {

namespace {

// Where writing the list can fail, and the line a report quotes for each.
enum WriterLine : int {
  kMeasureColumns = 132,  // the memory for the widths and the line
  kMakeTextFiles = 134,
  kCreateFile = 136,
  kWriteHeaderLine = 150,
  kWriteRowLine = 180,  // each ticked row's
  kCloseFile = 184,
};

// The text, the spaces up to the width and a tab. A text that grew past its
// column's width while the file was written goes unpadded.
void AppendCell(std::u16string& line, std::u16string_view text, size_t width) {
  line.append(text);
  if (text.size() < width) line.append(width - text.size(), u' ');
  line.push_back(u'\t');
}

class FixedWidthWrite {
 public:
  FixedWidthWrite(const RowListReader& list, const std::u16string& path, ExportServices& services)
      : list_(list),
        path_(path),
        services_(services),
        op_(services.messages, location::kWriteList) {}

  void Run() {
    op_.Do(kMeasureColumns, [&] { MeasureColumns(); });
    op_.Do(kMakeTextFiles, [&] { files_ = services_.makeTextFiles(); });
    op_.Do(kCreateFile, [&] { writer_ = Files().Create(path_, true); });
    op_.Do(kWriteHeaderLine, [&] { Writer().WriteLine(HeaderLine()); });
    const int rowCount = list_.RowCount();
    for (int row = 0; row < rowCount; ++row) {
      Yield();
      if (!list_.Checked(row)) continue;
      op_.Do(kWriteRowLine, [&] { Writer().WriteLine(RowLine(row)); });
    }
    op_.Do(kCloseFile, [&] { Writer().Close(); });
  }

 private:
  // Once creation has failed there is nothing to write to: every use fails as
  // the user is told it did.
  TextFiles& Files() {
    if (!files_) throw ObjectNotSetFailure();
    return *files_;
  }
  TextFileWriter& Writer() {
    if (!writer_) throw ObjectNotSetFailure();
    return *writer_;
  }
  void Yield() { services_.pump.RunWaitingEvents(); }

  // Zero for a column measured after the widths were (none, if they could not be).
  size_t WidthOf(int column) const {
    return static_cast<size_t>(column) < widths_.size() ? widths_[static_cast<size_t>(column)] : 0;
  }

  // Each column's width is its longest text: the header's or any row's, ticked or not.
  void MeasureColumns() {
    const int columnCount = list_.ColumnCount();
    widths_.assign(static_cast<size_t>(columnCount), 0);
    size_t lineLength = 0;
    for (int column = 0; column < columnCount; ++column) {
      size_t width = list_.ColumnTitle(column).size();
      const int rowCount = list_.RowCount();
      for (int row = 0; row < rowCount; ++row) {
        Yield();
        width = std::max(width, list_.Cell(row, column).size());
      }
      widths_[static_cast<size_t>(column)] = width;
      lineLength += width + 1;
    }
    line_.reserve(lineLength);
  }

  const std::u16string& HeaderLine() {
    line_.clear();
    const int columnCount = list_.ColumnCount();
    for (int column = 0; column < columnCount; ++column) {
      AppendCell(line_, list_.ColumnTitle(column), WidthOf(column));
    }
    return line_;
  }

  const std::u16string& RowLine(int row) {
    line_.clear();
    const int columnCount = list_.ColumnCount();
    for (int column = 0; column < columnCount; ++column) {
      AppendCell(line_, list_.Cell(row, column), WidthOf(column));
    }
    return line_;
  }

  const RowListReader& list_;
  const std::u16string& path_;
  ExportServices& services_;
  ReportingOperation op_;
  std::vector<size_t> widths_;
  std::u16string line_;  // one buffer for every line, as long as the longest
  std::unique_ptr<TextFiles> files_;
  std::unique_ptr<TextFileWriter> writer_;
};

}  // namespace

void WriteFixedWidthList(const RowListReader& list, const std::u16string& path,
                         ExportServices& services) noexcept {
  FixedWidthWrite(list, path, services).Run();
}

}  // namespace brindlecap
