#pragma once
// One drive's answers, asked on a worker thread and given again on the window's
// thread. A worker runs the drive's queries over a RecordedKernel32 that records;
// the window's thread then runs the very same steps over one that replays: each
// call is answered from the recording (the same result, output buffers and error
// code, in the same order) without waiting for the drive a second time. From the
// first call that does not match the recording (a query that failed by raising,
// say), the real system is asked instead, so the outcome is always the system's.
#include <atomic>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "drive_info/kernel32.h"

namespace brindlecap {

struct DriveAnswerRecording {
  enum class Function : uint8_t {
    kGetDriveType,
    kGetVolumeInformation,
    kGetDiskFreeSpaceEx,
    kGetLastError,
    kGetVersionEx,
    kCreateFile,
    kDeviceIoControl,
    kCloseHandle,
    kFindFirstEntry,
  };
  struct Call {
    Function function = Function::kGetDriveType;
    std::string argument;  // the path or device name asked about
    uint32_t detail = 0;   // a buffer size, the access asked for, or a control code
    int64_t result = 0;
    std::string output;  // every output area, one after the other
  };

  explicit DriveAnswerRecording(std::u16string driveRoot) : root(std::move(driveRoot)) {}

  const std::u16string root;
  std::vector<Call> calls;  // written by the worker until `answered` is set
  std::atomic<bool> answered{false};
};

class RecordedKernel32 : public Kernel32 {
 public:
  explicit RecordedKernel32(Kernel32& system) : system_(system) {}

  // Asks the system and keeps every answer in the recording.
  void Record(DriveAnswerRecording& recording) noexcept;
  // Answers from the recording; nullptr: every call goes to the system.
  void Replay(const DriveAnswerRecording* recording) noexcept;

  uint32_t GetLogicalDriveStringsA(uint32_t bufferLength, char* buffer) override;
  uint32_t GetDriveTypeA(const char* rootPathName) override;
  int32_t GetVolumeInformationA(const char* rootPathName, char* volumeNameBuffer,
                                uint32_t volumeNameSize, uint32_t* volumeSerialNumber,
                                uint32_t* maximumComponentLength, uint32_t* fileSystemFlags,
                                char* fileSystemNameBuffer, uint32_t fileSystemNameSize) override;
  int32_t GetDiskFreeSpaceExA(const char* directoryName, uint64_t* freeBytesAvailableToCaller,
                              uint64_t* totalNumberOfBytes,
                              uint64_t* totalNumberOfFreeBytes) override;
  uint32_t GetLastError() override;
  int32_t GetVersionExA(OsVersionInfoA* versionInformation) override;
  DeviceHandle CreateFileA(const char* fileName, uint32_t desiredAccess, uint32_t shareMode,
                           uint32_t creationDisposition, uint32_t flagsAndAttributes) override;
  int32_t DeviceIoControl(DeviceHandle device, uint32_t ioControlCode, const void* inBuffer,
                          uint32_t inBufferSize, void* outBuffer, uint32_t outBufferSize,
                          uint32_t* bytesReturned) override;
  int32_t CloseHandle(DeviceHandle handle) override;
  bool FindFirstEntryA(const char* pattern, FoundEntry* found) override;

 private:
  // An output area of a call: its address and size (no area when null).
  struct Area {
    void* data;
    size_t size;
  };
  using Areas = std::initializer_list<Area>;
  using Function = DriveAnswerRecording::Function;

  // True when the recording answers this call: the areas and the result are filled.
  bool Replayed(Function function, const char* argument, uint32_t detail, Areas outputs,
                int64_t& result) noexcept;
  // Keeps the system's answer when recording; returns the recorded call.
  DriveAnswerRecording::Call* Keep(Function function, const char* argument, uint32_t detail,
                                   Areas outputs, int64_t result);

  Kernel32& system_;
  DriveAnswerRecording* recording_ = nullptr;
  const DriveAnswerRecording* replaying_ = nullptr;
  size_t position_ = 0;
};

}  // namespace brindlecap
