#include "command_line/win32/command_line_mode.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "command_line/command_line_export.h"
#include "command_line/standard_stream.h"
#include "command_line/win32/system_standard_handle.h"
#include "drive_info/win32/system_kernel32.h"
#include "export/win32/system_text_files.h"
#include "platform/handles.h"
#include "platform/system_function.h"
#include "platform/wide_text.h"
#include "retrieval/win32/queued_worker_threads.h"
#include "shared/text_convert.h"
#include "shared/win32/system_text.h"

namespace brindlecap::win32 {

namespace {

class StandardOutput : public TextFiles {
 public:
  std::unique_ptr<TextFileWriter> Create(const std::u16string&, bool) override {
    return OpenStandardOutput(std::make_unique<SystemStandardHandle>(STD_OUTPUT_HANDLE));
  }
};

// Standard error: characters on a console; elsewhere bytes in the code page that
// `type`, `for /f` and PowerShell decode them with: the console's output code page,
// or without a console (GetConsoleOutputCP then fails) the OEM code page.
void WriteError(std::u16string_view text) {
  SystemStandardHandle error(STD_ERROR_HANDLE);
  const UINT console = ::GetConsoleOutputCP();
  WriteStandardText(error, text, SystemAnsiCodePage(console != 0 ? console : ::GetOEMCP()));
}

// The deadline has passed and a worker is still stuck in the system. ExitProcess
// would first end the workers wherever they are, then run the libraries' detach
// code, which deadlocks on a lock an ended worker held; TerminateProcess runs no
// such code. Everything is written and closed by now (the streams write straight
// to their handles); closing the standard handles gives a caller reading them
// end-of-file, even while Windows keeps the process until a call that cannot be
// cancelled returns.
[[noreturn]] void EndWithStuckWorkers(int code) {
  HANDLE closed[3] = {};
  int count = 0;
  for (const DWORD which : {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE}) {
    const HANDLE handle = ::GetStdHandle(which);
    if (LeadsNowhere(handle) || std::find(closed, closed + count, handle) != closed + count) {
      continue;  // 2>&1 gives both streams one handle
    }
    ::SetStdHandle(which, nullptr);
    ::CloseHandle(handle);
    closed[count++] = handle;
  }
  ::TerminateProcess(::GetCurrentProcess(), static_cast<UINT>(code));
  ::ExitProcess(static_cast<UINT>(code));  // not reached: a process always may end itself
}

class SystemCommandLine : public CommandLineSystem {
 public:
  explicit SystemCommandLine(bool toStandardOutput) : toStandardOutput_(toStandardOutput) {}

  std::unique_ptr<TextFiles> MakeTextFiles() override {
    if (toStandardOutput_) return std::make_unique<StandardOutput>();
    return std::make_unique<SystemTextFiles>();
  }
  DocumentHeading Heading() override {
    DocumentHeading heading;
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD length = MAX_COMPUTERNAME_LENGTH + 1;
    if (::GetComputerNameW(name, &length)) heading.computer = FromWide({name, length});
    SYSTEMTIME now;
    ::GetSystemTime(&now);
    heading.generated =
        Iso8601Utc(now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond);
    return heading;
  }
  void WriteError(std::u16string_view text) override { win32::WriteError(text); }

 private:
  bool toStandardOutput_;
};

// A bad command line: what is wrong, then the usage, on standard error. With /check,
// what is wrong is also the engine's line, UNKNOWN, on standard output.
int ReportBadCommandLine(const CommandLine& request, std::string_view usageNote) {
  if (request.check) {
    SystemStandardHandle output(STD_OUTPUT_HANDLE);
    WriteStandardText(output, BadCheckCommandLine(request.problem, request.argument).line,
                      SystemAnsiCodePage());
  }
  std::u16string text = AsciiToUtf16("Brindlecap: ");
  text.append(AsciiToUtf16(request.problem)).append(request.argument).append(u"\r\n");
  WriteError(text.append(AsciiToUtf16(kUsageText)).append(AsciiToUtf16(usageNote)));
  return request.check ? static_cast<int>(CheckState::kUnknown) : exit_code::kBadCommandLine;
}

int Export(const CommandLine& request) {
  SystemKernel32 kernel32;
  SystemAnsiCodePage codePage;
  SystemLocale locale;
  SystemCommandLine system(request.check || request.path == u"-");
  // Declared before the threads, which are waited for first: a worker's last act
  // is to set the event.
  const UniqueEventHandle answered(::CreateEventW(nullptr, FALSE, FALSE, nullptr));
  // The drives are asked one after the other on one thread, as long as they answer
  // promptly; a drive that keeps the others waiting sends them to threads of their own.
  QueuedWorkerThreads threads;
  const HANDLE event = answered.get();
  CommandLineServices services{
      kernel32,
      codePage,
      locale,
      system,
      DriveWorkers{threads, [event] { ::SetEvent(event); }},
      [event, &threads](uint32_t milliseconds) { threads.WaitForAnswer(event, milliseconds); },
      [] { return static_cast<uint32_t>(::GetTickCount()); }};
  const int code = ExportFromCommandLine(request, services);
  // A drive given up at the deadline keeps its thread, which uses the objects of
  // this frame: the process ends here, its output already written and closed,
  // rather than wait for the thread or let the objects go under it.
  if (threads.AnyRunning()) {
    threads.CancelPendingCalls();
    EndWithStuckWorkers(code);
  }
  return code;
}

// A windowed program has no standard output unless the caller redirected it: where
// its parent has a console, it writes there (AttachConsole: Windows XP and later).
void UseParentConsoleWhereNotRedirected() {
  const bool noOutput = LeadsNowhere(::GetStdHandle(STD_OUTPUT_HANDLE));
  const bool noError = LeadsNowhere(::GetStdHandle(STD_ERROR_HANDLE));
  if (!noOutput && !noError) return;
  using AttachConsoleFunction = BOOL(WINAPI*)(DWORD);
  const auto attachConsole =
      SystemFunction<AttachConsoleFunction>(L"kernel32.dll", "AttachConsole");
  constexpr DWORD kParentProcess = static_cast<DWORD>(-1);  // ATTACH_PARENT_PROCESS
  if (attachConsole == nullptr) return;
  // Denied: this process has a console already (Wine gives one to a windowed child).
  if (!attachConsole(kParentProcess) && ::GetLastError() != ERROR_ACCESS_DENIED) return;
  for (const DWORD which : {STD_OUTPUT_HANDLE, STD_ERROR_HANDLE}) {
    if (which == STD_OUTPUT_HANDLE ? !noOutput : !noError) continue;
    // GetConsoleMode needs read access too. The handle lives as long as the process.
    const HANDLE console =
        ::CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                      nullptr, OPEN_EXISTING, 0, nullptr);
    if (console != INVALID_HANDLE_VALUE) ::SetStdHandle(which, console);
  }
}

}  // namespace

CommandLine ProgramCommandLine() {
  if (__argc < 1 || __wargv == nullptr) return {};
  return ParseCommandLine(__argc - 1, reinterpret_cast<const char16_t* const*>(__wargv + 1));
}

int RunWindowProgramCommandLine(const CommandLine& request, MessageBoxService& messages) {
  if (request.action == CommandLine::Action::kUsage) {
    std::u16string usage = AsciiToUtf16(kUsageText).append(AsciiToUtf16(kWindowProgramNote));
    messages.Show(usage, u"Brindlecap", MessageBoxIcon::kInformation);
    return exit_code::kWritten;
  }
  UseParentConsoleWhereNotRedirected();
  if (request.action == CommandLine::Action::kBadCommandLine) {
    return ReportBadCommandLine(request, kWindowProgramNote);
  }
  return Export(request);
}

int RunConsoleProgramCommandLine(CommandLine request) {
  if (request.action == CommandLine::Action::kUsage) {
    SystemStandardHandle output(STD_OUTPUT_HANDLE);
    WriteStandardText(output, AsciiToUtf16(kUsageText), SystemAnsiCodePage());
    return exit_code::kWritten;
  }
  if (request.action == CommandLine::Action::kWindow) {
    // This program has no window: without a switch it says how to use it.
    request.action = CommandLine::Action::kBadCommandLine;
    request.problem = "no switch given";
    request.argument = {};
  }
  if (request.action == CommandLine::Action::kBadCommandLine) {
    return ReportBadCommandLine(request, {});
  }
  return Export(request);
}

}  // namespace brindlecap::win32
