// The retrieval floor: the kernel32 calls that one "Start Retrieving" run makes
// for the machine's drives, in the same order, and nothing else (no list, no
// texts). Prints the time of each run in microseconds.
//   drive_calls [runs]
#include <windows.h>

#include <winioctl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

struct CallCounts {
  int drives = 0, findFirst = 0, volumeInformation = 0, freeSpace = 0, driveType = 0, versionEx = 0,
      createFile = 0, deviceIoControl = 0;
};

// The optical-drive probe: version check, open the device, ask its media types.
void ProbeMedia(char letter, CallCounts& counts) {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
  ++counts.versionEx;
  if (!GetVersionExA(&version)) return;
  char device[] = "\\\\.\\X:";
  device[4] = letter;
  ++counts.createFile;
  HANDLE handle =
      CreateFileA(device, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                  OPEN_EXISTING, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE && GetLastError() == ERROR_ACCESS_DENIED) {
    ++counts.createFile;
    handle = CreateFileA(device, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                         nullptr);
  }
  if (handle == INVALID_HANDLE_VALUE) return;
  unsigned char answer[360];
  DWORD returned = 0;
  ++counts.deviceIoControl;
  DeviceIoControl(handle, IOCTL_STORAGE_GET_MEDIA_TYPES_EX, nullptr, 0, answer, sizeof answer,
                  &returned, nullptr);
  CloseHandle(handle);
}

CallCounts OneRun() {
  CallCounts counts;
  char roots[256] = {};
  GetLogicalDriveStringsA(255, roots);
  for (const char* root = roots; *root != '\0'; root += lstrlenA(root) + 1) {
    ++counts.drives;
    char pattern[8];
    lstrcpynA(pattern, root, 5);
    lstrcatA(pattern, "*");
    WIN32_FIND_DATAA found;
    ++counts.findFirst;
    const HANDLE search = FindFirstFileA(pattern, &found);
    const bool present = search != INVALID_HANDLE_VALUE || GetLastError() == ERROR_FILE_NOT_FOUND ||
                         GetLastError() == ERROR_NO_MORE_FILES;
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
    if (present) {
      char volume[256], fileSystem[256];
      DWORD serial = 0, componentLength = 0, flags = 0;
      ++counts.volumeInformation;
      GetVolumeInformationA(root, volume, 255, &serial, &componentLength, &flags, fileSystem, 255);
      ULARGE_INTEGER callerFree, total, free;
      ++counts.freeSpace;
      GetDiskFreeSpaceExA(root, &callerFree, &total, &free);
    }
    ++counts.driveType;
    if (GetDriveTypeA(root) == DRIVE_CDROM) ProbeMedia(root[0], counts);
  }
  return counts;
}

}  // namespace

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
