// Brindlecap: lists the computer's drives in one window and exports them as text.
#include <windows.h>

#include <commctrl.h>

#include <cstdlib>

#include "drive_info/cls_drive_info.h"
#include "main_window/core/home_page_draw.h"
#include "main_window/win32/form1.h"
#include "platform/system_failure.h"
#include "platform/win32_common_dialog.h"
#include "platform/win32_kernel32.h"
#include "platform/win32_message_box.h"
#include "platform/win32_system_text.h"
#include "platform/win32_text_file.h"
#include "platform/wide_text.h"
#include "shared/win32/file_check.h"

namespace {

using namespace brindlecap;

// Never look for DLLs in the current folder (loaded at run time: not on every Windows).
void RemoveCurrentFolderFromDllSearch() {
  using SetDllDirectoryFunction = BOOL(WINAPI*)(LPCWSTR);
  const HMODULE kernel32 = ::GetModuleHandleW(L"kernel32.dll");
  if (kernel32 == nullptr) return;
  const auto setDllDirectory = reinterpret_cast<SetDllDirectoryFunction>(
      reinterpret_cast<void*>(::GetProcAddress(kernel32, "SetDllDirectoryW")));
  if (setDllDirectory != nullptr) setDllDirectory(L"");
}

int DrawHomePageNumber() {
  SYSTEMTIME now;
  ::GetLocalTime(&now);
  const uint32_t millisecondsOfDay =
      ((now.wHour * 60u + now.wMinute) * 60u + now.wSecond) * 1000u + now.wMilliseconds;
  return DrawOneToHundred(TimeSeededFraction(millisecondsOfDay).Next());
}

// Runs explorer from the Windows folder by its full path, never one found on the search path.
void OpenHomePage(std::u16string_view address) {
  wchar_t windowsFolder[MAX_PATH];
  const UINT length = ::GetWindowsDirectoryW(windowsFolder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) win32::ThrowLastError();
  const std::wstring explorer = std::wstring(windowsFolder, length) + L"\\explorer.exe";
  std::wstring commandLine = L"\"" + explorer + L"\" \"" + win32::ToWide(address) + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWMINIMIZED;
  PROCESS_INFORMATION process{};
  if (!::CreateProcessW(explorer.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
    win32::ThrowLastError();
  }
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  // An empty floppy or card reader must never raise the system's "no disk" box.
  ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  RemoveCurrentFolderFromDllSearch();

  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES};
  ::InitCommonControlsEx(&controls);

  win32::Win32Kernel32 kernel32;
  win32::Win32AnsiCodePage codePage;
  win32::Win32LocaleInfo locale;
  win32::Win32MessageBox messages;
  Win32CommonDialog commonDialog1;

  win32::Form1 form(win32::Form1Services{
      instance,
      win32::ProgramFolder(),
      kernel32,
      codePage,
      locale,
      messages,
      commonDialog1,
      [] { return std::unique_ptr<FileSystemObject>(new Win32FileSystemObject()); },
      &DrawHomePageNumber,
      &OpenHomePage,
      [&](HWND window) {
        messages.SetOwner(window);
        commonDialog1.SetOwner(window);
      },
      [] { ::ExitProcess(0); },
  });
  try {
    form.Load();
  } catch (const RuntimeFailure& failure) {
    // Without its window the program cannot do anything: say why and stop.
    messages.Show(failure.Description(), u"Brindlecap", MessageBoxIcon::kCriticalStop);
    return 1;
  }
  form.Show();
  return form.RunMessageLoop();
}

// The library's default terminate handler prints demangled type names; aborting
// plainly keeps its demangler (some 45 KiB) out of the program.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
