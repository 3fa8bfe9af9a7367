// The drives answer on real threads at once (run under ThreadSanitizer too).
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <random>
#include <thread>
#include <vector>

#include "command_line/command_line_export.h"
#include "support/fake_kernel32.h"
#include "support/fake_system_text.h"
#include "support/held_workers.h"
#include "support/thread_workers.h"

namespace brindlecap {
namespace {

using testing::FakeKernel32;
using testing::ProbeAnswer;
namespace k = win32_constant;

using Rows = std::vector<std::vector<std::u16string>>;

// Drives whose queries fail with different codes, each code deciding its row:
// read as another drive's, it turns a short row into a full one or the other way
// round, or skips the optical probe's second try.
void AddDrivesFailingDifferently(FakeKernel32& machine) {
  machine.AddDrive('A', k::kDriveRemovable).NotReady();                        // 21: no disk
  machine.AddDrive('E', k::kDriveRemovable).EmptyRoot();                       // 2: an empty stick
  machine.AddDrive('F', k::kDriveRemovable).FailSearch(k::kErrorNoMoreFiles);  // 18: medium
  machine.AddDrive('G', k::kDriveRemote).FailSearch(k::kErrorPathNotFound);    // 3: no medium
  machine.AddDrive('H', k::kDriveCdrom).NotReady().Probe(ProbeAnswer::kRefusedOnReadWrite);
  machine.AddDrive('I', k::kDriveCdrom)
      .NotReady()
      .Probe(ProbeAnswer::kOpenFails, k::kErrorFileNotFound);
  machine.AddDrive('J', k::kDriveFixed).FailVolume(k::kErrorAccessDenied).Label("Data");
  machine.AddDrive('K', k::kDriveFixed).FailSpace(k::kErrorNotReady).Serial(0xCAFE0001);
}

Rows Retrieve(FakeKernel32& machine, DriveWorkers workers, const std::function<bool()>& wait) {
  // A given-up drive's worker still uses them after the retrieval.
  static const testing::FakeCodePage codePage;
  static const testing::FakeLocale locale;
  ResultsModel results;
  AddResultColumns(results);
  ReportLog reports;
  RetrieveAllDrives(results, DriveSystem{machine, codePage, locale}, reports, std::move(workers),
                    wait);
  EXPECT_TRUE(reports.Failures().empty());
  Rows rows;
  for (int r = 0; r < results.RowCount(); ++r) {
    rows.emplace_back();
    for (int c = 0; c < results.ColumnCount(); ++c) rows.back().emplace_back(results.Cell(r, c));
  }
  return rows;
}

TEST(RetrievalThreadsTest, EachDriveReadsItsOwnFailureCodeHoweverTheThreadsInterleave) {
  FakeKernel32 machine;
  AddDrivesFailingDifferently(machine);
  testing::HeldWorkers oneAtATime;
  const Rows expected = Retrieve(machine, oneAtATime.Workers(), nullptr);
  ASSERT_EQ(expected.size(), 8u);
  EXPECT_EQ(expected[0][0], u"A:\\  - No Disk present");
  EXPECT_EQ(expected[1][0], u"E:\\ - []");  // an empty volume still has a medium
  EXPECT_EQ(expected[3][0], u"G:\\  - No Disk present");
  EXPECT_EQ(expected[4][1], u"CD-ROM");  // the second, query-only open worked
  EXPECT_EQ(expected[5][1], u"");

  // Each call waits a random moment first, so one drive's failure lands between
  // another's failed call and its question for the code.
  machine.ClearCalls();
  machine.beforeEachCall = [] {
    thread_local std::minstd_rand random(
        static_cast<unsigned>(std::hash<std::thread::id>()(std::this_thread::get_id())));
    std::this_thread::sleep_for(std::chrono::microseconds(random() % 200));
  };
  for (int run = 0; run < 200; ++run) {
    testing::ThreadWorkers threads;
    ASSERT_EQ(Retrieve(machine, threads.Workers(),
                       [&] {
                         threads.WaitForAnswer();
                         return true;
                       }),
              expected)
        << "run " << run;
  }
  // The window's thread lists the drive letters and asks nothing else.
  for (const auto& call : machine.Calls()) {
    if (call.thread == std::this_thread::get_id()) {
      EXPECT_EQ(call.function, "GetLogicalDriveStringsA") << call.text;
    }
  }
}

// Real threads: one drive's worker is held back and let go at the very moment the
// run gives up, so it writes its row while the rows are added. The given-up
// drive's row is either its own (it answered in time) or "Not answering", never
// read half-written (ThreadSanitizer sees such a read).
TEST(RetrievalThreadsTest, AGivenUpDriveIsNotReadWhileItsWorkerWritesItsRow) {
  FakeKernel32 machine;
  AddDrivesFailingDifferently(machine);
  testing::HeldWorkers oneAtATime;
  const Rows answered = Retrieve(machine, oneAtATime.Workers(), nullptr);
  Rows givenUp = answered;
  givenUp[6] = {u"J:\\  - Not answering", u"", u"", u"", u"", u"", u""};

  for (int run = 0; run < 50; ++run) {
    std::atomic<int> answers{0};
    testing::ThreadWorkers threads;  // waits for the held worker before `answers` goes
    std::promise<void> letGo;
    std::shared_future<void> gate = letGo.get_future().share();
    // The seventh drive (J:) waits at the gate before its steps.
    struct GatedWorkers : WorkerThreads {
      bool Start(std::function<void()> work) noexcept override {
        if (started++ == 6) work = [gate = gate, work = std::move(work)] { gate.wait(), work(); };
        return inner->Start(std::move(work));
      }
      testing::ThreadWorkers* inner;
      std::shared_future<void> gate;
      int started = 0;
    } gated;
    gated.inner = &threads;
    gated.gate = gate;
    const Rows rows = Retrieve(machine, DriveWorkers{gated, [&] { answers.fetch_add(1); }}, [&] {
      while (answers.load() < 7) std::this_thread::yield();
      letGo.set_value();
      return false;
    });
    ASSERT_TRUE(rows == answered || rows == givenUp)
        << "run " << run << ": " << std::string(rows[6][0].begin(), rows[6][0].end());
  }
}

}  // namespace
}  // namespace brindlecap
