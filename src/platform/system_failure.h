#pragma once
// Turns a Win32 error code into the program's failure, described in the system's words.
#include <windows.h>

#include "shared/runtime_failure.h"

namespace brindlecap::win32 {

std::u16string SystemMessage(DWORD errorCode);
[[noreturn]] void ThrowLastError();

}  // namespace brindlecap::win32
