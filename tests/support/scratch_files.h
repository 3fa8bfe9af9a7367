#pragma once
// Folders and files that a test makes and reads back.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace brindlecap::e2e {

// A new, empty folder under the temporary folder, removed with its contents at the end.
class ScratchFolder {
 public:
  ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  ~ScratchFolder();

  const std::wstring& Path() const { return path_; }
  std::wstring File(const std::wstring& name) const { return path_ + L"\\" + name; }
  // Writes a file of the folder, its own folder made first, and gives it `attributes`.
  void WriteFile(const std::wstring& relativePath, const std::string& bytes,
                 DWORD attributes = FILE_ATTRIBUTE_NORMAL) const;

 private:
  std::wstring path_;
};

std::optional<std::string> ReadFileBytes(const std::wstring& path);
void WriteFileBytes(const std::wstring& path, const std::string& bytes);
std::optional<uint64_t> FileSizeOf(const std::wstring& path);
bool PathExists(const std::wstring& path);
// Names in a folder, without "." and "..", sorted.
std::vector<std::wstring> FolderEntries(const std::wstring& folder);
// Whether the program's temporary file ("~bc?????.tmp") is beside the target: it is
// there while a save writes, until the text takes the target's name (and, while an
// existing file is replaced, the old file is under such a name for a moment).
bool TemporaryFileBeside(const std::wstring& target);
// The value of an environment variable, empty when unset.
std::wstring Environment(const wchar_t* name);
// A Unix path as Wine shows it through drive Z: (the host's root).
std::wstring UnixPathToWine(const std::wstring& unixPath);

}  // namespace brindlecap::e2e
