#include "support/window_driver.h"

#include <commctrl.h>

#include <cstdio>
#include <thread>

namespace brindlecap::e2e {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kFileNameComboId = 0x47C;  // cmb13
constexpr int kFileNameEditId = 0x480;   // edt1

}  // namespace

std::string Win32Error(const char* what) {
  return std::string(what) + " failed, error " + std::to_string(GetLastError());
}

bool WaitUntil(const std::function<bool()>& done, Milliseconds timeout, Milliseconds interval) {
  const auto deadline = Clock::now() + timeout;
  for (;;) {
    if (done()) return true;
    if (Clock::now() >= deadline) return false;
    std::this_thread::sleep_for(interval);
  }
}

std::vector<std::wstring> Dialog::StaticTexts() const {
  std::vector<std::wstring> texts;
  for (HWND child : ChildrenInOrder(window_)) {
    if (_wcsicmp(ClassNameOf(child).c_str(), L"Static") != 0) continue;
    std::wstring text = TextOf(child);
    if (!text.empty()) texts.push_back(std::move(text));
  }
  return texts;
}

void Dialog::PressButton(int id) const {
  PostOrThrow(window_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
              reinterpret_cast<LPARAM>(GetDlgItem(window_, id)));
}

HWND Dialog::FileNameField() const {
  HWND field = GetDlgItem(window_, kFileNameComboId);
  if (field == nullptr) field = GetDlgItem(window_, kFileNameEditId);
  if (field == nullptr) throw DriverError("the dialog has no file-name field");
  return field;
}

void Dialog::TypeFileName(const std::wstring& path) const {
  HWND field = FileNameField();
  SendOrThrow(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
  if (TextOf(field) != path) throw DriverError("the file-name field did not take the path");
}

std::vector<std::wstring> Dialog::ComboItems(int id) const {
  HWND combo = GetDlgItem(window_, id);
  if (combo == nullptr) throw DriverError("the dialog has no control " + std::to_string(id));
  std::vector<std::wstring> items;
  const auto count = SendOrThrow(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT index = 0; index < count; ++index) {
    // CB_GETLBTEXT is marshalled for combo boxes that keep strings.
    const auto length = SendOrThrow(combo, CB_GETLBTEXTLEN, index, 0);
    if (length < 0) throw DriverError("CB_GETLBTEXTLEN failed");
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const auto copied =
        SendOrThrow(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied < 0 ? 0 : static_cast<size_t>(copied));
    items.push_back(text);
  }
  return items;
}

int Dialog::ComboSelection(int id) const {
  HWND combo = GetDlgItem(window_, id);
  if (combo == nullptr) throw DriverError("the dialog has no control " + std::to_string(id));
  return static_cast<int>(SendOrThrow(combo, CB_GETCURSEL, 0, 0));
}

bool Dialog::WaitUntilClosed(Milliseconds timeout) const {
  return WaitUntil([&] { return !IsWindow(window_) || !IsWindowVisible(window_); }, timeout);
}

std::unique_ptr<ProgramDriver> ProgramDriver::Start(const std::wstring& exePath,
                                                    const std::wstring& currentFolder,
                                                    const std::wstring& arguments,
                                                    Milliseconds timeout) {
  std::wstring commandLine = L"\"" + exePath + L"\"";
  if (!arguments.empty()) commandLine += L" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  // Detached: under Wine the program then gets no stdin/stdout of ours (it
  // would keep a test's pipes open after the test ends).
  if (!CreateProcessW(
          exePath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr,
          currentFolder.empty() ? nullptr : currentFolder.c_str(), &startup, &started)) {
    throw DriverError(Win32Error("CreateProcess") + " for " + Narrow(exePath));
  }
  UniqueKernelHandle thread(started.hThread);
  // From here on the destructor ends the program should anything fail.
  std::unique_ptr<ProgramDriver> driver(
      new ProgramDriver(UniqueKernelHandle(started.hProcess), started.dwProcessId, nullptr));

  const auto deadline = Clock::now() + timeout;
  auto remaining = [&] {
    return std::max<long long>(
        0, std::chrono::duration_cast<Milliseconds>(deadline - Clock::now()).count());
  };
  if (WaitForInputIdle(driver->Process(), static_cast<DWORD>(remaining())) == WAIT_TIMEOUT) {
    throw DriverError("the program did not become idle in time");
  }
  const bool shown = WaitUntil(
      [&] {
        auto windows = TopLevelWindowsOf(driver->ProcessId(), kMainWindowClass);
        if (!windows.empty()) driver->mainWindow_ = windows.front();
        return !windows.empty() || !driver->IsRunning();
      },
      Milliseconds(remaining()));
  if (!driver->IsRunning()) {
    DWORD code = 0;
    GetExitCodeProcess(driver->Process(), &code);
    throw DriverError("the program ended during start-up, exit code " + std::to_string(code));
  }
  if (!shown) throw DriverError("the main window did not show in time");
  // Answering a sent message proves the window's thread is in its message loop.
  SendOrThrow(driver->mainWindow_, WM_NULL, 0, 0, Milliseconds(remaining() + 1000));
  return driver;
}

std::unique_ptr<ProgramDriver> ProgramDriver::AttachToRunning(Milliseconds timeout) {
  HWND window = nullptr;
  WaitUntil(
      [&] {
        auto windows = TopLevelWindowsOf(0, kMainWindowClass);
        window = windows.empty() ? nullptr : windows.front();
        return window != nullptr;
      },
      timeout);
  if (window == nullptr) throw DriverError("no running program window found");
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  const HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_INFORMATION |
                                         PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE,
                                     FALSE, processId);
  if (process == nullptr) throw DriverError(Win32Error("OpenProcess"));
  return std::unique_ptr<ProgramDriver>(
      new ProgramDriver(UniqueKernelHandle(process), processId, window));
}

ProgramDriver::~ProgramDriver() {
  if (!detached_ && IsRunning()) Terminate();
}

HWND ProgramDriver::Control(int id) const {
  HWND control = GetDlgItem(mainWindow_, id);
  if (control == nullptr) throw DriverError("no control with id " + std::to_string(id));
  return control;
}

void ProgramDriver::ClickButton(int id, ClickMode mode) {
  HWND button = Control(id);
  if (mode == ClickMode::kPost) {
    PostOrThrow(button, BM_CLICK, 0, 0);
  } else {
    SendOrThrow(button, BM_CLICK, 0, 0, Milliseconds(120000));
  }
}

void ProgramDriver::SendCommand(int id) {
  SendOrThrow(mainWindow_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
              reinterpret_cast<LPARAM>(Control(id)), Milliseconds(120000));
}

int DriveCount() {
  wchar_t roots[512];
  const DWORD length = GetLogicalDriveStringsW(511, roots);
  int drives = 0;
  for (DWORD at = 0; at < length && roots[at] != L'\0'; at += lstrlenW(roots + at) + 1) ++drives;
  return drives;
}

bool ProgramDriver::RunEnded(int rowsBefore) const {
  return List().ItemCount() >= rowsBefore + DriveCount() &&
         IsWindowEnabled(Control(kStartRetrievingId)) != FALSE;
}

void ProgramDriver::Retrieve() {
  const int rowsBefore = List().ItemCount();
  ClickButton(kStartRetrievingId, ClickMode::kSend);
  if (!WaitUntil([&] { return RunEnded(rowsBefore); }, Milliseconds(120000), Milliseconds(1))) {
    throw DriverError("the retrieval did not end within two minutes");
  }
  // Whatever the last answers left waiting in its queue is handled too.
  // (WaitForInputIdle would not do: after the first idle it returns at once.)
  List().WaitForPostedMessages();
}

std::vector<Dialog> ProgramDriver::Dialogs() const {
  std::vector<Dialog> dialogs;
  for (HWND window : TopLevelWindowsOf(processId_, kDialogClass)) dialogs.emplace_back(window);
  return dialogs;
}

std::unique_ptr<Dialog> ProgramDriver::WaitForDialog(const std::wstring& title,
                                                     Milliseconds timeout) const {
  std::unique_ptr<Dialog> found;
  WaitUntil(
      [&] {
        for (const Dialog& dialog : Dialogs()) {
          if (dialog.Title() == title) {
            found = std::make_unique<Dialog>(dialog);
            return true;
          }
        }
        return !IsRunning();
      },
      timeout);
  return found;
}

bool ProgramDriver::IsRunning() const {
  return WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

bool ProgramDriver::WaitForExit(Milliseconds timeout) const {
  return WaitForSingleObject(process_.get(), static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
}

bool ProgramDriver::Close(Milliseconds timeout) {
  if (!IsRunning()) return true;
  if (mainWindow_ != nullptr) PostMessageW(mainWindow_, WM_CLOSE, 0, 0);
  if (WaitForExit(timeout)) return true;
  Terminate();
  return false;
}

void ProgramDriver::Terminate() {
  TerminateProcess(process_.get(), 1);
  WaitForSingleObject(process_.get(), 10000);
}

std::string Narrow(const std::wstring& text) {
  std::string narrow;
  for (wchar_t c : text)
    narrow += (c >= 0x20 && c < 0x7F) || c == L'\r' || c == L'\n' || c == L'\t'
                  ? static_cast<char>(c)
                  : '?';
  return narrow;
}

}  // namespace brindlecap::e2e
