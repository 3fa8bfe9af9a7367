#include "support/command_line_run.h"

#include "support/scratch_files.h"

namespace brindlecap::e2e {

ProcessRun RunProcess(const std::wstring& application, std::wstring commandLine,
                      const std::wstring& folder, Milliseconds timeout,
                      const std::function<void(DWORD processId)>& whileRunning) {
  ScratchFolder outputs;
  SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
  const auto open = [&](const wchar_t* name, DWORD access, DWORD disposition) {
    return UniqueKernelHandle(CreateFileW(name, access, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                          &inheritable, disposition, FILE_ATTRIBUTE_NORMAL,
                                          nullptr));
  };
  const std::wstring outPath = outputs.File(L"stdout"), errPath = outputs.File(L"stderr");
  UniqueKernelHandle input = open(L"NUL", GENERIC_READ, OPEN_EXISTING);
  UniqueKernelHandle output = open(outPath.c_str(), GENERIC_WRITE, CREATE_ALWAYS);
  UniqueKernelHandle error = open(errPath.c_str(), GENERIC_WRITE, CREATE_ALWAYS);
  if (!input || !output || !error) throw DriverError("cannot open the standard handles' files");

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = input.get();
  startup.hStdOutput = output.get();
  startup.hStdError = error.get();
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(application.empty() ? nullptr : application.c_str(), commandLine.data(),
                      nullptr, nullptr, TRUE, 0, nullptr, folder.empty() ? nullptr : folder.c_str(),
                      &startup, &started)) {
    const DWORD failure = GetLastError();
    throw DriverError("cannot start " + Narrow(commandLine) + ", error " + std::to_string(failure));
  }
  UniqueKernelHandle process(started.hProcess), thread(started.hThread);
  output.reset();
  error.reset();

  ProcessRun run;
  const bool ended = WaitUntil(
      [&] {
        if (whileRunning) whileRunning(started.dwProcessId);
        return WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0;
      },
      timeout, Milliseconds(5));
  if (!ended) TerminateProcess(process.get(), STILL_ACTIVE);
  WaitForSingleObject(process.get(), 10000);
  GetExitCodeProcess(process.get(), &run.exitCode);
  if (!ended) run.exitCode = STILL_ACTIVE;
  run.standardOutput = ReadFileBytes(outPath).value_or("");
  run.standardError = ReadFileBytes(errPath).value_or("");
  return run;
}

CommandLineRun RunFromCommandLine(const std::wstring& exePath, const std::wstring& arguments,
                                  const std::wstring& folder, Milliseconds timeout) {
  CommandLineRun run;
  static_cast<ProcessRun&>(run) =
      RunProcess(exePath, L"\"" + exePath + L"\" " + arguments, folder, timeout, [&](DWORD id) {
        if (!TopLevelWindowsOf(id).empty()) run.windowShown = true;
      });
  return run;
}

ConsoleRun RunInConsole(const std::wstring& application, std::wstring commandLine,
                        const std::wstring& folder, bool withoutHandles, ToFile toFile,
                        UINT codePage, Milliseconds timeout) {
  const HANDLE savedOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  const HANDLE savedError = GetStdHandle(STD_ERROR_HANDLE);
  const HANDLE savedInput = GetStdHandle(STD_INPUT_HANDLE);
  FreeConsole();
  if (!AllocConsole()) {
    throw DriverError("AllocConsole failed, error " + std::to_string(GetLastError()));
  }
  const auto restore = [&] {
    FreeConsole();
    SetStdHandle(STD_OUTPUT_HANDLE, savedOutput);
    SetStdHandle(STD_ERROR_HANDLE, savedError);
    SetStdHandle(STD_INPUT_HANDLE, savedInput);
  };
  UniqueKernelHandle screen(CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                        0, nullptr));
  // Room for the longest line: a row that is full anyway runs on in the next one.
  if (screen) SetConsoleScreenBufferSize(screen.get(), COORD{400, 300});
  if (codePage != 0) SetConsoleOutputCP(codePage);
  ScratchFolder outputs;
  const std::wstring filePath = outputs.File(L"redirected");
  SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
  UniqueKernelHandle file(toFile == ToFile::kNeither
                              ? INVALID_HANDLE_VALUE
                              : CreateFileW(filePath.c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                            &inheritable, CREATE_ALWAYS, 0, nullptr));
  if (withoutHandles) {
    for (DWORD which : {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE})
      SetStdHandle(which, nullptr);
  }
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  if (file) {
    // The other stream stays as it is: the console's, or none.
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = toFile == ToFile::kOutput ? file.get() : GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = toFile == ToFile::kError ? file.get() : GetStdHandle(STD_ERROR_HANDLE);
  }
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(application.empty() ? nullptr : application.c_str(), commandLine.data(),
                      nullptr, nullptr, file ? TRUE : FALSE, 0, nullptr,
                      folder.empty() ? nullptr : folder.c_str(), &startup, &started)) {
    const DWORD failure = GetLastError();
    restore();
    throw DriverError("cannot start " + Narrow(commandLine) + ", error " + std::to_string(failure));
  }
  UniqueKernelHandle process(started.hProcess), thread(started.hThread);
  file.reset();
  ConsoleRun run;
  if (WaitForSingleObject(process.get(), static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0) {
    TerminateProcess(process.get(), STILL_ACTIVE);
    WaitForSingleObject(process.get(), 10000);
  }
  GetExitCodeProcess(process.get(), &run.exitCode);
  CONSOLE_SCREEN_BUFFER_INFO buffer{};
  if (screen && GetConsoleScreenBufferInfo(screen.get(), &buffer)) {
    for (SHORT row = 0; row <= buffer.dwCursorPosition.Y; ++row) {
      std::wstring line(buffer.dwSize.X, L' ');
      DWORD read = 0;
      ReadConsoleOutputCharacterW(screen.get(), line.data(), buffer.dwSize.X, COORD{0, row}, &read);
      const bool full = line.back() != L' ';
      line.resize(line.find_last_not_of(L' ') + 1);
      run.screen += line;
      if (row < buffer.dwCursorPosition.Y && !full) run.screen += L"\r\n";
    }
  }
  while (run.screen.size() >= 2 && run.screen.compare(run.screen.size() - 2, 2, L"\r\n") == 0)
    run.screen.resize(run.screen.size() - 2);  // the empty rows at the cursor
  screen.reset();
  restore();
  if (toFile != ToFile::kNeither) run.inFile = ReadFileBytes(filePath).value_or("");
  return run;
}

}  // namespace brindlecap::e2e
