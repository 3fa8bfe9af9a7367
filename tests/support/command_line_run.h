#pragma once
// Runs a program from its command line, as a script does: standard input is NUL,
// standard output and error go to files that are read back when it ends.
#include <windows.h>

#include <functional>
#include <string>

#include "support/window_driver.h"

namespace brindlecap::e2e {

struct ProcessRun {
  DWORD exitCode = STILL_ACTIVE;  // also when it was ended at the timeout
  std::string standardOutput, standardError;
};

// `application` empty: the program is the command line's first word, found on the
// path. `folder` empty: it runs in this process's folder. `whileRunning` is called
// with its process id on every poll. A program still running at the timeout is
// ended. Throws DriverError when it cannot be started.
ProcessRun RunProcess(const std::wstring& application, std::wstring commandLine,
                      const std::wstring& folder, Milliseconds timeout,
                      const std::function<void(DWORD processId)>& whileRunning = nullptr);

struct CommandLineRun : ProcessRun {
  bool windowShown = false;  // a visible top-level window of the process, any class
};

// `arguments` follow the program's quoted path on its command line; the program
// runs in `folder`, and every top-level window it shows meanwhile is noticed.
CommandLineRun RunFromCommandLine(const std::wstring& exePath, const std::wstring& arguments,
                                  const std::wstring& folder,
                                  Milliseconds timeout = Milliseconds(60000));

// What a console showed. This process takes a new console of its own for the run
// (Wine gives none to a test started without a terminal) and starts the command
// line in it with no standard handles of its own, so that the program finds the
// console, or none to inherit (`withoutHandles`: as a shortcut or Explorer starts a
// windowed program). The screen is read back, rows joined by CR LF without their
// trailing spaces, up to the last row that is not empty.
// `toFile` sends one of the program's standard output and error to a file instead
// (read back into `inFile`); `codePage`, where given, is the console's output code
// page.
struct ConsoleRun {
  DWORD exitCode = STILL_ACTIVE;
  std::wstring screen;
  std::string inFile;
};
enum class ToFile { kNeither, kOutput, kError };
ConsoleRun RunInConsole(const std::wstring& application, std::wstring commandLine,
                        const std::wstring& folder, bool withoutHandles,
                        ToFile toFile = ToFile::kNeither, UINT codePage = 0,
                        Milliseconds timeout = Milliseconds(60000));

}  // namespace brindlecap::e2e
