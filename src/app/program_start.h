#pragma once
// What both programs, Brindlecap.exe and Brindlecap.com, do first.
#include <windows.h>

#include "platform/system_function.h"

namespace brindlecap::win32 {

inline void StartProgram() {
  // An empty floppy or card reader must never raise the system's "no disk" box.
  ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  // Never look for DLLs in the current folder (looked up: not on every Windows).
  using SetDllDirectoryFunction = BOOL(WINAPI*)(LPCWSTR);
  const auto setDllDirectory =
      SystemFunction<SetDllDirectoryFunction>(L"kernel32.dll", "SetDllDirectoryW");
  if (setDllDirectory != nullptr) setDllDirectory(L"");
  // Nor in the program's own folder, where a downloaded DLL may lie beside it: only
  // System32 (Windows 8, or 7 with its update KB2533623).
  using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
  const auto setDefaultDllDirectories =
      SystemFunction<SetDefaultDllDirectoriesFunction>(L"kernel32.dll", "SetDefaultDllDirectories");
  if (setDefaultDllDirectories != nullptr) {
    setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  }
}

}  // namespace brindlecap::win32
