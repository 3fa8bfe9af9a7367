// Times what Brindlecap.exe does, from another process, the way a user sees it:
// start-up until the window waits for input, one "Start Retrieving" run, a save
// of many checked rows through the real dialog, and the memory the program
// holds. scripts/bench runs it under Wine and reads its "key=value" lines.
//
//   bench_launcher startup <runs> <exe>...
//       starts each program <runs> times, taking turns; the time runs from
//       CreateProcess until the program's visible window answers a sent message
//       after WaitForInputIdle, then the window is closed
//   bench_launcher retrieval <exe> <runs> [redraw-off]
//       presses "Start Retrieving" <runs> times; BM_CLICK is sent, and SendMessage
//       returns once the handler has run (the run never yields). With redraw-off
//       the list's redrawing is switched off around each run (WM_SETREDRAW), to
//       show what the rows' redrawing costs.
//   bench_launcher export <exe> <folder> <saves> <rows>...
//       for each row count: fills the list (one retrieval, then copies of its
//       rows), deletes the rows past the count, checks every row and saves
//       <saves> times through the dialog
//   bench_launcher unit-costs [calls]
//       times single calls that a save makes many times, in this process
//   bench_launcher footprint <exe> <ready file> [<folder>]
//       with a folder: one retrieval, every row checked, one save; then prints
//       the process's memory and "ready", and waits (at most 120 s) until the
//       ready file exists before closing the program
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

#include "window_driver.h"

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
    process_.Reset(started.hProcess);
    processId_ = started.dwProcessId;
  }
  StartedProgram(const StartedProgram&) = delete;
  StartedProgram& operator=(const StartedProgram&) = delete;
  ~StartedProgram() {
    if (!Running()) return;
    if (window_ != nullptr) PostMessageW(window_, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process_.Get(), 10000) != WAIT_OBJECT_0) {
      TerminateProcess(process_.Get(), 1);
      WaitForSingleObject(process_.Get(), 10000);
    }
  }

  // Milliseconds from CreateProcess until the window is shown and answers.
  double WaitUntilReady() {
    const double deadline = startMs_ + 30000;
    if (WaitForInputIdle(process_.Get(), 30000) == WAIT_TIMEOUT) {
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

  bool Running() const { return WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT; }
  HANDLE Process() const { return process_.Get(); }

 private:
  e2e::UniqueHandle process_;
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
void LetItSettle(e2e::ProgramDriver& program) {
  WaitForInputIdle(program.Process(), 5000);
  Sleep(10);
  e2e::SendOrThrow(program.MainWindow(), WM_NULL, 0, 0);
}

int Retrieval(const std::wstring& exe, int runs, bool redrawOff) {
  auto program = e2e::ProgramDriver::Start(exe, FolderOf(exe));
  e2e::RemoteListView list = program->List();
  std::vector<double> times;
  int rowsPerRun = -1;
  for (int run = 0; run < runs; ++run) {
    const int before = list.ItemCount();
    const double start = NowMs();
    // What the run would cost if the list did not redraw after every row.
    if (redrawOff) e2e::SendOrThrow(list.Handle(), WM_SETREDRAW, FALSE, 0);
    program->Retrieve();
    if (redrawOff) {
      e2e::SendOrThrow(list.Handle(), WM_SETREDRAW, TRUE, 0);
      InvalidateRect(list.Handle(), nullptr, TRUE);
    }
    const double ms = NowMs() - start;
    const int added = list.ItemCount() - before;
    if (rowsPerRun >= 0 && added != rowsPerRun) {
      throw e2e::DriverError("a run added " + std::to_string(added) + " rows, the first " +
                             std::to_string(rowsPerRun));
    }
    rowsPerRun = added;
    times.push_back(ms);
    std::printf("retrieval_run run=%d ms=%.3f rows=%d\n", run + 1, ms, added);
    LetItSettle(*program);
  }
  // What the measurement itself costs: one sent message that does nothing.
  std::vector<double> roundTrips;
  for (int i = 0; i < runs; ++i) {
    const double start = NowMs();
    e2e::SendOrThrow(program->MainWindow(), WM_NULL, 0, 0);
    roundTrips.push_back((NowMs() - start) * 1000.0);
  }
  std::printf("retrieval first_ms=%.3f rows_per_run=%d\n", times.front(), rowsPerRun);
  if (times.size() > 1) {
    PrintSummary("retrieval later", std::vector<double>(times.begin() + 1, times.end()), "ms");
  }
  PrintSummary("retrieval roundtrip", roundTrips, "us");
  program->Close(Milliseconds(15000));
  return 0;
}

// Appends copies of the rows already in the list until it holds `rows` rows.
// Retrievals would do the same, a run of drive queries per few rows; this
// inserts the rows' texts the way the program's own list does (a row, then its
// six cells), with the structures in the program's memory.
void CopyRowsUntil(e2e::RemoteListView& list, HANDLE process, int rows) {
  const std::vector<std::vector<std::wstring>> originals = list.Rows();
  if (originals.empty()) throw e2e::DriverError("no rows to copy");
  constexpr size_t kTextOffset = 64, kChars = 1024;
  e2e::RemoteMemory memory(process, kTextOffset + kChars * sizeof(wchar_t));
  std::vector<char> block(kTextOffset + kChars * sizeof(wchar_t));
  const auto send = [&](UINT message, WPARAM item, int subItem, const std::wstring& text) {
    e2e::ListItem32 request{};
    request.mask = LVIF_TEXT;
    request.item = static_cast<int32_t>(item);
    request.subItem = subItem;
    request.text = memory.Address(kTextOffset);
    if (message == LVM_INSERTITEMW) {
      request.mask |= LVIF_STATE;
      request.state = INDEXTOSTATEIMAGEMASK(1);  // the empty check box
      request.stateMask = LVIS_STATEIMAGEMASK;
    }
    const size_t chars = std::min(text.size(), kChars - 1);
    std::memcpy(block.data(), &request, sizeof request);
    std::memcpy(block.data() + kTextOffset, text.c_str(), chars * sizeof(wchar_t));
    std::memset(block.data() + kTextOffset + chars * sizeof(wchar_t), 0, sizeof(wchar_t));
    memory.Write(0, block.data(), kTextOffset + (chars + 1) * sizeof(wchar_t));
    return e2e::SendOrThrow(list.Handle(), message, item, static_cast<LPARAM>(memory.Address()));
  };
  for (int count = list.ItemCount(); count < rows; ++count) {
    const std::vector<std::wstring>& row = originals[static_cast<size_t>(count) % originals.size()];
    const auto index = send(LVM_INSERTITEMW, static_cast<WPARAM>(count), 0, row.at(0));
    if (index < 0) throw e2e::DriverError("the list did not take another row");
    for (size_t cell = 1; cell < row.size(); ++cell) {
      if (!row[cell].empty())
        send(LVM_SETITEMTEXTW, static_cast<WPARAM>(index), static_cast<int>(cell), row[cell]);
    }
  }
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
  double okToDoneMs = 0;      // from pressing OK in the dialog
  double dialogGoneToDoneMs;  // from the moment the dialog window was destroyed
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
  while (!FileClosedByWriter(path)) {
    if (!program.IsRunning()) throw e2e::DriverError("the program ended during the save");
    if (NowMs() - gone > 600000) throw e2e::DriverError("the save took more than 10 minutes");
    Sleep(1);
  }
  const double done = NowMs();
  // Any error box would be a failed save, not a slow one.
  for (const e2e::Dialog& box : program.Dialogs()) {
    throw e2e::DriverError("a window \"" + e2e::Narrow(box.Title()) + "\" came up during the save");
  }
  return SaveTimes{done - ok, done - gone};
}

// The number of lines and bytes of a saved file.
std::pair<long, long> LinesAndBytes(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw e2e::DriverError("the saved file cannot be read");
  long lines = 0, bytes = 0;
  std::vector<char> buffer(1 << 16);
  DWORD read = 0;
  char previous = 0;
  while (ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr) &&
         read > 0) {
    for (DWORD i = 0; i < read; ++i) {
      if (previous == '\r' && buffer[i] == '\n') ++lines;
      previous = buffer[i];
    }
    bytes += static_cast<long>(read);
  }
  CloseHandle(file);
  return {lines, bytes};
}

int Export(const std::wstring& exe, const std::wstring& folder, int saves, std::vector<int> sizes) {
  std::sort(sizes.begin(), sizes.end());
  auto program = e2e::ProgramDriver::Start(exe, FolderOf(exe));
  e2e::RemoteListView list = program->List();
  for (int rows : sizes) {
    const double fillStart = NowMs();
    if (list.ItemCount() == 0) program->Retrieve();
    // Every row appended to a shown list costs a redraw; the save does not care.
    e2e::SendOrThrow(list.Handle(), WM_SETREDRAW, FALSE, 0);
    CopyRowsUntil(list, program->Process(), rows);
    e2e::SendOrThrow(list.Handle(), WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list.Handle(), nullptr, TRUE);
    while (list.ItemCount() > rows) {
      e2e::SendOrThrow(list.Handle(), LVM_DELETEITEM, list.ItemCount() - 1, 0);
    }
    list.SetChecked(-1, true);
    std::printf("export_fill rows=%d ms=%.1f\n", rows, NowMs() - fillStart);
    LetItSettle(*program);

    const std::wstring path = folder + L"\\export-" + std::to_wstring(rows) + L".txt";
    std::vector<double> fromOk, fromDialogGone;
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
      std::printf("export_run rows=%d save=%d dialog_gone_to_done_ms=%.3f ok_to_done_ms=%.3f\n",
                  rows, save + 1, times.dialogGoneToDoneMs, times.okToDoneMs);
      LetItSettle(*program);
    }
    const std::string prefix = "export rows=" + std::to_string(rows) +
                               " bytes=" + std::to_string(bytes) + " file=" + e2e::Narrow(path);
    PrintSummary(prefix.c_str(), fromDialogGone, "ms");
    PrintSummary(("export_from_ok rows=" + std::to_string(rows)).c_str(), fromOk, "ms");
  }
  program->Close(Milliseconds(60000));
  return 0;
}

void PrintMemory(HANDLE process) {
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                            sizeof counters)) {
    throw e2e::DriverError("GetProcessMemoryInfo failed, error " + std::to_string(GetLastError()));
  }
  std::printf(
      "footprint private_bytes=%lu working_set_bytes=%lu peak_working_set_bytes=%lu "
      "pagefile_bytes=%lu\n",
      static_cast<unsigned long>(counters.PrivateUsage),
      static_cast<unsigned long>(counters.WorkingSetSize),
      static_cast<unsigned long>(counters.PeakWorkingSetSize),
      static_cast<unsigned long>(counters.PagefileUsage));
}

void WaitForReadyFile(const std::wstring& readyFile) {
  std::printf("ready\n");
  std::fflush(stdout);
  e2e::WaitUntil([&] { return GetFileAttributesW(readyFile.c_str()) != INVALID_FILE_ATTRIBUTES; },
                 Milliseconds(120000), Milliseconds(50));
}

int Footprint(const std::wstring& exe, const std::wstring& readyFile, const std::wstring& folder) {
  if (folder.empty()) {
    StartedProgram program(exe);
    program.WaitUntilReady();
    Sleep(500);  // whatever the program does once idle
    PrintMemory(program.Process());
    WaitForReadyFile(readyFile);
    return 0;
  }
  auto program = e2e::ProgramDriver::Start(exe, FolderOf(exe));
  program->Retrieve();
  e2e::RemoteListView list = program->List();
  const int rows = list.ItemCount();
  list.SetChecked(-1, true);
  LetItSettle(*program);
  const std::wstring path = folder + L"\\footprint.txt";
  SaveThroughDialog(*program, path);
  LetItSettle(*program);
  Sleep(500);
  std::printf("footprint_rows rows=%d\n", rows);
  PrintMemory(program->Process());
  WaitForReadyFile(readyFile);
  program->Close(Milliseconds(15000));
  return 0;
}

// A list view of this process with seven columns, as the program's.
HWND CreateSevenColumnList(bool visible, DWORD extendedStyle) {
  const HWND list =
      CreateWindowExW(0, WC_LISTVIEWW, L"", WS_POPUP | LVS_REPORT | (visible ? WS_VISIBLE : 0), 0,
                      0, 600, 400, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (list == nullptr) throw e2e::DriverError("cannot create a list view");
  SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, extendedStyle);
  for (int c = 0; c < 7; ++c) {
    wchar_t header[] = L"Column";
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = header;
    column.cx = 80;
    SendMessageW(list, LVM_INSERTCOLUMNW, c, reinterpret_cast<LPARAM>(&column));
  }
  return list;
}

// What single calls cost in this process under this system, for the calls the
// writer's yield and list reads make: the figures that, times the counts per
// row, explain the cost of a save.
int UnitCosts(int calls) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&controls);
  const HWND list = CreateSevenColumnList(false, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
  for (int r = 0; r < 1000; ++r) {
    wchar_t text[] = L"C:\\ - [System]";
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = r;
    item.pszText = text;
    SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    for (int c = 1; c < 7; ++c) {
      wchar_t cell[] = L"465.76 GB";
      item.iSubItem = c;
      item.pszText = cell;
      SendMessageW(list, LVM_SETITEMTEXTW, r, reinterpret_cast<LPARAM>(&item));
    }
  }
  const HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));

  const auto time = [&](const char* name, auto&& call) {
    const double start = NowMs();
    for (int i = 0; i < calls; ++i) call(i);
    std::printf("unit_cost call=%s calls=%d us_per_call=%.3f\n", name, calls,
                (NowMs() - start) * 1000.0 / calls);
    std::fflush(stdout);
  };
  volatile DWORD sink = 0;
  time("GetQueueStatus", [&](int) { sink = sink + GetQueueStatus(QS_ALLINPUT); });
  time("PeekMessageW_empty", [&](int) {
    MSG message;
    sink = sink + PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);
  });
  time("GetTickCount", [&](int) { sink = sink + GetTickCount(); });
  time("LVM_GETITEMCOUNT", [&](int) { sink = sink + SendMessageW(list, LVM_GETITEMCOUNT, 0, 0); });
  time("HDM_GETITEMCOUNT",
       [&](int) { sink = sink + SendMessageW(header, HDM_GETITEMCOUNT, 0, 0); });
  time("LVM_GETITEMSTATE", [&](int i) {
    sink = sink + SendMessageW(list, LVM_GETITEMSTATE, i % 1000, LVIS_STATEIMAGEMASK);
  });
  time("LVM_GETITEMTEXTW", [&](int i) {
    wchar_t buffer[256];
    LVITEMW item{};
    item.iSubItem = i % 7;
    item.pszText = buffer;
    item.cchTextMax = 256;
    sink = sink + SendMessageW(list, LVM_GETITEMTEXTW, i % 1000, reinterpret_cast<LPARAM>(&item));
  });
  DestroyWindow(list);

  // Appending rows as a retrieval does (a row, then six cells), into a list
  // that is hidden, shown, or shown with redrawing switched off meanwhile.
  const auto appendRows = [&](const char* name, bool visible, bool noRedraw) {
    const HWND target =
        CreateSevenColumnList(visible, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    UpdateWindow(target);
    const int rows = std::max(1, calls / 100);
    const double start = NowMs();
    if (noRedraw) SendMessageW(target, WM_SETREDRAW, FALSE, 0);
    for (int r = 0; r < rows; ++r) {
      wchar_t text[] = L"C:\\ - [System]";
      LVITEMW item{};
      item.mask = LVIF_TEXT;
      item.iItem = r;
      item.pszText = text;
      const int index = static_cast<int>(
          SendMessageW(target, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
      for (int c = 1; c < 7; ++c) {
        wchar_t cell[] = L"465.76 GB";
        item.iSubItem = c;
        item.pszText = cell;
        SendMessageW(target, LVM_SETITEMTEXTW, index, reinterpret_cast<LPARAM>(&item));
      }
    }
    if (noRedraw) {
      SendMessageW(target, WM_SETREDRAW, TRUE, 0);
      InvalidateRect(target, nullptr, TRUE);
    }
    std::printf("unit_cost call=%s calls=%d us_per_call=%.3f\n", name, rows,
                (NowMs() - start) * 1000.0 / rows);
    std::fflush(stdout);
    DestroyWindow(target);
  };
  appendRows("append_row_hidden_list", false, false);
  appendRows("append_row_shown_list", true, false);
  appendRows("append_row_shown_list_no_redraw", true, true);
  return 0;
}

int Usage() {
  std::fprintf(stderr,
               "usage: bench_launcher startup <runs> <exe>...\n"
               "       bench_launcher retrieval <exe> <runs> [redraw-off]\n"
               "       bench_launcher export <exe> <folder> <saves> <rows>...\n"
               "       bench_launcher footprint <exe> <ready file> [<folder>]\n"
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
    if (command == L"retrieval" &&
        (argc == 4 || (argc == 5 && argv[4] == std::wstring(L"redraw-off")))) {
      return Retrieval(WindowsPath(argv[2]), std::max(1, _wtoi(argv[3])), argc == 5);
    }
    if (command == L"export" && argc >= 6) {
      std::vector<int> sizes;
      for (int i = 5; i < argc; ++i) sizes.push_back(std::max(1, _wtoi(argv[i])));
      return Export(WindowsPath(argv[2]), WindowsPath(argv[3]), std::max(1, _wtoi(argv[4])), sizes);
    }
    if (command == L"unit-costs" && argc <= 3) {
      return UnitCosts(argc == 3 ? std::max(1, _wtoi(argv[2])) : 100000);
    }
    if (command == L"footprint" && (argc == 4 || argc == 5)) {
      return Footprint(WindowsPath(argv[2]), WindowsPath(argv[3]),
                       argc == 5 ? WindowsPath(argv[4]) : std::wstring());
    }
  } catch (const std::exception& failure) {
    std::fprintf(stderr, "bench_launcher: %s\n", failure.what());
    return 1;
  }
  return Usage();
}
