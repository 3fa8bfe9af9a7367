// The fake machine's volumes: one for each letter and one for each folder a volume is
// mounted in, named by their place in that order ("\\?\Volume{3}\"). Texts are ASCII.
#include <cctype>
#include <utility>

#include "support/fake_kernel32.h"

namespace brindlecap::testing {

namespace {

namespace k = win32_constant;
constexpr uint32_t kErrorFilenameExcedRange = 206, kErrorNotAReparsePoint = 4390;

std::string UpperCase(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

template <class Char>
std::string Narrow(const Char* text) {
  std::string narrow;
  for (; *text != 0; ++text) {
    narrow += static_cast<char>(std::toupper(static_cast<unsigned char>(*text)));
  }
  return narrow;
}
std::string Narrow(const std::string& text) { return Narrow(text.c_str()); }

std::string VolumeName(size_t index) { return "\\\\?\\Volume{" + std::to_string(index) + "}\\"; }

// The path of the volume a name stands for; empty for anything else.
std::string PathOf(const std::string& volumeName, const std::vector<std::string>& paths) {
  for (size_t i = 0; i < paths.size(); ++i) {
    if (Narrow(VolumeName(i)) == volumeName) return paths[i];
  }
  return {};
}

// Copies the ASCII text and the NULs after it, as long as all of them fit.
bool Copy(const std::string& text, char16_t* buffer, uint32_t length) {
  if (text.size() >= length) return false;
  for (size_t i = 0; i <= text.size(); ++i) buffer[i] = static_cast<unsigned char>(text.c_str()[i]);
  return true;
}

}  // namespace

FakeDrive& FakeKernel32::MountInFolder(const std::string& folder) {
  FakeDrive& volume = mounted_[UpperCase(folder)];
  volume.letter = folder[0];
  return volume;
}

std::vector<std::string> FakeKernel32::VolumePaths() const {
  std::vector<std::string> paths;
  for (const auto& [letter, drive] : drives_) paths.push_back(std::string{letter, ':', '\\'});
  for (const auto& [folder, volume] : mounted_) paths.push_back(folder);
  return paths;
}

int32_t FakeKernel32::NextName(DeviceHandle search, char16_t* buffer, uint32_t length) {
  const auto names = searches_.find(search);
  if (names == searches_.end()) return Fail(6u, 0);
  if (names->second.empty()) return Fail(k::kErrorNoMoreFiles, 0);
  if (!Copy(names->second.front(), buffer, length)) return Fail(kErrorFilenameExcedRange, 0);
  names->second.erase(names->second.begin());
  return 1;
}

DeviceHandle FakeKernel32::StartSearch(std::vector<std::string> names, char16_t* buffer,
                                       uint32_t length) {
  const DeviceHandle search = nextHandle_++;
  searches_[search] = std::move(names);
  if (NextName(search, buffer, length)) return search;
  searches_.erase(search);
  return kInvalidDeviceHandle;
}

DeviceHandle FakeKernel32::FindFirstVolumeW(char16_t* volumeName, uint32_t length) {
  const auto lock = Enter();
  Record("FindFirstVolumeW", nullptr).length = length;
  std::vector<std::string> names;
  for (size_t i = 0; i < VolumePaths().size(); ++i) names.push_back(VolumeName(i));
  return StartSearch(std::move(names), volumeName, length);
}

int32_t FakeKernel32::FindNextVolumeW(DeviceHandle search, char16_t* volumeName, uint32_t length) {
  const auto lock = Enter();
  Record("FindNextVolumeW", nullptr).handle = search;
  return NextName(search, volumeName, length);
}

int32_t FakeKernel32::FindVolumeClose(DeviceHandle search) {
  const auto lock = Enter();
  Record("FindVolumeClose", nullptr).handle = search;
  return searches_.erase(search) != 0 ? 1 : Fail(6u, 0);
}

int32_t FakeKernel32::GetVolumePathNamesForVolumeNameW(const char16_t* volumeName,
                                                       char16_t* pathNames, uint32_t length,
                                                       uint32_t* returnLength) {
  const auto lock = Enter();
  const std::string path = PathOf(Narrow(volumeName), VolumePaths());
  Record("GetVolumePathNamesForVolumeNameW", path.c_str()).length = length;
  if (noVolumePathNames) return Fail(k::kErrorCallNotImplemented, 0);
  // The volume's one path, then the NUL that ends the list.
  const std::string list = path + '\0';
  *returnLength = static_cast<uint32_t>(list.size() + 1);
  if (!Copy(list, pathNames, length)) return Fail(k::kErrorMoreData, 0);
  return 1;
}

int32_t FakeKernel32::GetVolumeNameForVolumeMountPointW(const char16_t* mountPoint,
                                                        char16_t* volumeName, uint32_t length) {
  const auto lock = Enter();
  const std::string path = Narrow(mountPoint);
  Record("GetVolumeNameForVolumeMountPointW", path.c_str());
  const std::vector<std::string> paths = VolumePaths();
  for (size_t i = 0; i < paths.size(); ++i) {
    if (paths[i] == path)
      return Copy(VolumeName(i), volumeName, length) ? 1 : Fail(k::kErrorMoreData, 0);
  }
  return Fail(kErrorNotAReparsePoint, 0);
}

DeviceHandle FakeKernel32::FindFirstVolumeMountPointW(const char16_t* rootPathName,
                                                      char16_t* mountPoint, uint32_t length) {
  const auto lock = Enter();
  const std::string root = PathOf(Narrow(rootPathName), VolumePaths());
  Record("FindFirstVolumeMountPointW", root.c_str()).length = length;
  // The folders right on this volume, relative to its root; not those on a volume
  // mounted below it.
  std::vector<std::string> folders;
  for (const auto& [folder, volume] : mounted_) {
    if (folder.size() <= root.size() || folder.rfind(root, 0) != 0) continue;
    bool deeper = false;
    for (const auto& [other, otherVolume] : mounted_) {
      deeper |= other.size() > root.size() && other.size() < folder.size() &&
                other.rfind(root, 0) == 0 && folder.rfind(other, 0) == 0;
    }
    if (!deeper) folders.push_back(folder.substr(root.size()));
  }
  return StartSearch(std::move(folders), mountPoint, length);
}

int32_t FakeKernel32::FindNextVolumeMountPointW(DeviceHandle search, char16_t* mountPoint,
                                                uint32_t length) {
  const auto lock = Enter();
  Record("FindNextVolumeMountPointW", nullptr).handle = search;
  return NextName(search, mountPoint, length);
}

int32_t FakeKernel32::FindVolumeMountPointClose(DeviceHandle search) {
  const auto lock = Enter();
  Record("FindVolumeMountPointClose", nullptr).handle = search;
  return searches_.erase(search) != 0 ? 1 : Fail(6u, 0);
}

}  // namespace brindlecap::testing
