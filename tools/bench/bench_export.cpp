// bench_launcher's saves through the program's dialog: export (timed saves of
// many checked rows) and footprint (the memory held at each step).
#include <windows.h>
// These need windows.h first.
#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "bench_commands.h"
#include "bench_common.h"
#include "support/scratch_files.h"
#include "support/window_driver.h"

namespace brindlecap::bench {

using e2e::Milliseconds;

namespace {

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

}  // namespace

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

namespace {

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

// A floor window's first button, then the wait until every drive has its row.
void RetrieveInFloor(const StartedProgram& program) {
  const HWND button = GetDlgItem(program.Window(), e2e::kStartRetrievingId);
  const HWND list = GetDlgItem(program.Window(), e2e::kListId);
  if (button == nullptr || list == nullptr) throw e2e::DriverError("the floor window has no list");
  e2e::SendOrThrow(button, BM_CLICK, 0, 0);
  const int drives = e2e::DriveCount();
  e2e::WaitUntil([&] { return SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) >= drives; },
                 Milliseconds(30000));
  LetItSettle(program.Process(), program.Window());
}

}  // namespace

int Footprint(const std::wstring& exe, const std::wstring& readyPrefix, const std::wstring& mode,
              const std::wstring& folder) {
  if (mode != L"program") {
    StartedProgram program(exe);
    program.WaitUntilReady();
    StepDone(program.Process(), readyPrefix, "started");
    if (mode == L"retrieved") {
      RetrieveInFloor(program);
      StepDone(program.Process(), readyPrefix, "retrieved");
    }
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

}  // namespace brindlecap::bench
