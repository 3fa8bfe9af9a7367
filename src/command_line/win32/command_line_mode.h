#pragma once
// The program started with arguments: no window, no skin, no cursor file, no
// home page. Answers with an exit code.
#include "command_line/command_line.h"
#include "shared/message_box.h"

namespace brindlecap::win32 {

// What the C runtime's command line asks for (its arguments after the program's name).
CommandLine ProgramCommandLine();

// Runs what the command line asks (not the window); `messages` shows the usage
// that "/?" asks for, the only box of this mode.
int RunCommandLine(const CommandLine& request, MessageBoxService& messages);

}  // namespace brindlecap::win32
