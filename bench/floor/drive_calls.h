#pragma once
// The kernel32 calls that one "Start Retrieving" run makes for the machine's
// drives, in the same order, and nothing else (no list, no texts): the floor of
// a retrieval. drive_calls.exe times it in a process of its own; the bench
// launcher also times it in its own process between the program's runs, so
// that both see the same load. retrieval_window.exe hands each drive's answers
// on to make its rows.
#include <windows.h>

#include <winioctl.h>

namespace brindlecap::drive_floor {

struct CallCounts {
  int drives = 0, findFirst = 0, volumeInformation = 0, freeSpace = 0, driveType = 0, versionEx = 0,
      createFile = 0, deviceIoControl = 0;
};

// What the calls answered for one drive.
struct DriveAnswers {
  const char* root = nullptr;
  bool present = false, volumeKnown = false, spaceKnown = false;
  char volume[256] = {}, fileSystem[256] = {};
  DWORD serial = 0;
  ULARGE_INTEGER callerFree{}, total{}, free{};
  UINT type = DRIVE_UNKNOWN;
  DWORD deviceType = 0;  // an optical drive's, from its media types; 0: not known
};

// The optical-drive probe: version check, open the device, ask its media types.
inline DWORD ProbeMedia(char letter, CallCounts& counts) {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
  ++counts.versionEx;
  if (!GetVersionExA(&version)) return 0;
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
  if (handle == INVALID_HANDLE_VALUE) return 0;
  DWORD answer[90] = {};  // the device type first
  DWORD returned = 0;
  ++counts.deviceIoControl;
  const BOOL answered = DeviceIoControl(handle, IOCTL_STORAGE_GET_MEDIA_TYPES_EX, nullptr, 0,
                                        answer, sizeof answer, &returned, nullptr);
  CloseHandle(handle);
  return answered ? answer[0] : 0;
}

// One drive's calls, in the program's order.
inline DriveAnswers AskDrive(const char* root, CallCounts& counts) {
  DriveAnswers answers;
  answers.root = root;
  char pattern[8];
  lstrcpynA(pattern, root, 5);
  lstrcatA(pattern, "*");
  WIN32_FIND_DATAA found;
  ++counts.findFirst;
  const HANDLE search = FindFirstFileA(pattern, &found);
  answers.present = search != INVALID_HANDLE_VALUE || GetLastError() == ERROR_FILE_NOT_FOUND ||
                    GetLastError() == ERROR_NO_MORE_FILES;
  if (search != INVALID_HANDLE_VALUE) FindClose(search);
  if (answers.present) {
    DWORD componentLength = 0, flags = 0;
    ++counts.volumeInformation;
    answers.volumeKnown =
        GetVolumeInformationA(root, answers.volume, 255, &answers.serial, &componentLength, &flags,
                              answers.fileSystem, 255) != FALSE;
    ++counts.freeSpace;
    answers.spaceKnown =
        GetDiskFreeSpaceExA(root, &answers.callerFree, &answers.total, &answers.free) != FALSE;
  }
  ++counts.driveType;
  answers.type = GetDriveTypeA(root);
  if (answers.type == DRIVE_CDROM) answers.deviceType = ProbeMedia(root[0], counts);
  return answers;
}

// onDrive(const DriveAnswers&) is called after each drive's calls.
template <typename OnDrive>
CallCounts OneRun(OnDrive&& onDrive) {
  CallCounts counts;
  char roots[256] = {};
  GetLogicalDriveStringsA(255, roots);
  for (const char* root = roots; *root != '\0'; root += lstrlenA(root) + 1) {
    ++counts.drives;
    onDrive(AskDrive(root, counts));
  }
  return counts;
}

inline CallCounts OneRun() {
  return OneRun([](const DriveAnswers&) {});
}

}  // namespace brindlecap::drive_floor
