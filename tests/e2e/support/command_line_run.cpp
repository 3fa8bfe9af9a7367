#include "command_line_run.h"

#include "scratch_files.h"

namespace brindlecap::e2e {

CommandLineRun RunFromCommandLine(const std::wstring& exePath, const std::wstring& arguments,
                                  const std::wstring& folder, Milliseconds timeout) {
  ScratchFolder outputs;
  SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
  const auto open = [&](const wchar_t* name, DWORD access, DWORD disposition) {
    return UniqueHandle(CreateFileW(name, access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable,
                                    disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
  };
  const std::wstring outPath = outputs.File(L"stdout"), errPath = outputs.File(L"stderr");
  UniqueHandle input = open(L"NUL", GENERIC_READ, OPEN_EXISTING);
  UniqueHandle output = open(outPath.c_str(), GENERIC_WRITE, CREATE_ALWAYS);
  UniqueHandle error = open(errPath.c_str(), GENERIC_WRITE, CREATE_ALWAYS);
  if (!input || !output || !error) throw DriverError("cannot open the standard handles' files");

  std::wstring commandLine = L"\"" + exePath + L"\" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = input.Get();
  startup.hStdOutput = output.Get();
  startup.hStdError = error.Get();
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(exePath.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                      folder.c_str(), &startup, &started)) {
    throw DriverError("cannot start the program, error " + std::to_string(GetLastError()));
  }
  UniqueHandle process(started.hProcess), thread(started.hThread);
  output.Reset();
  error.Reset();

  CommandLineRun run;
  const bool ended = WaitUntil(
      [&] {
        if (!TopLevelWindowsOf(started.dwProcessId).empty()) run.windowShown = true;
        return WaitForSingleObject(process.Get(), 0) == WAIT_OBJECT_0;
      },
      timeout, Milliseconds(5));
  if (!ended) TerminateProcess(process.Get(), STILL_ACTIVE);
  WaitForSingleObject(process.Get(), 10000);
  GetExitCodeProcess(process.Get(), &run.exitCode);
  if (!ended) run.exitCode = STILL_ACTIVE;
  run.standardOutput = ReadFileBytes(outPath).value_or("");
  run.standardError = ReadFileBytes(errPath).value_or("");
  return run;
}

}  // namespace brindlecap::e2e
