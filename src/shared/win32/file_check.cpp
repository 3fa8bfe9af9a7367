#include "shared/win32/file_check.h"

#include <windows.h>

#include <vector>

namespace brindlecap::win32 {

bool FileExists(const std::wstring& path) noexcept {
  if (path.empty()) return false;
  // Asking for the file's dates is the test: it answers for any file we may read.
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return false;
  return (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::wstring ProgramFolder() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length =
        ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) {
      std::wstring path(buffer.data(), length);
      return path.substr(
          0, path.find_last_of(L'\\') == std::wstring::npos ? 0 : path.find_last_of(L'\\'));
    }
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace brindlecap::win32
