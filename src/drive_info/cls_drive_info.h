#pragma once
// Everything the program asks about the computer's drives. The class asks the
// system afresh on every call and remembers nothing between calls.
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "drive_info/currency.h"
#include "drive_info/kernel32.h"
#include "drive_info/system_text.h"
#include "shared/message_box.h"

// windows.h maps GetDriveType to a system function; in code that sees both, the
// name means the operation of this class.
#ifdef GetDriveType
#undef GetDriveType
#endif

namespace brindlecap {

// Where the class's questions go.
struct DriveSystem {
  Kernel32& kernel32;
  const AnsiCodePage& codePage;
  const LocaleInfo& locale;
  MessageBoxService& messages;
};

class clsDriveInfo {
 public:
  // What the optical-device probe answers: the device type, or a text.
  using MediaTypeResult = std::variant<std::u16string, int32_t>;

  explicit clsDriveInfo(DriveSystem system) : system_(system) {}

  std::u16string UnQualifyPath(std::u16string strPath) const;
  // Raises InvalidArgumentFailure for a negative RoundBy.
  std::u16string ParseSize(Currency Size, const int16_t& RoundBy) const;
  std::u16string GetDriveTypeName(const std::u16string& Drive);
  int16_t GetDriveType(const std::u16string& Drive);
  bool Exists(const std::u16string& path);
  void GetDrives(std::vector<std::u16string>& Drives);
  int16_t GetDriveInfo(const std::u16string& Drive, std::u16string& Volume,
                       std::u16string& FileSystem, std::u16string& SerialNumber);
  // An amount that could not be produced (the call failed, or it overflowed the
  // currency layout) is left as it was.
  int16_t GetDriveSpace(const std::u16string& Drive, Currency& TotalSpace, Currency& FreeSpace,
                        Currency& UsedSpace, float& UsedSpacePercent);

 private:
  bool IsWin2000OrLater();
  MediaTypeResult GetMediaType(std::u16string& Drive);

  DriveSystem system_;
};

}  // namespace brindlecap
