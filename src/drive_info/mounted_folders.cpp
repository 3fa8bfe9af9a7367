// DriveInfo::MountedFolders: every volume's folders. Windows XP and later name a
// volume's paths at once; Windows 2000 lists the folders mounted on each volume,
// relative to it, so the search there walks down from the drive letters.
#include <deque>

#include "drive_info/drive_info.h"

namespace brindlecap {

namespace {

namespace k = win32_constant;

// A volume GUID path ("\\?\Volume{...}\") is 49 characters with its NUL.
constexpr uint32_t kVolumeNameLength = 64;
// A mounted folder's path may be longer than MAX_PATH: the list grows as it needs to,
// Windows 2000's search gets room for the longest path there is.
constexpr uint32_t kFolderLength = 1024, kLongestPath = 32768;
// A folder mounted inside its own volume's folder would never end the walk.
constexpr size_t kMostFolders = 4096;

bool IsFolder(std::u16string_view path) { return path.size() > 3; }

// A folder's path always ends with a backslash, as a drive's root does.
std::u16string WithBackslash(std::u16string path) {
  if (path.empty() || path.back() != u'\\') path += u'\\';
  return path;
}

}  // namespace

Answer<std::vector<std::u16string>> DriveInfo::MountedFolders(
    const std::vector<std::u16string>& driveRoots) {
  Kernel32& kernel32 = system_.kernel32;
  Answer<std::vector<std::u16string>> answer;
  const auto fail = [&] {
    answer.failure = QueryFailure{static_cast<int32_t>(kernel32.GetLastError()), {}};
  };
  char16_t volume[kVolumeNameLength] = {};
  const DeviceHandle volumes = kernel32.FindFirstVolumeW(volume, kVolumeNameLength);
  if (volumes == kInvalidDeviceHandle) {
    fail();
    return answer;
  }
  bool listed = true;
  std::u16string names(kFolderLength, u'\0');
  do {
    uint32_t needed = 0;
    while (!kernel32.GetVolumePathNamesForVolumeNameW(
        volume, names.data(), static_cast<uint32_t>(names.size()), &needed)) {
      const uint32_t error = kernel32.GetLastError();
      if (error == k::kErrorMoreData && needed > names.size()) {
        names.assign(needed, u'\0');
        continue;
      }
      listed = error != k::kErrorCallNotImplemented;
      if (listed) fail();
      names[0] = u'\0';
      break;
    }
    if (!listed) break;
    // NUL-separated paths, ended by an empty one.
    for (size_t at = 0; at < names.size() && names[at] != u'\0';) {
      const std::u16string path(names.c_str() + at);
      if (IsFolder(path)) answer.value.push_back(WithBackslash(path));
      at += path.size() + 1;
    }
  } while (kernel32.FindNextVolumeW(volumes, volume, kVolumeNameLength));
  kernel32.FindVolumeClose(volumes);
  if (listed) return answer;

  // Windows 2000: from each drive letter down through the folders found.
  answer.value.clear();
  std::deque<std::u16string> paths(driveRoots.begin(), driveRoots.end());
  std::u16string folder(kLongestPath, u'\0');
  while (!paths.empty() && answer.value.size() < kMostFolders) {
    const std::u16string path = WithBackslash(paths.front());
    paths.pop_front();
    if (!kernel32.GetVolumeNameForVolumeMountPointW(path.c_str(), volume, kVolumeNameLength))
      continue;
    const DeviceHandle search =
        kernel32.FindFirstVolumeMountPointW(volume, folder.data(), kLongestPath);
    if (search == kInvalidDeviceHandle) continue;
    do {
      answer.value.push_back(WithBackslash(path + folder.c_str()));
      paths.push_back(answer.value.back());
    } while (kernel32.FindNextVolumeMountPointW(search, folder.data(), kLongestPath));
    kernel32.FindVolumeMountPointClose(search);
  }
  return answer;
}

}  // namespace brindlecap
