#include "drive_info/drive_info.h"

#include <cmath>
#include <cstring>
#include <new>
#include <string_view>

#include "drive_info/size_text.h"
#include "shared/runtime_failure.h"
#include "shared/text_convert.h"

namespace brindlecap {

namespace {

namespace k = win32_constant;

// Every text buffer the drive queries hand to the system holds 255 characters.
constexpr uint32_t kBufferLength = 255;
// The media-types answer: device type, entry count and 11 entries of 32 bytes.
constexpr uint32_t kMediaTypesAnswerSize = 360;

constexpr char16_t kProbeFailureTitle[] = u"Harrowmede - GetMediaType";

// A status is 16 bits wide; a code that does not fit is the runtime's overflow.
int16_t StatusOf(uint32_t code) {
  return code > 32767 ? static_cast<int16_t>(error_number::kOverflow) : static_cast<int16_t>(code);
}

int16_t StatusOf(const RuntimeFailure& failure) {
  const int32_t number = failure.Number();
  return number < 0 || number > 32767 ? static_cast<int16_t>(error_number::kOverflow)
                                      : static_cast<int16_t>(number);
}

// A buffer of 255 NUL characters with room for the terminator the system may add.
struct TextBuffer {
  char text[kBufferLength + 1] = {};
  // The part before the first NUL.
  std::string_view UpToNul() const {
    const void* nul = std::memchr(text, '\0', kBufferLength);
    return {text, nul ? static_cast<size_t>(static_cast<const char*>(nul) - text) : kBufferLength};
  }
};

std::u16string SerialText(uint32_t serial) {
  if (serial == 0) return u"No SN";
  static constexpr char16_t kHexDigits[] = u"0123456789ABCDEF";
  std::u16string digits(8, u'0');
  for (int i = 7; i >= 0; --i, serial >>= 4) digits[i] = kHexDigits[serial & 0xF];
  return digits.substr(0, 4) + u'-' + digits.substr(4);
}

std::u16string AsciiUpperCase(std::u16string text) {
  for (char16_t& c : text) {
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
  }
  return text;
}

// Half-way cases go to the even digit (the default floating-point rounding).
double RoundToHundredths(double value) { return std::nearbyint(value * 100.0) / 100.0; }

}  // namespace

std::u16string DriveInfo::UnQualifyPath(std::u16string path) const {
  const size_t first = path.find_first_not_of(u' ');
  if (first == std::u16string::npos) return {};
  path = path.substr(first, path.find_last_not_of(u' ') - first + 1);
  if (path.back() == u'\\') path.pop_back();
  return path;
}

std::u16string DriveInfo::ParseSize(Currency size, const int16_t& roundBy) const {
  if (roundBy < 0) throw InvalidArgumentFailure();
  return SizeText(size, roundBy, system_.locale);
}

std::u16string DriveInfo::GetDriveTypeName(const std::u16string& root, int16_t* kindCode) {
  const int16_t kind = GetDriveType(root);
  if (kindCode) *kindCode = kind;
  switch (kind) {
    case k::kDriveUnknown:
      return u"Unknown";
    case k::kDriveNoRootDir:
      return u"Not Found";
    case k::kDriveRemovable:
      return !root.empty() && (root[0] == u'A' || root[0] == u'B') ? u"Floppy" : u"USB Drive";
    case k::kDriveFixed:
      return u"Fixed";
    case k::kDriveRemote:
      return u"Remote";
    case k::kDriveCdrom: {
      std::u16string copy = root;
      const std::optional<int32_t> deviceType = GetMediaType(copy);
      if (deviceType == static_cast<int32_t>(k::kFileDeviceCdRom)) return u"CD-ROM";
      if (deviceType == static_cast<int32_t>(k::kFileDeviceDvd)) return u"DVD-ROM";
      return {};
    }
    case k::kDriveRamdisk:
      return u"RAM Disk";
    default:
      return {};
  }
}

int16_t DriveInfo::GetDriveType(const std::u16string& root) {
  const uint32_t code = system_.kernel32.GetDriveTypeA(system_.codePage.ToAnsi(root).c_str());
  if (code > 32767) throw OverflowFailure();
  return static_cast<int16_t>(code);
}

bool DriveInfo::Exists(const std::u16string& path) {
  try {
    // A root (any path ending in a backslash) is searched inside; an empty but
    // readable volume still has a medium.
    const bool isRoot = !path.empty() && path.back() == u'\\';
    const std::string pattern = system_.codePage.ToAnsi(isRoot ? path + u'*' : path);
    FoundEntry found;
    if (system_.kernel32.FindFirstEntryA(pattern.c_str(), &found)) return !found.name.empty();
    if (!isRoot) return false;
    const uint32_t error = system_.kernel32.GetLastError();
    return error == k::kErrorFileNotFound || error == k::kErrorNoMoreFiles;
  } catch (...) {
    return false;
  }
}

void DriveInfo::GetDrives(std::vector<std::u16string>& roots) {
  TextBuffer buffer;
  system_.kernel32.GetLogicalDriveStringsA(kBufferLength, buffer.text);
  const std::u16string text =
      system_.codePage.FromAnsi(std::string_view(buffer.text, kBufferLength));

  // Keep up to the NUL after the last root; with no root at all, the first NUL.
  const size_t lastBackslash = text.rfind(u'\\');
  const std::u16string kept =
      text.substr(0, lastBackslash == std::u16string::npos ? 1 : lastBackslash + 2);

  // Only pieces that end at a NUL are roots: whatever follows the last NUL is dropped.
  std::vector<std::u16string> pieces;
  size_t start = 0;
  for (size_t nul = kept.find(u'\0'); nul != std::u16string::npos; nul = kept.find(u'\0', start)) {
    pieces.push_back(kept.substr(start, nul - start));
    start = nul + 1;
  }
  roots = std::move(pieces);
}

int16_t DriveInfo::GetDriveInfo(const std::u16string& root, std::u16string& volume,
                                std::u16string& fileSystem, std::u16string& serialText,
                                uint32_t* serialNumber) {
  try {
    volume.assign(kBufferLength, u'\0');
    fileSystem.assign(kBufferLength, u'\0');
    TextBuffer volumeBuffer, fileSystemBuffer;
    uint32_t serial = 0, maximumComponentLength = 0, fileSystemFlags = 0;
    if (!system_.kernel32.GetVolumeInformationA(
            system_.codePage.ToAnsi(root).c_str(), volumeBuffer.text, kBufferLength, &serial,
            &maximumComponentLength, &fileSystemFlags, fileSystemBuffer.text, kBufferLength)) {
      return StatusOf(system_.kernel32.GetLastError());
    }
    volume = system_.codePage.FromAnsi(volumeBuffer.UpToNul());
    fileSystem = system_.codePage.FromAnsi(fileSystemBuffer.UpToNul());
    serialText = SerialText(serial);
    if (serialNumber) *serialNumber = serial;
    return 0;
  } catch (const RuntimeFailure& failure) {
    return StatusOf(failure);
  } catch (const std::bad_alloc&) {
    return error_number::kOutOfMemory;
  }
}

int16_t DriveInfo::GetDriveSpace(const std::u16string& root, Currency& totalSpace,
                                 Currency& freeSpace, Currency& usedSpace, float& usedPercent) {
  try {
    uint64_t callerFree = 0, total = 0, free = 0;
    if (!system_.kernel32.GetDiskFreeSpaceExA(system_.codePage.ToAnsi(root).c_str(), &callerFree,
                                              &total, &free)) {
      return StatusOf(system_.kernel32.GetLastError());
    }
    // An amount too large for the currency layout is left as it was; the other one
    // is still written, but nothing is derived from them.
    const auto store = [](uint64_t count, Currency& output) {
      if (count > static_cast<uint64_t>(Currency::kMaxWholeAmount)) return false;
      output = Currency::FromUnsignedAmount(count);
      return true;
    };
    const bool totalFits = store(total, totalSpace);
    const bool freeFits = store(free, freeSpace);
    if (!totalFits || !freeFits) throw OverflowFailure();
    // Under a quota the volume's free space can exceed the total the caller sees;
    // then only what the caller may still use counts as free.
    const uint64_t used =
        free <= total ? total - free : (callerFree <= total ? total - callerFree : 0);
    usedSpace = Currency::FromUnsignedAmount(used);
    // 0 of 0 is no percentage.
    if (total == 0) throw OverflowFailure();
    usedPercent = static_cast<float>(
        RoundToHundredths(static_cast<double>(used) / static_cast<double>(total) * 100.0));
    return 0;
  } catch (const RuntimeFailure& failure) {
    return StatusOf(failure);
  } catch (const std::bad_alloc&) {
    return error_number::kOutOfMemory;
  }
}

bool DriveInfo::IsWin2000OrLater() {
  OsVersionInfoA version;
  std::memset(&version, 0, sizeof version);
  version.dwOSVersionInfoSize = sizeof version;
  if (system_.kernel32.GetVersionExA(&version) != 1) return false;
  return version.dwPlatformId == k::kVerPlatformWin32Nt && version.dwMajorVersion >= 5;
}

std::optional<int32_t> DriveInfo::GetMediaType(std::u16string& root) {
  Kernel32& kernel32 = system_.kernel32;
  std::optional<int32_t> result;
  DeviceHandle device = kInvalidDeviceHandle;
  try {
    [&] {
      if (!IsWin2000OrLater()) return;
      root = UnQualifyPath(root);
      const std::string name = system_.codePage.ToAnsi(u"\\\\.\\" + AsciiUpperCase(root));
      const uint32_t shareReadWrite = k::kFileShareRead | k::kFileShareWrite;
      device = kernel32.CreateFileA(name.c_str(), k::kGenericRead | k::kGenericWrite,
                                    shareReadWrite, k::kOpenExisting, 0);
      // Without administrator rights the device opens only for queries; an empty
      // drive refuses data access (not ready) but answers queries too.
      if (device == kInvalidDeviceHandle) {
        const uint32_t error = kernel32.GetLastError();
        if (error == k::kErrorAccessDenied || error == k::kErrorNotReady) {
          device = kernel32.CreateFileA(name.c_str(), 0, shareReadWrite, k::kOpenExisting, 0);
        }
      }
      if (device == kInvalidDeviceHandle) return;

      const uint32_t noInput = 0;
      unsigned char answer[kMediaTypesAnswerSize] = {};
      uint32_t bytesReturned = 0;
      if (kernel32.DeviceIoControl(device, k::kIoctlStorageGetMediaTypesEx, &noInput, 0, answer,
                                   sizeof answer, &bytesReturned)) {
        uint32_t deviceType;
        std::memcpy(&deviceType, answer, sizeof deviceType);
        result = static_cast<int32_t>(deviceType);
      }
    }();
  } catch (const RuntimeFailure& failure) {
    system_.messages.Show(failure.Description(), kProbeFailureTitle, MessageBoxIcon::kCriticalStop);
  } catch (const std::exception& failure) {
    system_.messages.Show(AsciiToUtf16(failure.what()), kProbeFailureTitle,
                          MessageBoxIcon::kCriticalStop);
  }
  if (device != kInvalidDeviceHandle) kernel32.CloseHandle(device);
  return result;
}

}  // namespace brindlecap
