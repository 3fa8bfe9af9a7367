#include "export/win32/file_replace.h"

#include "export/retry_schedule.h"
#include "shared/text_convert.h"

namespace brindlecap::win32 {

namespace {

constexpr size_t kTemporaryNameLength = 12;  // "~bc12345.tmp"

template <typename Call>
DWORD RetryWhileHeld(Call call, const SaveFileCalls& calls,
                     bool (*isHold)(uint32_t) = IsBriefHold) noexcept {
  return brindlecap::RetryWhileHeld(
      [&]() -> uint32_t { return call() ? ERROR_SUCCESS : GetLastError(); },
      [&](uint32_t ms) { calls.wait(ms); }, isHold);
}

// `flags` 0 never replaces: a file that took a new name meanwhile is someone else's,
// and the save fails rather than remove it.
DWORD Rename(const std::wstring& from, const std::wstring& to, DWORD flags,
             const SaveFileCalls& calls) noexcept {
  return RetryWhileHeld(
      [&] { return calls.moveFile(from.c_str(), to.c_str(), flags | MOVEFILE_WRITE_THROUGH); },
      calls);
}

bool NameIsFree(const std::wstring& path) {
  return ::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES &&
         ::GetLastError() == ERROR_FILE_NOT_FOUND;
}

// The folder as a \\?\ path, which no MAX_PATH limit applies to.
std::wstring LongForm(const std::wstring& folder) {
  const std::wstring relative = folder.empty() ? L"." : folder;
  const DWORD size = ::GetFullPathNameW(relative.c_str(), 0, nullptr, nullptr);
  if (size == 0) return folder;
  std::wstring full(size, L'\0');
  full.resize(::GetFullPathNameW(relative.c_str(), size, full.data(), nullptr));
  if (full.empty() || full.rfind(L"\\\\?\\", 0) == 0) return full.empty() ? folder : full;
  if (full.back() != L'\\') full += L'\\';
  if (full.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}

// ReplaceFileW keeps the old file's attributes, security and creation time. It is
// given a backup name: without one, ERROR_UNABLE_TO_MOVE_REPLACEMENT means the old
// file is gone, and _2 that it lives on under a name nobody knows.
DWORD Replace(const std::wstring& temporary, const std::wstring& target,
              const SaveFileCalls& calls) {
  const std::wstring folder = FolderOf(target);
  std::wstring backup;
  for (unsigned attempt = 1; attempt <= 100 && backup.empty(); ++attempt) {
    std::wstring name = TemporaryNameIn(folder, attempt);
    if (NameIsFree(name)) backup = std::move(name);
  }
  if (backup.empty()) return ERROR_FILE_EXISTS;
  const DWORD error = RetryWhileHeld(
      [&] {
        return calls.replaceFile(target.c_str(), temporary.c_str(), backup.c_str(),
                                 REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr);
      },
      calls, IsReplaceHold);
  switch (error) {
    case ERROR_SUCCESS:
      RemoveFile(backup, calls);
      return ERROR_SUCCESS;
    case ERROR_FILE_NOT_FOUND:
      // Removed meanwhile: the name is given as a new one.
      return Rename(temporary, target, 0, calls);
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_UNABLE_TO_REMOVE_REPLACED:
      return error;  // still held, both files under their own names
    case ERROR_UNABLE_TO_MOVE_REPLACEMENT_2: {
      // The old file is under the backup name, the text under its own: the text gets
      // the name, or else the old file gets it back (failing that, it stays the backup).
      const DWORD moved = Rename(temporary, target, 0, calls);
      if (moved == ERROR_SUCCESS) {
        RemoveFile(backup, calls);
      } else {
        static_cast<void>(Rename(backup, target, 0, calls));
      }
      return moved;
    }
    default:
      // Refused otherwise (a share: 5, 50, 87), both files under their own names: one
      // rename over the target keeps everything but its attributes and security.
      return Rename(temporary, target, MOVEFILE_REPLACE_EXISTING, calls);
  }
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
  std::wstring path = folder.size() + kTemporaryNameLength < MAX_PATH ? folder : LongForm(folder);
  path += L"~bc";
  for (char digit : HexText(seed, 5, false)) path += static_cast<wchar_t>(digit);
  return path + L".tmp";
}

DWORD GiveTargetName(const std::wstring& temporary, const std::wstring& target, bool targetExisted,
                     const SaveFileCalls& calls) {
  if (targetExisted) return Replace(temporary, target, calls);
  return Rename(temporary, target, 0, calls);
}

void RemoveFile(const std::wstring& path, const SaveFileCalls& calls) noexcept {
  static_cast<void>(RetryWhileHeld([&] { return ::DeleteFileW(path.c_str()); }, calls));
}

}  // namespace brindlecap::win32
