#include "retrieval/recorded_answers.h"

#include <cstring>

namespace brindlecap {

namespace {

std::string_view Text(const char* text) {
  return text ? std::string_view(text) : std::string_view();
}

}  // namespace

void RecordedKernel32::Record(DriveAnswerRecording& recording) noexcept {
  recording_ = &recording;
  replaying_ = nullptr;
}

void RecordedKernel32::Replay(const DriveAnswerRecording* recording) noexcept {
  recording_ = nullptr;
  replaying_ = recording;
  position_ = 0;
}

bool RecordedKernel32::Replayed(Function function, const char* argument, uint32_t detail,
                                Areas outputs, int64_t& result) noexcept {
  if (replaying_ == nullptr) return false;
  size_t outputSize = 0;
  for (const Area& area : outputs) outputSize += area.data ? area.size : 0;
  const bool matches = position_ < replaying_->calls.size() && [&] {
    const DriveAnswerRecording::Call& call = replaying_->calls[position_];
    return call.function == function && call.argument == Text(argument) && call.detail == detail &&
           (function == Function::kFindFirstEntry || call.output.size() == outputSize);
  }();
  if (!matches) {
    replaying_ = nullptr;  // from here on the system answers
    return false;
  }
  const DriveAnswerRecording::Call& call = replaying_->calls[position_++];
  size_t offset = 0;
  for (const Area& area : outputs) {
    if (area.data == nullptr) continue;
    std::memcpy(area.data, call.output.data() + offset, area.size);
    offset += area.size;
  }
  result = call.result;
  return true;
}

DriveAnswerRecording::Call* RecordedKernel32::Keep(Function function, const char* argument,
                                                   uint32_t detail, Areas outputs, int64_t result) {
  if (recording_ == nullptr) return nullptr;
  DriveAnswerRecording::Call& call = recording_->calls.emplace_back();
  call.function = function;
  call.argument = Text(argument);
  call.detail = detail;
  call.result = result;
  for (const Area& area : outputs) {
    if (area.data) call.output.append(static_cast<const char*>(area.data), area.size);
  }
  return &call;
}

uint32_t RecordedKernel32::GetLogicalDriveStringsA(uint32_t bufferLength, char* buffer) {
  return system_.GetLogicalDriveStringsA(bufferLength, buffer);
}

uint32_t RecordedKernel32::GetDriveTypeA(const char* rootPathName) {
  int64_t result = 0;
  if (Replayed(Function::kGetDriveType, rootPathName, 0, {}, result)) {
    return static_cast<uint32_t>(result);
  }
  result = system_.GetDriveTypeA(rootPathName);
  Keep(Function::kGetDriveType, rootPathName, 0, {}, result);
  return static_cast<uint32_t>(result);
}

int32_t RecordedKernel32::GetVolumeInformationA(
    const char* rootPathName, char* volumeNameBuffer, uint32_t volumeNameSize,
    uint32_t* volumeSerialNumber, uint32_t* maximumComponentLength, uint32_t* fileSystemFlags,
    char* fileSystemNameBuffer, uint32_t fileSystemNameSize) {
  const Areas outputs = {{volumeNameBuffer, volumeNameSize},
                         {volumeSerialNumber, sizeof(uint32_t)},
                         {maximumComponentLength, sizeof(uint32_t)},
                         {fileSystemFlags, sizeof(uint32_t)},
                         {fileSystemNameBuffer, fileSystemNameSize}};
  int64_t result = 0;
  if (!Replayed(Function::kGetVolumeInformation, rootPathName, volumeNameSize, outputs, result)) {
    result = system_.GetVolumeInformationA(
        rootPathName, volumeNameBuffer, volumeNameSize, volumeSerialNumber, maximumComponentLength,
        fileSystemFlags, fileSystemNameBuffer, fileSystemNameSize);
    Keep(Function::kGetVolumeInformation, rootPathName, volumeNameSize, outputs, result);
  }
  return static_cast<int32_t>(result);
}

int32_t RecordedKernel32::GetDiskFreeSpaceExA(const char* directoryName,
                                              uint64_t* freeBytesAvailableToCaller,
                                              uint64_t* totalNumberOfBytes,
                                              uint64_t* totalNumberOfFreeBytes) {
  const Areas outputs = {{freeBytesAvailableToCaller, sizeof(uint64_t)},
                         {totalNumberOfBytes, sizeof(uint64_t)},
                         {totalNumberOfFreeBytes, sizeof(uint64_t)}};
  int64_t result = 0;
  if (!Replayed(Function::kGetDiskFreeSpaceEx, directoryName, 0, outputs, result)) {
    result = system_.GetDiskFreeSpaceExA(directoryName, freeBytesAvailableToCaller,
                                         totalNumberOfBytes, totalNumberOfFreeBytes);
    Keep(Function::kGetDiskFreeSpaceEx, directoryName, 0, outputs, result);
  }
  return static_cast<int32_t>(result);
}

uint32_t RecordedKernel32::GetLastError() {
  int64_t result = 0;
  if (!Replayed(Function::kGetLastError, nullptr, 0, {}, result)) {
    result = system_.GetLastError();
    Keep(Function::kGetLastError, nullptr, 0, {}, result);
  }
  return static_cast<uint32_t>(result);
}

int32_t RecordedKernel32::GetVersionExA(OsVersionInfoA* versionInformation) {
  const Areas outputs = {{versionInformation, sizeof(OsVersionInfoA)}};
  int64_t result = 0;
  if (!Replayed(Function::kGetVersionEx, nullptr, 0, outputs, result)) {
    result = system_.GetVersionExA(versionInformation);
    Keep(Function::kGetVersionEx, nullptr, 0, outputs, result);
  }
  return static_cast<int32_t>(result);
}

DeviceHandle RecordedKernel32::CreateFileA(const char* fileName, uint32_t desiredAccess,
                                           uint32_t shareMode, uint32_t creationDisposition,
                                           uint32_t flagsAndAttributes) {
  int64_t result = 0;
  if (!Replayed(Function::kCreateFile, fileName, desiredAccess, {}, result)) {
    result = system_.CreateFileA(fileName, desiredAccess, shareMode, creationDisposition,
                                 flagsAndAttributes);
    Keep(Function::kCreateFile, fileName, desiredAccess, {}, result);
  }
  return static_cast<DeviceHandle>(result);
}

int32_t RecordedKernel32::DeviceIoControl(DeviceHandle device, uint32_t ioControlCode,
                                          const void* inBuffer, uint32_t inBufferSize,
                                          void* outBuffer, uint32_t outBufferSize,
                                          uint32_t* bytesReturned) {
  const Areas outputs = {{outBuffer, outBufferSize}, {bytesReturned, sizeof(uint32_t)}};
  int64_t result = 0;
  if (!Replayed(Function::kDeviceIoControl, nullptr, ioControlCode, outputs, result)) {
    result = system_.DeviceIoControl(device, ioControlCode, inBuffer, inBufferSize, outBuffer,
                                     outBufferSize, bytesReturned);
    Keep(Function::kDeviceIoControl, nullptr, ioControlCode, outputs, result);
  }
  return static_cast<int32_t>(result);
}

int32_t RecordedKernel32::CloseHandle(DeviceHandle handle) {
  // A replayed handle was closed by the worker that opened it.
  int64_t result = 0;
  if (!Replayed(Function::kCloseHandle, nullptr, 0, {}, result)) {
    result = system_.CloseHandle(handle);
    Keep(Function::kCloseHandle, nullptr, 0, {}, result);
  }
  return static_cast<int32_t>(result);
}

bool RecordedKernel32::FindFirstEntryA(const char* pattern, FoundEntry* found) {
  // The entry's name has no fixed size: it is kept after its attributes.
  int64_t result = 0;
  const DriveAnswerRecording* replaying = replaying_;
  if (Replayed(Function::kFindFirstEntry, pattern, 0, {}, result)) {
    const std::string& output = replaying->calls[position_ - 1].output;
    if (found != nullptr && output.size() >= sizeof found->attributes) {
      std::memcpy(&found->attributes, output.data(), sizeof found->attributes);
      found->name = output.substr(sizeof found->attributes);
    }
    return result != 0;
  }
  result = system_.FindFirstEntryA(pattern, found);
  if (DriveAnswerRecording::Call* call = Keep(Function::kFindFirstEntry, pattern, 0, {}, result);
      call != nullptr && found != nullptr) {
    call->output.assign(reinterpret_cast<const char*>(&found->attributes),
                        sizeof found->attributes);
    call->output += found->name;
  }
  return result != 0;
}

}  // namespace brindlecap
