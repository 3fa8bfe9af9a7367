#pragma once
// Drives the real program from another process: starts it, finds its windows,
// presses buttons, reads and changes its results list, and answers its dialogs.
// List-view messages are not marshalled between processes, so every structure
// they point to is placed in the program's memory. Every wait has a timeout;
// failures throw DriverError.
#include <windows.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/handles.h"

namespace brindlecap::e2e {

// Processes, threads and files are held by the program's own handle type.
using win32::UniqueKernelHandle;

// The 32-bit layout of LVITEMW, written out so that copies placed in the
// program's memory do not depend on this build's headers or pointer size.
struct ListItem32 {
  uint32_t mask;
  int32_t item;
  int32_t subItem;
  uint32_t state;
  uint32_t stateMask;
  uint32_t text;
  int32_t textMax;
  int32_t image;
  uint32_t param;
  int32_t indent;
  int32_t groupId;
  uint32_t columns;
  uint32_t columnList;
  uint32_t columnFormats;
  int32_t group;
};
static_assert(sizeof(ListItem32) == 60, "LVITEMW layout (32-bit)");
static_assert(offsetof(ListItem32, text) == 20, "LVITEMW.pszText offset");

using Milliseconds = std::chrono::milliseconds;

inline constexpr wchar_t kMainWindowClass[] = L"Brindlecap.MainWindow";
inline constexpr wchar_t kMainWindowCaption[] = L"Quillmarsh Orvane Tessel Plint Vaskrow";
inline constexpr wchar_t kDialogClass[] = L"#32770";
inline constexpr int kListId = 1;
inline constexpr int kStartRetrievingId = 6;
inline constexpr int kSaveResultsId = 8;
inline constexpr int kFileTypeComboId = 0x470;  // cmb1 of the file dialogs

class DriverError : public std::runtime_error {
 public:
  explicit DriverError(const std::string& what) : std::runtime_error(what) {}
};

// The message of a failed system call: its name and the system's last error.
std::string Win32Error(const char* what);

// Polls `done` until it returns true or the timeout passes; returns its last answer.
bool WaitUntil(const std::function<bool()>& done, Milliseconds timeout,
               Milliseconds interval = Milliseconds(20));

// A block of memory in another process, freed when this object goes.
class RemoteMemory {
 public:
  RemoteMemory(HANDLE process, size_t size);
  RemoteMemory(const RemoteMemory&) = delete;
  RemoteMemory& operator=(const RemoteMemory&) = delete;
  ~RemoteMemory();

  // The address as the other process sees it (both sides are 32-bit).
  uint32_t Address(size_t offset = 0) const;
  void Write(size_t offset, const void* data, size_t size);
  void Read(size_t offset, void* data, size_t size) const;

 private:
  HANDLE process_;
  void* base_;
  size_t size_;
};

// Window facts that can be read from outside the owning process.
std::wstring ClassNameOf(HWND window);
std::wstring TextOf(HWND window);  // WM_GETTEXT, which Wine and Windows marshal
int ControlIdOf(HWND window);
LONG StyleOf(HWND window);
LONG ExStyleOf(HWND window);
RECT WindowRectOf(HWND window);
SIZE ClientSizeOf(HWND window);
// The child's window rectangle in its parent's client coordinates.
RECT RectInParentClient(HWND child);
// Direct children in z-order, which is the dialog-manager tab order.
std::vector<HWND> ChildrenInOrder(HWND parent);
// The window with the keyboard focus in the thread that owns `window`.
HWND FocusOfThreadOwning(HWND window);
// Logical pixels per inch of the screen, as this process sees it.
int ScreenDpi();
// The pointer shape shown for the foreground thread. Cursors of another process
// can only be told apart by handle, not by picture.
HCURSOR ForegroundCursor();
// Moves the mouse pointer to a point of a window's client area.
void MovePointerTo(HWND window, POINT clientPoint);
// Top-level windows of one process; visible ones only unless told otherwise.
std::vector<HWND> TopLevelWindowsOf(DWORD processId, const wchar_t* className = nullptr,
                                    bool visibleOnly = true);
// Ctrl and a letter through the system's input, as typed, to the focused control of
// the foreground window, which `window` becomes first.
void TypeControlKey(HWND window, char letter);
// The clipboard's Unicode text, or nothing.
std::optional<std::wstring> ClipboardText();
// SendMessageTimeout that throws when the target does not answer in time.
LRESULT SendOrThrow(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                    Milliseconds timeout = Milliseconds(30000));
void PostOrThrow(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

struct ColumnInfo {
  std::wstring text;
  int width = 0;  // pixels
  int format = 0;
};

// The report-view list of another process.
class RemoteListView {
 public:
  RemoteListView(HWND list, HANDLE process) : list_(list), process_(process) {}

  HWND Handle() const { return list_; }
  int ItemCount() const;
  int ColumnCount() const;
  ColumnInfo Column(int index) const;
  std::wstring ItemText(int item, int subItem) const;
  std::vector<std::wstring> Row(int item) const;  // every column's cell
  std::vector<std::vector<std::wstring>> Rows() const;
  std::vector<std::wstring> Headers() const;
  bool Checked(int item) const;
  void SetChecked(int item, bool checked);  // item -1 means every row
  // What a user does: a click on the row's check box, a selection, the space bar.
  void ClickCheckBox(int item);
  void Select(const std::vector<int>& items);  // the last one gets the focus
  // A click on the row's text, which selects it and puts the keyboard focus in the list.
  void ClickItem(int item);
  void PressSpace();
  // A key with no character, such as Delete, posted as its key-down and key-up.
  void PressKey(UINT virtualKey);
  int SelectedCount() const;
  // A click on a column's header (0-based), posted as the mouse would send it.
  void ClickHeader(int column);
  // HDF_SORTUP, HDF_SORTDOWN or 0: the arrow the column's header shows.
  int SortArrow(int column) const;
  std::vector<bool> CheckMarks() const;
  DWORD ExtendedStyle() const;
  // Returns once the list's thread has handled every message posted to it so far.
  void WaitForPostedMessages() const;

 private:
  void Click(LPARAM point);
  // The item's rectangle in the list's client area (part: LVIR_BOUNDS, LVIR_LABEL...).
  RECT ItemRect(int item, int part) const;

  HWND list_;
  HANDLE process_;
};

// A #32770 window: a message box or a common dialog.
class Dialog {
 public:
  explicit Dialog(HWND window) : window_(window) {}

  HWND Handle() const { return window_; }
  bool Exists() const { return IsWindow(window_) != FALSE; }
  std::wstring Title() const { return TextOf(window_); }
  // Texts of its static controls, in child order, empty ones left out.
  std::vector<std::wstring> StaticTexts() const;
  // Posted, since the button ends the dialog's modal loop.
  void PressButton(int id) const;
  // The file-name field of a file dialog, what it holds, and typing into it.
  HWND FileNameField() const;
  std::wstring FileName() const { return TextOf(FileNameField()); }
  void TypeFileName(const std::wstring& path) const;
  // The entries of a combo box in the dialog and the selected one (-1: none).
  std::vector<std::wstring> ComboItems(int id) const;
  int ComboSelection(int id) const;
  bool WaitUntilClosed(Milliseconds timeout) const;

 private:
  HWND window_;
};

enum class ClickMode {
  kSend,  // returns after the handler has run
  kPost,  // for handlers that open a modal dialog
};

// The drives this machine lists: a retrieval adds a row for each.
int DriveCount();

class ProgramDriver {
 public:
  // Starts the program in `currentFolder`, with `arguments` after its name, and
  // waits until its main window shows and its input is idle.
  static std::unique_ptr<ProgramDriver> Start(const std::wstring& exePath,
                                              const std::wstring& currentFolder,
                                              const std::wstring& arguments = L"",
                                              Milliseconds timeout = Milliseconds(20000));
  // Takes over an instance that is already running (found by its window class).
  static std::unique_ptr<ProgramDriver> AttachToRunning(Milliseconds timeout);

  ProgramDriver(const ProgramDriver&) = delete;
  ProgramDriver& operator=(const ProgramDriver&) = delete;
  // Ends the program if it still runs, so that no test leaves it behind.
  ~ProgramDriver();

  DWORD ProcessId() const { return processId_; }
  HANDLE Process() const { return process_.get(); }
  HWND MainWindow() const { return mainWindow_; }
  HWND Control(int id) const;
  RemoteListView List() const { return RemoteListView(Control(kListId), Process()); }

  // BM_CLICK on the button with this control id.
  void ClickButton(int id, ClickMode mode);
  // WM_COMMAND/BN_CLICKED as the button would send it to the main window.
  void SendCommand(int id);
  // Presses "Start Retrieving" and returns once the run has ended and the window has
  // handled what the run's end posted.
  void Retrieve();
  // A run started when the list had `rowsBefore` rows has ended: every drive has its
  // row and the buttons are on (a quick run never turns them off).
  bool RunEnded(int rowsBefore) const;

  std::vector<Dialog> Dialogs() const;
  // The first visible #32770 window with this title, or nothing on timeout.
  std::unique_ptr<Dialog> WaitForDialog(const std::wstring& title, Milliseconds timeout) const;

  bool IsRunning() const;
  bool WaitForExit(Milliseconds timeout) const;
  // Posts WM_CLOSE to the main window and waits for the process to end; on
  // timeout the process is terminated. True when it ended on its own.
  bool Close(Milliseconds timeout);
  void Terminate();
  // Leaves the program running when this object goes.
  void Detach() { detached_ = true; }

 private:
  ProgramDriver(UniqueKernelHandle process, DWORD processId, HWND mainWindow)
      : process_(std::move(process)), processId_(processId), mainWindow_(mainWindow) {}

  UniqueKernelHandle process_;
  DWORD processId_;
  HWND mainWindow_;
  bool detached_ = false;
};

// Narrow text for messages (ASCII passes unchanged, other characters become '?').
std::string Narrow(const std::wstring& text);

}  // namespace brindlecap::e2e
