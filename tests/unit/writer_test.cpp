#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "export/fixed_width_writer.h"
#include "results/results_model.h"
#include "shared/error_report.h"
#include "shared/runtime_failure.h"
#include "support/hook_pump.h"
#include "support/memory_text_file.h"
#include "support/recording_message_box.h"

namespace brindlecap {
namespace {

using testing::MemoryFileStore;
using testing::RecordedBox;
using testing::RecordingMessageBox;

using testing::HookPump;

const std::u16string kPath = u"C:\\out\\drives.txt";

class WriterTest : public ::testing::Test {
 protected:
  void AddColumns(std::initializer_list<std::u16string> headers) {
    for (const auto& header : headers) list.AddColumn(header);
  }
  int AddRow(std::vector<std::u16string> cells, bool checked) {
    const int row = list.AddRow(cells[0]);
    for (size_t i = 1; i < cells.size(); ++i) list.SetCell(row, static_cast<int>(i), cells[i]);
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

  ResultsModel list;
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
  store.files[kPath] = "an older list";

  Save();

  EXPECT_EQ(File(),
            "Drive                 \tType  \tFile System\tTotal Space\tFree Space\tUsed Space\t"
            "Serial Number\t\r\n"
            "C:\\ - [System]        \tFixed \tNTFS       \t465.76 GB  \t120.5 GB  \t345.26 GB \t"
            "1234-ABCD    \t\r\n");
  EXPECT_TRUE(store.open.empty());
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
  list.SortBy({1, ColumnValue::kText, true});  // CD-ROM, Fixed, Floppy
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

// --- The list changes during the save --------------------------------------

TEST_F(WriterTest, TextThatGrewAfterMeasuringIsWrittenUnpadded) {
  AddColumns({u"Drive", u"Type"});
  AddRow({u"C:\\", u"Fixed"}, true);
  AddRow({u"D:\\", u"CD-ROM"}, true);
  pump.hook = [&] {
    if (store.files.count(kPath) != 0) list.SetCell(1, 1, u"CD-ROM drive");
  };
  Save();
  EXPECT_EQ(File(),
            "Drive\tType  \t\r\n"
            "C:\\  \tFixed \t\r\n"
            "D:\\  \tCD-ROM drive\t\r\n");
  EXPECT_TRUE(messages.boxes.empty());
}

TEST_F(WriterTest, RowsAddedOnceTheFileIsBeingWrittenAreNotWritten) {
  AddColumns({u"Drive"});
  AddRow({u"C:\\"}, true);
  pump.hook = [&] {
    if (store.files.count(kPath) != 0 && list.RowCount() == 1) {
      list.SetChecked(list.AddRow(u"E:\\"), true);
    }
  };
  Save();
  EXPECT_EQ(File(), "Drive\t\r\nC:\\  \t\r\n");
}

// --- Failures ----------------------------------------------------------------

// Where writing can fail, over a list of two ticked rows around an unticked one.
// Without a file every later write and the close fail as well, each reported.
struct WriterFault {
  const char* source;  // the file store's "factory", "create", "write" (the n-th) or "close"
  int write;
  std::vector<int> lines;
  std::u16string firstText;
  std::string file;  // what the file holds afterwards; "-" for no file
};

void PrintTo(const WriterFault& fault, std::ostream* out) {
  *out << fault.source << " " << fault.write;
}

class WriterFaultTest : public WriterTest, public ::testing::WithParamInterface<WriterFault> {};

const std::string kHeader = "Drive\tType  \t\r\n";
const std::string kRowC = "C:\\  \tFixed \t\r\n";
const std::string kRowD = "D:\\  \tCD-ROM\t\r\n";

const WriterFault kWriterFaults[] = {
    {"factory", 0, {134, 136, 150, 180, 180, 184}, u"ActiveX component can't create object", "-"},
    {"create", 0, {136, 150, 180, 180, 184}, u"Path not found", "-"},
    {"write", 1, {150}, u"Disk full", kRowC + kRowD},
    {"write", 3, {180}, u"Disk full", kHeader + kRowC},
    {"close", 0, {184}, u"Device I/O error", kHeader + kRowC + kRowD},
};

INSTANTIATE_TEST_SUITE_P(EveryFailurePoint, WriterFaultTest, ::testing::ValuesIn(kWriterFaults));

TEST_P(WriterFaultTest, IsReportedAtItsLineAndTheSaveGoesOn) {
  const WriterFault& fault = GetParam();
  AddColumns({u"Drive", u"Type"});
  AddRow({u"C:\\", u"Fixed"}, true);
  AddRow({u"A:\\", u"Floppy"}, false);
  AddRow({u"D:\\", u"CD-ROM"}, true);
  const std::string source = fault.source;
  store.failFactory = source == "factory";
  store.failCreate = source == "create";
  store.failAtWrite = fault.write;
  store.failClose = source == "close";

  Save();

  EXPECT_EQ(ReportedLines(), fault.lines);
  for (size_t i = 0; i < messages.boxes.size(); ++i) {
    const RecordedBox& box = messages.boxes[i];
    EXPECT_EQ(box.title, u"Application Error");
    EXPECT_EQ(box.icon, MessageBoxIcon::kWarning);
    const std::u16string text = i == 0 ? fault.firstText : ObjectNotSetFailure().Description();
    EXPECT_EQ(box.text.rfind(text + u"\r\n" + std::u16string(location::kWriteList), 0), 0u) << i;
  }
  if (fault.file == "-") {
    EXPECT_TRUE(store.files.empty());
  } else {
    EXPECT_EQ(File(), fault.file);
  }
}

}  // namespace
}  // namespace brindlecap
