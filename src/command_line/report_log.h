#pragma once
// Without a window no box may appear: the reports a run would have shown are kept
// instead, each with the drive it was asked about when it happened.
#include <string>
#include <vector>

#include "drive_info/kernel32.h"
#include "export/table_text.h"
#include "shared/message_box.h"

namespace brindlecap {

class ReportLog : public MessageBoxService {
 public:
  // A box that is no "Application Error" report: its text, without a line.
  void Show(const std::u16string& text, const std::u16string& title, MessageBoxIcon icon) override;
  void ShowApplicationError(std::u16string_view description, std::u16string_view locationLabel,
                            int line) override;

  // The drive that the next reports are about; empty for none.
  void SetCurrentRoot(std::u16string root) { currentRoot_ = std::move(root); }
  const std::vector<ReportedFailure>& Failures() const { return failures_; }

 private:
  std::u16string currentRoot_;
  std::vector<ReportedFailure> failures_;
};

// Passes every call on and tells the log which drive is being asked: each of a
// drive's queries names its root, and the list of drives names none.
class DriveTrackingKernel32 : public Kernel32 {
 public:
  DriveTrackingKernel32(Kernel32& system, ReportLog& log) : system_(system), log_(log) {}

  uint32_t GetLogicalDriveStringsA(uint32_t bufferLength, char* buffer) override;
  uint32_t GetDriveTypeA(const char* rootPathName) override;
  int32_t GetVolumeInformationA(const char* rootPathName, char* volumeNameBuffer,
                                uint32_t volumeNameSize, uint32_t* volumeSerialNumber,
                                uint32_t* maximumComponentLength, uint32_t* fileSystemFlags,
                                char* fileSystemNameBuffer, uint32_t fileSystemNameSize) override;
  int32_t GetDiskFreeSpaceExA(const char* directoryName, uint64_t* freeBytesAvailableToCaller,
                              uint64_t* totalNumberOfBytes,
                              uint64_t* totalNumberOfFreeBytes) override;
  uint32_t GetLastError() override { return system_.GetLastError(); }
  int32_t GetVersionExA(OsVersionInfoA* versionInformation) override {
    return system_.GetVersionExA(versionInformation);
  }
  DeviceHandle CreateFileA(const char* fileName, uint32_t desiredAccess, uint32_t shareMode,
                           uint32_t creationDisposition, uint32_t flagsAndAttributes) override {
    return system_.CreateFileA(fileName, desiredAccess, shareMode, creationDisposition,
                               flagsAndAttributes);
  }
  int32_t DeviceIoControl(DeviceHandle device, uint32_t ioControlCode, const void* inBuffer,
                          uint32_t inBufferSize, void* outBuffer, uint32_t outBufferSize,
                          uint32_t* bytesReturned) override {
    return system_.DeviceIoControl(device, ioControlCode, inBuffer, inBufferSize, outBuffer,
                                   outBufferSize, bytesReturned);
  }
  int32_t CloseHandle(DeviceHandle handle) override { return system_.CloseHandle(handle); }
  bool FindFirstEntryA(const char* pattern, FoundEntry* found) override;

 private:
  // "C:\" for any path that starts with a drive letter and a colon.
  void Asking(const char* path);

  Kernel32& system_;
  ReportLog& log_;
};

}  // namespace brindlecap
