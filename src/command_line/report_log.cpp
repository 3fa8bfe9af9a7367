#include "command_line/report_log.h"

#include "shared/text_convert.h"

namespace brindlecap {

void ReportLog::Show(const std::u16string& text, const std::u16string&, MessageBoxIcon) {
  failures_.push_back({std::nullopt, text, currentRoot_});
}

void ReportLog::ShowApplicationError(std::u16string_view description, std::u16string_view,
                                     int line) {
  failures_.push_back({line, std::u16string(description), currentRoot_});
}

void DriveTrackingKernel32::Asking(const char* path) {
  std::u16string root;
  if (path != nullptr && path[0] != '\0' && path[1] == ':') {
    root = AsciiToUtf16(std::string_view(path, 2)) + u'\\';
  }
  log_.SetCurrentRoot(std::move(root));
}

uint32_t DriveTrackingKernel32::GetLogicalDriveStringsA(uint32_t bufferLength, char* buffer) {
  log_.SetCurrentRoot({});
  return system_.GetLogicalDriveStringsA(bufferLength, buffer);
}

uint32_t DriveTrackingKernel32::GetDriveTypeA(const char* rootPathName) {
  Asking(rootPathName);
  return system_.GetDriveTypeA(rootPathName);
}

int32_t DriveTrackingKernel32::GetVolumeInformationA(
    const char* rootPathName, char* volumeNameBuffer, uint32_t volumeNameSize,
    uint32_t* volumeSerialNumber, uint32_t* maximumComponentLength, uint32_t* fileSystemFlags,
    char* fileSystemNameBuffer, uint32_t fileSystemNameSize) {
  Asking(rootPathName);
  return system_.GetVolumeInformationA(rootPathName, volumeNameBuffer, volumeNameSize,
                                       volumeSerialNumber, maximumComponentLength, fileSystemFlags,
                                       fileSystemNameBuffer, fileSystemNameSize);
}

int32_t DriveTrackingKernel32::GetDiskFreeSpaceExA(const char* directoryName,
                                                   uint64_t* freeBytesAvailableToCaller,
                                                   uint64_t* totalNumberOfBytes,
                                                   uint64_t* totalNumberOfFreeBytes) {
  Asking(directoryName);
  return system_.GetDiskFreeSpaceExA(directoryName, freeBytesAvailableToCaller, totalNumberOfBytes,
                                     totalNumberOfFreeBytes);
}

bool DriveTrackingKernel32::FindFirstEntryA(const char* pattern, FoundEntry* found) {
  Asking(pattern);
  return system_.FindFirstEntryA(pattern, found);
}

}  // namespace brindlecap
