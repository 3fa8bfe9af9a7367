// What every command of bench_launcher shares: the clock, the summaries it
// prints, paths given from either side of Wine, and a started program whose
// window is waited for.
#ifndef BRINDLECAP_TOOLS_BENCH_BENCH_COMMON_H_
#define BRINDLECAP_TOOLS_BENCH_BENCH_COMMON_H_

#include <windows.h>

#include <string>
#include <vector>

#include "support/window_driver.h"

namespace brindlecap::bench {

// Milliseconds of the performance counter.
double NowMs();

// Prints "<prefix> runs=... median_<unit>=... mean_... min_... p90_... stdev_...".
void PrintSummary(const char* prefix, const std::vector<double>& values, const char* unit);

std::wstring BaseName(const std::wstring& path);
std::wstring FolderOf(const std::wstring& path);
// A Unix path (seen through drive Z:) or a Windows one.
std::wstring WindowsPath(std::wstring path);

// Any program: started, shown, idle. Closes it (or ends it) when it goes.
class StartedProgram {
 public:
  explicit StartedProgram(const std::wstring& exe);
  StartedProgram(const StartedProgram&) = delete;
  StartedProgram& operator=(const StartedProgram&) = delete;
  ~StartedProgram();

  // Milliseconds from CreateProcess until the window is shown and answers.
  double WaitUntilReady();

  bool Running() const { return WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }
  HANDLE Process() const { return process_.get(); }
  DWORD ProcessId() const { return processId_; }
  HWND Window() const { return window_; }

 private:
  e2e::UniqueKernelHandle process_;
  DWORD processId_ = 0;
  HWND window_ = nullptr;
  double startMs_ = 0;
};

// Lets the window repaint what the last command changed, outside the timed part.
void LetItSettle(HANDLE process, HWND window);
void LetItSettle(e2e::ProgramDriver& program);

}  // namespace brindlecap::bench

#endif  // BRINDLECAP_TOOLS_BENCH_BENCH_COMMON_H_
