#include "support/fake_kernel32.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "shared/text_convert.h"

namespace brindlecap::testing {

namespace {

namespace k = win32_constant;

constexpr uint32_t kErrorInvalidHandle = 6, kErrorInvalidFunction = 1, kErrorBadLength = 24,
                   kErrorInsufficientBuffer = 122, kErrorInvalidName = 123;

std::string UpperCase(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

bool AllZero(const void* area, size_t size) {
  const auto* bytes = static_cast<const unsigned char*>(area);
  return std::all_of(bytes, bytes + size, [](unsigned char b) { return b == 0; });
}

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// Writes text and its NUL when both fit in `size` characters.
bool CopyWithNul(const std::u16string& text, char16_t* buffer, uint32_t size) {
  if (text.size() + 1 > size) return false;
  std::copy(text.c_str(), text.c_str() + text.size() + 1, buffer);
  return true;
}

// A path as the fake records and looks it up: narrow, since roots are ASCII.
std::string NarrowPath(const char16_t* path) { return Utf16ToAscii(std::u16string_view(path)); }

}  // namespace

FakeKernel32::FakeKernel32() { SetVersion(k::kVerPlatformWin32Nt, 5, 1); }

FakeDrive& FakeKernel32::AddDrive(char letter, uint32_t kind) {
  FakeDrive& drive = drives_[letter];
  drive.letter = letter;
  drive.kind = kind;
  return drive;
}

void FakeKernel32::AddPath(const std::string& path, uint32_t attributes) {
  paths_[UpperCase(path)] = FoundEntry{attributes, path.substr(path.find_last_of('\\') + 1)};
}

void FakeKernel32::SetVersion(uint32_t platform, uint32_t major, uint32_t minor) {
  std::memset(&version, 0, sizeof version);
  version.dwPlatformId = platform;
  version.dwMajorVersion = major;
  version.dwMinorVersion = minor;
  version.dwBuildNumber = 2600;
}

void FakeKernel32::ThrowOn(const std::string& function, RuntimeFailure failure) {
  throws_.insert_or_assign(function, std::move(failure));
}

std::vector<std::string> FakeKernel32::CallNames() const {
  std::vector<std::string> names;
  for (const RecordedCall& call : calls_) names.push_back(call.function);
  return names;
}

std::vector<RecordedCall> FakeKernel32::CallsOf(const std::string& function) const {
  std::vector<RecordedCall> matching;
  for (const RecordedCall& call : calls_) {
    if (call.function == function) matching.push_back(call);
  }
  return matching;
}

int FakeKernel32::CountOf(const std::string& function) const {
  return static_cast<int>(CallsOf(function).size());
}

std::unique_lock<std::mutex> FakeKernel32::Enter() {
  if (beforeEachCall) beforeEachCall();
  return std::unique_lock<std::mutex>(mutex_);
}

RecordedCall& FakeKernel32::Record(const char* function, const char* text) {
  calls_.push_back(RecordedCall{function, text ? text : ""});
  return calls_.back();
}

void FakeKernel32::MaybeThrow(const std::string& function) const {
  const auto failure = throws_.find(function);
  if (failure != throws_.end()) throw failure->second;
}

FakeDrive* FakeKernel32::DriveOf(const std::string& path) {
  if (path.size() < 2 || path[1] != ':') return nullptr;
  FakeDrive* deepest = nullptr;
  for (auto& [folder, volume] : mounted_) {
    if (UpperCase(path + "\\").rfind(folder, 0) == 0) deepest = &volume;
  }
  if (deepest) return deepest;
  const auto drive =
      drives_.find(static_cast<char>(std::toupper(static_cast<unsigned char>(path[0]))));
  return drive == drives_.end() ? nullptr : &drive->second;
}

uint32_t FakeKernel32::GetLogicalDriveStringsA(uint32_t bufferLength, char* buffer) {
  const auto lock = Enter();
  RecordedCall& call = Record("GetLogicalDriveStringsA", nullptr);
  call.length = bufferLength;
  call.buffersZeroed = AllZero(buffer, bufferLength);
  MaybeThrow(call.function);
  if (driveStringsError != 0) return Fail(driveStringsError, 0u);

  // The list ends with an extra NUL, which the returned length does not count.
  std::string list;
  if (driveStrings) {
    list = *driveStrings;
  } else {
    for (const auto& [letter, drive] : drives_) list += std::string{letter, ':', '\\', '\0'};
    list.push_back('\0');
  }
  const uint32_t length = list.empty() ? 0 : static_cast<uint32_t>(list.size() - 1);
  // Like the system, a list that just fits has its final NUL written after the
  // buffer's last counted character; one that does not fit is not written at all.
  if (length > bufferLength) return length + 1;
  std::memcpy(buffer, list.data(), list.size());
  return length;
}

uint32_t FakeKernel32::GetDriveTypeA(const char* rootPathName) {
  const auto lock = Enter();
  Record("GetDriveTypeA", rootPathName);
  MaybeThrow("GetDriveTypeA");
  const FakeDrive* drive = DriveOf(rootPathName);
  return drive ? drive->kind : k::kDriveNoRootDir;
}

int32_t FakeKernel32::GetVolumeInformationW(
    const char16_t* rootPathName, char16_t* volumeNameBuffer, uint32_t volumeNameSize,
    uint32_t* volumeSerialNumber, uint32_t* maximumComponentLength, uint32_t* fileSystemFlags,
    char16_t* fileSystemNameBuffer, uint32_t fileSystemNameSize) {
  const auto lock = Enter();
  const std::string root = NarrowPath(rootPathName);
  RecordedCall& call = Record("GetVolumeInformationW", root.c_str());
  call.length = volumeNameSize;
  call.secondLength = fileSystemNameSize;
  call.buffersZeroed = AllZero(volumeNameBuffer, volumeNameSize * sizeof(char16_t)) &&
                       AllZero(fileSystemNameBuffer, fileSystemNameSize * sizeof(char16_t)) &&
                       *maximumComponentLength == 0 && *fileSystemFlags == 0;
  MaybeThrow(call.function);
  const FakeDrive* drive = DriveOf(root);
  if (!drive) return Fail(k::kErrorPathNotFound, 0);
  // A drive's root, or the folder a volume is mounted in, with its backslash.
  if ((root.size() != 3 || root[2] != '\\') && mounted_.count(UpperCase(root)) == 0) {
    return Fail(kErrorInvalidName, 0);
  }
  if (drive->volumeError) return Fail(*drive->volumeError, 0);
  if (!drive->medium) return Fail(k::kErrorNotReady, 0);
  if (!CopyWithNul(drive->label, volumeNameBuffer, volumeNameSize) ||
      !CopyWithNul(drive->fileSystem, fileSystemNameBuffer, fileSystemNameSize)) {
    return Fail(kErrorBadLength, 0);
  }
  *volumeSerialNumber = drive->serial;
  *maximumComponentLength = 255;
  *fileSystemFlags = 0x3;
  return 1;
}

int32_t FakeKernel32::GetDiskFreeSpaceExW(const char16_t* directoryName,
                                          uint64_t* freeBytesAvailableToCaller,
                                          uint64_t* totalNumberOfBytes,
                                          uint64_t* totalNumberOfFreeBytes) {
  const auto lock = Enter();
  const std::string root = NarrowPath(directoryName);
  Record("GetDiskFreeSpaceExW", root.c_str());
  MaybeThrow("GetDiskFreeSpaceExW");
  const FakeDrive* drive = DriveOf(root);
  if (!drive) return Fail(k::kErrorPathNotFound, 0);
  if (drive->spaceError) return Fail(*drive->spaceError, 0);
  if (!drive->medium) return Fail(k::kErrorNotReady, 0);
  *freeBytesAvailableToCaller = drive->callerFree;
  *totalNumberOfBytes = drive->total;
  *totalNumberOfFreeBytes = drive->free;
  return 1;
}

int32_t FakeKernel32::GetVersionExA(OsVersionInfoA* versionInformation) {
  const auto lock = Enter();
  RecordedCall& call = Record("GetVersionExA", nullptr);
  call.versionSize = versionInformation->dwOSVersionInfoSize;
  MaybeThrow(call.function);
  // The system refuses a record whose size field names neither known layout.
  if (call.versionSize != sizeof(OsVersionInfoA) && call.versionSize != 156) {
    return Fail(kErrorInsufficientBuffer, 0);
  }
  if (versionCallResult == 0) return Fail(kErrorInsufficientBuffer, 0);
  std::memcpy(reinterpret_cast<char*>(versionInformation) + sizeof(uint32_t),
              reinterpret_cast<const char*>(&version) + sizeof(uint32_t),
              sizeof(OsVersionInfoA) - sizeof(uint32_t));
  return versionCallResult;
}

DeviceHandle FakeKernel32::CreateFileA(const char* fileName, uint32_t desiredAccess,
                                       uint32_t shareMode, uint32_t creationDisposition,
                                       uint32_t flagsAndAttributes) {
  const auto lock = Enter();
  RecordedCall& call = Record("CreateFileA", fileName);
  call.access = desiredAccess;
  call.share = shareMode;
  call.disposition = creationDisposition;
  call.flags = flagsAndAttributes;
  call.handle = kInvalidDeviceHandle;
  MaybeThrow(call.function);
  const std::string name = fileName;
  const FakeDrive* drive =
      name.rfind("\\\\.\\", 0) == 0 && name.size() == 6 ? DriveOf(name.substr(4)) : nullptr;
  if (!drive) return Fail(k::kErrorFileNotFound, kInvalidDeviceHandle);
  const bool readWrite = (desiredAccess & (k::kGenericRead | k::kGenericWrite)) != 0;
  if (drive->probe == ProbeAnswer::kOpenFails) {
    return Fail(drive->probeError, kInvalidDeviceHandle);
  }
  if (drive->probe == ProbeAnswer::kRefusedOnReadWrite && readWrite) {
    return Fail(drive->probeError != 0 ? drive->probeError : k::kErrorAccessDenied,
                kInvalidDeviceHandle);
  }
  call.handle = nextHandle_++;
  openHandles_[call.handle] = drive->letter;
  return call.handle;
}

int32_t FakeKernel32::DeviceIoControl(DeviceHandle device, uint32_t ioControlCode,
                                      const void* inBuffer, uint32_t inBufferSize, void* outBuffer,
                                      uint32_t outBufferSize, uint32_t* bytesReturned) {
  const auto lock = Enter();
  RecordedCall& call = Record("DeviceIoControl", nullptr);
  call.handle = device;
  call.controlCode = ioControlCode;
  call.length = inBufferSize;
  call.secondLength = outBufferSize;
  call.inputIsZero = inBuffer != nullptr && AllZero(inBuffer, sizeof(uint32_t));
  call.buffersZeroed = outBuffer != nullptr && AllZero(outBuffer, outBufferSize);
  MaybeThrow(call.function);
  const auto open = openHandles_.find(device);
  if (open == openHandles_.end()) return Fail(kErrorInvalidHandle, 0);
  if (ioControlCode != k::kIoctlStorageGetMediaTypesEx) return Fail(kErrorInvalidFunction, 0);
  const FakeDrive& drive = drives_.at(open->second);
  if (drive.probe == ProbeAnswer::kIoctlFails) return Fail(drive.probeError, 0);
  // The device type, one media entry, then the entry itself (left zero here).
  const uint32_t header[2] = {drive.deviceType, 1};
  if (outBufferSize < sizeof header + 32) return Fail(kErrorInsufficientBuffer, 0);
  std::memcpy(outBuffer, header, sizeof header);
  *bytesReturned = sizeof header + 32;
  return 1;
}

int32_t FakeKernel32::CloseHandle(DeviceHandle handle) {
  const auto lock = Enter();
  Record("CloseHandle", nullptr).handle = handle;
  MaybeThrow("CloseHandle");
  if (openHandles_.erase(handle) == 0) return Fail(kErrorInvalidHandle, 0);
  return 1;
}

bool FakeKernel32::FindFirstEntryA(const char* pattern, FoundEntry* found) {
  const auto lock = Enter();
  Record("FindFirstEntryA", pattern);
  MaybeThrow("FindFirstEntryA");
  const std::string path = UpperCase(pattern);
  const FakeDrive* drive = DriveOf(path);
  if (!drive) return Fail(k::kErrorPathNotFound, false);
  if (drive->searchError != 0) return Fail(drive->searchError, false);
  if (!drive->medium) return Fail(k::kErrorNotReady, false);

  if ((path.size() == 4 && EndsWith(path, ":\\*")) ||
      mounted_.count(path.substr(0, path.size() - 1)) != 0) {
    if (drive->rootEntries.empty()) return Fail(k::kErrorFileNotFound, false);
    *found = drive->rootEntries.front();
    return true;
  }
  if (EndsWith(path, "\\*")) {
    const auto folder = paths_.find(path.substr(0, path.size() - 2));
    if (folder == paths_.end() || !(folder->second.attributes & k::kFileAttributeDirectory)) {
      return Fail(k::kErrorPathNotFound, false);
    }
    *found = FoundEntry{k::kFileAttributeDirectory, "."};
    return true;
  }
  const auto entry = paths_.find(path);
  if (entry == paths_.end()) return Fail(k::kErrorFileNotFound, false);
  *found = entry->second;
  return true;
}

}  // namespace brindlecap::testing
