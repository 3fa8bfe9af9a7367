// The retrieval command over a scripted machine: a failing step reported at its
// line, rows and reports in drive order whenever drives answer, and the deadline.
#include <gtest/gtest.h>

#include <optional>
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

// Where a retrieval can fail, one case a row: every call of a kernel32 function
// fails, or the list finds no memory for a drive's row or one of its cells. A
// machine with an empty floppy drive (short row) and a fixed disk (full row). 112,
// 114 and 116 report only what a drive's steps met: the drive object answers every
// failed query with "no medium" or a status.
struct RetrievalFault {
  const char* kernel32Call;
  char16_t refusedDrive;
  std::optional<ResultColumn> refusedCell;  // none: the row itself
  std::vector<int> lines;
  std::vector<Row> rows;  // the list after the run
};

void PrintTo(const RetrievalFault& fault, std::ostream* out) {
  *out << fault.kernel32Call;
  if (fault.refusedDrive == u'\0') return;
  *out << static_cast<char>(fault.refusedDrive) << ": ";
  if (!fault.refusedCell) *out << "row";
  if (fault.refusedCell) {
    for (char16_t c : kResultColumns[static_cast<size_t>(IndexOf(*fault.refusedCell))].header) {
      *out << static_cast<char>(c);
    }
  }
}

// Each fault twice: with every drive answering at once, and with the drives
// answering in reverse order, which must not change what the user sees.
using FaultAndOrder = std::tuple<RetrievalFault, bool>;

void PrintTo(const FaultAndOrder& param, std::ostream* out) {
  PrintTo(std::get<0>(param), out);
  *out << (std::get<1>(param) ? " reversed" : "");
}

class RetrievalFaultTest : public RetrievalTest,
                           public ::testing::WithParamInterface<FaultAndOrder> {};

const Row kRowA{u"A:\\  - No Disk present", u"Floppy", u"", u"", u"", u"", u""};
const Row kRowC{u"C:\\ - [System]", u"Fixed", u"NTFS", u"1 GB", u"512 MB", u"512 MB", u"1234-ABCD"};

// The row as shown when the list could not take the column's cell.
Row Without(Row row, ResultColumn column) {
  row[static_cast<size_t>(IndexOf(column))].clear();
  return row;
}

using C = ResultColumn;
const RetrievalFault kRetrievalFaults[] = {
    {"GetLogicalDriveStringsA", u'\0', {}, {108}, {}},
    {"GetDriveTypeA", u'\0', {}, {140, 120}, {Without(kRowA, C::kType), Without(kRowC, C::kType)}},
    // A row that could not be added leaves the drive's later cells nowhere to go.
    {"", u'A', {}, {138, 140}, {kRowC}},
    {"", u'C', {}, {118, 120, 122, 124, 126, 128, 136}, {kRowA}},
    {"", u'A', C::kType, {140}, {Without(kRowA, C::kType), kRowC}},
    {"", u'C', C::kType, {120}, {kRowA, Without(kRowC, C::kType)}},
    {"", u'C', C::kFileSystem, {122}, {kRowA, Without(kRowC, C::kFileSystem)}},
    {"", u'C', C::kTotalSpace, {124}, {kRowA, Without(kRowC, C::kTotalSpace)}},
    {"", u'C', C::kFreeSpace, {126}, {kRowA, Without(kRowC, C::kFreeSpace)}},
    {"", u'C', C::kUsedSpace, {128}, {kRowA, Without(kRowC, C::kUsedSpace)}},
    {"", u'C', C::kSerialNumber, {136}, {kRowA, Without(kRowC, C::kSerialNumber)}},
};

INSTANTIATE_TEST_SUITE_P(EveryStep, RetrievalFaultTest,
                         ::testing::Combine(::testing::ValuesIn(kRetrievalFaults),
                                            ::testing::Bool()));

TEST_P(RetrievalFaultTest, IsReportedAtItsLineAndTheRunGoesOn) {
  const auto& [fault, reversed] = GetParam();
  machine.AddDrive('A', k::kDriveRemovable).NotReady();
  machine.AddDrive('C', k::kDriveFixed).Label("System").Serial(0x1234ABCD);
  if (*fault.kernel32Call) machine.ThrowOn(fault.kernel32Call, RuntimeFailure(u"Internal error"));
  list.Refuse(fault.refusedDrive, fault.refusedCell);
  workers.holding = reversed;
  Run();
  for (size_t i = workers.HeldCount(); i-- > 0;) {
    workers.Finish(i);
    command.TakeAnswers();
  }
  EXPECT_EQ(boxes.LinesAt(location::kStartRetrieving), fault.lines);
  EXPECT_EQ(Rows(), fault.rows);
  EXPECT_FALSE(command.Running());  // the run reached its last line
}

TEST_F(RetrievalTest, RowsAndReportsWaitForEveryEarlierDriveAndAskNothingTwice) {
  machine.AddDrive('A', k::kDriveRemovable).NotReady();
  machine.AddDrive('C', k::kDriveFixed).Label("System").Serial(0x1234ABCD);
  // The optical probe's own box belongs to D's turn, not to the moment D answered.
  machine.AddDrive('D', k::kDriveCdrom).NotReady();
  machine.ThrowOn("CreateFileA", RuntimeFailure(u"Internal error"));
  Run();
  const std::vector<Row> atOnce = Rows();
  const auto boxesAtOnce = boxes.boxes.size();
  ASSERT_EQ(boxesAtOnce, 1u);
  EXPECT_EQ(boxes.boxes[0].title, u"Harrowmede - GetMediaType");

  boxes.boxes.clear();
  machine.ClearCalls();
  workers.holding = true;
  Run();
  ASSERT_EQ(workers.HeldCount(), 3u);
  EXPECT_TRUE(command.Running());
  workers.Finish(2);  // D answers first: nothing shows yet
  workers.Finish(1);
  command.TakeAnswers();
  EXPECT_EQ(list.RowCount(), 3);
  EXPECT_TRUE(boxes.boxes.empty());
  EXPECT_EQ(workers.answeredCount, 5);
  workers.Finish(0);  // A answers: every row comes, D's box at its turn
  command.TakeAnswers();
  std::vector<Row> twice = atOnce;
  twice.insert(twice.end(), atOnce.begin(), atOnce.end());
  EXPECT_EQ(Rows(), twice);
  EXPECT_EQ(boxes.boxes.size(), boxesAtOnce);
  EXPECT_FALSE(command.Running());
  // Each drive's slow questions were asked once, by its worker.
  EXPECT_EQ(machine.CountOf("FindFirstEntryA"), 3);
  EXPECT_EQ(machine.CountOf("GetVolumeInformationW"), 1);
  EXPECT_EQ(machine.CountOf("GetDiskFreeSpaceExW"), 1);
}

TEST_F(RetrievalTest, WithoutWorkerThreadsEachDriveIsAskedAtItsTurn) {
  machine.AddDrive('A', k::kDriveRemovable).NotReady();
  machine.AddDrive('C', k::kDriveFixed).Label("System").Serial(0x1234ABCD);
  Run();
  const std::vector<Row> threaded = Rows();
  workers.refuse = true;
  Run();
  std::vector<Row> twice = threaded;
  twice.insert(twice.end(), threaded.begin(), threaded.end());
  EXPECT_EQ(Rows(), twice);
  EXPECT_FALSE(command.Running());
}

// At a deadline the drives still asked get a short row each, in their places, and
// nothing they answer later is read; the drives that answered keep rows and boxes.
TEST_F(RetrievalTest, GivingUpWritesNotAnsweringRowsInDriveOrderAndNeverReadsThemLater) {
  machine.AddDrive('A', k::kDriveRemovable).NotReady();
  machine.AddDrive('C', k::kDriveFixed).Label("Stuck").Space(2048, 1024);
  machine.AddDrive('D', k::kDriveCdrom).NotReady();
  machine.AddDrive('E', k::kDriveFixed).Label("Late");
  machine.ThrowOn("CreateFileA", RuntimeFailure(u"Internal error"));  // D's probe box
  workers.holding = true;
  Run();
  ASSERT_EQ(workers.HeldCount(), 4u);
  workers.Finish(0);
  workers.Finish(2);
  command.TakeAnswers();
  ASSERT_EQ(list.RowCount(), 1);
  command.GiveUp();

  const Row notAnswering{u"", u"", u"", u"", u"", u"", u""};
  const auto given = [&](const char16_t* text) {
    Row row = notAnswering;
    row[0] = text;
    return row;
  };
  const std::vector<Row> expected{
      kEmptyFloppy,
      given(u"C:\\  - Not answering"),
      {u"D:\\  - No Disk present", u"", u"", u"", u"", u"", u""},
      given(u"E:\\  - Not answering"),
  };
  EXPECT_EQ(Rows(), expected);
  EXPECT_FALSE(command.Running());
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].title, u"Harrowmede - GetMediaType");
  for (int r : {0, 2}) EXPECT_TRUE(list.RowFacts(r).answered) << r;
  for (int r : {1, 3}) {
    const DriveFacts& facts = list.RowFacts(r);
    EXPECT_FALSE(facts.answered) << r;
    EXPECT_EQ(facts.root, r == 1 ? u"C:\\" : u"E:\\");
    EXPECT_FALSE(facts.hasMedium);
    EXPECT_FALSE(facts.kindCode);
    EXPECT_FALSE(facts.totalBytes);
  }

  // The stuck workers finish after all: their rows go nowhere.
  workers.Finish(3);
  workers.Finish(1);
  command.TakeAnswers();
  command.GiveUp();
  EXPECT_EQ(Rows(), expected);
  EXPECT_EQ(boxes.boxes.size(), 1u);

  // The next run starts afresh.
  workers.holding = false;
  Run();
  ASSERT_EQ(list.RowCount(), 8);
  EXPECT_EQ(Rows()[5][0], u"C:\\ - [Stuck]");
  EXPECT_EQ(Rows()[7][0], u"E:\\ - [Late]");
}

}  // namespace
}  // namespace brindlecap
