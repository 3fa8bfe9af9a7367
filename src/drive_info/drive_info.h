#pragma once
// Everything the program asks about the computer's drives. The class asks the
// system afresh on every call and remembers nothing between calls.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "drive_info/currency.h"
#include "drive_info/kernel32.h"
#include "shared/message_box.h"
#include "shared/system_text.h"

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

class DriveInfo {
 public:
  explicit DriveInfo(DriveSystem system) : system_(system) {}

  std::u16string UnQualifyPath(std::u16string path) const;
  // Raises InvalidArgumentFailure for a negative roundBy.
  std::u16string ParseSize(Currency size, const int16_t& roundBy) const;
  // kindCode, when given, receives the system's drive type number the name stands for.
  std::u16string GetDriveTypeName(const std::u16string& root, int16_t* kindCode = nullptr);
  int16_t GetDriveType(const std::u16string& root);
  bool Exists(const std::u16string& path);
  void GetDrives(std::vector<std::u16string>& roots);
  // serialNumber, when given, receives the number the serial text shows.
  [[nodiscard]] int16_t GetDriveInfo(const std::u16string& root, std::u16string& volume,
                                     std::u16string& fileSystem, std::u16string& serialText,
                                     uint32_t* serialNumber = nullptr);
  // An amount that could not be produced (the call failed, or it overflowed the
  // currency layout) is left as it was.
  [[nodiscard]] int16_t GetDriveSpace(const std::u16string& root, Currency& totalSpace,
                                      Currency& freeSpace, Currency& usedSpace, float& usedPercent);

 private:
  bool IsWin2000OrLater();
  // The optical device's type, or nothing (an older system, a device that cannot
  // be opened or asked).
  std::optional<int32_t> GetMediaType(std::u16string& root);

  DriveSystem system_;
};

}  // namespace brindlecap
