#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "fake_kernel32.h"
#include "fake_system_text.h"
#include "main_window/core/form_layout.h"
#include "main_window/core/results_model.h"
#include "recording_message_box.h"
#include "retrieval/retrieval_command.h"
#include "shared/error_report.h"

namespace brindlecap {
namespace {

using testing::FakeCodePage;
using testing::FakeKernel32;
using testing::FakeLocale;
using testing::RecordingMessageBox;
namespace k = win32_constant;

using Row = std::vector<std::u16string>;

class RetrievalTest : public ::testing::Test {
 protected:
  RetrievalTest() {
    for (const auto& column : form_layout::kResultColumns) {
      list.ColumnHeadersAdd(std::u16string(column.header));
    }
  }

  void Run() { command.Run(); }

  std::vector<Row> Rows() const {
    std::vector<Row> rows;
    for (int r = 1; r <= list.ListItemsCount(); ++r) {
      Row row{std::u16string(list.ListItemText(r))};
      for (int16_t c = 1; c <= 6; ++c) row.emplace_back(list.SubItem(r, c));
      rows.push_back(row);
    }
    return rows;
  }

  FakeKernel32 machine;
  FakeCodePage codePage;
  FakeLocale locale;
  RecordingMessageBox boxes;
  ResultsModel list;
  RetrievalCommand command{list, DriveSystem{machine, codePage, locale, boxes}};
};

const Row kEmptyFloppy{u"A:\\  - No Disk present", u"Floppy", u"", u"", u"", u"", u""};

TEST_F(RetrievalTest, FillsFullRowsForDrivesWithAMediumAndShortRowsForTheOthers) {
  machine.AddDrive('A', k::kDriveRemovable).NotReady();
  machine.AddDrive('C', k::kDriveFixed)
      .Label("System")
      .Serial(0x1234ABCD)
      .Space(500107862016, 129385598976);
  machine.AddDrive('D', k::kDriveCdrom).NotReady().DeviceType(k::kFileDeviceDvd);
  Run();
  EXPECT_EQ(Rows(), (std::vector<Row>{
                        kEmptyFloppy,
                        {u"C:\\ - [System]", u"Fixed", u"NTFS", u"465.76 GB", u"120.5 GB",
                         u"345.26 GB", u"1234-ABCD"},
                        {u"D:\\  - No Disk present", u"DVD-ROM", u"", u"", u"", u"", u""},
                    }));
  EXPECT_TRUE(boxes.boxes.empty());
  EXPECT_FALSE(command.Running());
  for (int r = 1; r <= 3; ++r) EXPECT_FALSE(list.Checked(r));
  const DriveFacts& empty = list.RowFacts(3);
  EXPECT_EQ(empty.root, u"D:\\");
  EXPECT_FALSE(empty.hasMedium);
  EXPECT_EQ(empty.kindCode, k::kDriveCdrom);
  EXPECT_FALSE(empty.totalBytes);
}

TEST_F(RetrievalTest, AsksEachDriveInTheOrderOfTheRows) {
  machine.AddDrive('A', k::kDriveRemovable).NotReady();
  machine.AddDrive('C', k::kDriveFixed);
  Run();
  std::vector<std::string> calls;
  for (const auto& name : machine.CallNames()) {
    if (name != "GetLastError") calls.push_back(name);
  }
  EXPECT_EQ(calls,
            (std::vector<std::string>{"GetLogicalDriveStringsA", "FindFirstEntryA", "GetDriveTypeA",
                                      "FindFirstEntryA", "GetVolumeInformationA",
                                      "GetDiskFreeSpaceExA", "GetDriveTypeA"}));
}

TEST_F(RetrievalTest, ASecondRunAppendsEveryDriveAgainAfterTheFirst) {
  machine.AddDrive('A', k::kDriveRemovable).NotReady();
  machine.AddDrive('C', k::kDriveFixed).Label("System");
  Run();
  const std::vector<Row> first = Rows();
  Run();
  std::vector<Row> twice = first;
  twice.insert(twice.end(), first.begin(), first.end());
  EXPECT_EQ(Rows(), twice);
}

TEST_F(RetrievalTest, UnlabelledVolumesEmptyRootsAndSerialZero) {
  machine.AddDrive('C', k::kDriveFixed).Serial(0).Space(1536, 512);
  machine.AddDrive('E', k::kDriveRemovable).EmptyRoot().Label("STICK").Serial(1).Space(0, 0);
  Run();
  EXPECT_EQ(Rows(),
            (std::vector<Row>{
                {u"C:\\ - []", u"Fixed", u"NTFS", u"1.5 KB", u"512 Bytes", u"1 KB", u"No SN"},
                // An empty volume is still a drive with a medium; its total of 0 shows.
                {u"E:\\ - [STICK]", u"USB Drive", u"NTFS", u"0 Bytes", u"0 Bytes", u"0 Bytes",
                 u"0000-0001"},
            }));
}

TEST_F(RetrievalTest, AFailedQueryLeavesItsCellsEmptyAndTheNeighboursRight) {
  machine.AddDrive('C', k::kDriveFixed).Label("System").Serial(0x11112222).Space(2048, 1024);
  machine.AddDrive('F', k::kDriveFixed).Label("Broken").Serial(0x33334444).FailVolume(1117);
  machine.AddDrive('G', k::kDriveFixed).Label("NoSpace").Serial(0x55556666).FailSpace(21);
  // Larger than the currency layout holds: the amount is not produced.
  machine.AddDrive('H', k::kDriveRemote).Label("Cloud").Space(1125899906842624ull, 1024);
  machine.AddDrive('I', k::kDriveFixed).Label("Last").Serial(0x77778888).Space(4096, 2048);
  Run();
  EXPECT_EQ(Rows(),
            (std::vector<Row>{
                {u"C:\\ - [System]", u"Fixed", u"NTFS", u"2 KB", u"1 KB", u"1 KB", u"1111-2222"},
                {u"F:\\ - []", u"Fixed", u"", u"1 GB", u"512 MB", u"512 MB", u""},
                {u"G:\\ - [NoSpace]", u"Fixed", u"NTFS", u"", u"", u"", u"5555-6666"},
                {u"H:\\ - [Cloud]", u"Remote", u"NTFS", u"", u"1 KB", u"", u"No SN"},
                {u"I:\\ - [Last]", u"Fixed", u"NTFS", u"4 KB", u"2 KB", u"2 KB", u"7777-8888"},
            }));
  EXPECT_TRUE(boxes.boxes.empty());

  // The facts behind the texts: exact amounts, and nothing where nothing was produced.
  const DriveFacts& full = list.RowFacts(1);
  EXPECT_EQ(full.root, u"C:\\");
  EXPECT_TRUE(full.hasMedium);
  EXPECT_EQ(full.kindCode, k::kDriveFixed);
  EXPECT_EQ(full.totalBytes, 2048);
  EXPECT_EQ(full.freeBytes, 1024);
  EXPECT_EQ(full.usedBytes, 1024);
  EXPECT_EQ(full.serialNumber, 0x11112222u);
  EXPECT_EQ(full.usedPercent, 50.0f);
  EXPECT_FALSE(list.RowFacts(2).serialNumber);
  EXPECT_EQ(list.RowFacts(2).totalBytes, 1073741824);
  EXPECT_FALSE(list.RowFacts(3).totalBytes);
  EXPECT_FALSE(list.RowFacts(3).usedPercent);
  EXPECT_FALSE(list.RowFacts(4).totalBytes);
  EXPECT_EQ(list.RowFacts(4).freeBytes, 1024);
  EXPECT_FALSE(list.RowFacts(4).usedPercent);
}

TEST_F(RetrievalTest, AFailureWhileFillingARowIsReportedAtItsLineAndTheRunGoesOn) {
  machine.AddDrive('A', k::kDriveRemovable).NotReady();
  machine.AddDrive('C', k::kDriveFixed).Label("System");
  machine.ThrowOn("GetDriveTypeA", RuntimeFailure(51, u"Internal error"));
  Run();
  ASSERT_EQ(boxes.boxes.size(), 2u);
  EXPECT_EQ(boxes.boxes[0].text,
            ComposeApplicationErrorText(u"Internal error", location::kStartRetrieving, 140));
  EXPECT_EQ(boxes.boxes[1].text,
            ComposeApplicationErrorText(u"Internal error", location::kStartRetrieving, 120));
  const std::vector<Row> rows = Rows();
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0][1], u"");
  EXPECT_EQ(rows[1][0], u"C:\\ - [System]");
  EXPECT_EQ(rows[1][2], u"NTFS");  // the steps after the failed one still ran
  EXPECT_FALSE(command.Running());
}

// A list that runs a hook when a row is added: the re-entry a click would cause.
class HookedList : public ResultsModel {
 public:
  int ListItemsAdd(const std::u16string& text) override {
    const int row = ResultsModel::ListItemsAdd(text);
    if (onAdd) onAdd();
    return row;
  }
  std::function<void()> onAdd;
};

TEST(RetrievalReentry, AClickWhileARunIsUnderWayIsTurnedAway) {
  FakeKernel32 machine;
  machine.AddDrive('C', k::kDriveFixed);
  machine.AddDrive('D', k::kDriveFixed);
  FakeCodePage codePage;
  FakeLocale locale;
  RecordingMessageBox boxes;
  HookedList list;
  for (const auto& column : form_layout::kResultColumns) {
    list.ColumnHeadersAdd(std::u16string(column.header));
  }
  RetrievalCommand command(list, DriveSystem{machine, codePage, locale, boxes});
  int reentries = 0;
  list.onAdd = [&] {
    EXPECT_TRUE(command.Running());
    ++reentries;
    command.Run();
  };
  command.Run();
  EXPECT_EQ(reentries, 2);
  EXPECT_EQ(list.ListItemsCount(), 2);  // the inner clicks added nothing
  EXPECT_FALSE(command.Running());
  // Once the run has ended, a click starts a new one.
  list.onAdd = nullptr;
  command.Run();
  EXPECT_EQ(list.ListItemsCount(), 4);
}

TEST_F(RetrievalTest, AMachineWithoutDrivesGivesNoRows) {
  machine.driveStrings = std::string(1, '\0');
  Run();
  EXPECT_EQ(list.ListItemsCount(), 0);
  EXPECT_TRUE(boxes.boxes.empty());
}

}  // namespace
}  // namespace brindlecap
