#pragma once
// The kernel32 calls that one "Start Retrieving" run makes for the machine's
// drives, in the same order, and nothing else (no list, no texts): the floor of
// a retrieval. drive_calls.exe times it in a process of its own; the bench
// launcher also times it in its own process between the program's runs, so
// that both see the same load.
#include <windows.h>

#include <winioctl.h>

namespace brindlecap::drive_floor {

struct CallCounts {
  int drives = 0, findFirst = 0, volumeInformation = 0, freeSpace = 0, driveType = 0, versionEx = 0,
      createFile = 0, deviceIoControl = 0;
};

// The optical-drive probe: version check, open the device, ask its media types.
inline void ProbeMedia(char letter, CallCounts& counts) {
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

inline CallCounts OneRun() {
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

}  // namespace brindlecap::drive_floor
