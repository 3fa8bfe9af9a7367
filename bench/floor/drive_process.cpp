// The floor of a whole command-line export: a process of the program's kind
// (windowless, GUI subsystem) that makes the kernel32 calls of one retrieval
// (drive_calls.h) and ends. Writes nothing. Built three times: drive_process imports
// kernel32 alone; drive_process_dlls also loads the DLLs that Brindlecap.exe
// imports (user32, gdi32, comctl32), without calling them, to show what loading
// them costs a process. drive_process_console is drive_process as a console
// program, the kind Brindlecap.com is (its console set up by the system).
#include "drive_calls.h"

#ifdef BRINDLECAP_FLOOR_PROGRAM_DLLS
#include <commctrl.h>
#endif

#ifdef BRINDLECAP_FLOOR_CONSOLE
int wmain() {
#else
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
#endif
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  const int drives = brindlecap::drive_floor::OneRun().drives;
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
