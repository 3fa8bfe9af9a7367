#include "support/window_driver.h"

#include <commctrl.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <thread>

namespace brindlecap::e2e {
namespace {

using Clock = std::chrono::steady_clock;

// The 32-bit layout of LVCOLUMNW, written out so that the remote copies do not
// depend on this build's headers or pointer size.
struct Column32 {
  uint32_t mask;
  int32_t format;
  int32_t width;
  uint32_t text;
  int32_t textMax;
  int32_t subItem;
  int32_t image;
  int32_t order;
  int32_t minWidth;
  int32_t defaultWidth;
  int32_t idealWidth;
};
static_assert(sizeof(Column32) == 44, "LVCOLUMNW layout (32-bit)");
static_assert(offsetof(Column32, text) == 12, "LVCOLUMNW.pszText offset");

constexpr size_t kTextOffset = 64;       // the text buffer follows the structure
constexpr int kFileNameComboId = 0x47C;  // cmb13
constexpr int kFileNameEditId = 0x480;   // edt1

std::string Win32Error(const char* what) {
  return std::string(what) + " failed, error " + std::to_string(GetLastError());
}

std::wstring ReadRemoteText(const RemoteMemory& memory, size_t chars) {
  std::wstring text(chars, L'\0');
  memory.Read(kTextOffset, text.data(), chars * sizeof(wchar_t));
  text.resize(wcsnlen(text.c_str(), chars));
  return text;
}

// One cell through a remote LVITEMW and text buffer that the caller reuses.
std::wstring ReadItemText(HWND list, RemoteMemory& memory, size_t chars, int item, int subItem) {
  ListItem32 request{};
  request.subItem = subItem;
  request.text = memory.Address(kTextOffset);
  request.textMax = static_cast<int32_t>(chars);
  memory.Write(0, &request, sizeof request);
  const wchar_t nothing = L'\0';
  memory.Write(kTextOffset, &nothing, sizeof nothing);
  SendOrThrow(list, LVM_GETITEMTEXTW, item, static_cast<LPARAM>(memory.Address()));
  return ReadRemoteText(memory, chars);
}

}  // namespace

bool WaitUntil(const std::function<bool()>& done, Milliseconds timeout, Milliseconds interval) {
  const auto deadline = Clock::now() + timeout;
  for (;;) {
    if (done()) return true;
    if (Clock::now() >= deadline) return false;
    std::this_thread::sleep_for(interval);
  }
}

RemoteMemory::RemoteMemory(HANDLE process, size_t size)
    : process_(process),
      base_(VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)),
      size_(size) {
  if (base_ == nullptr) throw DriverError(Win32Error("VirtualAllocEx"));
}

RemoteMemory::~RemoteMemory() { VirtualFreeEx(process_, base_, 0, MEM_RELEASE); }

uint32_t RemoteMemory::Address(size_t offset) const {
  return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(base_) + offset);
}

void RemoteMemory::Write(size_t offset, const void* data, size_t size) {
  if (offset + size > size_) throw DriverError("remote write out of range");
  SIZE_T written = 0;
  if (!WriteProcessMemory(process_, static_cast<char*>(base_) + offset, data, size, &written) ||
      written != size) {
    throw DriverError(Win32Error("WriteProcessMemory"));
  }
}

void RemoteMemory::Read(size_t offset, void* data, size_t size) const {
  if (offset + size > size_) throw DriverError("remote read out of range");
  SIZE_T read = 0;
  if (!ReadProcessMemory(process_, static_cast<char*>(base_) + offset, data, size, &read) ||
      read != size) {
    throw DriverError(Win32Error("ReadProcessMemory"));
  }
}

std::wstring ClassNameOf(HWND window) {
  wchar_t name[256] = L"";
  GetClassNameW(window, name, 256);
  return name;
}

std::wstring TextOf(HWND window) {
  const auto length = SendOrThrow(window, WM_GETTEXTLENGTH, 0, 0, Milliseconds(10000));
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const auto copied = SendOrThrow(window, WM_GETTEXT, text.size(),
                                  reinterpret_cast<LPARAM>(text.data()), Milliseconds(10000));
  text.resize(static_cast<size_t>(copied));
  return text;
}

int ControlIdOf(HWND window) { return GetDlgCtrlID(window); }

LONG StyleOf(HWND window) { return GetWindowLongW(window, GWL_STYLE); }

LONG ExStyleOf(HWND window) { return GetWindowLongW(window, GWL_EXSTYLE); }

RECT WindowRectOf(HWND window) {
  RECT rect{};
  if (!GetWindowRect(window, &rect)) throw DriverError(Win32Error("GetWindowRect"));
  return rect;
}

SIZE ClientSizeOf(HWND window) {
  RECT rect{};
  if (!GetClientRect(window, &rect)) throw DriverError(Win32Error("GetClientRect"));
  return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

RECT RectInParentClient(HWND child) {
  RECT rect = WindowRectOf(child);
  MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

std::vector<HWND> ChildrenInOrder(HWND parent) {
  std::vector<HWND> children;
  for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    children.push_back(child);
  }
  return children;
}

HWND FocusOfThreadOwning(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) {
    throw DriverError(Win32Error("GetGUIThreadInfo"));
  }
  return info.hwndFocus;
}

int ScreenDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi;
}

HCURSOR ForegroundCursor() {
  CURSORINFO info{};
  info.cbSize = sizeof info;
  if (!GetCursorInfo(&info)) throw DriverError(Win32Error("GetCursorInfo"));
  return info.hCursor;
}

void MovePointerTo(HWND window, POINT clientPoint) {
  if (!ClientToScreen(window, &clientPoint) || !SetCursorPos(clientPoint.x, clientPoint.y)) {
    throw DriverError(Win32Error("SetCursorPos"));
  }
}

namespace {

struct WindowSearch {
  DWORD processId;
  const wchar_t* className;
  bool visibleOnly;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM param) {
  auto& search = *reinterpret_cast<WindowSearch*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (search.processId != 0 && owner != search.processId) return TRUE;
  if (search.visibleOnly && !IsWindowVisible(window)) return TRUE;
  if (search.className != nullptr && ClassNameOf(window) != search.className) return TRUE;
  search.found.push_back(window);
  return TRUE;
}

}  // namespace

std::vector<HWND> TopLevelWindowsOf(DWORD processId, const wchar_t* className, bool visibleOnly) {
  WindowSearch search{processId, className, visibleOnly, {}};
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

void TypeControlKey(HWND window, char letter) {
  SetForegroundWindow(window);
  INPUT keys[4] = {};
  const WORD codes[4] = {VK_CONTROL, static_cast<WORD>(letter), static_cast<WORD>(letter),
                         VK_CONTROL};
  for (int i = 0; i < 4; ++i) {
    keys[i].type = INPUT_KEYBOARD;
    keys[i].ki.wVk = codes[i];
    keys[i].ki.dwFlags = i < 2 ? 0 : KEYEVENTF_KEYUP;
  }
  if (SendInput(4, keys, sizeof(INPUT)) != 4) throw DriverError(Win32Error("SendInput"));
}

std::optional<std::wstring> ClipboardText() {
  if (!OpenClipboard(nullptr)) return std::nullopt;
  std::optional<std::wstring> text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* characters = static_cast<const wchar_t*>(GlobalLock(data))) {
      text = characters;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

LRESULT SendOrThrow(HWND window, UINT message, WPARAM wParam, LPARAM lParam, Milliseconds timeout) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL,
                           static_cast<UINT>(timeout.count()), &result)) {
    char text[160];
    std::snprintf(text, sizeof text,
                  "message 0x%X to window %p got no answer (timeout or gone), error %lu", message,
                  static_cast<void*>(window), GetLastError());
    throw DriverError(text);
  }
  return static_cast<LRESULT>(result);
}

void PostOrThrow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!PostMessageW(window, message, wParam, lParam)) throw DriverError(Win32Error("PostMessage"));
}

int RemoteListView::ItemCount() const {
  return static_cast<int>(SendOrThrow(list_, LVM_GETITEMCOUNT, 0, 0));
}

int RemoteListView::ColumnCount() const {
  auto header = reinterpret_cast<HWND>(SendOrThrow(list_, LVM_GETHEADER, 0, 0));
  if (header == nullptr) return 0;
  return static_cast<int>(SendOrThrow(header, HDM_GETITEMCOUNT, 0, 0));
}

ColumnInfo RemoteListView::Column(int index) const {
  constexpr size_t kChars = 260;
  RemoteMemory memory(process_, kTextOffset + kChars * sizeof(wchar_t));
  Column32 request{};
  request.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
  request.text = memory.Address(kTextOffset);
  request.textMax = kChars;
  memory.Write(0, &request, sizeof request);
  if (!SendOrThrow(list_, LVM_GETCOLUMNW, index, static_cast<LPARAM>(memory.Address()))) {
    throw DriverError("LVM_GETCOLUMNW failed for column " + std::to_string(index));
  }
  Column32 answer{};
  memory.Read(0, &answer, sizeof answer);
  return ColumnInfo{ReadRemoteText(memory, kChars), answer.width, answer.format};
}

std::wstring RemoteListView::ItemText(int item, int subItem) const {
  // Grows the buffer until the text fits (it is cut to the buffer otherwise).
  for (size_t chars = 1024;; chars *= 4) {
    RemoteMemory memory(process_, kTextOffset + chars * sizeof(wchar_t));
    std::wstring text = ReadItemText(list_, memory, chars, item, subItem);
    if (text.size() + 1 < chars || chars >= 65536) return text;
  }
}

std::vector<std::wstring> RemoteListView::Row(int item) const {
  std::vector<std::wstring> cells;
  const int columns = ColumnCount();
  for (int column = 0; column < columns; ++column) cells.push_back(ItemText(item, column));
  return cells;
}

std::vector<std::vector<std::wstring>> RemoteListView::Rows() const {
  constexpr size_t kChars = 1024;
  RemoteMemory memory(process_, kTextOffset + kChars * sizeof(wchar_t));
  const int columns = ColumnCount();
  const int items = ItemCount();
  std::vector<std::vector<std::wstring>> rows(items);
  for (int item = 0; item < items; ++item) {
    for (int column = 0; column < columns; ++column) {
      std::wstring text = ReadItemText(list_, memory, kChars, item, column);
      if (text.size() + 1 >= kChars) text = ItemText(item, column);  // a long cell
      rows[item].push_back(std::move(text));
    }
  }
  return rows;
}

std::vector<std::wstring> RemoteListView::Headers() const {
  std::vector<std::wstring> headers;
  const int columns = ColumnCount();
  for (int column = 0; column < columns; ++column) headers.push_back(Column(column).text);
  return headers;
}

bool RemoteListView::Checked(int item) const {
  const auto state = SendOrThrow(list_, LVM_GETITEMSTATE, item, LVIS_STATEIMAGEMASK);
  // State image 1 is the empty box, 2 the checked one.
  return ((static_cast<UINT>(state) & LVIS_STATEIMAGEMASK) >> 12) == 2;
}

void RemoteListView::SetChecked(int item, bool checked) {
  RemoteMemory memory(process_, sizeof(ListItem32));
  ListItem32 request{};
  request.stateMask = LVIS_STATEIMAGEMASK;
  request.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
  memory.Write(0, &request, sizeof request);
  if (!SendOrThrow(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(item),
                   static_cast<LPARAM>(memory.Address()))) {
    throw DriverError("LVM_SETITEMSTATE failed for item " + std::to_string(item));
  }
}

RECT RemoteListView::ItemRect(int item, int part) const {
  RemoteMemory memory(process_, sizeof(RECT));
  RECT rect{part, 0, 0, 0};
  memory.Write(0, &rect, sizeof rect);
  SendOrThrow(list_, LVM_GETITEMRECT, static_cast<WPARAM>(item),
              static_cast<LPARAM>(memory.Address()));
  memory.Read(0, &rect, sizeof rect);
  return rect;
}

void RemoteListView::ClickCheckBox(int item) {
  RemoteMemory memory(process_, sizeof(LVHITTESTINFO));
  const RECT bounds = ItemRect(item, LVIR_BOUNDS);
  // The box sits at the row's left end: find it by the list's own hit test.
  for (int x = bounds.left; x < bounds.left + 40; ++x) {
    LVHITTESTINFO hit{};
    hit.pt = {x, (bounds.top + bounds.bottom) / 2};
    memory.Write(0, &hit, sizeof hit);
    SendOrThrow(list_, LVM_HITTEST, 0, static_cast<LPARAM>(memory.Address()));
    memory.Read(0, &hit, sizeof hit);
    if (hit.iItem == item && (hit.flags & LVHT_ONITEMSTATEICON)) {
      Click(MAKELPARAM(hit.pt.x, hit.pt.y));
      return;
    }
  }
  throw DriverError("no check box found on item " + std::to_string(item));
}

void RemoteListView::ClickItem(int item) {
  const RECT label = ItemRect(item, LVIR_LABEL);
  Click(MAKELPARAM((label.left + label.right) / 2, (label.top + label.bottom) / 2));
}

void RemoteListView::Click(LPARAM point) {
  // The release is posted first and the press sent: sent messages come before
  // posted ones, so the press has been handled when the send returns, and a
  // drag-detecting loop it starts finds the release waiting. (A sent WM_NULL after
  // two posted clicks can return before either is handled.)
  PostOrThrow(list_, WM_LBUTTONUP, 0, point);
  SendOrThrow(list_, WM_LBUTTONDOWN, MK_LBUTTON, point);
  SendOrThrow(list_, WM_NULL, 0, 0);
}

void RemoteListView::Select(const std::vector<int>& items) {
  RemoteMemory memory(process_, sizeof(ListItem32));
  const auto setState = [&](int item, UINT state, UINT mask) {
    ListItem32 request{};
    request.state = state;
    request.stateMask = mask;
    memory.Write(0, &request, sizeof request);
    SendOrThrow(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(item),
                static_cast<LPARAM>(memory.Address()));
  };
  setState(-1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  for (size_t i = 0; i < items.size(); ++i) {
    const UINT state = LVIS_SELECTED | (i + 1 == items.size() ? LVIS_FOCUSED : 0);
    setState(items[i], state, state);
  }
}

void RemoteListView::PressSpace() {
  PostOrThrow(list_, WM_KEYDOWN, VK_SPACE, 0x00390001);
  PostOrThrow(list_, WM_CHAR, L' ', 0x00390001);
  PostOrThrow(list_, WM_KEYUP, VK_SPACE, 0xC0390001);
  SendOrThrow(list_, WM_NULL, 0, 0);
}

void RemoteListView::PressKey(UINT virtualKey) {
  PostOrThrow(list_, WM_KEYDOWN, virtualKey, 1);
  PostOrThrow(list_, WM_KEYUP, virtualKey, 0xC0000001);
  SendOrThrow(list_, WM_NULL, 0, 0);
}

int RemoteListView::SelectedCount() const {
  return static_cast<int>(SendOrThrow(list_, LVM_GETSELECTEDCOUNT, 0, 0));
}

void RemoteListView::ClickHeader(int column) {
  const auto header = reinterpret_cast<HWND>(SendOrThrow(list_, LVM_GETHEADER, 0, 0));
  RemoteMemory memory(process_, sizeof(RECT));
  RECT rect{};
  memory.Write(0, &rect, sizeof rect);
  if (!SendOrThrow(header, HDM_GETITEMRECT, column, static_cast<LPARAM>(memory.Address()))) {
    throw DriverError("no header item " + std::to_string(column));
  }
  memory.Read(0, &rect, sizeof rect);
  const LPARAM point = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
  PostOrThrow(header, WM_LBUTTONDOWN, MK_LBUTTON, point);
  PostOrThrow(header, WM_LBUTTONUP, 0, point);
  SendOrThrow(header, WM_NULL, 0, 0);
  SendOrThrow(list_, WM_NULL, 0, 0);
}

int RemoteListView::SortArrow(int column) const {
  const auto header = reinterpret_cast<HWND>(SendOrThrow(list_, LVM_GETHEADER, 0, 0));
  // HDITEMW, 32-bit layout: mask at 0, fmt at 20.
  uint32_t item[16] = {HDI_FORMAT};
  RemoteMemory memory(process_, sizeof item);
  memory.Write(0, item, sizeof item);
  if (!SendOrThrow(header, HDM_GETITEMW, column, static_cast<LPARAM>(memory.Address()))) {
    throw DriverError("HDM_GETITEMW failed for column " + std::to_string(column));
  }
  memory.Read(0, item, sizeof item);
  return static_cast<int>(item[5]) & (HDF_SORTUP | HDF_SORTDOWN);
}

std::vector<bool> RemoteListView::CheckMarks() const {
  std::vector<bool> marks;
  const int items = ItemCount();
  for (int item = 0; item < items; ++item) marks.push_back(Checked(item));
  return marks;
}

DWORD RemoteListView::ExtendedStyle() const {
  return static_cast<DWORD>(SendOrThrow(list_, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
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

void ProgramDriver::Retrieve() {
  // The button is off until the run's last drive has answered.
  ClickButton(kStartRetrievingId, ClickMode::kSend);
  const HWND button = Control(kStartRetrievingId);
  if (!WaitUntil([&] { return IsWindowEnabled(button) != FALSE; }, Milliseconds(120000),
                 Milliseconds(1))) {
    throw DriverError("the retrieval did not end within two minutes");
  }
  // Whatever the last answers left waiting in its queue is handled too.
  WaitForInputIdle(Process(), 10000);
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
