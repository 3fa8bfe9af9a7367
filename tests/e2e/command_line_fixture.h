#pragma once
// The program run from a command line, as scripts run it, from another process:
// in cmd or not, in scratch folders of its own.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <string>
#include <vector>

#include "support/command_line_run.h"
#include "support/document_parsers.h"
#include "support/drive_oracles.h"
#include "support/export_rules.h"
#include "support/scratch_files.h"
#include "support/window_driver.h"

namespace brindlecap::e2e {

using namespace std::chrono_literals;
using Row = std::vector<std::wstring>;

inline std::vector<Row> SplitTabLines(const std::string& text) {
  std::vector<Row> rows;
  size_t start = 0;
  for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    Row row(1);
    for (char c : text.substr(start, end - start)) {
      if (c == '\t') {
        row.emplace_back();
      } else {
        row.back() += static_cast<wchar_t>(static_cast<unsigned char>(c));
      }
    }
    rows.push_back(row);
  }
  EXPECT_EQ(start, text.size()) << "text after the last CR LF";
  return rows;
}

class CommandLineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    roots_ = LogicalDriveRoots();
    ASSERT_FALSE(roots_.empty());
  }

  // Runs the program with these arguments; it must end by itself without a window.
  CommandLineRun Run(const std::wstring& arguments, const wchar_t* program = BRINDLECAP_EXE) {
    CommandLineRun run = RunFromCommandLine(program, arguments, workFolder_.Path());
    EXPECT_NE(run.exitCode, static_cast<DWORD>(STILL_ACTIVE))
        << "still running: " << Narrow(arguments);
    EXPECT_FALSE(run.windowShown) << "a window appeared for " << Narrow(arguments);
    return run;
  }
  // Runs an export into the output folder; returns the file's bytes.
  std::string Export(const std::wstring& option, const std::wstring& name) {
    const std::wstring path = outputFolder_.File(name);
    const CommandLineRun run = Run(option + L" \"" + path + L"\"");
    EXPECT_EQ(run.exitCode, 0u) << Narrow(option) << ": " << run.standardError;
    EXPECT_EQ(run.standardOutput, "");
    EXPECT_EQ(run.standardError, "");
    return ReadFileBytes(path).value_or("<no file>");
  }

  // Runs `Brindlecap ARGUMENTS & echo %ERRORLEVEL%` in cmd, in the programs' folder
  // (where the name alone finds Brindlecap.com first); the exit code is what cmd
  // echoed last.
  CommandLineRun RunInCmd(const std::wstring& arguments) {
    CommandLineRun run;
    static_cast<ProcessRun&>(run) =
        RunProcess(L"", L"cmd /c \"Brindlecap " + arguments + L" & echo %ERRORLEVEL%\"",
                   ProgramFolder(), Milliseconds(60000));
    const size_t last = run.standardOutput.rfind("\r\n", run.standardOutput.size() - 3);
    const size_t start = last == std::string::npos ? 0 : last + 2;
    run.exitCode = std::stoul("0" + run.standardOutput.substr(start));  // cmd's own is the same
    run.standardOutput.erase(start);
    return run;
  }
  static std::wstring ProgramFolder() {
    const std::wstring program = BRINDLECAP_COM;
    return program.substr(0, program.rfind(L'\\'));
  }

  // The quoted path of a file in the output folder.
  std::wstring Quoted(const std::wstring& name) { return L"\"" + outputFolder_.File(name) + L"\""; }

  ScratchFolder workFolder_, outputFolder_;
  std::vector<std::wstring> roots_;
};

}  // namespace brindlecap::e2e
