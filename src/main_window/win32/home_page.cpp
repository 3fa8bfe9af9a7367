#include "main_window/win32/home_page.h"

#include <windows.h>

#include "main_window/core/home_page_draw.h"
#include "platform/handles.h"
#include "platform/system_failure.h"
#include "platform/system_function.h"
#include "platform/wide_text.h"

namespace brindlecap::win32 {

int DrawHomePageNumber() {
  SYSTEMTIME now;
  ::GetLocalTime(&now);
  const uint32_t millisecondsOfDay =
      ((now.wHour * 60u + now.wMinute) * 60u + now.wSecond) * 1000u + now.wMilliseconds;
  return DrawOneToHundred(TimeSeededFraction(millisecondsOfDay).Next());
}

std::wstring ExplorerPath(std::wstring_view windowsFolder) {
  std::wstring path(windowsFolder);
  if (!path.empty() && path.back() == L'\\') path.pop_back();
  return path + L"\\explorer.exe";
}

std::wstring ExplorerCommandLine(std::wstring_view explorerPath, std::u16string_view address) {
  return L"\"" + std::wstring(explorerPath) + L"\" \"" + ToWide(address) + L"\"";
}

void OpenHomePage(std::u16string_view address) {
  wchar_t windowsFolder[MAX_PATH];
  const UINT length = ::GetWindowsDirectoryW(windowsFolder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) ThrowLastError();
  const std::wstring explorer = ExplorerPath(std::wstring_view(windowsFolder, length));
  std::wstring commandLine = ExplorerCommandLine(explorer, address);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWMINIMIZED;
  PROCESS_INFORMATION process{};
  // A child inherits the DLL directory set at start (SetDllDirectoryW): the explorer
  // gets the system's own search order instead, and the program its setting back.
  using SetDllDirectoryFunction = BOOL(WINAPI*)(LPCWSTR);
  const auto setDllDirectory =
      SystemFunction<SetDllDirectoryFunction>(L"kernel32.dll", "SetDllDirectoryW");
  if (setDllDirectory != nullptr) setDllDirectory(nullptr);
  const BOOL created = ::CreateProcessW(explorer.c_str(), commandLine.data(), nullptr, nullptr,
                                        FALSE, 0, nullptr, nullptr, &startup, &process);
  const DWORD error = ::GetLastError();
  if (setDllDirectory != nullptr) setDllDirectory(L"");
  if (!created) {
    ::SetLastError(error);
    ThrowLastError();
  }
  UniqueKernelHandle thread(process.hThread), started(process.hProcess);
}

}  // namespace brindlecap::win32
