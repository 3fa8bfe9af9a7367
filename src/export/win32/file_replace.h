#pragma once
// Gives a finished temporary file the target's name, and removes files, waiting
// out another program's brief hold on them (export/retry_schedule.h).
#include <windows.h>

#include <functional>
#include <string>

namespace brindlecap::win32 {

// The shapes of the system's calls that a save makes on its files.
using CreateFileFunction = HANDLE(WINAPI*)(LPCWSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD,
                                           DWORD, HANDLE);
using ReplaceFileFunction = BOOL(WINAPI*)(LPCWSTR, LPCWSTR, LPCWSTR, DWORD, LPVOID, LPVOID);
using MoveFileFunction = BOOL(WINAPI*)(LPCWSTR, LPCWSTR, DWORD);
using FlushFileFunction = BOOL(WINAPI*)(HANDLE);

// The calls a save makes, which a test replaces to be refused as Windows or a share
// refuses them.
struct SaveFileCalls {
  CreateFileFunction createTemporaryFile = ::CreateFileW;
  ReplaceFileFunction replaceFile = ::ReplaceFileW;
  MoveFileFunction moveFile = ::MoveFileExW;
  FlushFileFunction flushFile = ::FlushFileBuffers;
  // Waits out a hold for so many milliseconds. The window program's keeps the
  // window answering meanwhile.
  std::function<void(DWORD)> wait = ::Sleep;
};

// The folder part of a path as written, with its separator ("" for a bare name).
std::wstring FolderOf(const std::wstring& path);

// A name of the program's own ("~bc", five hex digits, ".tmp": 8.3 form, valid on any
// file system) in `folder`; `attempt` varies it. Where the name would not fit in
// MAX_PATH it is given in the \\?\ form.
std::wstring TemporaryNameIn(const std::wstring& folder, unsigned attempt);

// Gives `temporary` the name `target`: replaces the file that existed when the save
// began, or takes a new name without replacing a file that appeared meanwhile
// (ERROR_ALREADY_EXISTS). Where a replace is refused for another reason than a hold
// (a share), the text is renamed over the target. ERROR_SUCCESS or the system's
// error code; on failure the target is as it was and `temporary` still holds the text.
[[nodiscard]] DWORD GiveTargetName(const std::wstring& temporary, const std::wstring& target,
                                   bool targetExisted, const SaveFileCalls& calls);

// Removes the file where the system lets it, waiting out a brief hold.
void RemoveFile(const std::wstring& path, const SaveFileCalls& calls) noexcept;

}  // namespace brindlecap::win32
