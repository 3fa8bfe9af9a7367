#include "command_line/win32/command_line_mode.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "command_line/command_line_export.h"
#include "drive_info/win32/win32_kernel32.h"
#include "export/win32/win32_text_file.h"
#include "platform/handles.h"
#include "platform/wide_text.h"
#include "platform/win32_system_text.h"
#include "retrieval/win32/win32_worker_threads.h"
#include "shared/text_convert.h"

namespace brindlecap::win32 {

namespace {

// Text for a standard handle that a caller redirected; nothing when it leads nowhere.
void WriteToStandardHandle(DWORD which, std::u16string_view text) {
  const HANDLE handle = ::GetStdHandle(which);
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE || text.empty()) return;
  try {
    const std::string bytes = Win32AnsiCodePage().ToAnsi(text);
    DWORD written = 0;
    ::WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  } catch (...) {
    // Nothing more can be said.
  }
}

class StandardOutput : public FileSystemObject {
 public:
  std::unique_ptr<TextStream> CreateTextFile(const std::u16string&, bool) override {
    return Win32FileSystemObject::StreamOnHandle(::GetStdHandle(STD_OUTPUT_HANDLE));
  }
};

class Win32CommandLineSystem : public CommandLineSystem {
 public:
  explicit Win32CommandLineSystem(bool toStandardOutput) : toStandardOutput_(toStandardOutput) {}

  std::unique_ptr<FileSystemObject> CreateFileSystemObject() override {
    if (toStandardOutput_) return std::make_unique<StandardOutput>();
    return std::make_unique<Win32FileSystemObject>();
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
  void WriteError(std::u16string_view text) override {
    WriteToStandardHandle(STD_ERROR_HANDLE, text);
  }

 private:
  bool toStandardOutput_;
};

}  // namespace

CommandLine ProgramCommandLine() {
  if (__argc < 1 || __wargv == nullptr) return {};
  return ParseCommandLine(__argc - 1, reinterpret_cast<const char16_t* const*>(__wargv + 1));
}

int RunCommandLine(const CommandLine& request, MessageBoxService& messages) {
  if (request.action == CommandLine::Action::kUsage) {
    messages.Show(AsciiToUtf16(kUsageText), u"Brindlecap", MessageBoxIcon::kInformation);
    return exit_code::kWritten;
  }
  if (request.action != CommandLine::Action::kExport) {
    std::u16string text = AsciiToUtf16("Brindlecap: ");
    text.append(AsciiToUtf16(request.problem)).append(request.argument).append(u"\r\n");
    WriteToStandardHandle(STD_ERROR_HANDLE, text.append(AsciiToUtf16(kUsageText)));
    return exit_code::kBadCommandLine;
  }
  Win32Kernel32 kernel32;
  Win32AnsiCodePage codePage;
  Win32LocaleInfo locale;
  Win32CommandLineSystem system(request.path == u"-");
  // Declared before the threads, which are waited for first: a worker's last act
  // is to set the event.
  const UniqueEventHandle answered(::CreateEventW(nullptr, FALSE, FALSE, nullptr));
  Win32WorkerThreads threads;
  const HANDLE event = answered.get();
  CommandLineServices services{
      kernel32, codePage, locale, system, DriveWorkers{threads, [event] { ::SetEvent(event); }},
      // Without the event the answers are looked for every 10 ms.
      [event](uint32_t milliseconds) {
        ::WaitForSingleObject(event, event != nullptr ? milliseconds : std::min(milliseconds, 10u));
      },
      [] { return static_cast<uint32_t>(::GetTickCount()); }};
  const int code = ExportFromCommandLine(request, services);
  // A drive given up at the deadline keeps its thread, which uses the objects of
  // this frame: the process ends here, its output already written and closed,
  // rather than wait for the thread or let the objects go under it.
  if (threads.AnyRunning()) {
    threads.CancelPendingCalls();
    ::ExitProcess(static_cast<UINT>(code));
  }
  return code;
}

}  // namespace brindlecap::win32
