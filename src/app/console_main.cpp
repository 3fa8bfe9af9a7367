// Brindlecap.com: the console program for scripts. The same switches and bytes as
// Brindlecap.exe, but a console waits for it and gets its exit code; it has no
// window and links no window code (it imports only kernel32 and msvcrt).
#include <windows.h>

#include <cstdlib>

#include "app/program_start.h"
#include "command_line/win32/command_line_mode.h"

int wmain(int, wchar_t**) {
  brindlecap::win32::StartProgram();
  return brindlecap::win32::RunConsoleProgramCommandLine(brindlecap::win32::ProgramCommandLine());
}

// As in Brindlecap.exe: keeps the library's demangler out of the program.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
