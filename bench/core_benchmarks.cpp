// The portable core's hot paths, natively: the fixed-width writer over the
// results model (no window, no disk, events never wait) against its floor, the
// same bytes written through the same in-memory file in one go; and the size
// text of a byte count. The writer's figures are per save; items are rows, so
// the report shows the cost per row.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "drive_info/size_text.h"
#include "export/fixed_width_writer.h"
#include "results/result_columns.h"
#include "results/results_model.h"

namespace {

using namespace brindlecap;

class NoEvents : public EventPump {
 public:
  void RunWaitingEvents() override {}
};

class CountingMessageBox : public MessageBoxService {
 public:
  void Show(const std::u16string&, const std::u16string&, MessageBoxIcon) override { ++shown; }
  int shown = 0;
};

// The file's bytes as the ANSI text file would hold them (Latin-1 here, which
// is all the rows below use): each line converted into one growing buffer, as
// the program's text file does before it writes the buffer out.
class MemoryTextStream : public TextFileWriter {
 public:
  explicit MemoryTextStream(std::string& bytes) : bytes_(bytes) {}
  void WriteLine(const std::u16string& text) override {
    const size_t start = bytes_.size();
    bytes_.resize(start + text.size() + 2);
    char* out = &bytes_[start];
    for (char16_t c : text) *out++ = c < 0x100 ? static_cast<char>(c) : '?';
    out[0] = '\r';
    out[1] = '\n';
  }
  void WriteBytes(std::string_view bytes) override { bytes_.append(bytes); }
  void Close() override {}

 private:
  std::string& bytes_;
};

class MemoryFileSystemObject : public TextFiles {
 public:
  explicit MemoryFileSystemObject(std::string& bytes) : bytes_(bytes) {}
  std::unique_ptr<TextFileWriter> Create(const std::u16string&, bool) override {
    bytes_.clear();  // keeps the capacity: the figures are the writer's, not the allocator's
    return std::make_unique<MemoryTextStream>(bytes_);
  }

 private:
  std::string& bytes_;
};

std::u16string Ascii(const std::string& text) { return std::u16string(text.begin(), text.end()); }

// Rows as a retrieval fills them: root and label, kind, file system, three
// sizes and the serial number, varied from row to row.
std::array<std::u16string, 7> RealisticRow(std::mt19937& random) {
  static const char* const kLabels[] = {"System", "Data", "BACKUP 2021", "", "Photos", "USB STICK"};
  static const char* const kKinds[] = {"Fixed", "USB Drive", "CD-ROM", "Remote", "RAM Disk"};
  static const char* const kFileSystems[] = {"NTFS", "FAT32", "CDFS", "exFAT"};
  static const char* const kUnits[] = {" MB", " GB", " TB"};
  const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  const auto size = [&] {
    return std::to_string(1 + pick(999)) + "." + std::to_string(pick(100)) + kUnits[pick(3)];
  };
  char serial[10];
  std::snprintf(serial, sizeof serial, "%04X-%04X", pick(0x10000), pick(0x10000));
  const std::string root = std::string(1, static_cast<char>('A' + pick(26))) + ":\\";
  return {Ascii(root + " - [" + kLabels[pick(6)] + "]"),
          Ascii(kKinds[pick(5)]),
          Ascii(kFileSystems[pick(4)]),
          Ascii(size()),
          Ascii(size()),
          Ascii(size()),
          Ascii(serial)};
}

struct FilledList {
  ResultsModel list;
  size_t expectedBytes = 0;  // the header line and every row, padded
};

FilledList MakeCheckedList(int rows) {
  FilledList filled;
  std::array<size_t, 7> widths{};
  for (size_t c = 0; c < kResultColumns.size(); ++c) {
    const std::u16string header(kResultColumns[c].header);
    filled.list.AddColumn(header);
    widths[c] = header.size();
  }
  std::mt19937 random(20210831);
  for (int r = 0; r < rows; ++r) {
    const auto cells = RealisticRow(random);
    const int row = filled.list.AddRow(cells[0]);
    for (int c = 1; c < 7; ++c) filled.list.SetCell(row, c, cells[static_cast<size_t>(c)]);
    filled.list.SetChecked(row, true);
    for (size_t c = 0; c < 7; ++c) widths[c] = std::max(widths[c], cells[c].size());
  }
  size_t lineBytes = 2;                                // CR LF
  for (size_t width : widths) lineBytes += width + 1;  // the cell, its padding and a tab
  filled.expectedBytes = lineBytes * static_cast<size_t>(rows + 1);
  return filled;
}

ExportServices MemoryExport(std::string& bytes, EventPump& pump, MessageBoxService& messages) {
  return ExportServices{
      [&bytes] { return std::unique_ptr<TextFiles>(new MemoryFileSystemObject(bytes)); }, pump,
      messages};
}

void BM_WriterCheckedRows(benchmark::State& state) {
  const int rows = static_cast<int>(state.range(0));
  FilledList filled = MakeCheckedList(rows);
  std::string bytes;
  bytes.reserve(filled.expectedBytes);
  NoEvents pump;
  CountingMessageBox messages;
  ExportServices services = MemoryExport(bytes, pump, messages);

  for (auto _ : state) {
    WriteFixedWidthList(filled.list, u"C:\\drives.txt", services);
    benchmark::DoNotOptimize(bytes.data());
  }
  if (messages.shown != 0) state.SkipWithError("the writer reported a failure");
  if (bytes.size() != filled.expectedBytes) state.SkipWithError("the file has the wrong size");
  state.SetItemsProcessed(state.iterations() * rows);
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
  state.counters["file_bytes"] = static_cast<double>(bytes.size());
}
BENCHMARK(BM_WriterCheckedRows)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// The writer's floor: the bytes of the writer's file, ready made, written with
// one buffered write through the same in-memory file (created, one line holding
// every line, closed). What the writer spends above this is its own: reading
// the model, measuring the columns, padding, yielding, one write per line.
void BM_WriterFloorOneWrite(benchmark::State& state) {
  const int rows = static_cast<int>(state.range(0));
  FilledList filled = MakeCheckedList(rows);
  NoEvents pump;
  CountingMessageBox messages;
  std::string written;
  ExportServices writer = MemoryExport(written, pump, messages);
  WriteFixedWidthList(filled.list, u"C:\\drives.txt", writer);  // untimed: the bytes to write
  if (messages.shown != 0 || written.size() != filled.expectedBytes || written.size() < 2) {
    state.SkipWithError("the writer's file is not right");
    return;
  }
  // The whole file as one line; the stream adds the last CR LF itself.
  std::u16string text(written.size() - 2, u'\0');
  for (size_t i = 0; i + 2 < written.size(); ++i) {
    text[i] = static_cast<char16_t>(static_cast<unsigned char>(written[i]));
  }

  std::string bytes;
  bytes.reserve(written.size());
  for (auto _ : state) {
    const std::unique_ptr<TextFiles> files(new MemoryFileSystemObject(bytes));
    const std::unique_ptr<TextFileWriter> stream = files->Create(u"C:\\drives.txt", true);
    stream->WriteLine(text);
    stream->Close();
    benchmark::DoNotOptimize(bytes.data());
  }
  if (bytes != written) state.SkipWithError("the floor wrote other bytes than the writer");
  state.SetItemsProcessed(state.iterations() * rows);
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
  state.counters["file_bytes"] = static_cast<double>(bytes.size());
}
BENCHMARK(BM_WriterFloorOneWrite)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);

// Passes every call on to the list and counts it: the writer's reads per row,
// which a list of the system's (one window message or more per read) pays for.
class CountingListView : public RowListReader {
 public:
  explicit CountingListView(const RowListReader& list) : list_(list) {}
  int ColumnCount() const override {
    ++counts;
    return list_.ColumnCount();
  }
  std::u16string_view ColumnTitle(int column) const override {
    ++counts;
    return list_.ColumnTitle(column);
  }
  int RowCount() const override {
    ++counts;
    return list_.RowCount();
  }
  std::u16string_view Cell(int row, int column) const override {
    ++counts;
    ++textReads;
    return list_.Cell(row, column);
  }
  bool Checked(int row) const override {
    ++counts;
    return list_.Checked(row);
  }

  mutable long counts = 0;     // every read
  mutable long textReads = 0;  // cell texts

 private:
  const RowListReader& list_;
};

class CountingEvents : public EventPump {
 public:
  void RunWaitingEvents() override { ++yields; }
  long yields = 0;
};

// Not a timing: how many reads and yields one save makes per checked row.
void BM_WriterCallsPerRow(benchmark::State& state) {
  const int rows = static_cast<int>(state.range(0));
  FilledList filled = MakeCheckedList(rows);
  std::string bytes;
  CountingEvents pump;
  CountingMessageBox messages;
  ExportServices services = MemoryExport(bytes, pump, messages);
  CountingListView counted(filled.list);
  for (auto _ : state) {
    WriteFixedWidthList(counted, u"C:\\drives.txt", services);
  }
  if (messages.shown != 0 || bytes.size() != filled.expectedBytes) {
    state.SkipWithError("the save went wrong");
  }
  const double perRow = static_cast<double>(state.iterations()) * rows;
  state.counters["yields_per_row"] = static_cast<double>(pump.yields) / perRow;
  state.counters["list_reads_per_row"] = static_cast<double>(counted.counts) / perRow;
  state.counters["text_reads_per_row"] = static_cast<double>(counted.textReads) / perRow;
}
BENCHMARK(BM_WriterCallsPerRow)->Arg(1000)->Iterations(1)->Unit(benchmark::kMillisecond);

class PointLocale : public LocaleInfo {
 public:
  std::u16string DecimalSeparator() const override { return u"."; }
};

// Byte counts spread evenly over the magnitudes from 1 byte to 64 TB.
std::vector<ByteAmount> SpreadOfSizes(int count) {
  std::mt19937_64 random(465760);
  std::uniform_real_distribution<double> exponent(0.0, 46.0);
  std::vector<ByteAmount> sizes;
  for (int i = 0; i < count; ++i) {
    sizes.push_back(ByteAmount::FromBytes(static_cast<uint64_t>(std::exp2(exponent(random)))));
  }
  return sizes;
}

void BM_SizeTextSpread(benchmark::State& state) {
  PointLocale locale;
  const std::vector<ByteAmount> sizes = SpreadOfSizes(4096);
  const int16_t roundBy = 2;
  size_t next = 0, characters = 0;
  for (auto _ : state) {
    std::u16string text = SizeText(sizes[next], roundBy, locale);
    characters += text.size();
    benchmark::DoNotOptimize(text);
    next = (next + 1) % sizes.size();
  }
  if (characters == 0) state.SkipWithError("no size text was produced");
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SizeTextSpread);

// One unit at a time (shift 0 bytes, 10 KB, 20 MB, 30 GB, 40 TB), with a fraction to round.
void BM_SizeTextByUnit(benchmark::State& state) {
  PointLocale locale;
  const ByteAmount size = ByteAmount::FromBytes((uint64_t{1000} << state.range(0)) / 3 + 7);
  const int16_t roundBy = 2;
  for (auto _ : state) {
    std::u16string text = SizeText(size, roundBy, locale);
    benchmark::DoNotOptimize(text);
  }
  const std::u16string label = SizeText(size, roundBy, locale);
  state.SetLabel(std::string(label.begin(), label.end()));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SizeTextByUnit)->DenseRange(0, 40, 10);

}  // namespace

BENCHMARK_MAIN();
