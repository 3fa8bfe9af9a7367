// bench_launcher's commands on a program's window: startup (until the window
// answers) and retrieval ("Start Retrieving" against the floors).
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "bench_commands.h"
#include "bench_common.h"
#include "drive_calls.h"
#include "support/window_driver.h"

namespace brindlecap::bench {

using e2e::Milliseconds;

int Startup(int runs, const std::vector<std::wstring>& exes) {
  std::vector<std::vector<double>> times(exes.size());
  for (int run = 0; run < runs; ++run) {
    for (size_t i = 0; i < exes.size(); ++i) {
      double ms;
      {
        StartedProgram program(exes[i]);
        ms = program.WaitUntilReady();
      }
      times[i].push_back(ms);
      std::printf("startup_run program=%s run=%d ms=%.3f\n", e2e::Narrow(BaseName(exes[i])).c_str(),
                  run + 1, ms);
    }
  }
  for (size_t i = 0; i < exes.size(); ++i) {
    const std::string prefix = "startup program=" + e2e::Narrow(BaseName(exes[i]));
    PrintSummary(prefix.c_str(), times[i], "ms");
  }
  return 0;
}

namespace {

// A window with "Start Retrieving" and the list, Brindlecap's or the floor's.
struct RetrievingWindow {
  HANDLE process;
  HWND window;
};

struct RetrievalTimes {
  double clickMs, paintedMs;
  int added;
};

// One press of "Start Retrieving", timed the same way for Brindlecap and the
// floor window. BM_CLICK is sent; Brindlecap asks the drives on worker threads
// and has ended when every drive has its row and the button is on (the floor has
// ended when the send returns). Then the paint that the run left pending is sent at once:
// a window of another process gets its WM_PAINT sent, so RedrawWindow returns
// when the new rows are on screen.
RetrievalTimes PressStartRetrieving(const RetrievingWindow& target) {
  const HWND button = GetDlgItem(target.window, e2e::kStartRetrievingId);
  const HWND list = GetDlgItem(target.window, e2e::kListId);
  if (button == nullptr || list == nullptr) throw e2e::DriverError("no button or list to time");
  const e2e::RemoteListView rows(list, target.process);
  const int before = rows.ItemCount();
  const int drives = e2e::DriveCount();
  const double start = NowMs();
  e2e::SendOrThrow(button, BM_CLICK, 0, 0, Milliseconds(120000));
  // A run has ended once every drive has its row and the button is on (a quick
  // run never turns it off).
  if (!e2e::WaitUntil(
          [&] { return rows.ItemCount() >= before + drives && IsWindowEnabled(button) != FALSE; },
          Milliseconds(120000), Milliseconds(1))) {
    throw e2e::DriverError("the retrieval did not end within two minutes");
  }
  // Whatever the last answers left waiting in its queue is handled too.
  WaitForInputIdle(target.process, 10000);
  const double clicked = NowMs();
  RedrawWindow(target.window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  const double shown = NowMs();
  return {clicked - start, shown - start, rows.ItemCount() - before};
}

}  // namespace

int Retrieval(const std::wstring& exe, int runs, const std::wstring& floorExe) {
  auto program = e2e::ProgramDriver::Start(exe, FolderOf(exe));
  std::unique_ptr<StartedProgram> floorWindow;
  if (!floorExe.empty()) {
    floorWindow = std::make_unique<StartedProgram>(floorExe);
    floorWindow->WaitUntilReady();
  }
  std::vector<double> clicks, painted, floors, floorWindowPainted;
  int rowsPerRun = -1;
  brindlecap::drive_floor::CallCounts counts;
  const auto runFloor = [&](int run) {
    const double floorStart = NowMs();
    counts = brindlecap::drive_floor::OneRun();
    floors.push_back(NowMs() - floorStart);
    std::printf("retrieval_floor_run run=%d ms=%.3f drives=%d\n", run + 1, floors.back(),
                counts.drives);
  };
  // One row per drive: as many as the floor found (the first run's floor
  // always runs before it).
  const auto checkRows = [&](int added, const char* who) {
    if (added <= 0 || added != counts.drives) {
      throw e2e::DriverError(std::string(who) + "'s run added " + std::to_string(added) +
                             " rows for " + std::to_string(counts.drives) + " drives of the floor");
    }
  };
  const auto runFloorWindow = [&](int run) {
    if (!floorWindow) return;
    const RetrievalTimes times =
        PressStartRetrieving({floorWindow->Process(), floorWindow->Window()});
    checkRows(times.added, "the floor window");
    floorWindowPainted.push_back(times.paintedMs);
    std::printf("retrieval_window_floor_run run=%d painted_ms=%.3f rows=%d\n", run + 1,
                times.paintedMs, times.added);
    LetItSettle(floorWindow->Process(), floorWindow->Window());
  };
  for (int run = 0; run < runs; ++run) {
    // Whichever goes first may warm the system's caches for the next: the
    // floors go before the program in one run, after it in the next.
    if (run % 2 == 0) {
      runFloor(run);
      runFloorWindow(run);
    }
    const RetrievalTimes times = PressStartRetrieving({program->Process(), program->MainWindow()});
    checkRows(times.added, "Brindlecap");
    if (rowsPerRun >= 0 && times.added != rowsPerRun) {
      throw e2e::DriverError("a run added " + std::to_string(times.added) + " rows, the first " +
                             std::to_string(rowsPerRun));
    }
    rowsPerRun = times.added;
    clicks.push_back(times.clickMs);
    painted.push_back(times.paintedMs);
    std::printf("retrieval_run run=%d ms=%.3f painted_ms=%.3f rows=%d\n", run + 1, times.clickMs,
                times.paintedMs, times.added);
    LetItSettle(*program);
    if (run % 2 == 1) {
      runFloorWindow(run);
      runFloor(run);
    }
  }
  // What the measurement itself costs: one sent message that does nothing.
  std::vector<double> roundTrips;
  for (int i = 0; i < runs; ++i) {
    const double start = NowMs();
    e2e::SendOrThrow(program->MainWindow(), WM_NULL, 0, 0);
    roundTrips.push_back((NowMs() - start) * 1000.0);
  }
  std::printf("retrieval first_ms=%.3f first_painted_ms=%.3f rows_per_run=%d\n", clicks.front(),
              painted.front(), rowsPerRun);
  if (clicks.size() > 1) {
    PrintSummary("retrieval later", std::vector<double>(clicks.begin() + 1, clicks.end()), "ms");
    PrintSummary("retrieval painted", std::vector<double>(painted.begin() + 1, painted.end()),
                 "ms");
    PrintSummary("retrieval floor", std::vector<double>(floors.begin() + 1, floors.end()), "ms");
    if (floorWindowPainted.size() > 1) {
      PrintSummary("retrieval window_floor_painted",
                   std::vector<double>(floorWindowPainted.begin() + 1, floorWindowPainted.end()),
                   "ms");
    }
  }
  PrintSummary("retrieval roundtrip", roundTrips, "us");
  program->Close(Milliseconds(15000));
  return 0;
}

}  // namespace brindlecap::bench
