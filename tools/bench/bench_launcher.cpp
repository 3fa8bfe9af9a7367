// Times what Brindlecap.exe does, from another process, the way a user sees it:
// start-up until the window waits for input, one "Start Retrieving" run, a save
// of many checked rows through the real dialog, and the memory the program
// holds. scripts/bench runs it under Wine and reads its "key=value" lines.
//
//   bench_launcher startup <runs> <exe>...
//       starts each program <runs> times, taking turns; the time runs from
//       CreateProcess until the program's visible window answers a sent message
//       after WaitForInputIdle, then the window is closed
//   bench_launcher retrieval <exe> <runs> [<floor window exe>]
//       presses "Start Retrieving" <runs> times, timed until the run has ended
//       (the button enabled again) and until the new rows are painted (the
//       pending paint sent at once, RDW_UPDATENOW). With each run, the floor
//       (drive_calls.h: the run's kernel32 calls alone) runs once in this
//       process, and the floor window (retrieval_window.exe: the same calls,
//       the rows shown and painted) has its first button pressed and timed the
//       same way as the program's, before the run and after it in turn, so that
//       the program and its floors take turns under one load
//   bench_launcher export <exe> <folder> <saves> <rows>...
//       for each row count: presses "Start Retrieving" until the list holds at
//       least that many rows, checks every row and saves <saves> times through
//       the dialog; each save is timed from the moment the dialog window is
//       destroyed, and from the moment the file appears, until the writer has
//       closed the file
//   bench_launcher processes <runs> <folder> <label> <command line> [<label> <command line>]...
//       runs each command line <runs> times, taking turns, with standard output
//       and error going to files in <folder>; each run is timed from
//       CreateProcess until the process has ended (a whole process, as a script
//       sees it)
//   bench_launcher unit-costs [calls]
//       times single calls that a save or a retrieval makes, in this process
//   bench_launcher footprint <exe> <ready prefix> idle|dialog|retrieved|program [<folder>]
//       prints the process's memory at each step and "ready <step>", then waits
//       (at most 120 s) until the file "<ready prefix>-<step>" exists. Steps:
//       started (shown and idle); with "dialog", also dialog (the window's second
//       button pressed, the save dialog answered with OK); with "retrieved", also
//       retrieved (a floor window's first button pressed, every drive's row come);
//       with "program" and a folder, retrieved (one retrieval, every row checked)
//       and saved (one save through the dialog). The program is closed at the end.
// Exit status: 0 done, 1 failed, 2 wrong arguments.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <utility>
#include <vector>

#include "bench_commands.h"
#include "bench_common.h"

using brindlecap::bench::Export;
using brindlecap::bench::Footprint;
using brindlecap::bench::Processes;
using brindlecap::bench::Retrieval;
using brindlecap::bench::Startup;
using brindlecap::bench::UnitCosts;
using brindlecap::bench::WindowsPath;

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: bench_launcher startup <runs> <exe>...\n"
               "       bench_launcher retrieval <exe> <runs> [<floor window exe>]\n"
               "       bench_launcher export <exe> <folder> <saves> <rows>...\n"
               "       bench_launcher footprint <exe> <ready prefix> idle|dialog|retrieved|program "
               "[<folder>]\n"
               "       bench_launcher processes <runs> <folder> <label> <command line>...\n"
               "       bench_launcher unit-costs [calls]\n");
  return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring command = argc > 1 ? argv[1] : L"";
  try {
    if (command == L"startup" && argc >= 4) {
      std::vector<std::wstring> exes;
      for (int i = 3; i < argc; ++i) exes.push_back(WindowsPath(argv[i]));
      return Startup(std::max(1, _wtoi(argv[2])), exes);
    }
    if (command == L"retrieval" && (argc == 4 || argc == 5)) {
      return Retrieval(WindowsPath(argv[2]), std::max(1, _wtoi(argv[3])),
                       argc == 5 ? WindowsPath(argv[4]) : std::wstring());
    }
    if (command == L"export" && argc >= 6) {
      std::vector<int> sizes;
      for (int i = 5; i < argc; ++i) sizes.push_back(std::max(1, _wtoi(argv[i])));
      return Export(WindowsPath(argv[2]), WindowsPath(argv[3]), std::max(1, _wtoi(argv[4])), sizes);
    }
    if (command == L"processes" && argc >= 6 && argc % 2 == 0) {
      std::vector<std::pair<std::wstring, std::wstring>> commands;
      for (int i = 4; i + 1 < argc; i += 2) commands.emplace_back(argv[i], argv[i + 1]);
      return Processes(std::max(1, _wtoi(argv[2])), WindowsPath(argv[3]), commands);
    }
    if (command == L"unit-costs" && argc <= 3) {
      return UnitCosts(argc == 3 ? std::max(1, _wtoi(argv[2])) : 100000);
    }
    const auto isMode = [](const std::wstring& mode) {
      return mode == L"idle" || mode == L"dialog" || mode == L"retrieved" || mode == L"program";
    };
    if (command == L"footprint" && (argc == 5 || argc == 6) && isMode(argv[4]) &&
        (argc == 6 || argv[4] != std::wstring(L"program"))) {
      return Footprint(WindowsPath(argv[2]), WindowsPath(argv[3]), argv[4],
                       argc == 6 ? WindowsPath(argv[5]) : std::wstring());
    }
  } catch (const std::exception& failure) {
    std::fprintf(stderr, "bench_launcher: %s\n", failure.what());
    return 1;
  }
  return Usage();
}
