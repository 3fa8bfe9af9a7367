// The commands of bench_launcher, each as its usage (bench_launcher.cpp) tells;
// each returns the process's exit status and throws e2e::DriverError on failure.
#ifndef BRINDLECAP_TOOLS_BENCH_BENCH_COMMANDS_H_
#define BRINDLECAP_TOOLS_BENCH_BENCH_COMMANDS_H_

#include <string>
#include <utility>
#include <vector>

namespace brindlecap::bench {

// bench_window.cpp
int Startup(int runs, const std::vector<std::wstring>& exes);
int Retrieval(const std::wstring& exe, int runs, const std::wstring& floorExe);

// bench_export.cpp
int Export(const std::wstring& exe, const std::wstring& folder, int saves, std::vector<int> sizes);
int Footprint(const std::wstring& exe, const std::wstring& readyPrefix, const std::wstring& mode,
              const std::wstring& folder);

// bench_processes.cpp
int UnitCosts(int calls);
int Processes(int runs, const std::wstring& folder,
              const std::vector<std::pair<std::wstring, std::wstring>>& commands);

}  // namespace brindlecap::bench

#endif  // BRINDLECAP_TOOLS_BENCH_BENCH_COMMANDS_H_
