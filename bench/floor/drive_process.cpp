// The floor of a whole command-line export: a process of the program's kind
// (windowless, GUI subsystem) that makes the kernel32 calls of one retrieval
// (drive_calls.h) and ends. Writes nothing. Built four times: drive_process imports
// kernel32 alone; drive_process_dlls also loads the DLLs that Brindlecap.exe
// imports (user32, gdi32, comctl32), without calling them, to show what loading
// them costs a process. drive_process_console is drive_process as a console
// program, the kind Brindlecap.com is (its console set up by the system);
// drive_process_threads is that console program asking each drive on a thread of
// its own (64 KiB of stack reserved, as Brindlecap's workers), all started at once
// and waited for: what a thread per drive costs a process.
#include "drive_calls.h"

#ifdef BRINDLECAP_FLOOR_PROGRAM_DLLS
#include <commctrl.h>
#endif

#ifdef BRINDLECAP_FLOOR_THREADS
namespace {

DWORD WINAPI AskOneDrive(void* root) {
  brindlecap::drive_floor::CallCounts counts;
  brindlecap::drive_floor::AskDrive(static_cast<const char*>(root), counts);
  return 0;
}

int DrivesOnThreads() {
  static char roots[256] = {};
  GetLogicalDriveStringsA(255, roots);
  HANDLE threads[26] = {};
  int drives = 0;
  for (char* root = roots; *root != '\0' && drives < 26; root += lstrlenA(root) + 1) {
    threads[drives++] = CreateThread(nullptr, 64 * 1024, AskOneDrive, root,
                                     STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
  }
  for (int i = 0; i < drives; ++i) {
    if (threads[i] == nullptr) continue;
    WaitForSingleObject(threads[i], INFINITE);
    CloseHandle(threads[i]);
  }
  return drives;
}

}  // namespace
#endif

#if defined(BRINDLECAP_FLOOR_CONSOLE) || defined(BRINDLECAP_FLOOR_THREADS)
int wmain() {
#else
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
#endif
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
#ifdef BRINDLECAP_FLOOR_THREADS
  const int drives = DrivesOnThreads();
#else
  const int drives = brindlecap::drive_floor::OneRun().drives;
#endif
#ifdef BRINDLECAP_FLOOR_PROGRAM_DLLS
  // Never true: only makes the linker import one function of each DLL.
  if (drives < 0) {
    InitCommonControls();
    GetStockObject(WHITE_BRUSH);
    GetSysColor(COLOR_WINDOW);
  }
#endif
  return drives > 0 ? 0 : 1;
}
