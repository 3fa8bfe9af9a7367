#pragma once
// The program started with arguments: no window, no skin, no cursor file, no
// home page. Answers with an exit code.
#include "command_line/command_line.h"
#include "shared/message_box.h"

namespace brindlecap::win32 {

// What the C runtime's command line asks for (its arguments after the program's name).
CommandLine ProgramCommandLine();

// Brindlecap.exe with a switch: `messages` shows the usage that "/?" asks for, the
// only box of this mode. Without a redirected standard output or error it writes
// to its parent's console, if there is one.
int RunWindowProgramCommandLine(const CommandLine& request, MessageBoxService& messages);

// Brindlecap.com: the usage on standard output; without a switch, a bad command line.
int RunConsoleProgramCommandLine(CommandLine request);

}  // namespace brindlecap::win32
