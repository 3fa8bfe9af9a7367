// Times what Brindlecap.exe does, from another process, the way a user sees it:
// start-up until the window waits for input, one "Start Retrieving" run, a save
// of many checked rows through the real dialog, and the memory the program
// holds. scripts/bench runs it under Wine and reads its "key=value" lines.
//
//   bench_launcher startup <runs> <exe>...
//       starts each program <runs> times, taking turns; the time runs from
//       CreateProcess until the program's visible window answers a sent message
//       after WaitForInputIdle, then the window is closed
//   bench_launcher retrieval <exe> <runs> [<floor window exe>]
//       presses "Start Retrieving" <runs> times, timed until the run has ended
//       (the button enabled again) and until the new rows are painted (the
//       pending paint sent at once, RDW_UPDATENOW). With each run, the floor
//       (drive_calls.h: the run's kernel32 calls alone) runs once in this
//       process, and the floor window (retrieval_window.exe: the same calls,
//       the rows shown and painted) has its first button pressed and timed the
//       same way as the program's, before the run and after it in turn, so that
//       the program and its floors take turns under one load
//   bench_launcher export <exe> <folder> <saves> <rows>...
//       for each row count: presses "Start Retrieving" until the list holds at
//       least that many rows, checks every row and saves <saves> times through
//       the dialog; each save is timed from the moment the dialog window is
//       destroyed, and from the moment the file appears, until the writer has
//       closed the file
//   bench_launcher processes <runs> <folder> <label> <command line> [<label> <command line>]...
//       runs each command line <runs> times, taking turns, with standard output
//       and error going to files in <folder>; each run is timed from
//       CreateProcess until the process has ended (a whole process, as a script
//       sees it)
//   bench_launcher unit-costs [calls]
//       times single calls that a save or a retrieval makes, in this process
//   bench_launcher footprint <exe> <ready prefix> idle|dialog|program [<folder>]
//       prints the process's memory at each step and "ready <step>", then waits
//       (at most 120 s) until the file "<ready prefix>-<step>" exists. Steps:
//       started (shown and idle); with "dialog", also dialog (the window's second
//       button pressed, the save dialog answered with OK); with "program" and a
//       folder, retrieved (one retrieval, every row checked) and saved (one save
//       through the dialog). The program is closed at the end.
// Exit status: 0 done, 1 failed, 2 wrong arguments.
#include <windows.h>
// These need windows.h first.
#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <numeric>
#include <string>
#include <vector>

#include "drive_calls.h"
#include "support/scratch_files.h"
#include "support/window_driver.h"

namespace e2e = brindlecap::e2e;
using e2e::Milliseconds;

namespace {

double NowMs() {
  static const double ticksPerMs = [] {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(frequency.QuadPart) / 1000.0;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / ticksPerMs;
}

struct Summary {
  double median = 0, mean = 0, min = 0, p90 = 0, stdev = 0;
};

Summary Summarize(std::vector<double> values) {
  Summary s;
  if (values.empty()) return s;
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  s.median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
  s.mean = std::accumulate(values.begin(), values.end(), 0.0) / static_cast<double>(n);
  s.min = values.front();
  s.p90 = values[std::min(n - 1, static_cast<size_t>(std::ceil(0.9 * static_cast<double>(n))) - 1)];
  double squares = 0;
  for (double v : values) squares += (v - s.mean) * (v - s.mean);
  s.stdev = n > 1 ? std::sqrt(squares / static_cast<double>(n - 1)) : 0;
  return s;
}

void PrintSummary(const char* prefix, const std::vector<double>& values, const char* unit) {
  const Summary s = Summarize(values);
  std::printf("%s runs=%zu median_%s=%.3f mean_%s=%.3f min_%s=%.3f p90_%s=%.3f stdev_%s=%.3f\n",
              prefix, values.size(), unit, s.median, unit, s.mean, unit, s.min, unit, s.p90, unit,
              s.stdev);
  std::fflush(stdout);
}

std::wstring BaseName(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring FolderOf(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

// A Unix path (seen through drive Z:) or a Windows one.
std::wstring WindowsPath(std::wstring path) {
  if (!path.empty() && path.front() == L'/') {
    std::replace(path.begin(), path.end(), L'/', L'\\');
    path = L"Z:" + path;
  }
  return path;
}

// The program's visible top-level window with a caption, if it has one yet.
HWND CaptionedWindowOf(DWORD processId) {
  for (HWND window : e2e::TopLevelWindowsOf(processId)) {
    if ((e2e::StyleOf(window) & WS_CAPTION) == WS_CAPTION) return window;
  }
  return nullptr;
}

// Any program: started, shown, idle. Closes it (or ends it) when it goes.
class StartedProgram {
 public:
  explicit StartedProgram(const std::wstring& exe) {
    std::wstring commandLine = L"\"" + exe + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    const std::wstring folder = FolderOf(exe);
    startMs_ = NowMs();
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS,
                        nullptr, folder.empty() ? nullptr : folder.c_str(), &startup, &started)) {
      throw e2e::DriverError("CreateProcess failed for " + e2e::Narrow(exe) + ", error " +
                             std::to_string(GetLastError()));
    }
    CloseHandle(started.hThread);
    process_.reset(started.hProcess);
    processId_ = started.dwProcessId;
  }
  StartedProgram(const StartedProgram&) = delete;
  StartedProgram& operator=(const StartedProgram&) = delete;
  ~StartedProgram() {
    if (!Running()) return;
    if (window_ != nullptr) PostMessageW(window_, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process_.get(), 10000) != WAIT_OBJECT_0) {
      TerminateProcess(process_.get(), 1);
      WaitForSingleObject(process_.get(), 10000);
    }
  }

  // Milliseconds from CreateProcess until the window is shown and answers.
  double WaitUntilReady() {
    const double deadline = startMs_ + 30000;
    if (WaitForInputIdle(process_.get(), 30000) == WAIT_TIMEOUT) {
      throw e2e::DriverError("the program did not become idle");
    }
    while ((window_ = CaptionedWindowOf(processId_)) == nullptr) {
      if (!Running()) throw e2e::DriverError("the program ended during start-up");
      if (NowMs() > deadline) throw e2e::DriverError("no window was shown");
      SwitchToThread();
    }
    // A sent message is answered only from the window thread's message loop.
    e2e::SendOrThrow(window_, WM_NULL, 0, 0, Milliseconds(30000));
    return NowMs() - startMs_;
  }

  bool Running() const { return WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }
  HANDLE Process() const { return process_.get(); }
  DWORD ProcessId() const { return processId_; }
  HWND Window() const { return window_; }

 private:
  e2e::UniqueKernelHandle process_;
  DWORD processId_ = 0;
  HWND window_ = nullptr;
  double startMs_ = 0;
};

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

// Lets the window repaint what the last command changed, outside the timed part.
void LetItSettle(HANDLE process, HWND window) {
  WaitForInputIdle(process, 5000);
  Sleep(10);
  e2e::SendOrThrow(window, WM_NULL, 0, 0);
}

void LetItSettle(e2e::ProgramDriver& program) {
  LetItSettle(program.Process(), program.MainWindow());
}

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
// and keeps the button off until the run has ended (the floor has ended when
// the send returns). Then the paint that the run left pending is sent at once:
// a window of another process gets its WM_PAINT sent, so RedrawWindow returns
// when the new rows are on screen.
RetrievalTimes PressStartRetrieving(const RetrievingWindow& target) {
  const HWND button = GetDlgItem(target.window, e2e::kStartRetrievingId);
  const HWND list = GetDlgItem(target.window, e2e::kListId);
  if (button == nullptr || list == nullptr) throw e2e::DriverError("no button or list to time");
  const e2e::RemoteListView rows(list, target.process);
  const int before = rows.ItemCount();
  const double start = NowMs();
  e2e::SendOrThrow(button, BM_CLICK, 0, 0, Milliseconds(120000));
  if (!e2e::WaitUntil([&] { return IsWindowEnabled(button) != FALSE; }, Milliseconds(120000),
                      Milliseconds(1))) {
    throw e2e::DriverError("the retrieval did not end within two minutes");
  }
  // Whatever the last answers left waiting in its queue is handled too.
  WaitForInputIdle(target.process, 10000);
  const double clicked = NowMs();
  RedrawWindow(target.window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  const double shown = NowMs();
  return {clicked - start, shown - start, rows.ItemCount() - before};
}

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

// Opens the file only once the writer has closed it: the writer shares it for
// reading only, so an open that denies writing fails while the writer holds it.
bool FileClosedByWriter(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

struct SaveTimes {
  double okToDoneMs = 0;          // from pressing OK in the dialog
  double dialogGoneToDoneMs = 0;  // from the moment the dialog window was destroyed
  double createdToDoneMs = -1;    // from the moment the file was first seen; -1: never
                                  // seen open (created and closed between two looks)
};

SaveTimes SaveThroughDialog(e2e::ProgramDriver& program, const std::wstring& path) {
  DeleteFileW(path.c_str());
  program.ClickButton(e2e::kSaveResultsId, e2e::ClickMode::kPost);
  auto dialog = program.WaitForDialog(L"Save", Milliseconds(30000));
  if (!dialog) throw e2e::DriverError("the save dialog did not open");
  dialog->TypeFileName(path);
  const HWND dialogWindow = dialog->Handle();
  const double ok = NowMs();
  dialog->PressButton(IDOK);
  while (IsWindow(dialogWindow)) {
    if (NowMs() - ok > 30000) throw e2e::DriverError("the save dialog did not close");
    SwitchToThread();
  }
  const double gone = NowMs();
  // The writer creates the file once it has measured the columns and holds it
  // while it writes the text into a temporary file, which then takes the file's
  // name (the file is closed for a moment just before): the time from the first
  // sight of either file until both are settled is the writing itself.
  double created = 0;
  for (;;) {
    const bool writing = e2e::TemporaryFileBeside(path);
    if (created == 0 && (writing || GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES)) {
      created = NowMs();
    }
    if (!writing && FileClosedByWriter(path)) break;
    if (!program.IsRunning()) throw e2e::DriverError("the program ended during the save");
    if (NowMs() - gone > 600000) throw e2e::DriverError("the save took more than 10 minutes");
    Sleep(1);
  }
  const double done = NowMs();
  // Any error box would be a failed save, not a slow one.
  for (const e2e::Dialog& box : program.Dialogs()) {
    throw e2e::DriverError("a window \"" + e2e::Narrow(box.Title()) + "\" came up during the save");
  }
  return SaveTimes{done - ok, done - gone, created == 0 ? -1 : done - created};
}

// The number of lines and bytes of a saved file.
std::pair<long, long> LinesAndBytes(const std::wstring& path) {
  const auto text = e2e::ReadFileBytes(path);
  if (!text) throw e2e::DriverError("the saved file cannot be read");
  long lines = 0;
  for (size_t at = text->find("\r\n"); at != std::string::npos; at = text->find("\r\n", at + 2))
    ++lines;
  return {lines, static_cast<long>(text->size())};
}

int Export(const std::wstring& exe, const std::wstring& folder, int saves, std::vector<int> sizes) {
  std::sort(sizes.begin(), sizes.end());
  auto program = e2e::ProgramDriver::Start(exe, FolderOf(exe));
  e2e::RemoteListView list = program->List();
  for (int asked : sizes) {
    // The rows a user gets: one retrieval after another, as many as it takes.
    const double fillStart = NowMs();
    int retrievals = 0;
    while (list.ItemCount() < asked) {
      const int before = list.ItemCount();
      program->Retrieve();
      ++retrievals;
      if (list.ItemCount() <= before) throw e2e::DriverError("a retrieval added no rows");
    }
    list.SetChecked(-1, true);
    const int rows = list.ItemCount();
    if (!list.Checked(0) || !list.Checked(rows - 1)) {
      throw e2e::DriverError("the rows did not take their check marks");
    }
    std::printf("export_fill asked=%d rows=%d retrievals=%d ms=%.1f\n", asked, rows, retrievals,
                NowMs() - fillStart);
    LetItSettle(*program);

    const std::wstring path = folder + L"\\export-" + std::to_wstring(asked) + L".txt";
    std::vector<double> fromOk, fromDialogGone, writing;
    long lines = 0, bytes = 0;
    for (int save = 0; save < saves; ++save) {
      const SaveTimes times = SaveThroughDialog(*program, path);
      std::tie(lines, bytes) = LinesAndBytes(path);
      if (lines != rows + 1) {
        throw e2e::DriverError("the file has " + std::to_string(lines) + " lines, not " +
                               std::to_string(rows + 1));
      }
      fromOk.push_back(times.okToDoneMs);
      fromDialogGone.push_back(times.dialogGoneToDoneMs);
      if (times.createdToDoneMs >= 0) writing.push_back(times.createdToDoneMs);
      std::printf(
          "export_run asked=%d rows=%d save=%d dialog_gone_to_done_ms=%.3f "
          "created_to_done_ms=%.3f ok_to_done_ms=%.3f\n",
          asked, rows, save + 1, times.dialogGoneToDoneMs, times.createdToDoneMs, times.okToDoneMs);
      LetItSettle(*program);
    }
    const std::string prefix = "export asked=" + std::to_string(asked) +
                               " rows=" + std::to_string(rows) + " bytes=" + std::to_string(bytes) +
                               " file=" + e2e::Narrow(path);
    PrintSummary(prefix.c_str(), fromDialogGone, "ms");
    if (!writing.empty()) {
      PrintSummary(("export_writing asked=" + std::to_string(asked)).c_str(), writing, "ms");
    }
    PrintSummary(("export_from_ok asked=" + std::to_string(asked)).c_str(), fromOk, "ms");
  }
  program->Close(Milliseconds(60000));
  return 0;
}

void PrintMemory(HANDLE process, const char* step) {
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                            sizeof counters)) {
    throw e2e::DriverError("GetProcessMemoryInfo failed, error " + std::to_string(GetLastError()));
  }
  std::printf(
      "footprint step=%s private_bytes=%lu working_set_bytes=%lu peak_working_set_bytes=%lu "
      "pagefile_bytes=%lu\n",
      step, static_cast<unsigned long>(counters.PrivateUsage),
      static_cast<unsigned long>(counters.WorkingSetSize),
      static_cast<unsigned long>(counters.PeakWorkingSetSize),
      static_cast<unsigned long>(counters.PagefileUsage));
}

// Prints the memory of one step, then lets the script read the host's figures
// for the same moment: it creates "<prefix>-<step>" when it has them.
void StepDone(HANDLE process, const std::wstring& readyPrefix, const char* step) {
  Sleep(500);  // whatever the program does once idle
  PrintMemory(process, step);
  std::printf("ready %s\n", step);
  std::fflush(stdout);
  const std::wstring readyFile = readyPrefix + L"-" + std::wstring(step, step + std::strlen(step));
  if (!e2e::WaitUntil(
          [&] { return GetFileAttributesW(readyFile.c_str()) != INVALID_FILE_ATTRIBUTES; },
          Milliseconds(120000), Milliseconds(50))) {
    throw e2e::DriverError("nobody read the step " + std::string(step));
  }
}

// A floor window's second button, the save dialog it shows, a name and OK.
void AnswerFloorSaveDialog(const StartedProgram& program, const std::wstring& path) {
  const HWND button = GetDlgItem(program.Window(), e2e::kSaveResultsId);
  if (button == nullptr) throw e2e::DriverError("the floor window has no second button");
  e2e::PostOrThrow(button, BM_CLICK, 0, 0);
  HWND dialogWindow = nullptr;
  e2e::WaitUntil(
      [&] {
        for (HWND window : e2e::TopLevelWindowsOf(program.ProcessId(), e2e::kDialogClass)) {
          if (e2e::TextOf(window) == L"Save") dialogWindow = window;
        }
        return dialogWindow != nullptr;
      },
      Milliseconds(30000));
  if (dialogWindow == nullptr) throw e2e::DriverError("the floor's save dialog did not open");
  const e2e::Dialog dialog(dialogWindow);
  dialog.TypeFileName(path);
  dialog.PressButton(IDOK);
  if (!dialog.WaitUntilClosed(Milliseconds(30000))) {
    throw e2e::DriverError("the floor's save dialog did not close");
  }
  e2e::SendOrThrow(program.Window(), WM_NULL, 0, 0);
}

int Footprint(const std::wstring& exe, const std::wstring& readyPrefix, const std::wstring& mode,
              const std::wstring& folder) {
  if (mode != L"program") {
    StartedProgram program(exe);
    program.WaitUntilReady();
    StepDone(program.Process(), readyPrefix, "started");
    if (mode == L"dialog") {
      AnswerFloorSaveDialog(
          program, folder.empty() ? FolderOf(exe) + L"\\unused.txt" : folder + L"\\unused.txt");
      StepDone(program.Process(), readyPrefix, "dialog");
    }
    return 0;
  }
  auto program = e2e::ProgramDriver::Start(exe, FolderOf(exe));
  LetItSettle(*program);
  StepDone(program->Process(), readyPrefix, "started");
  program->Retrieve();
  e2e::RemoteListView list = program->List();
  const int rows = list.ItemCount();
  list.SetChecked(-1, true);
  LetItSettle(*program);
  std::printf("footprint_rows rows=%d\n", rows);
  StepDone(program->Process(), readyPrefix, "retrieved");
  SaveThroughDialog(*program, folder + L"\\footprint.txt");
  LetItSettle(*program);
  StepDone(program->Process(), readyPrefix, "saved");
  program->Close(Milliseconds(15000));
  return 0;
}

// The parent of the owner-data list below: answers every cell with a text of
// a retrieval's length, and every check mark as checked.
LRESULT CALLBACK OwnerDataParent(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NOTIFY) {
    auto& header = *reinterpret_cast<NMHDR*>(lParam);
    if (header.code == LVN_GETDISPINFOW) {
      LVITEMW& item = reinterpret_cast<NMLVDISPINFOW&>(header).item;
      if ((item.mask & LVIF_TEXT) && item.pszText != nullptr && item.cchTextMax > 0) {
        lstrcpynW(item.pszText, item.iSubItem == 0 ? L"C:\\ - [System]" : L"465.76 GB",
                  item.cchTextMax);
      }
      if (item.mask & LVIF_STATE) {
        item.state = (item.state & ~LVIS_STATEIMAGEMASK) | INDEXTOSTATEIMAGEMASK(2);
        item.stateMask |= LVIS_STATEIMAGEMASK;
      }
      return 0;
    }
    if (header.code == LVN_ODFINDITEMW) return -1;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

// What single calls cost in this process under this system: the calls a save
// makes per row (the writer's yields, the conversion of a line, the file
// writes) and the update that shows a retrieval's new rows in an owner-data
// list like the program's.
int UnitCosts(int calls) {
  const auto time = [&](const char* name, int count, auto&& call) {
    const double start = NowMs();
    for (int i = 0; i < count; ++i) call(i);
    std::printf("unit_cost call=%s calls=%d us_per_call=%.3f\n", name, count,
                (NowMs() - start) * 1000.0 / count);
    std::fflush(stdout);
  };
  volatile DWORD sink = 0;
  time("GetQueueStatus", calls, [&](int) { sink = sink + GetQueueStatus(QS_ALLINPUT); });
  time("PeekMessageW_empty", calls, [&](int) {
    MSG message;
    sink = sink + PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);
  });
  time("GetTickCount", calls, [&](int) { sink = sink + GetTickCount(); });

  // A written line: seven padded cells and their tabs, about 95 characters.
  const std::wstring line =
      L"C:\\ - [System]           \tFixed    \tNTFS  \t465.76 GB  \t120.01 GB  \t345.75 GB  "
      L"\t1234-ABCD    \t";
  std::vector<char> ansi(line.size() * 2 + 2);
  time("WideCharToMultiByte_line", calls, [&](int) {
    sink = sink + WideCharToMultiByte(CP_ACP, 0, line.c_str(), static_cast<int>(line.size()),
                                      ansi.data(), static_cast<int>(ansi.size()), nullptr, nullptr);
  });

  wchar_t folder[MAX_PATH], path[MAX_PATH];
  if (GetTempPathW(MAX_PATH, folder) == 0 || !GetTempFileNameW(folder, L"bcb", 0, path)) {
    throw e2e::DriverError("no scratch file");
  }
  {
    e2e::UniqueKernelHandle file(CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) throw e2e::DriverError("the scratch file cannot be written");
    const std::vector<char> block(64 * 1024, 'x');
    time("WriteFile_64KiB", std::max(1, calls / 100), [&](int) {
      DWORD written = 0;
      if (!WriteFile(file.get(), block.data(), static_cast<DWORD>(block.size()), &written,
                     nullptr)) {
        throw e2e::DriverError("WriteFile failed");
      }
    });
  }
  DeleteFileW(path);

  // The end of a retrieval on screen: a shown window with an owner-data list of
  // the program's size, style and columns; 26 rows more, then the paint.
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&controls);
  WNDCLASSW parentClass{};
  parentClass.lpfnWndProc = OwnerDataParent;
  parentClass.hInstance = GetModuleHandleW(nullptr);
  parentClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  parentClass.lpszClassName = L"Brindlecap.Bench.OwnerDataParent";
  RegisterClassW(&parentClass);
  const HWND parent =
      CreateWindowExW(0, parentClass.lpszClassName, L"", WS_POPUP | WS_VISIBLE, 0, 0, 1064, 218,
                      nullptr, nullptr, parentClass.hInstance, nullptr);
  const HWND list =
      CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                      WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_OWNERDATA, 8, 42,
                      1048, 169, parent, nullptr, parentClass.hInstance, nullptr);
  if (parent == nullptr || list == nullptr) throw e2e::DriverError("cannot create a list view");
  SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
               LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
  SendMessageW(list, LVM_SETCALLBACKMASK, LVIS_STATEIMAGEMASK, 0);
  for (int c = 0; c < 7; ++c) {
    wchar_t header[] = L"Column";
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = header;
    column.cx = 140;
    SendMessageW(list, LVM_INSERTCOLUMNW, c, reinterpret_cast<LPARAM>(&column));
  }
  UpdateWindow(parent);
  int rows = 0;
  time("owner_data_item_count_26_more", std::max(1, calls / 1000), [&](int) {
    rows += 26;
    SendMessageW(list, LVM_SETITEMCOUNT, rows, LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
  });
  time("owner_data_paint", std::max(1, calls / 1000), [&](int) {
    InvalidateRect(list, nullptr, TRUE);
    UpdateWindow(list);
  });
  DestroyWindow(parent);
  return 0;
}

// Whole processes, as a script runs them: start, work, end.
int Processes(int runs, const std::wstring& folder,
              const std::vector<std::pair<std::wstring, std::wstring>>& commands) {
  std::vector<std::vector<double>> times(commands.size());
  SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
  for (int run = 0; run < runs; ++run) {
    for (size_t i = 0; i < commands.size(); ++i) {
      const std::wstring& label = commands[i].first;
      e2e::UniqueKernelHandle input(CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ, &inheritable,
                                                OPEN_EXISTING, 0, nullptr));
      e2e::UniqueKernelHandle output(CreateFileW((folder + L"\\" + label + L".out").c_str(),
                                                 GENERIC_WRITE, FILE_SHARE_READ, &inheritable,
                                                 CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
      if (!input || !output) throw e2e::DriverError("cannot open the standard handles' files");
      std::wstring commandLine = commands[i].second;
      STARTUPINFOW startup{};
      startup.cb = sizeof startup;
      startup.dwFlags = STARTF_USESTDHANDLES;
      startup.hStdInput = input.get();
      startup.hStdOutput = startup.hStdError = output.get();
      PROCESS_INFORMATION started{};
      const double start = NowMs();
      if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                          &startup, &started)) {
        throw e2e::DriverError("CreateProcess failed for " + e2e::Narrow(commandLine));
      }
      WaitForSingleObject(started.hProcess, INFINITE);
      const double ms = NowMs() - start;
      DWORD exitCode = 0;
      GetExitCodeProcess(started.hProcess, &exitCode);
      CloseHandle(started.hProcess);
      CloseHandle(started.hThread);
      times[i].push_back(ms);
      std::printf("process_run label=%s run=%d ms=%.3f exit=%lu\n", e2e::Narrow(label).c_str(),
                  run + 1, ms, static_cast<unsigned long>(exitCode));
    }
  }
  for (size_t i = 0; i < commands.size(); ++i) {
    PrintSummary(("process label=" + e2e::Narrow(commands[i].first)).c_str(), times[i], "ms");
  }
  return 0;
}

int Usage() {
  std::fprintf(stderr,
               "usage: bench_launcher startup <runs> <exe>...\n"
               "       bench_launcher retrieval <exe> <runs> [<floor window exe>]\n"
               "       bench_launcher export <exe> <folder> <saves> <rows>...\n"
               "       bench_launcher footprint <exe> <ready prefix> idle|dialog|program "
               "[<folder>]\n"
               "       bench_launcher processes <runs> <folder> <label> <command line>...\n"
               "       bench_launcher unit-costs [calls]\n");
  return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring command = argc > 1 ? argv[1] : L"";
  try {
    if (command == L"startup" && argc >= 4) {
      std::vector<std::wstring> exes;
      for (int i = 3; i < argc; ++i) exes.push_back(WindowsPath(argv[i]));
      return Startup(std::max(1, _wtoi(argv[2])), exes);
    }
    if (command == L"retrieval" && (argc == 4 || argc == 5)) {
      return Retrieval(WindowsPath(argv[2]), std::max(1, _wtoi(argv[3])),
                       argc == 5 ? WindowsPath(argv[4]) : std::wstring());
    }
    if (command == L"export" && argc >= 6) {
      std::vector<int> sizes;
      for (int i = 5; i < argc; ++i) sizes.push_back(std::max(1, _wtoi(argv[i])));
      return Export(WindowsPath(argv[2]), WindowsPath(argv[3]), std::max(1, _wtoi(argv[4])), sizes);
    }
    if (command == L"processes" && argc >= 6 && argc % 2 == 0) {
      std::vector<std::pair<std::wstring, std::wstring>> commands;
      for (int i = 4; i + 1 < argc; i += 2) commands.emplace_back(argv[i], argv[i + 1]);
      return Processes(std::max(1, _wtoi(argv[2])), WindowsPath(argv[3]), commands);
    }
    if (command == L"unit-costs" && argc <= 3) {
      return UnitCosts(argc == 3 ? std::max(1, _wtoi(argv[2])) : 100000);
    }
    const auto isMode = [](const std::wstring& mode) {
      return mode == L"idle" || mode == L"dialog" || mode == L"program";
    };
    if (command == L"footprint" && (argc == 5 || argc == 6) && isMode(argv[4]) &&
        (argc == 6 || argv[4] != std::wstring(L"program"))) {
      return Footprint(WindowsPath(argv[2]), WindowsPath(argv[3]), argv[4],
                       argc == 6 ? WindowsPath(argv[5]) : std::wstring());
    }
  } catch (const std::exception& failure) {
    std::fprintf(stderr, "bench_launcher: %s\n", failure.what());
    return 1;
  }
  return Usage();
}
