#include "bench_common.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numeric>

namespace brindlecap::bench {

using e2e::Milliseconds;

namespace {

struct Summary {
  double median = 0, mean = 0, min = 0, p90 = 0, stdev = 0;
};

Summary Summarize(std::vector<double> values) {
  Summary s;
  if (values.empty()) return s;
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  s.median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
  s.mean = std::accumulate(values.begin(), values.end(), 0.0) / static_cast<double>(n);
  s.min = values.front();
  s.p90 = values[std::min(n - 1, static_cast<size_t>(std::ceil(0.9 * static_cast<double>(n))) - 1)];
  double squares = 0;
  for (double v : values) squares += (v - s.mean) * (v - s.mean);
  s.stdev = n > 1 ? std::sqrt(squares / static_cast<double>(n - 1)) : 0;
  return s;
}

// The program's visible top-level window with a caption, if it has one yet.
HWND CaptionedWindowOf(DWORD processId) {
  for (HWND window : e2e::TopLevelWindowsOf(processId)) {
    if ((e2e::StyleOf(window) & WS_CAPTION) == WS_CAPTION) return window;
  }
  return nullptr;
}

}  // namespace

double NowMs() {
  static const double ticksPerMs = [] {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(frequency.QuadPart) / 1000.0;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / ticksPerMs;
}

void PrintSummary(const char* prefix, const std::vector<double>& values, const char* unit) {
  const Summary s = Summarize(values);
  std::printf("%s runs=%zu median_%s=%.3f mean_%s=%.3f min_%s=%.3f p90_%s=%.3f stdev_%s=%.3f\n",
              prefix, values.size(), unit, s.median, unit, s.mean, unit, s.min, unit, s.p90, unit,
              s.stdev);
  std::fflush(stdout);
}

std::wstring BaseName(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring FolderOf(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

// A Unix path (seen through drive Z:) or a Windows one.
std::wstring WindowsPath(std::wstring path) {
  if (!path.empty() && path.front() == L'/') {
    std::replace(path.begin(), path.end(), L'/', L'\\');
    path = L"Z:" + path;
  }
  return path;
}

StartedProgram::StartedProgram(const std::wstring& exe) {
  std::wstring commandLine = L"\"" + exe + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  const std::wstring folder = FolderOf(exe);
  startMs_ = NowMs();
  if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS,
                      nullptr, folder.empty() ? nullptr : folder.c_str(), &startup, &started)) {
    throw e2e::DriverError("CreateProcess failed for " + e2e::Narrow(exe) + ", error " +
                           std::to_string(GetLastError()));
  }
  CloseHandle(started.hThread);
  process_.reset(started.hProcess);
  processId_ = started.dwProcessId;
}

StartedProgram::~StartedProgram() {
  if (!Running()) return;
  if (window_ != nullptr) PostMessageW(window_, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process_.get(), 10000) != WAIT_OBJECT_0) {
    TerminateProcess(process_.get(), 1);
    WaitForSingleObject(process_.get(), 10000);
  }
}

double StartedProgram::WaitUntilReady() {
  const double deadline = startMs_ + 30000;
  if (WaitForInputIdle(process_.get(), 30000) == WAIT_TIMEOUT) {
    throw e2e::DriverError("the program did not become idle");
  }
  while ((window_ = CaptionedWindowOf(processId_)) == nullptr) {
    if (!Running()) throw e2e::DriverError("the program ended during start-up");
    if (NowMs() > deadline) throw e2e::DriverError("no window was shown");
    SwitchToThread();
  }
  // A sent message is answered only from the window thread's message loop.
  e2e::SendOrThrow(window_, WM_NULL, 0, 0, Milliseconds(30000));
  return NowMs() - startMs_;
}

void LetItSettle(HANDLE process, HWND window) {
  WaitForInputIdle(process, 5000);
  Sleep(10);
  e2e::SendOrThrow(window, WM_NULL, 0, 0);
}

void LetItSettle(e2e::ProgramDriver& program) {
  LetItSettle(program.Process(), program.MainWindow());
}

}  // namespace brindlecap::bench
