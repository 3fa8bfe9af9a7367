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

// A failed system call, raised with its error code.
struct SystemCallFailed {
  uint32_t code;
};

// The failure being handled, as a query answers it: call it only inside a catch block.
QueryFailure CurrentQueryFailure() noexcept {
  try {
    try {
      throw;
    } catch (const SystemCallFailed& failed) {
      return {static_cast<int32_t>(failed.code), {}};
    } catch (const std::bad_alloc&) {
      return {kQueryOutOfMemory, CurrentFailure().Description()};
    } catch (...) {
      return {kQueryFailed, CurrentFailure().Description()};
    }
  } catch (...) {
    return {kQueryOutOfMemory, {}};  // no memory for the description
  }
}

// Runs a query that fills its value and raises what it meets: the answer keeps
// what the value holds by then, and the failure.
template <class Value, class Query>
Answer<Value> Asking(Query&& query) noexcept {
  Answer<Value> answer;
  try {
    query(answer.value);
  } catch (...) {
    answer.failure = CurrentQueryFailure();
  }
  return answer;
}

// A buffer of 255 NUL characters with room for the terminator the system may add.
template <class Char>
struct Buffer {
  Char text[kBufferLength + 1] = {};
  // The part before the first NUL.
  std::basic_string_view<Char> UpToNul() const {
    const std::basic_string_view<Char> all(text, kBufferLength);
    return all.substr(0, all.find(Char{}));
  }
};
using AnsiBuffer = Buffer<char>;
using TextBuffer = Buffer<char16_t>;

std::u16string SerialText(uint32_t serial) {
  if (serial == 0) return u"No SN";
  const std::u16string digits = AsciiToUtf16(HexText(serial, 8));
  return digits.substr(0, 4) + u'-' + digits.substr(4);
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

Answer<DriveKind> DriveInfo::KindName(const std::u16string& root) {
  Answer<DriveKind> answer;
  const Answer<int16_t> kind = Kind(root);
  answer.value.code = kind.value;
  if (kind.failure) {
    answer.failure = kind.failure;
    return answer;
  }
  std::u16string& name = answer.value.name;
  switch (kind.value) {
    case k::kDriveUnknown:
      name = u"Unknown";
      break;
    case k::kDriveNoRootDir:
      name = u"Not Found";
      break;
    case k::kDriveRemovable:
      name = !root.empty() && (root[0] == u'A' || root[0] == u'B') ? u"Floppy" : u"USB Drive";
      break;
    case k::kDriveFixed:
      name = u"Fixed";
      break;
    case k::kDriveRemote:
      name = u"Remote";
      break;
    case k::kDriveCdrom:
      try {
        const std::optional<int32_t> deviceType = MediaType(root);
        if (deviceType == static_cast<int32_t>(k::kFileDeviceCdRom)) name = u"CD-ROM";
        if (deviceType == static_cast<int32_t>(k::kFileDeviceDvd)) name = u"DVD-ROM";
      } catch (...) {
        answer.value.probeFailure = CurrentQueryFailure();
      }
      break;
    case k::kDriveRamdisk:
      name = u"RAM Disk";
      break;
    default:
      break;
  }
  return answer;
}

Answer<int16_t> DriveInfo::Kind(const std::u16string& root) {
  return Asking<int16_t>([&](int16_t& kind) {
    const uint32_t code = system_.kernel32.GetDriveTypeA(system_.codePage.ToAnsi(root).c_str());
    if (code > 32767) throw OverflowFailure();
    kind = static_cast<int16_t>(code);
  });
}

Answer<bool> DriveInfo::Exists(const std::u16string& path) {
  return Asking<bool>([&](bool& exists) {
    // A root (any path ending in a backslash) is searched inside; an empty but
    // readable volume still has a medium.
    const bool isRoot = !path.empty() && path.back() == u'\\';
    const std::string pattern = system_.codePage.ToAnsi(isRoot ? path + u'*' : path);
    FoundEntry found;
    if (system_.kernel32.FindFirstEntryA(pattern.c_str(), &found)) {
      exists = !found.name.empty();
    } else if (isRoot) {
      const uint32_t error = system_.kernel32.GetLastError();
      exists = error == k::kErrorFileNotFound || error == k::kErrorNoMoreFiles;
    }
  });
}

Answer<std::vector<std::u16string>> DriveInfo::Roots() {
  return Asking<std::vector<std::u16string>>([&](std::vector<std::u16string>& roots) {
    AnsiBuffer buffer;
    system_.kernel32.GetLogicalDriveStringsA(kBufferLength, buffer.text);
    const std::u16string text =
        system_.codePage.FromAnsi(std::string_view(buffer.text, kBufferLength));

    // Keep up to the NUL after the last root; with no root at all, the first NUL.
    const size_t lastBackslash = text.rfind(u'\\');
    const std::u16string kept =
        text.substr(0, lastBackslash == std::u16string::npos ? 1 : lastBackslash + 2);

    // Only pieces that end at a NUL are roots: whatever follows the last NUL is dropped.
    size_t start = 0;
    for (size_t nul = kept.find(u'\0'); nul != std::u16string::npos;
         nul = kept.find(u'\0', start)) {
      roots.push_back(kept.substr(start, nul - start));
      start = nul + 1;
    }
  });
}

Answer<VolumeDetails> DriveInfo::Volume(const std::u16string& root) {
  return Asking<VolumeDetails>([&](VolumeDetails& details) {
    TextBuffer volumeBuffer, fileSystemBuffer;
    uint32_t serial = 0, maximumComponentLength = 0, fileSystemFlags = 0;
    if (!system_.kernel32.GetVolumeInformationW(root.c_str(), volumeBuffer.text, kBufferLength,
                                                &serial, &maximumComponentLength, &fileSystemFlags,
                                                fileSystemBuffer.text, kBufferLength)) {
      throw SystemCallFailed{system_.kernel32.GetLastError()};
    }
    details.name = std::u16string(volumeBuffer.UpToNul());
    details.fileSystem = std::u16string(fileSystemBuffer.UpToNul());
    details.serialText = SerialText(serial);
    details.serialNumber = serial;
  });
}

Answer<DriveSpace> DriveInfo::Space(const std::u16string& root) {
  return Asking<DriveSpace>([&](DriveSpace& space) {
    uint64_t callerFree = 0, total = 0, free = 0;
    // Wide: a folder a volume is mounted in may have any name.
    if (!system_.kernel32.GetDiskFreeSpaceExW(root.c_str(), &callerFree, &total, &free)) {
      throw SystemCallFailed{system_.kernel32.GetLastError()};
    }
    // The caller may use less than the volume has free only under a per-user quota,
    // whose total is the caller's too: then what the caller may still use is free.
    // Without a quota the two are the same. Free is kept within the total, so Used
    // is never below 0.
    const uint64_t shownFree = callerFree < free ? callerFree : free;
    space.totalBytes = total;
    space.freeBytes = shownFree < total ? shownFree : total;
    space.usedBytes = total - space.freeBytes;
    space.volumeFreeBytes = free;
    // The size texts reckon in byte amounts: a count too large for one has no
    // text, which is no failure of the system's answer. Used has one only beside
    // both of the figures it comes from.
    const auto amount = [](uint64_t count) -> std::optional<ByteAmount> {
      if (count > static_cast<uint64_t>(ByteAmount::kMaxBytes)) return std::nullopt;
      return ByteAmount::FromBytes(count);
    };
    space.total = amount(space.totalBytes);
    space.free = amount(space.freeBytes);
    if (space.total && space.free) space.used = amount(space.usedBytes);
    // 0 of 0 is no percentage.
    if (total == 0) return;
    space.usedPercent = static_cast<float>(RoundToHundredths(static_cast<double>(space.usedBytes) /
                                                             static_cast<double>(total) * 100.0));
  });
}

bool DriveInfo::IsWin2000OrLater() {
  OsVersionInfoA version;
  std::memset(&version, 0, sizeof version);
  version.dwOSVersionInfoSize = sizeof version;
  if (system_.kernel32.GetVersionExA(&version) != 1) return false;
  return version.dwPlatformId == k::kVerPlatformWin32Nt && version.dwMajorVersion >= 5;
}

std::optional<int32_t> DriveInfo::MediaType(const std::u16string& root) {
  if (!IsWin2000OrLater()) return std::nullopt;
  Kernel32& kernel32 = system_.kernel32;
  const std::string name =
      system_.codePage.ToAnsi(u"\\\\.\\" + AsciiUpperCase(UnQualifyPath(root)));
  const uint32_t shareReadWrite = k::kFileShareRead | k::kFileShareWrite;
  DeviceHandle device = kernel32.CreateFileA(name.c_str(), k::kGenericRead | k::kGenericWrite,
                                             shareReadWrite, k::kOpenExisting, 0);
  // Whatever refuses data access (no administrator rights, an empty drive, a disc
  // being burned by another program, a device error) may still leave the device
  // open for queries, which is all the probe needs.
  if (device == kInvalidDeviceHandle) {
    device = kernel32.CreateFileA(name.c_str(), 0, shareReadWrite, k::kOpenExisting, 0);
  }
  if (device == kInvalidDeviceHandle) return std::nullopt;
  const auto askMediaTypes = [&]() -> std::optional<int32_t> {
    const uint32_t noInput = 0;
    unsigned char answer[kMediaTypesAnswerSize] = {};
    uint32_t bytesReturned = 0;
    if (!kernel32.DeviceIoControl(device, k::kIoctlStorageGetMediaTypesEx, &noInput, 0, answer,
                                  sizeof answer, &bytesReturned)) {
      return std::nullopt;
    }
    uint32_t deviceType;
    std::memcpy(&deviceType, answer, sizeof deviceType);
    return static_cast<int32_t>(deviceType);
  };
  std::optional<int32_t> deviceType;
  try {
    deviceType = askMediaTypes();
  } catch (...) {
    kernel32.CloseHandle(device);  // closed whatever the question met
    throw;
  }
  kernel32.CloseHandle(device);
  return deviceType;
}

}  // namespace brindlecap
