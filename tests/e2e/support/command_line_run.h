#pragma once
// Runs the program from its command line, as a script does: standard output and
// error go to files, and every top-level window it shows meanwhile is noticed.
#include <windows.h>

#include <string>

#include "window_driver.h"

namespace brindlecap::e2e {

struct CommandLineRun {
  DWORD exitCode = STILL_ACTIVE;
  std::string standardOutput, standardError;
  bool windowShown = false;  // a visible top-level window of the process, any class
};

// `arguments` follow the program's quoted path on its command line. The program
// runs in `folder`; a program still running at the timeout is ended (exit code
// STILL_ACTIVE). Throws DriverError when it cannot be started.
CommandLineRun RunFromCommandLine(const std::wstring& exePath, const std::wstring& arguments,
                                  const std::wstring& folder,
                                  Milliseconds timeout = Milliseconds(60000));

}  // namespace brindlecap::e2e
