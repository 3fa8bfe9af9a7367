// The retrieval command over a scripted machine: the rows a run fills, in drive
// order, and a click during a run.
#include <gtest/gtest.h>

#include <ostream>
#include <tuple>
#include <vector>

#include "main_window/core/form_layout.h"
#include "retrieval/retrieval_command.h"
#include "shared/error_report.h"
#include "support/fake_kernel32.h"
#include "support/fake_system_text.h"
#include "support/held_workers.h"
#include "support/recording_message_box.h"
#include "support/scripted_list.h"
#include "unit/retrieval_fixture.h"

namespace brindlecap {
namespace {

namespace k = win32_constant;
using testing::kEmptyFloppy;
using testing::RetrievalTest;

using Row = std::vector<std::u16string>;

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
  for (int r = 0; r < 3; ++r) EXPECT_FALSE(list.Checked(r));
  const DriveFacts& empty = list.RowFacts(2);
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
                                      "FindFirstEntryA", "GetVolumeInformationW",
                                      "GetDiskFreeSpaceExW", "GetDriveTypeA"}));
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
  // Larger than a byte amount holds: no text, but no failure either.
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
  const DriveFacts& full = list.RowFacts(0);
  EXPECT_EQ(full.root, u"C:\\");
  EXPECT_TRUE(full.hasMedium);
  EXPECT_EQ(full.kindCode, k::kDriveFixed);
  EXPECT_EQ(full.totalBytes, 2048);
  EXPECT_EQ(full.freeBytes, 1024);
  EXPECT_EQ(full.usedBytes, 1024);
  EXPECT_EQ(full.serialNumber, 0x11112222u);
  EXPECT_EQ(full.usedPercent, 50.0f);
  EXPECT_FALSE(list.RowFacts(1).serialNumber);
  EXPECT_EQ(list.RowFacts(1).totalBytes, 1073741824);
  EXPECT_FALSE(list.RowFacts(2).totalBytes);
  EXPECT_FALSE(list.RowFacts(2).usedPercent);
  EXPECT_EQ(list.RowFacts(3).totalBytes, 1125899906842624ull);
  EXPECT_EQ(list.RowFacts(3).usedBytes, 1125899906841600ull);
}

TEST_F(RetrievalTest, AClickWhileARunIsUnderWayIsTurnedAway) {
  machine.AddDrive('C', k::kDriveFixed);
  machine.AddDrive('D', k::kDriveFixed);
  int reentries = 0;
  list.afterAdd = [&] {
    EXPECT_TRUE(command.Running());
    ++reentries;
    command.Run();
  };
  Run();
  EXPECT_EQ(reentries, 2);
  EXPECT_EQ(list.RowCount(), 2);  // the inner clicks added nothing
  EXPECT_FALSE(command.Running());
  // Once the run has ended, a click starts a new one.
  list.afterAdd = nullptr;
  Run();
  EXPECT_EQ(list.RowCount(), 4);
}

TEST_F(RetrievalTest, AMachineWithoutDrivesGivesNoRows) {
  machine.driveStrings = std::string(1, '\0');
  Run();
  EXPECT_EQ(list.RowCount(), 0);
  EXPECT_TRUE(boxes.boxes.empty());
}

}  // namespace
}  // namespace brindlecap
