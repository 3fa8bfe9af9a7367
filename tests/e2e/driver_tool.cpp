// Drives the program on a headless machine for scripts:
//   e2e_driver_tool start-and-retrieve <exe path>
//       starts the program in its own folder, presses "Start Retrieving", waits
//       for rows (at most 5 s), prints the window rectangle "x y w h" and leaves
//       the program running
//   e2e_driver_tool point-at <row> <column>
//       moves the mouse pointer to the middle of that cell (0-based) of the running
//       program's list, where a size shows its exact bytes
//   e2e_driver_tool close
//       closes every running program window and waits for the processes to end
// Exit status: 0 done, 1 failed, 2 wrong arguments.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "support/window_driver.h"

namespace e2e = brindlecap::e2e;
using e2e::Milliseconds;

namespace {

// Accepts a Windows path or a Unix one (seen through drive Z:).
std::wstring WindowsPath(std::wstring path) {
  if (!path.empty() && path.front() == L'/') {
    for (wchar_t& c : path) {
      if (c == L'/') c = L'\\';
    }
    path = L"Z:" + path;
  }
  return path;
}

std::wstring FolderOf(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

int StartAndRetrieve(const std::wstring& exe) {
  auto program = e2e::ProgramDriver::Start(exe, FolderOf(exe));
  program->Retrieve();
  e2e::RemoteListView list = program->List();
  if (!e2e::WaitUntil([&] { return list.ItemCount() > 0; }, Milliseconds(5000))) {
    std::fprintf(stderr, "no rows appeared within 5 s\n");
  }
  const RECT rect = e2e::WindowRectOf(program->MainWindow());
  std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left,
              rect.bottom - rect.top);
  std::fflush(stdout);
  program->Detach();
  return 0;
}

int PointAt(int item, int column) {
  auto program = e2e::ProgramDriver::AttachToRunning(Milliseconds(5000));
  program->Detach();
  const HWND list = program->Control(e2e::kListId);
  e2e::RemoteMemory memory(program->Process(), sizeof(RECT));
  RECT cell{LVIR_BOUNDS, column, 0, 0};
  memory.Write(0, &cell, sizeof cell);
  if (!e2e::SendOrThrow(list, LVM_GETSUBITEMRECT, static_cast<WPARAM>(item),
                        static_cast<LPARAM>(memory.Address()))) {
    std::fprintf(stderr, "no cell %d, %d\n", item, column);
    return 1;
  }
  memory.Read(0, &cell, sizeof cell);
  e2e::MovePointerTo(list, POINT{(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2});
  return 0;
}

int CloseAll() {
  int closed = 0;
  for (;;) {
    std::unique_ptr<e2e::ProgramDriver> program;
    try {
      program = e2e::ProgramDriver::AttachToRunning(Milliseconds(closed == 0 ? 5000 : 0));
    } catch (const e2e::DriverError&) {
      if (closed > 0) return 0;
      std::fprintf(stderr, "no running program window found\n");
      return 1;
    }
    if (!program->Close(Milliseconds(15000))) {
      std::fprintf(stderr, "the program did not end within 15 s; terminated\n");
      return 1;
    }
    ++closed;
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring command = argc > 1 ? argv[1] : L"";
  try {
    if (command == L"start-and-retrieve" && argc == 3)
      return StartAndRetrieve(WindowsPath(argv[2]));
    if (command == L"point-at" && argc == 4) return PointAt(_wtoi(argv[2]), _wtoi(argv[3]));
    if (command == L"close" && argc == 2) return CloseAll();
  } catch (const std::exception& failure) {
    std::fprintf(stderr, "e2e_driver_tool: %s\n", failure.what());
    return 1;
  }
  std::fprintf(stderr,
               "usage: e2e_driver_tool start-and-retrieve <exe path>\n"
               "       e2e_driver_tool point-at <row> <column>\n"
               "       e2e_driver_tool close\n");
  return 2;
}
