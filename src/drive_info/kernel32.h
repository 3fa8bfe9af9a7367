#pragma once
// The kernel32 calls that the drive information asks, in their ANSI forms but for
// the volume's texts, which come from the wide call whole. The Win32 binding calls
// the real functions; tests script a fake.
#include <cstdint>
#include <string>

namespace brindlecap {

// OSVERSIONINFOA, 148 bytes.
struct OsVersionInfoA {
  uint32_t dwOSVersionInfoSize;
  uint32_t dwMajorVersion;
  uint32_t dwMinorVersion;
  uint32_t dwBuildNumber;
  uint32_t dwPlatformId;
  char szCSDVersion[128];
};
static_assert(sizeof(OsVersionInfoA) == 148, "OSVERSIONINFOA is 148 bytes");

using DeviceHandle = intptr_t;
inline constexpr DeviceHandle kInvalidDeviceHandle = -1;

namespace win32_constant {
constexpr uint32_t kDriveUnknown = 0, kDriveNoRootDir = 1, kDriveRemovable = 2, kDriveFixed = 3,
                   kDriveRemote = 4, kDriveCdrom = 5, kDriveRamdisk = 6;
constexpr uint32_t kGenericRead = 0x80000000u, kGenericWrite = 0x40000000u;
constexpr uint32_t kFileShareRead = 1, kFileShareWrite = 2;
constexpr uint32_t kOpenExisting = 3;
constexpr uint32_t kIoctlStorageGetMediaTypesEx = 0x002D0C04u;
constexpr uint32_t kVerPlatformWin32Nt = 2;
constexpr uint32_t kFileDeviceCdRom = 2, kFileDeviceDvd = 0x33;
constexpr uint32_t kErrorFileNotFound = 2, kErrorPathNotFound = 3, kErrorAccessDenied = 5,
                   kErrorNoMoreFiles = 18, kErrorNotReady = 21;
constexpr uint32_t kFileAttributeHidden = 0x2, kFileAttributeSystem = 0x4,
                   kFileAttributeDirectory = 0x10, kFileAttributeArchive = 0x20;
}  // namespace win32_constant

// What the first-match directory search finds.
struct FoundEntry {
  uint32_t attributes = 0;
  std::string name;  // ANSI
};

// The error code of the calling thread's last failed call. The system keeps one per
// thread, and so does every binding: the drives are asked on several threads at once,
// and one drive's failure must never be read as another's.
class ThreadLastError {
 public:
  static uint32_t Get() noexcept { return Slot(); }
  static void Set(uint32_t error) noexcept { Slot() = error; }

 private:
  static uint32_t& Slot() noexcept {
    thread_local uint32_t error = 0;
    return error;
  }
};

class Kernel32 {
 public:
  virtual ~Kernel32() = default;

  virtual uint32_t GetLogicalDriveStringsA(uint32_t bufferLength, char* buffer) = 0;
  virtual uint32_t GetDriveTypeA(const char* rootPathName) = 0;
  // Sizes count UTF-16 units; a label the ANSI code page cannot hold comes whole.
  virtual int32_t GetVolumeInformationW(const char16_t* rootPathName, char16_t* volumeNameBuffer,
                                        uint32_t volumeNameSize, uint32_t* volumeSerialNumber,
                                        uint32_t* maximumComponentLength, uint32_t* fileSystemFlags,
                                        char16_t* fileSystemNameBuffer,
                                        uint32_t fileSystemNameSize) = 0;
  virtual int32_t GetDiskFreeSpaceExA(const char* directoryName,
                                      uint64_t* freeBytesAvailableToCaller,
                                      uint64_t* totalNumberOfBytes,
                                      uint64_t* totalNumberOfFreeBytes) = 0;
  // The error code of this thread's last failed call above.
  virtual uint32_t GetLastError() = 0;
  virtual int32_t GetVersionExA(OsVersionInfoA* versionInformation) = 0;
  virtual DeviceHandle CreateFileA(const char* fileName, uint32_t desiredAccess, uint32_t shareMode,
                                   uint32_t creationDisposition, uint32_t flagsAndAttributes) = 0;
  virtual int32_t DeviceIoControl(DeviceHandle device, uint32_t ioControlCode, const void* inBuffer,
                                  uint32_t inBufferSize, void* outBuffer, uint32_t outBufferSize,
                                  uint32_t* bytesReturned) = 0;
  virtual int32_t CloseHandle(DeviceHandle handle) = 0;
  // FindFirstFileA then FindClose: true and the first entry when the pattern
  // matches; false otherwise, with the reason in GetLastError.
  virtual bool FindFirstEntryA(const char* pattern, FoundEntry* found) = 0;
};

}  // namespace brindlecap
