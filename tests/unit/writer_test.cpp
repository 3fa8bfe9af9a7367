#include <gtest/gtest.h>

#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "export/fixed_width_writer.h"
#include "shared/error_report.h"
#include "shared/runtime_failure.h"
#include "support/hook_pump.h"
#include "support/memory_text_file.h"
#include "support/recording_message_box.h"
#include "support/scripted_list.h"

namespace brindlecap {
namespace {

using testing::MemoryFileStore;
using testing::RecordingMessageBox;
using testing::ScriptedList;

using testing::HookPump;

const std::u16string kPath = u"C:\\out\\drives.txt";

class WriterTest : public ::testing::Test {
 protected:
  void AddColumns(std::initializer_list<std::u16string> headers) {
    for (const auto& header : headers) list.AddColumn(header);
  }
  int AddRow(std::vector<std::u16string> cells, bool checked) {
    const int row = list.AddRow(cells[0]);
    for (size_t i = 1; i < cells.size(); ++i) {
      list.SetSubItem(row, static_cast<int16_t>(i), cells[i]);
    }
    list.SetChecked(row, checked);
    return row;
  }
  void AddDriveColumns() {
    AddColumns({u"Drive", u"Type", u"File System", u"Total Space", u"Free Space", u"Used Space",
                u"Serial Number"});
  }
  void Save() { WriteFixedWidthList(list, kPath, services); }
  const std::string& File() { return store.files[kPath]; }

  std::vector<int> ReportedLines() const { return messages.LinesAt(location::kWriteList); }

  ScriptedList list;
  MemoryFileStore store;
  HookPump pump;
  RecordingMessageBox messages;
  ExportServices services{store.Factory(), pump, messages};
};

// --- Layout ---------------------------------------------------------------

TEST_F(WriterTest, TwoDriveExampleIsWrittenByteForByte) {
  AddDriveColumns();
  AddRow({u"C:\\ - [System]", u"Fixed", u"NTFS", u"465.76 GB", u"120.5 GB", u"345.26 GB",
          u"1234-ABCD"},
         true);
  AddRow({u"A:\\  - No Disk present", u"Floppy"}, false);

  Save();

  EXPECT_EQ(File(),
            "Drive                 \tType  \tFile System\tTotal Space\tFree Space\tUsed Space\t"
            "Serial Number\t\r\n"
            "C:\\ - [System]        \tFixed \tNTFS       \t465.76 GB  \t120.5 GB  \t345.26 GB \t"
            "1234-ABCD    \t\r\n");
  EXPECT_EQ(store.createCalls, 1);
  EXPECT_TRUE(store.lastOverwrite);
  EXPECT_EQ(store.closeCalls, 1);
  EXPECT_TRUE(messages.boxes.empty());
}

TEST_F(WriterTest, EmptyListGivesOnlyTheUnpaddedHeaderLine) {
  AddDriveColumns();
  Save();
  EXPECT_EQ(File(),
            "Drive\tType\tFile System\tTotal Space\tFree Space\tUsed Space\tSerial Number\t\r\n");
  EXPECT_TRUE(messages.boxes.empty());
}

TEST_F(WriterTest, UncheckedRowsStillWidenTheHeaderButAreNotWritten) {
  AddColumns({u"Drive", u"Type"});
  AddRow({u"A:\\  - No Disk present", u"Floppy"}, false);
  AddRow({u"B:\\", u"Removable"}, false);
  Save();
  EXPECT_EQ(File(), "Drive                 \tType     \t\r\n");
}

TEST_F(WriterTest, TheResultsAsShownAreWrittenInTheirShownOrder) {
  AddColumns({u"Drive", u"Type"});
  AddRow({u"C:\\", u"Fixed"}, true);
  AddRow({u"A:\\", u"Floppy"}, false);
  AddRow({u"D:\\", u"CD-ROM"}, true);
  list.SortBy({2, ColumnValue::kText, true});  // CD-ROM, Fixed, Floppy
  WriteFixedWidthList(ShownResults(list), kPath, services);
  EXPECT_EQ(File(),
            "Drive\tType  \t\r\n"
            "D:\\  \tCD-ROM\t\r\n"
            "C:\\  \tFixed \t\r\n");
}

TEST_F(WriterTest, HeaderThatIsTheLongestTextIsNotPaddedButShorterRowsAre) {
  AddColumns({u"Serial Number", u"X"});
  AddRow({u"1234-ABCD", u""}, true);
  AddRow({u"", u"long"}, true);
  Save();
  EXPECT_EQ(File(),
            "Serial Number\tX   \t\r\n"
            "1234-ABCD    \t    \t\r\n"
            "             \tlong\t\r\n");
}

TEST_F(WriterTest, WidthsCountUtf16UnitsAndTheFileIsAnsi) {
  AddColumns({u"N", u"Gr\u00f6\u00dfe"});
  // Five units (ten UTF-8 bytes); two surrogate pairs make four units.
  AddRow({u"\u00c4\u00d6\u00dc\u00df\u00e9", u"\u20ac1"}, true);
  AddRow({u"\U0001D11E\U0001D11E", u"\u0416"}, true);
  Save();
  EXPECT_EQ(File(),
            "N    \tGr\xf6\xdf"
            "e\t\r\n"
            "\xc4\xd6\xdc\xdf\xe9\t\x80"
            "1   \t\r\n"
            "???? \t?    \t\r\n");
}

TEST_F(WriterTest, YieldsOncePerCellThenPerColumnThenPerRowAndCheckedCell) {
  AddColumns({u"A", u"B", u"C"});
  AddRow({u"1"}, true);
  AddRow({u"2"}, false);
  AddRow({u"3"}, true);
  AddRow({u"4"}, false);
  Save();
  // Pass 1: 3 columns x 4 rows; pass 2: 3 columns; pass 3: 4 rows + 2 x 3 cells.
  EXPECT_EQ(pump.count, 12 + 3 + 4 + 6);
}

// --- The list changes during the save --------------------------------------

TEST_F(WriterTest, RowAppendedDuringTheFirstPassWidensOnlyLaterColumns) {
  AddColumns({u"Drive", u"Type", u"Serial"});
  AddRow({u"C:\\", u"Fixed", u"1"}, true);
  pump.hook = [&](int yield) {
    // The first yield measures column 1, whose row count is already read.
    if (yield == 1) {
      const int row = list.AddRow(u"Z:\\ - a much longer drive text");
      list.SetSubItem(row, 2, u"0123456789");
    }
  };
  Save();
  EXPECT_EQ(list.RowCount(), 2);
  EXPECT_EQ(File(),
            "Drive\tType \tSerial    \t\r\n"
            "C:\\  \tFixed\t1         \t\r\n");
  EXPECT_TRUE(messages.boxes.empty());
}

TEST_F(WriterTest, TextThatGrewAfterMeasuringIsWrittenUnpadded) {
  AddColumns({u"Drive", u"Type"});
  AddRow({u"C:\\", u"Fixed"}, true);
  AddRow({u"D:\\", u"CD-ROM"}, true);
  pump.hook = [&](int yield) {
    if (yield == 5) {  // the first yield of the header pass
      list.SetSubItem(2, 1, u"CD-ROM drive");
    }
  };
  Save();
  EXPECT_EQ(File(),
            "Drive\tType  \t\r\n"
            "C:\\  \tFixed \t\r\n"
            "D:\\  \tCD-ROM drive\t\r\n");
  EXPECT_TRUE(messages.boxes.empty());
}

TEST_F(WriterTest, RowsAppendedDuringTheLastPassAreNotVisited) {
  AddColumns({u"Drive"});
  AddRow({u"C:\\"}, true);
  pump.hook = [&](int yield) {
    if (yield == 3) {  // pass 3, row 1
      const int row = list.AddRow(u"E:\\");
      list.SetChecked(row, true);
    }
  };
  Save();
  EXPECT_EQ(File(), "Drive\t\r\nC:\\  \t\r\n");
}

// --- Failures ----------------------------------------------------------------

TEST_F(WriterTest, FileThatCannotBeCreatedIsReportedAtEveryLaterWrite) {
  AddColumns({u"Drive", u"Type"});
  AddRow({u"C:\\", u"Fixed"}, true);
  AddRow({u"A:\\", u"Floppy"}, false);
  AddRow({u"D:\\", u"CD-ROM"}, true);
  store.failCreate = true;

  Save();

  EXPECT_EQ(ReportedLines(), (std::vector<int>{136, 150, 180, 180, 184}));
  for (const auto& box : messages.boxes) {
    EXPECT_EQ(box.title, u"Application Error");
    EXPECT_EQ(box.icon, MessageBoxIcon::kWarning);
    EXPECT_NE(box.text.find(location::kWriteList), std::u16string::npos);
  }
  EXPECT_EQ(messages.boxes[0].text.rfind(u"Path not found\r\n", 0), 0u);
  EXPECT_EQ(messages.boxes[1].text.rfind(ObjectNotSetFailure().Description(), 0), 0u);
  EXPECT_TRUE(store.files.empty());
  EXPECT_EQ(store.writeCalls, 0);
  EXPECT_EQ(store.closeCalls, 0);
}

TEST_F(WriterTest, FailedWriteAndFailedCloseAreReportedAndTheOtherLinesStay) {
  AddColumns({u"Drive"});
  AddRow({u"C:\\"}, true);
  AddRow({u"D:\\"}, true);
  AddRow({u"E:\\"}, true);
  store.failAtWrite = 3;  // the line of D:
  store.failClose = true;

  Save();

  EXPECT_EQ(ReportedLines(), (std::vector<int>{180, 184}));
  EXPECT_EQ(messages.boxes[0].text.rfind(u"Disk full\r\n", 0), 0u);
  EXPECT_EQ(File(), "Drive\t\r\nC:\\  \t\r\nE:\\  \t\r\n");
}

TEST_F(WriterTest, UnreadableCheckMarkIsReportedAndTheRowIsWritten) {
  AddColumns({u"Drive"});
  AddRow({u"C:\\"}, false);
  AddRow({u"D:\\"}, false);
  list.FailCalls("Checked", {2});

  Save();

  EXPECT_EQ(ReportedLines(), std::vector<int>{158});
  EXPECT_EQ(File(), "Drive\t\r\nD:\\  \t\r\n");
}

TEST_F(WriterTest, ACellThatCannotBeReadIsReportedOnceAndWrittenEmpty) {
  AddColumns({u"Drive", u"Type"});
  AddRow({u"C:\\", u"Fixed"}, true);
  list.FailCalls("SubItem", {3});  // measured (two reads), then read for writing

  Save();

  EXPECT_EQ(ReportedLines(), std::vector<int>{164});
  EXPECT_EQ(File(), "Drive\tType \t\r\nC:\\  \t     \t\r\n");
}

// One failing step per row, over three columns and one checked row. The source
// is a list method, "yield", or the file store's "factory", "create", "write"
// or "close"; the calls that fail are counted from 1. The calls of the list in
// their order: measuring reads the column count, then per column its header
// text twice, the row count, the row's text twice (first column) or its cell
// (twice where the cell outgrows the header); the header line reads the count
// and per column the header twice; the row line reads the row count, the check
// mark, the column count and each cell once.
//
// Not in the table, as nothing in them can fail but the memory for a text or a
// width: 100 (clearing the widths), 104 (zeroing a width), 114 (comparing column
// numbers), 126 and 128 (keeping a width), 132 (sizing the line), 156 (clearing
// it), 170 and 176 (appending a cell already read), 186 and 188 (letting the
// file objects go).
struct WriterFault {
  const char* source;
  std::set<int> calls;
  std::vector<int> lines;
};

void PrintTo(const WriterFault& fault, std::ostream* out) {
  *out << fault.source;
  for (int call : fault.calls) *out << " " << call;
}

class WriterFaultTest : public WriterTest, public ::testing::WithParamInterface<WriterFault> {};

const WriterFault kWriterFaults[] = {
    // No measured widths: every width test and padded append fails, row by row.
    {"ColumnCount", {1}, {102, 142, 144, 142, 144, 142, 144, 166, 168, 172, 174, 172, 174}},
    {"ColumnTitle", {1}, {106}},
    {"ColumnTitle", {2}, {108}},
    {"RowCount", {1}, {110}},
    {"yield", {1}, {112}},
    {"RowText", {1}, {116}},
    {"RowText", {2}, {118}},
    {"SubItem", {1}, {120}},
    {"SubItem", {2}, {122}},
    // Without the file every later write and the close fail.
    {"factory", {}, {134, 136, 150, 180, 184}},
    {"create", {}, {136, 150, 180, 184}},
    {"ColumnCount", {2}, {138}},
    {"yield", {4}, {140}},
    {"ColumnTitle", {7}, {142}},
    {"ColumnTitle", {8}, {144}},
    // The serial column measured without its header is narrower than the header.
    {"ColumnTitle", {6, 12}, {108, 146}},
    {"write", {1}, {150}},
    {"RowCount", {4}, {152}},
    {"yield", {7}, {154}},
    {"Checked", {1}, {158}},
    {"ColumnCount", {3}, {160}},
    {"yield", {8}, {162}},
    {"RowText", {3}, {164}},
    {"SubItem", {4}, {164}},
    {"write", {2}, {180}},
    {"close", {}, {184}},
};

INSTANTIATE_TEST_SUITE_P(EveryStep, WriterFaultTest, ::testing::ValuesIn(kWriterFaults));

TEST_P(WriterFaultTest, IsReportedAtItsLineAndTheSaveGoesOn) {
  const WriterFault& fault = GetParam();
  AddColumns({u"Drive", u"Type", u"Serial Number"});
  AddRow({u"C:\\ - [System]", u"Fixed", u"1234-ABCD"}, true);
  const std::string source = fault.source;
  if (source == "yield") {
    pump.hook = [&](int yield) {
      if (fault.calls.count(yield) != 0) throw RuntimeFailure(18, u"User interrupt occurred");
    };
  } else if (source == "factory") {
    store.failFactory = true;
  } else if (source == "create") {
    store.failCreate = true;
  } else if (source == "write") {
    store.failAtWrite = *fault.calls.begin();
  } else if (source == "close") {
    store.failClose = true;
  } else {
    list.FailCalls(source, fault.calls);
  }

  Save();

  EXPECT_EQ(ReportedLines(), fault.lines);
  // A file once created is closed: the save went on to its end.
  EXPECT_EQ(store.closeCalls, static_cast<int>(store.files.count(kPath)));
}

}  // namespace
}  // namespace brindlecap
