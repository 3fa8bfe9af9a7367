#pragma once
// The drive information's kernel32 calls, answered by the real functions.
#include "drive_info/kernel32.h"

namespace brindlecap::win32 {

class SystemKernel32 : public Kernel32 {
 public:
  uint32_t GetLogicalDriveStringsA(uint32_t bufferLength, char* buffer) override;
  uint32_t GetDriveTypeA(const char* rootPathName) override;
  int32_t GetVolumeInformationW(const char16_t* rootPathName, char16_t* volumeNameBuffer,
                                uint32_t volumeNameSize, uint32_t* volumeSerialNumber,
                                uint32_t* maximumComponentLength, uint32_t* fileSystemFlags,
                                char16_t* fileSystemNameBuffer,
                                uint32_t fileSystemNameSize) override;
  int32_t GetDiskFreeSpaceExA(const char* directoryName, uint64_t* freeBytesAvailableToCaller,
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

 private:
  // Keeps the system's error code of a failed call; anything the program does
  // between the call and the question could otherwise overwrite it.
  template <class Result>
  static Result Checked(Result result, bool failed);
};

}  // namespace brindlecap::win32
