#include "export/fixed_width_writer.h"

#include <cstdint>
#include <vector>

#include "shared/error_report.h"
#include "shared/runtime_failure.h"

namespace brindlecap {

namespace {

RuntimeFailure SubscriptOutOfRangeFailure() { return {9, u"Subscript out of range"}; }

int32_t Length(const std::u16string& text) {
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
void AppendPadded(std::u16string& line, const std::u16string& text, int32_t width) {
  const int32_t spaces = width - Length(text);
  if (spaces < 0) throw InvalidArgumentFailure();
  line.append(text).append(static_cast<size_t>(spaces), u' ').push_back(u'\t');
}

// Sub-item numbers are 16-bit: a column past that range cannot be addressed.
int16_t SubItemIndex(int column) {
  if (column - 1 > INT16_MAX) throw OverflowFailure();
  return static_cast<int16_t>(column - 1);
}

void AppendUnpadded(std::u16string& line, const std::u16string& text) {
  line.append(text).push_back(u'\t');
}

}  // namespace

void SaveListviewProperlySpacedWithoutProgressBar(const ListView& list, const std::u16string& path,
                                                  ExportServices& services) noexcept {
  ReportingOperation op(services.messages, location::kWriteList);
  std::vector<int32_t> widths;
  std::u16string line, cell;
  std::unique_ptr<FileSystemObject> fileSystem;
  std::unique_ptr<TextStream> stream;
  // Once creation has failed there is nothing to write to: every use fails cleanly.
  auto fileSystemObject = [&]() -> FileSystemObject& {
    if (!fileSystem) throw ObjectNotSetFailure();
    return *fileSystem;
  };
  auto textStream = [&]() -> TextStream& {
    if (!stream) throw ObjectNotSetFailure();
    return *stream;
  };

  // Pass 1: every column's width over its header and all rows, checked or not.
  op.Do(100, [&] { widths.clear(); });
  int columnCount = 0;
  op.Do(102, [&] { columnCount = list.ColumnHeadersCount(); });
  for (int c = 1; c <= columnCount; ++c) {
    int32_t running = 0;
    op.Do(104, [&] { running = 0; });
    if (op.If(106, [&] { return Length(list.ColumnHeaderText(c)) > running; })) {
      op.Do(108, [&] { running = Length(list.ColumnHeaderText(c)); });
    }
    int rowCount = 0;
    op.Do(110, [&] { rowCount = list.ListItemsCount(); });
    for (int r = 1; r <= rowCount; ++r) {
      op.Do(112, [&] { services.pump.DoEvents(); });
      if (op.If(114, [&] { return c == 1; })) {
        if (op.If(116, [&] { return Length(list.ListItemText(r)) > running; })) {
          op.Do(118, [&] { running = Length(list.ListItemText(r)); });
        }
      } else {
        if (op.If(120, [&] { return Length(list.SubItem(r, SubItemIndex(c))) > running; })) {
          op.Do(122, [&] { running = Length(list.SubItem(r, SubItemIndex(c))); });
        }
      }
    }
    op.Do(126, [&] { widths.push_back(0); });
    op.Do(128, [&] {
      if (widths.empty()) throw SubscriptOutOfRangeFailure();
      widths.back() = running;
    });
  }

  // Pass 2: the file and the header line.
  op.Do(132, [&] {
    line.clear();
    // One buffer for every line: room for the widest possible padded line.
    size_t capacity = widths.size();
    for (int32_t width : widths) capacity += static_cast<size_t>(width);
    line.reserve(capacity);
  });
  op.Do(134, [&] {
    if (!services.createFileSystemObject) throw ObjectNotSetFailure();
    fileSystem = services.createFileSystemObject();
  });
  op.Do(136, [&] { stream = fileSystemObject().CreateTextFile(path, true); });
  op.Do(138, [&] { columnCount = list.ColumnHeadersCount(); });
  for (int c = 1; c <= columnCount; ++c) {
    op.Do(140, [&] { services.pump.DoEvents(); });
    if (op.If(142, [&] { return WidthOf(widths, c) >= Length(list.ColumnHeaderText(c)); })) {
      op.Do(144, [&] { AppendPadded(line, list.ColumnHeaderText(c), WidthOf(widths, c)); });
    } else {
      op.Do(146, [&] { AppendUnpadded(line, list.ColumnHeaderText(c)); });
    }
  }
  op.Do(150, [&] { textStream().WriteLine(line); });

  // Pass 3: one line per checked row.
  int rowCount = 0;
  op.Do(152, [&] { rowCount = list.ListItemsCount(); });
  for (int r = 1; r <= rowCount; ++r) {
    op.Do(154, [&] { services.pump.DoEvents(); });
    op.Do(156, [&] { line.clear(); });
    if (op.If(158, [&] { return list.Checked(r); })) {
      int cellCount = 0;
      op.Do(160, [&] { cellCount = list.ColumnHeadersCount(); });
      for (int c = 1; c <= cellCount; ++c) {
        op.Do(162, [&] { services.pump.DoEvents(); });
        // Read once: nothing can change the list between the test and the append.
        op.Do(164, [&] {
          cell.clear();
          cell = c == 1 ? list.ListItemText(r) : list.SubItem(r, SubItemIndex(c));
        });
        const bool firstColumn = c == 1;
        if (op.If(firstColumn ? 166 : 172, [&] { return WidthOf(widths, c) >= Length(cell); })) {
          op.Do(firstColumn ? 168 : 174, [&] { AppendPadded(line, cell, WidthOf(widths, c)); });
        } else {
          op.Do(firstColumn ? 170 : 176, [&] { AppendUnpadded(line, cell); });
        }
      }
      op.Do(180, [&] { textStream().WriteLine(line); });
    }
  }
  op.Do(184, [&] { textStream().Close(); });
  op.Do(186, [&] { stream.reset(); });
  op.Do(188, [&] { fileSystem.reset(); });
}

}  // namespace brindlecap
