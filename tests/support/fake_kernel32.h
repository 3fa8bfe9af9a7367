#pragma once
// A scriptable machine behind the kernel32 interface: drives with their kinds,
// volumes, root entries, space figures and device answers; failures with any
// error code; an old system; and a record of every call in order.
//
//   FakeKernel32 machine;
//   machine.AddDrive('A', win32_constant::kDriveRemovable).NotReady();
//   machine.AddDrive('C', win32_constant::kDriveFixed).Label("System").Serial(0x1234ABCD);
//   machine.AddDrive('D', win32_constant::kDriveCdrom).NotReady().DeviceType(2);
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "drive_info/kernel32.h"
#include "shared/runtime_failure.h"

namespace brindlecap::testing {

// How the drive's device answers the media-types probe.
enum class ProbeAnswer {
  kDeviceType,          // opens read/write and reports deviceType
  kOpenFails,           // every open fails with probeError
  kRefusedOnReadWrite,  // a read/write open fails with probeError (5 unless set); a query-only
                        // open works
  kIoctlFails,          // opens, then the device call fails with probeError
};

struct FakeDrive {
  char letter = 'C';
  uint32_t kind = win32_constant::kDriveFixed;
  bool medium = true;    // false: volume, space and search fail with "not ready" (21)
  std::u16string label;  // the volume's texts are wide; every other text is ANSI
  std::u16string fileSystem = u"NTFS";
  uint32_t serial = 0;
  std::vector<FoundEntry> rootEntries = {{win32_constant::kFileAttributeArchive, "readme.txt"}};
  uint64_t total = 1073741824, free = 536870912, callerFree = 536870912;
  // A code makes that query fail with it, 0 included.
  std::optional<uint32_t> volumeError, spaceError;
  uint32_t searchError = 0;  // non-zero: the search fails with it
  ProbeAnswer probe = ProbeAnswer::kDeviceType;
  uint32_t deviceType = win32_constant::kFileDeviceCdRom;
  uint32_t probeError = 0;

  FakeDrive& NotReady() { return medium = false, *this; }
  // A narrow text is Latin-1, as the fake code page reads it.
  FakeDrive& Label(const std::string& text) { return label = Latin1(text), *this; }
  FakeDrive& Label(std::u16string text) { return label = std::move(text), *this; }
  FakeDrive& FileSystem(const std::string& name) { return fileSystem = Latin1(name), *this; }
  FakeDrive& Serial(uint32_t value) { return serial = value, *this; }
  FakeDrive& Entries(std::vector<FoundEntry> entries) { return rootEntries = entries, *this; }
  FakeDrive& EmptyRoot() { return rootEntries.clear(), *this; }
  FakeDrive& Space(uint64_t totalBytes, uint64_t freeBytes) {
    return Space(totalBytes, freeBytes, freeBytes);
  }
  FakeDrive& Space(uint64_t totalBytes, uint64_t freeBytes, uint64_t callerFreeBytes) {
    total = totalBytes, free = freeBytes, callerFree = callerFreeBytes;
    return *this;
  }
  FakeDrive& FailVolume(uint32_t code) { return volumeError = code, *this; }
  FakeDrive& FailSpace(uint32_t code) { return spaceError = code, *this; }
  FakeDrive& FailSearch(uint32_t code) { return searchError = code, *this; }
  FakeDrive& DeviceType(uint32_t type) {
    probe = ProbeAnswer::kDeviceType, deviceType = type;
    return *this;
  }
  FakeDrive& Probe(ProbeAnswer answer, uint32_t error = 0) {
    probe = answer, probeError = error;
    return *this;
  }
  static std::u16string Latin1(const std::string& text) {
    std::u16string wide;
    for (char c : text) wide.push_back(static_cast<unsigned char>(c));
    return wide;
  }
};

// One call as the fake saw it; only the fields that the function has are set.
struct RecordedCall {
  std::string function;
  std::string text;                       // root, pattern or device name
  uint32_t length = 0, secondLength = 0;  // buffer lengths
  bool buffersZeroed = false;             // the output areas held only zeros on entry
  uint32_t access = 0, share = 0, disposition = 0, flags = 0;  // CreateFileA
  DeviceHandle handle = 0;  // the handle used, or the one CreateFileA returned
  uint32_t controlCode = 0;
  bool inputIsZero = false;  // DeviceIoControl: the input points to a 32-bit zero
  uint32_t versionSize = 0;  // GetVersionExA: the size field on entry
  std::thread::id thread = std::this_thread::get_id();  // the caller's
};

class FakeKernel32 : public Kernel32 {
 public:
  FakeKernel32();

  FakeDrive& AddDrive(char letter, uint32_t kind);
  FakeDrive& Drive(char letter) { return drives_.at(letter); }
  // A path below a root for searches of that exact path (or of path\* for a folder).
  void AddPath(const std::string& path, uint32_t attributes);

  // What GetLogicalDriveStringsA writes instead of the drive list: every byte,
  // the final NUL included.
  std::optional<std::string> driveStrings;
  uint32_t driveStringsError = 0;  // non-zero: the call fails with it

  // A volume mounted in a folder ("C:\\Data\\", ending with a backslash) and not at
  // a letter; every query of a path inside the folder answers from it.
  FakeDrive& MountInFolder(const std::string& folder);
  bool noVolumePathNames = false;  // Windows 2000: GetVolumePathNamesForVolumeNameW is missing

  OsVersionInfoA version{};
  int32_t versionCallResult = 1;
  void SetVersion(uint32_t platform, uint32_t major, uint32_t minor = 0);

  // Runs before every call, outside the fake's lock: a threaded test pauses here
  // for a random moment, so the calls of several threads interleave.
  std::function<void()> beforeEachCall;

  // The next calls of `function` raise this failure instead of answering.
  void ThrowOn(const std::string& function, RuntimeFailure failure);

  const std::vector<RecordedCall>& Calls() const { return calls_; }
  std::vector<std::string> CallNames() const;
  std::vector<RecordedCall> CallsOf(const std::string& function) const;
  int CountOf(const std::string& function) const;
  size_t OpenHandleCount() const { return openHandles_.size() + searches_.size(); }
  void ClearCalls() { calls_.clear(); }

  uint32_t GetLogicalDriveStringsA(uint32_t bufferLength, char* buffer) override;
  uint32_t GetDriveTypeA(const char* rootPathName) override;
  int32_t GetVolumeInformationW(const char16_t* rootPathName, char16_t* volumeNameBuffer,
                                uint32_t volumeNameSize, uint32_t* volumeSerialNumber,
                                uint32_t* maximumComponentLength, uint32_t* fileSystemFlags,
                                char16_t* fileSystemNameBuffer,
                                uint32_t fileSystemNameSize) override;
  int32_t GetDiskFreeSpaceExW(const char16_t* directoryName, uint64_t* freeBytesAvailableToCaller,
                              uint64_t* totalNumberOfBytes,
                              uint64_t* totalNumberOfFreeBytes) override;
  uint32_t GetLastError() override { return ThreadLastError::Get(); }
  int32_t GetVersionExA(OsVersionInfoA* versionInformation) override;
  DeviceHandle CreateFileA(const char* fileName, uint32_t desiredAccess, uint32_t shareMode,
                           uint32_t creationDisposition, uint32_t flagsAndAttributes) override;
  int32_t DeviceIoControl(DeviceHandle device, uint32_t ioControlCode, const void* inBuffer,
                          uint32_t inBufferSize, void* outBuffer, uint32_t outBufferSize,
                          uint32_t* bytesReturned) override;
  int32_t CloseHandle(DeviceHandle handle) override;
  bool FindFirstEntryA(const char* pattern, FoundEntry* found) override;
  DeviceHandle FindFirstVolumeW(char16_t* volumeName, uint32_t length) override;
  int32_t FindNextVolumeW(DeviceHandle search, char16_t* volumeName, uint32_t length) override;
  int32_t FindVolumeClose(DeviceHandle search) override;
  int32_t GetVolumePathNamesForVolumeNameW(const char16_t* volumeName, char16_t* pathNames,
                                           uint32_t length, uint32_t* returnLength) override;
  int32_t GetVolumeNameForVolumeMountPointW(const char16_t* mountPoint, char16_t* volumeName,
                                            uint32_t length) override;
  DeviceHandle FindFirstVolumeMountPointW(const char16_t* rootPathName, char16_t* mountPoint,
                                          uint32_t length) override;
  int32_t FindNextVolumeMountPointW(DeviceHandle search, char16_t* mountPoint,
                                    uint32_t length) override;
  int32_t FindVolumeMountPointClose(DeviceHandle search) override;

 private:
  // Every call but GetLastError holds the lock: workers ask the fake at once.
  [[nodiscard]] std::unique_lock<std::mutex> Enter();
  RecordedCall& Record(const char* function, const char* text);
  void MaybeThrow(const std::string& function) const;
  // The drive that a path names by its "X:" start, if the machine has it.
  FakeDrive* DriveOf(const std::string& path);  // a mounted folder's volume first
  template <class Result>
  Result Fail(uint32_t error, Result result) {
    ThreadLastError::Set(error);
    return result;
  }

  // Every volume's path: "C:\\" for a letter, the folder for one mounted in a folder.
  std::vector<std::string> VolumePaths() const;
  // Answers the search's next name into the buffer, or fails with "no more files".
  int32_t NextName(DeviceHandle search, char16_t* buffer, uint32_t length);
  // A search over `names` with its first name in `buffer`, or the invalid handle.
  DeviceHandle StartSearch(std::vector<std::string> names, char16_t* buffer, uint32_t length);

  std::map<char, FakeDrive> drives_;
  std::map<std::string, FakeDrive> mounted_;                   // by upper-case folder
  std::map<DeviceHandle, std::vector<std::string>> searches_;  // the names still to come
  std::map<std::string, FoundEntry> paths_;                    // by upper-case path
  std::map<std::string, RuntimeFailure> throws_;
  std::vector<RecordedCall> calls_;
  std::map<DeviceHandle, char> openHandles_;
  DeviceHandle nextHandle_ = 0x100;
  std::mutex mutex_;
};

}  // namespace brindlecap::testing
