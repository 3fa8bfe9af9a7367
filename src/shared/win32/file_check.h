#pragma once
#include <string>

namespace brindlecap::win32 {

// True when a file can be found at the path; never fails itself.
bool FileExists(const std::wstring& path) noexcept;

// The folder that holds the running program, without a trailing backslash.
std::wstring ProgramFolder();

}  // namespace brindlecap::win32
