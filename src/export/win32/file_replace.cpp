#include "export/win32/file_replace.h"

#include "export/retry_schedule.h"
#include "shared/text_convert.h"

namespace brindlecap::win32 {

namespace {

template <typename Call>
DWORD RetryWhileHeld(Call call) noexcept {
  return brindlecap::RetryWhileHeld(
      [&]() -> uint32_t { return call() ? ERROR_SUCCESS : GetLastError(); },
      [](uint32_t ms) { ::Sleep(ms); });
}

DWORD Rename(const std::wstring& from, const std::wstring& to) noexcept {
  // No MOVEFILE_REPLACE_EXISTING: a file that took the name meanwhile is someone
  // else's, and the save fails rather than remove it.
  return RetryWhileHeld(
      [&] { return ::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH); });
}

bool NameIsFree(const std::wstring& path) {
  return ::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES &&
         ::GetLastError() == ERROR_FILE_NOT_FOUND;
}

// ReplaceFileW keeps the old file's attributes, security and creation time. It is
// given a backup name: without one, ERROR_UNABLE_TO_MOVE_REPLACEMENT means the old
// file is gone, and _2 that it lives on under a name nobody knows.
DWORD Replace(const std::wstring& temporary, const std::wstring& target) {
  const std::wstring folder = FolderOf(target);
  std::wstring backup;
  for (unsigned attempt = 1; attempt <= 100 && backup.empty(); ++attempt) {
    std::wstring name = TemporaryNameIn(folder, attempt);
    if (NameIsFree(name)) backup = std::move(name);
  }
  if (backup.empty()) return ERROR_FILE_EXISTS;
  const DWORD error = RetryWhileHeld([&] {
    return ::ReplaceFileW(target.c_str(), temporary.c_str(), backup.c_str(),
                          REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr);
  });
  if (error == ERROR_SUCCESS) {
    RemoveFile(backup);
    return ERROR_SUCCESS;
  }
  if (error != ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) return error;
  // The old file is under the backup name, the text under its own: the text gets
  // the name, or else the old file gets it back (failing that, it stays the backup).
  const DWORD moved = Rename(temporary, target);
  if (moved == ERROR_SUCCESS) {
    RemoveFile(backup);
  } else {
    static_cast<void>(Rename(backup, target));
  }
  return moved;
}

}  // namespace

std::wstring FolderOf(const std::wstring& path) {
  const size_t separator = path.find_last_of(L"\\/");
  if (separator != std::wstring::npos) return path.substr(0, separator + 1);
  if (path.size() >= 2 && path[1] == L':') return path.substr(0, 2);  // "C:name"
  return {};
}

std::wstring TemporaryNameIn(const std::wstring& folder, unsigned attempt) {
  DWORD seed = ::GetTickCount() ^ (::GetCurrentProcessId() << 12);
  for (unsigned i = 0; i < attempt; ++i) seed = seed * 1103515245u + 12345u;
  std::wstring path = folder + L"~bc";
  for (char digit : HexText(seed, 5, false)) path += static_cast<wchar_t>(digit);
  return path + L".tmp";
}

DWORD GiveTargetName(const std::wstring& temporary, const std::wstring& target,
                     bool targetExisted) {
  if (targetExisted) {
    const DWORD error = Replace(temporary, target);
    // A target removed meanwhile is given as a new name.
    if (error != ERROR_FILE_NOT_FOUND) return error;
  }
  return Rename(temporary, target);
}

void RemoveFile(const std::wstring& path) noexcept {
  static_cast<void>(RetryWhileHeld([&] { return ::DeleteFileW(path.c_str()); }));
}

}  // namespace brindlecap::win32
