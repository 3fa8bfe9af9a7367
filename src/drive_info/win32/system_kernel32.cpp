#include "drive_info/win32/system_kernel32.h"

#include <windows.h>

#include <cstring>

#include "platform/handles.h"

namespace brindlecap::win32 {

static_assert(sizeof(OsVersionInfoA) == sizeof(OSVERSIONINFOA), "same layout as OSVERSIONINFOA");
static_assert(sizeof(DeviceHandle) == sizeof(HANDLE), "a device handle holds a HANDLE");

namespace {

HANDLE ToHandle(DeviceHandle handle) { return reinterpret_cast<HANDLE>(handle); }

}  // namespace

template <class Result>
Result SystemKernel32::Checked(Result result, bool failed) {
  if (failed) ThreadLastError::Set(::GetLastError());
  return result;
}

uint32_t SystemKernel32::GetLogicalDriveStringsA(uint32_t bufferLength, char* buffer) {
  const DWORD length = ::GetLogicalDriveStringsA(bufferLength, buffer);
  return Checked<uint32_t>(length, length == 0);
}

uint32_t SystemKernel32::GetDriveTypeA(const char* rootPathName) {
  return ::GetDriveTypeA(rootPathName);
}

int32_t SystemKernel32::GetVolumeInformationW(
    const char16_t* rootPathName, char16_t* volumeNameBuffer, uint32_t volumeNameSize,
    uint32_t* volumeSerialNumber, uint32_t* maximumComponentLength, uint32_t* fileSystemFlags,
    char16_t* fileSystemNameBuffer, uint32_t fileSystemNameSize) {
  DWORD serial = *volumeSerialNumber, componentLength = *maximumComponentLength,
        flags = *fileSystemFlags;
  const BOOL ok = ::GetVolumeInformationW(
      reinterpret_cast<LPCWSTR>(rootPathName), reinterpret_cast<LPWSTR>(volumeNameBuffer),
      volumeNameSize, &serial, &componentLength, &flags,
      reinterpret_cast<LPWSTR>(fileSystemNameBuffer), fileSystemNameSize);
  if (ok) {
    *volumeSerialNumber = serial;
    *maximumComponentLength = componentLength;
    *fileSystemFlags = flags;
  }
  return Checked<int32_t>(ok, !ok);
}

int32_t SystemKernel32::GetDiskFreeSpaceExA(const char* directoryName,
                                            uint64_t* freeBytesAvailableToCaller,
                                            uint64_t* totalNumberOfBytes,
                                            uint64_t* totalNumberOfFreeBytes) {
  ULARGE_INTEGER callerFree{}, total{}, free{};
  const BOOL ok = ::GetDiskFreeSpaceExA(directoryName, &callerFree, &total, &free);
  if (ok) {
    *freeBytesAvailableToCaller = callerFree.QuadPart;
    *totalNumberOfBytes = total.QuadPart;
    *totalNumberOfFreeBytes = free.QuadPart;
  }
  return Checked<int32_t>(ok, !ok);
}

int32_t SystemKernel32::GetVersionExA(OsVersionInfoA* versionInformation) {
  OSVERSIONINFOA version;
  std::memcpy(&version, versionInformation, sizeof version);
  const BOOL ok = ::GetVersionExA(&version);
  if (ok) std::memcpy(versionInformation, &version, sizeof version);
  return Checked<int32_t>(ok, !ok);
}

DeviceHandle SystemKernel32::CreateFileA(const char* fileName, uint32_t desiredAccess,
                                         uint32_t shareMode, uint32_t creationDisposition,
                                         uint32_t flagsAndAttributes) {
  const HANDLE handle = ::CreateFileA(fileName, desiredAccess, shareMode, nullptr,
                                      creationDisposition, flagsAndAttributes, nullptr);
  return Checked(reinterpret_cast<DeviceHandle>(handle), handle == INVALID_HANDLE_VALUE);
}

int32_t SystemKernel32::DeviceIoControl(DeviceHandle device, uint32_t ioControlCode,
                                        const void* inBuffer, uint32_t inBufferSize,
                                        void* outBuffer, uint32_t outBufferSize,
                                        uint32_t* bytesReturned) {
  DWORD returned = 0;
  const BOOL ok = ::DeviceIoControl(ToHandle(device), ioControlCode, const_cast<void*>(inBuffer),
                                    inBufferSize, outBuffer, outBufferSize, &returned, nullptr);
  *bytesReturned = returned;
  return Checked<int32_t>(ok, !ok);
}

int32_t SystemKernel32::CloseHandle(DeviceHandle handle) {
  const BOOL ok = ::CloseHandle(ToHandle(handle));
  return Checked<int32_t>(ok, !ok);
}

bool SystemKernel32::FindFirstEntryA(const char* pattern, FoundEntry* found) {
  WIN32_FIND_DATAA entry{};
  const UniqueFindHandle search(::FindFirstFileA(pattern, &entry));
  if (!search) return Checked(false, true);
  found->attributes = entry.dwFileAttributes;
  found->name = entry.cFileName;
  return true;
}

}  // namespace brindlecap::win32
