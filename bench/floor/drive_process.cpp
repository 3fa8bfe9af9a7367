// The floor of a whole command-line export: a process of the program's kind
// (windowless, GUI subsystem) that makes the kernel32 calls of one retrieval
// (drive_calls.h) and ends. Writes nothing.
#include "drive_calls.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  return brindlecap::drive_floor::OneRun().drives > 0 ? 0 : 1;
}
