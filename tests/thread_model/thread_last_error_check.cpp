// Each worker thread reads the error of its own failed call through the one kernel32
// binding the workers share. A plain program rather than a GoogleTest one, so that it
// builds in the shipped programs' thread model too (win32: its runtime has no
// std::mutex), whose thread_local goes through another runtime than the tests'.
#include <windows.h>

#include <cstdio>

#include "drive_info/win32/system_kernel32.h"
#include "retrieval/win32/system_worker_threads.h"

int main() {
  brindlecap::win32::SystemKernel32 kernel32;
  LONG mixedUp = 0;
  const auto ask = [&](const char* pattern, uint32_t expected) {
    return [&, pattern, expected] {
      brindlecap::FoundEntry found;
      for (int i = 0; i < 100; ++i) {
        const bool failed = !kernel32.FindFirstEntryA(pattern, &found);
        Sleep(1);  // the other thread's call fails meanwhile
        if (failed && kernel32.GetLastError() != expected) InterlockedIncrement(&mixedUp);
      }
    };
  };
  {
    brindlecap::win32::SystemWorkerThreads threads;  // waits for its threads when it goes
    if (!threads.Start(ask("C:\\no-such-folder-here\\*", ERROR_PATH_NOT_FOUND)) ||
        !threads.Start(ask("C:\\no-such-file-here.txt", ERROR_FILE_NOT_FOUND))) {
      std::puts("could not start the threads");
      return 2;
    }
  }
  std::printf("%ld of 200 failed calls read another thread's error\n", mixedUp);
  return mixedUp == 0 ? 0 : 1;
}
