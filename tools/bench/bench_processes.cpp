// bench_launcher's costs outside a window: unit-costs (single calls in this
// process) and processes (whole processes, as a script runs them).
#include <windows.h>
// These need windows.h first.
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "bench_commands.h"
#include "bench_common.h"
#include "support/window_driver.h"

namespace brindlecap::bench {

namespace {

// The parent of the owner-data list below: answers every cell with a text of
// a retrieval's length, and every check mark as checked.
LRESULT CALLBACK OwnerDataParent(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NOTIFY) {
    auto& header = *reinterpret_cast<NMHDR*>(lParam);
    if (header.code == LVN_GETDISPINFOW) {
      LVITEMW& item = reinterpret_cast<NMLVDISPINFOW&>(header).item;
      if ((item.mask & LVIF_TEXT) && item.pszText != nullptr && item.cchTextMax > 0) {
        lstrcpynW(item.pszText, item.iSubItem == 0 ? L"C:\\ - [System]" : L"465.76 GB",
                  item.cchTextMax);
      }
      if (item.mask & LVIF_STATE) {
        item.state = (item.state & ~LVIS_STATEIMAGEMASK) | INDEXTOSTATEIMAGEMASK(2);
        item.stateMask |= LVIS_STATEIMAGEMASK;
      }
      return 0;
    }
    if (header.code == LVN_ODFINDITEMW) return -1;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

// What single calls cost in this process under this system: the calls a save
// makes per row (the writer's yields, the conversion of a line, the file
// writes) and the update that shows a retrieval's new rows in an owner-data
// list like the program's.
int UnitCosts(int calls) {
  const auto time = [&](const char* name, int count, auto&& call) {
    const double start = NowMs();
    for (int i = 0; i < count; ++i) call(i);
    std::printf("unit_cost call=%s calls=%d us_per_call=%.3f\n", name, count,
                (NowMs() - start) * 1000.0 / count);
    std::fflush(stdout);
  };
  volatile DWORD sink = 0;
  time("GetQueueStatus", calls, [&](int) { sink = sink + GetQueueStatus(QS_ALLINPUT); });
  time("PeekMessageW_empty", calls, [&](int) {
    MSG message;
    sink = sink + PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);
  });
  time("GetTickCount", calls, [&](int) { sink = sink + GetTickCount(); });

  // A written line: seven padded cells and their tabs, about 95 characters.
  const std::wstring line =
      L"C:\\ - [System]           \tFixed    \tNTFS  \t465.76 GB  \t120.01 GB  \t345.75 GB  "
      L"\t1234-ABCD    \t";
  std::vector<char> ansi(line.size() * 2 + 2);
  time("WideCharToMultiByte_line", calls, [&](int) {
    sink = sink + WideCharToMultiByte(CP_ACP, 0, line.c_str(), static_cast<int>(line.size()),
                                      ansi.data(), static_cast<int>(ansi.size()), nullptr, nullptr);
  });

  wchar_t folder[MAX_PATH], path[MAX_PATH];
  if (GetTempPathW(MAX_PATH, folder) == 0 || !GetTempFileNameW(folder, L"bcb", 0, path)) {
    throw e2e::DriverError("no scratch file");
  }
  {
    e2e::UniqueKernelHandle file(CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) throw e2e::DriverError("the scratch file cannot be written");
    const std::vector<char> block(64 * 1024, 'x');
    time("WriteFile_64KiB", std::max(1, calls / 100), [&](int) {
      DWORD written = 0;
      if (!WriteFile(file.get(), block.data(), static_cast<DWORD>(block.size()), &written,
                     nullptr)) {
        throw e2e::DriverError("WriteFile failed");
      }
    });
  }
  DeleteFileW(path);

  // The end of a retrieval on screen: a shown window with an owner-data list of
  // the program's size, style and columns; 26 rows more, then the paint.
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&controls);
  WNDCLASSW parentClass{};
  parentClass.lpfnWndProc = OwnerDataParent;
  parentClass.hInstance = GetModuleHandleW(nullptr);
  parentClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  parentClass.lpszClassName = L"Brindlecap.Bench.OwnerDataParent";
  RegisterClassW(&parentClass);
  const HWND parent =
      CreateWindowExW(0, parentClass.lpszClassName, L"", WS_POPUP | WS_VISIBLE, 0, 0, 1064, 218,
                      nullptr, nullptr, parentClass.hInstance, nullptr);
  const HWND list =
      CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                      WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_OWNERDATA, 8, 42,
                      1048, 169, parent, nullptr, parentClass.hInstance, nullptr);
  if (parent == nullptr || list == nullptr) throw e2e::DriverError("cannot create a list view");
  SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
               LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
  SendMessageW(list, LVM_SETCALLBACKMASK, LVIS_STATEIMAGEMASK, 0);
  for (int c = 0; c < 7; ++c) {
    wchar_t header[] = L"Column";
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = header;
    column.cx = 140;
    SendMessageW(list, LVM_INSERTCOLUMNW, c, reinterpret_cast<LPARAM>(&column));
  }
  UpdateWindow(parent);
  int rows = 0;
  time("owner_data_item_count_26_more", std::max(1, calls / 1000), [&](int) {
    rows += 26;
    SendMessageW(list, LVM_SETITEMCOUNT, rows, LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
  });
  time("owner_data_paint", std::max(1, calls / 1000), [&](int) {
    InvalidateRect(list, nullptr, TRUE);
    UpdateWindow(list);
  });
  DestroyWindow(parent);
  return 0;
}

// Whole processes, as a script runs them: start, work, end.
int Processes(int runs, const std::wstring& folder,
              const std::vector<std::pair<std::wstring, std::wstring>>& commands) {
  std::vector<std::vector<double>> times(commands.size());
  SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
  for (int run = 0; run < runs; ++run) {
    for (size_t i = 0; i < commands.size(); ++i) {
      const std::wstring& label = commands[i].first;
      e2e::UniqueKernelHandle input(CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ, &inheritable,
                                                OPEN_EXISTING, 0, nullptr));
      e2e::UniqueKernelHandle output(CreateFileW((folder + L"\\" + label + L".out").c_str(),
                                                 GENERIC_WRITE, FILE_SHARE_READ, &inheritable,
                                                 CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
      if (!input || !output) throw e2e::DriverError("cannot open the standard handles' files");
      std::wstring commandLine = commands[i].second;
      STARTUPINFOW startup{};
      startup.cb = sizeof startup;
      startup.dwFlags = STARTF_USESTDHANDLES;
      startup.hStdInput = input.get();
      startup.hStdOutput = startup.hStdError = output.get();
      PROCESS_INFORMATION started{};
      const double start = NowMs();
      if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                          &startup, &started)) {
        throw e2e::DriverError("CreateProcess failed for " + e2e::Narrow(commandLine));
      }
      WaitForSingleObject(started.hProcess, INFINITE);
      const double ms = NowMs() - start;
      DWORD exitCode = 0;
      GetExitCodeProcess(started.hProcess, &exitCode);
      CloseHandle(started.hProcess);
      CloseHandle(started.hThread);
      times[i].push_back(ms);
      std::printf("process_run label=%s run=%d ms=%.3f exit=%lu\n", e2e::Narrow(label).c_str(),
                  run + 1, ms, static_cast<unsigned long>(exitCode));
    }
  }
  for (size_t i = 0; i < commands.size(); ++i) {
    PrintSummary(("process label=" + e2e::Narrow(commands[i].first)).c_str(), times[i], "ms");
  }
  return 0;
}

}  // namespace brindlecap::bench
