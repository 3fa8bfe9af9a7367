#pragma once
// Gives a finished temporary file the target's name, and removes files, waiting
// out another program's brief hold on them (export/retry_schedule.h).
#include <windows.h>

#include <string>

namespace brindlecap::win32 {

// The folder part of a path as written, with its separator ("" for a bare name).
std::wstring FolderOf(const std::wstring& path);

// A name of the program's own ("~bc", five hex digits, ".tmp": 8.3 form, valid on any
// file system) in `folder`; `attempt` varies it.
std::wstring TemporaryNameIn(const std::wstring& folder, unsigned attempt);

// Gives `temporary` the name `target`: replaces the file that existed when the save
// began, or takes a new name without replacing a file that appeared meanwhile
// (ERROR_ALREADY_EXISTS). ERROR_SUCCESS or the system's error code; on failure
// the target is as it was and `temporary` still holds the text.
[[nodiscard]] DWORD GiveTargetName(const std::wstring& temporary, const std::wstring& target,
                                   bool targetExisted);

// Removes the file where the system lets it, waiting out a brief hold.
void RemoveFile(const std::wstring& path) noexcept;

}  // namespace brindlecap::win32
