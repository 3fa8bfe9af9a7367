// The retrieval floor: the kernel32 calls that one "Start Retrieving" run makes
// for the machine's drives (drive_calls.h), timed run after run in a process of
// its own. Prints the time of each run in microseconds.
//   drive_calls [runs]
#include "drive_calls.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

using brindlecap::drive_floor::CallCounts;
using brindlecap::drive_floor::OneRun;

int wmain(int argc, wchar_t** argv) {
  const int runs = argc > 1 ? std::max(1, _wtoi(argv[1])) : 100;
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  CallCounts counts;
  for (int run = 0; run < runs; ++run) {
    QueryPerformanceCounter(&start);
    counts = OneRun();
    QueryPerformanceCounter(&end);
    std::printf("run %d %.1f\n", run + 1,
                static_cast<double>(end.QuadPart - start.QuadPart) * 1e6 /
                    static_cast<double>(frequency.QuadPart));
  }
  std::printf(
      "calls per run: drives %d FindFirstFileA %d GetVolumeInformationA %d GetDiskFreeSpaceExA %d "
      "GetDriveTypeA %d GetVersionExA %d CreateFileA %d DeviceIoControl %d\n",
      counts.drives, counts.findFirst, counts.volumeInformation, counts.freeSpace, counts.driveType,
      counts.versionEx, counts.createFile, counts.deviceIoControl);
  return 0;
}
