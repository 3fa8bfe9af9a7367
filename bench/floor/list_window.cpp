// The start-up floor with Brindlecap's controls: one window holding what
// Brindlecap's window holds, made the way any program makes it, and nothing
// else: a report-view list (common controls 6, owner-data, check boxes,
// full-row select, grid lines, seven columns, no rows) and two push buttons, in
// the same places, texts and fonts, shown and painted; then it waits for input
// and closes when asked (WM_CLOSE), like empty_window.
//
// Its second button shows the save dialog (the dialog's library loaded on
// first use, as Brindlecap does) and writes nothing: the memory footprint uses
// it to tell what the dialog's libraries cost in any program.
//
// Built a second time as retrieval_window (BRINDLECAP_FLOOR_RETRIEVAL), the
// floor of a retrieval as seen: its first button makes one retrieval's kernel32
// calls (drive_calls.h) on the window's thread, turns the answers into the
// seven cells per drive (drive_rows.h), appends the rows to the list and paints
// it before the click returns.
//
// Built a third time as retrieval_worker (BRINDLECAP_FLOOR_WORKER): the same
// retrieval made on one worker thread, so that a drive that hangs cannot freeze
// the window; the rows are shown when the thread has posted that it is done.
#include <windows.h>

#include <commctrl.h>
#include <commdlg.h>

#ifdef BRINDLECAP_FLOOR_RETRIEVAL
#include "drive_rows.h"
#endif

namespace {

constexpr int kListId = 1, kFirstButtonId = 6, kSecondButtonId = 8;

// Brindlecap's layout, in twips (15 twips are one pixel at 96 DPI).
struct Box {
  int left, top, width, height;
};
constexpr int kClientWidth = 15960, kClientHeight = 3270;
constexpr Box kListBox{120, 630, 15720, 2535};
constexpr Box kFirstButtonBox{120, 120, 7800, 405};
constexpr Box kSecondButtonBox{8040, 120, 7800, 405};
struct Column {
  const wchar_t* header;
  int widthTwips;
};
constexpr Column kColumns[7] = {
    {L"Drive", 2500},      {L"Type", 2000},       {L"File System", 1200},  {L"Total Space", 1500},
    {L"Free Space", 1500}, {L"Used Space", 1500}, {L"Serial Number", 5000}};

int dpi = 96;

int Pixels(int twips) { return MulDiv(twips, dpi, 1440); }

HFONT BoldArial(int hundredthsOfPoint) {
  return CreateFontW(-MulDiv(hundredthsOfPoint, dpi, 7200), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE,
                     DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH | FF_SWISS, L"Arial");
}

HWND Child(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style, DWORD exStyle,
           const Box& box, int id, HFONT font) {
  const HWND child = CreateWindowExW(
      exStyle, className, text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, Pixels(box.left),
      Pixels(box.top), Pixels(box.width), Pixels(box.height), parent,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  if (child != nullptr) SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return child;
}

HWND MakeList(HWND parent, HFONT font) {
  const HWND list = Child(parent, WC_LISTVIEWW, L"", LVS_REPORT | LVS_SHOWSELALWAYS | LVS_OWNERDATA,
                          WS_EX_CLIENTEDGE, kListBox, kListId, font);
  if (list == nullptr) return nullptr;
  SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
               LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
  SendMessageW(list, LVM_SETCALLBACKMASK, LVIS_STATEIMAGEMASK, 0);
  for (int c = 0; c < 7; ++c) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    column.fmt = LVCFMT_LEFT;
    column.pszText = const_cast<wchar_t*>(kColumns[c].header);
    column.cx = Pixels(kColumns[c].widthTwips);
    SendMessageW(list, LVM_INSERTCOLUMNW, c, reinterpret_cast<LPARAM>(&column));
  }
  SendMessageW(list, LVM_SETITEMCOUNT, 0, LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
  return list;
}

// The save dialog, as Brindlecap shows it; the chosen name is not used.
void ShowSaveDialog(HWND owner) {
  using GetSaveFileNameFunction = BOOL(WINAPI*)(OPENFILENAMEW*);
  static GetSaveFileNameFunction getSaveFileName = nullptr;
  if (getSaveFileName == nullptr) {
    wchar_t path[MAX_PATH];
    const UINT length = GetSystemDirectoryW(path, MAX_PATH - 16);
    if (length == 0 || length >= MAX_PATH - 16) return;
    lstrcatW(path, L"\\comdlg32.dll");
    const HMODULE module = LoadLibraryW(path);
    if (module == nullptr) return;
    getSaveFileName = reinterpret_cast<GetSaveFileNameFunction>(
        reinterpret_cast<void*>(GetProcAddress(module, "GetSaveFileNameW")));
    if (getSaveFileName == nullptr) return;
  }
  wchar_t file[1024] = {};
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = L"Text Files (*.txt)\0*.txt\0All Files (*.*)\0*.*\0";
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = file;
  dialog.nMaxFile = 1024;
  dialog.lpstrTitle = L"Save";
  dialog.Flags = OFN_READONLY | OFN_ALLOWMULTISELECT | OFN_EXPLORER | OFN_LONGNAMES;
  getSaveFileName(&dialog);
}

#ifdef BRINDLECAP_FLOOR_RETRIEVAL
using brindlecap::drive_floor::Row;
// On the process heap, grown by doubling: the standard library's containers
// would add its exception machinery, ten times this program's size.
Row* rows = nullptr;
int rowCount = 0, rowCapacity = 0;

void AddRow(const Row& row) {
  if (rowCount == rowCapacity) {
    const int capacity = rowCapacity == 0 ? 32 : rowCapacity * 2;
    const SIZE_T bytes = sizeof(Row) * static_cast<SIZE_T>(capacity);
    void* grown = rows == nullptr ? HeapAlloc(GetProcessHeap(), 0, bytes)
                                  : HeapReAlloc(GetProcessHeap(), 0, rows, bytes);
    if (grown == nullptr) return;
    rows = static_cast<Row*>(grown);
    rowCapacity = capacity;
  }
  rows[rowCount++] = row;
}

void MakeRows() {
  brindlecap::drive_floor::OneRun([](const brindlecap::drive_floor::DriveAnswers& answers) {
    AddRow(brindlecap::drive_floor::MakeRow(answers));
  });
}

void ShowRows(HWND list) {
  // No flags, as any program would: the list redraws its visible rows.
  SendMessageW(list, LVM_SETITEMCOUNT, rowCount, 0);
  UpdateWindow(list);
}

#ifdef BRINDLECAP_FLOOR_WORKER
constexpr UINT kRowsReady = WM_APP;

DWORD WINAPI RetrieveOnWorker(void* window) {
  MakeRows();
  PostMessageW(static_cast<HWND>(window), kRowsReady, 0, 0);
  return 0;
}
#endif

void AnswerCell(NMLVDISPINFOW& info) {
  LVITEMW& item = info.item;
  if (item.iItem < 0 || item.iItem >= rowCount) return;
  if ((item.mask & LVIF_TEXT) && item.iSubItem >= 0 && item.iSubItem < 7 && item.cchTextMax > 0) {
    lstrcpynW(item.pszText, rows[item.iItem].cells[item.iSubItem], item.cchTextMax);
  }
  if (item.mask & LVIF_STATE) {  // every check box empty
    item.state = (item.state & ~LVIS_STATEIMAGEMASK) | INDEXTOSTATEIMAGEMASK(1);
    item.stateMask |= LVIS_STATEIMAGEMASK;
  }
}
#endif

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
#ifdef BRINDLECAP_FLOOR_RETRIEVAL
      if (header->code == LVN_GETDISPINFOW) {
        AnswerCell(*reinterpret_cast<NMLVDISPINFOW*>(lParam));
        return 0;
      }
#endif
      // Without rows the list never asks for a text. Answered all the same.
      if (header->code == LVN_ODFINDITEMW) return -1;
      return 0;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == kSecondButtonId && HIWORD(wParam) == BN_CLICKED) {
        ShowSaveDialog(window);
      }
#ifdef BRINDLECAP_FLOOR_RETRIEVAL
      if (LOWORD(wParam) == kFirstButtonId && HIWORD(wParam) == BN_CLICKED) {
#ifdef BRINDLECAP_FLOOR_WORKER
        const HANDLE worker = CreateThread(nullptr, 0, RetrieveOnWorker, window, 0, nullptr);
        if (worker != nullptr) CloseHandle(worker);
#else
        MakeRows();
        ShowRows(GetDlgItem(window, kListId));
#endif
      }
#endif
      return 0;
#ifdef BRINDLECAP_FLOOR_WORKER
    case kRowsReady:
      ShowRows(GetDlgItem(window, kListId));
      return 0;
#endif
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
#ifdef BRINDLECAP_FLOOR_RETRIEVAL
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);  // as Brindlecap: no drive boxes
#endif
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&controls);
  const HDC screen = GetDC(nullptr);
  dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);

  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = WindowProcedure;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = L"Brindlecap.ListWindow";
  if (!RegisterClassExW(&windowClass)) return 1;

  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
  const DWORD exStyle = WS_EX_APPWINDOW | WS_EX_CONTROLPARENT;
  RECT frame{0, 0, Pixels(kClientWidth), Pixels(kClientHeight)};
  AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  const HWND window = CreateWindowExW(
      exStyle, windowClass.lpszClassName, L"List window", style, CW_USEDEFAULT, CW_USEDEFAULT,
      frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
  if (window == nullptr) return 1;
  const HFONT listFont = BoldArial(900), buttonFont = BoldArial(1125);
  const HWND list = MakeList(window, listFont);
  if (list == nullptr ||
      Child(window, L"BUTTON", L"Start Retrieving", BS_PUSHBUTTON, 0, kFirstButtonBox,
            kFirstButtonId, buttonFont) == nullptr ||
      Child(window, L"BUTTON", L"Save Results As Text File", BS_PUSHBUTTON, 0, kSecondButtonBox,
            kSecondButtonId, buttonFont) == nullptr) {
    return 1;
  }
  ShowWindow(window, SW_SHOWNORMAL);
  UpdateWindow(window);
  SetFocus(list);

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  DeleteObject(listFont);
  DeleteObject(buttonFont);
  return static_cast<int>(message.wParam);
}
