// The program run from a command line: the exit codes, a drive that misses the
// deadline, and the arguments that open a window or a box instead.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <future>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "e2e/command_line_fixture.h"
#include "support/command_line_run.h"
#include "support/document_parsers.h"
#include "support/drive_oracles.h"
#include "support/export_rules.h"
#include "support/scratch_files.h"
#include "support/window_driver.h"

namespace brindlecap::e2e {
namespace {

struct ExitCase {
  const wchar_t* arguments;  // {out} is the output folder
  DWORD exitCode;
  const char* standardError;        // the start of it
  bool consoleOnly = false;         // Brindlecap.exe opens its window or a box instead
  const char* standardOutput = "";  // the start of it
};

TEST_F(CommandLineTest, ExitCodesForEveryFailureAndNothingLeftBehind) {
  const std::wstring readOnly = outputFolder_.File(L"read-only.json");
  WriteFileBytes(readOnly, "keep");
  ASSERT_TRUE(SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));
  const ExitCase cases[] = {
      {L"/sxml {out}\\a.xml", 2, "Brindlecap: unknown switch /sxml\r\nUsage: "},
      {L"/sjson", 2, "Brindlecap: missing file name after /sjson\r\nUsage: "},
      {L"/sjson {out}\\a.json {out}\\b.json", 2, "Brindlecap: unexpected argument "},
      {L"/timeout 0 /sjson {out}\\a.json", 2,
       "Brindlecap: /timeout needs a whole number of seconds from 1 to 3600, not 0\r\nUsage: "},
      {L"/sjson {out}\\a.json -timeout", 2,
       "Brindlecap: missing number of seconds after -timeout\r\nUsage: "},
      // Without a console, a message is in the OEM code page (437 here: \xEA is omega).
      {L"/scsv {out}\\missing\\\u03a9.csv", 1,
       "Brindlecap: could not write {out}\\missing\\\xEA.csv: "},
      {L"/stext {out}\\missing\\a.txt", 1, "Brindlecap: could not write "},
      {L"/sjson {out}\\read-only.json", 1, "Brindlecap: could not write "},
      {L"/stext {out}\\read-only.json", 1, "Brindlecap: could not write "},
      {L"/stab - /drives Q", 2, "Brindlecap: there is no drive Q:\\\r\n"},
      {L"/sjson - /warn 5GB", 2, "Brindlecap: /warn and /crit go only with /check\r\nUsage: "},
      // With /check, the engine's line on standard output, in its exit codes.
      {L"/check /drives Q", 2, "", false, "DISK CRITICAL - Q:\\ does not exist\r\n"},
      {L"/check /warn 5", 3,
       "Brindlecap: /warn needs a share (10%) or an amount (20GB) of free "
       "space, not 5\r\nUsage: ",
       false,
       "DISK UNKNOWN - /warn needs a share (10%) or an amount (20GB) of free space, not 5\r\n"},
      {L"", 2, "Brindlecap: no switch given\r\nUsage: ", true},
      {L"{out}\\dropped.txt", 2, "Brindlecap: no switch given\r\nUsage: ", true},
      {L"/?", 0, "", true,
       "Usage: Brindlecap /stext|/stab|/scsv|/sjson|/shtml|/sprom FILE [/timeout SECONDS]\r\n"},
  };
  for (const ExitCase& test : cases) {
    std::wstring arguments = test.arguments;
    for (size_t at; (at = arguments.find(L"{out}")) != std::wstring::npos;)
      arguments.replace(at, 5, outputFolder_.Path());
    std::string standardError = test.standardError;
    for (size_t at; (at = standardError.find("{out}")) != std::string::npos;)
      standardError.replace(at, 5, Narrow(outputFolder_.Path()));
    for (const wchar_t* program : {BRINDLECAP_EXE, BRINDLECAP_COM, L"cmd"}) {
      if (test.consoleOnly && program == std::wstring(BRINDLECAP_EXE)) continue;
      SCOPED_TRACE(Narrow(program) + " " + Narrow(arguments));
      const CommandLineRun run =
          program == std::wstring(L"cmd") ? RunInCmd(arguments) : Run(arguments, program);
      EXPECT_EQ(run.exitCode, test.exitCode);
      EXPECT_EQ(run.standardError.substr(0, standardError.size()), standardError)
          << run.standardError;
      EXPECT_EQ(run.standardOutput.substr(0, std::max<size_t>(1, strlen(test.standardOutput))),
                test.standardOutput)
          << run.standardOutput;
      EXPECT_EQ(FolderEntries(outputFolder_.Path()), std::vector<std::wstring>{L"read-only.json"});
      EXPECT_EQ(ReadFileBytes(readOnly).value_or(""), "keep");
    }
  }
  EXPECT_TRUE(FolderEntries(workFolder_.Path()).empty());
}

// S: (a FUSE drive of the fixture) answers only after its delay, far beyond the
// deadline: the program writes every other drive and ends soon after the deadline,
// though a worker still waits in S:'s call.
TEST_F(CommandLineTest, ADriveThatMissesTheDeadlineIsWrittenAsNotAnsweringAndTheProgramEnds) {
  const std::wstring fixture = Environment(L"BRINDLECAP_FIXTURE_DIR");
  if (fixture.empty() || GetDriveTypeW(L"S:\\") == DRIVE_NO_ROOT_DIR) {
    GTEST_SKIP() << "the slow drives need FUSE inside a private mount namespace";
  }
  const std::wstring delay = UnixPathToWine(fixture + L"/slow-s.delay");
  // Only statfs is slow: Wine reads one process's directories one at a time, so a
  // slow directory read would hold up the other drives too.
  WriteFileBytes(delay, "6 0");
  // The process lingers until S:'s call returns (Wine, as Windows for a call it cannot
  // cancel), but a caller reading its output through a pipe is done at the deadline.
  HANDLE read = nullptr, write = nullptr;
  SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
  ASSERT_TRUE(CreatePipe(&read, &write, &inheritable, 0));
  UniqueKernelHandle reader(read), writer(write);
  SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = startup.hStdError = write;
  PROCESS_INFORMATION started{};
  std::wstring commandLine = L"\"" + std::wstring(BRINDLECAP_COM) + L"\" /timeout 2 /stab -";
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(CreateProcessW(BRINDLECAP_COM, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                             workFolder_.Path().c_str(), &startup, &started));
  UniqueKernelHandle process(started.hProcess), thread(started.hThread);
  writer.reset();
  // The other runs wait for S: meanwhile, on threads of their own. They start after
  // the pipe's program: started before, they would inherit its pipe and hold it open.
  const auto inBackground = [&](const std::wstring& arguments) {
    return std::async(std::launch::async, [this, arguments] {
      const auto start = std::chrono::steady_clock::now();
      CommandLineRun run = Run(arguments);
      return std::pair(run, std::chrono::steady_clock::now() - start);
    });
  };
  auto jsonRun = inBackground(L"/timeout 2 /sjson " + Quoted(L"drives.json"));
  auto tabRun = inBackground(L"-STAB - -TIMEOUT 2");
  auto checkRun = inBackground(L"/check /timeout 2");
  std::string piped(4096, '\0');
  DWORD count = 0, total = 0;
  while (ReadFile(read, &piped[total], static_cast<DWORD>(piped.size() - total), &count, nullptr) &&
         count > 0 && (total += count) < piped.size()) {
  }
  EXPECT_LT(std::chrono::steady_clock::now() - start, 5s) << "the output ended with the process";
  EXPECT_EQ(WaitForSingleObject(process.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
  EXPECT_NE(piped.find("S:\\  - Not answering"), std::string::npos);
  EXPECT_EQ(WaitForSingleObject(process.get(), 20000), WAIT_OBJECT_0);
  DWORD exitCode = 0;
  GetExitCodeProcess(process.get(), &exitCode);
  EXPECT_EQ(exitCode, 3u);

  const auto timed = [](auto& future) {
    auto [run, took] = future.get();
    EXPECT_LT(took, 10s) << "the program waited for the stuck drive";
    EXPECT_EQ(run.exitCode, 3u) << run.standardError;
    EXPECT_EQ(run.standardError, "Brindlecap: S:\\: did not answer within 2 seconds\r\n");
    return run;
  };
  const CommandLineRun json = timed(jsonRun);
  const CommandLineRun tab = timed(tabRun);
  // To a monitoring engine a drive that hangs is in trouble, not of unknown state.
  // It is checked by default, though it never told its kind.
  const CommandLineRun check = checkRun.get().first;
  EXPECT_EQ(check.exitCode, 2u);
  EXPECT_EQ(check.standardOutput.rfind("DISK CRITICAL - free space: ", 0), 0u);
  EXPECT_NE(check.standardOutput.find(" S:\\ did not answer within 2 s CRITICAL;"),
            std::string::npos)
      << check.standardOutput;
  DeleteFileW(delay.c_str());

  EXPECT_EQ(FolderEntries(outputFolder_.Path()), std::vector<std::wstring>{L"drives.json"})
      << "the file complete under its name, no temporary file";
  const JsonValue document = ParseJson(ReadFileBytes(outputFolder_.File(L"drives.json")).value());
  const auto& drives = document[L"drives"].items;
  ASSERT_EQ(drives.size(), roots_.size());
  const std::vector<Row> rows = SplitTabLines(tab.standardOutput);
  ASSERT_EQ(rows.size(), roots_.size() + 1);
  for (size_t i = 0; i < roots_.size(); ++i) {
    const std::wstring& root = roots_[i];
    SCOPED_TRACE("drive " + Narrow(root));
    EXPECT_EQ(drives[i][L"root"].string, root);
    const auto& errors = drives[i][L"errors"].items;
    if (root != L"S:\\") {
      EXPECT_TRUE(errors.empty());
      EXPECT_EQ(rows[i + 1][0].find(L"Not answering"), std::wstring::npos);
      continue;
    }
    EXPECT_EQ(rows[i + 1], (Row{L"S:\\  - Not answering", L"", L"", L"", L"", L"", L""}));
    EXPECT_FALSE(drives[i][L"medium"].boolean);
    EXPECT_FALSE(drives[i][L"answered"].boolean);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_TRUE(errors[0][L"line"].IsNull());
    EXPECT_EQ(errors[0][L"description"].string, L"did not answer within 2 seconds");
  }
  // T:, as slow a drive but not held up now, answered with its own row.
  const auto t = std::find(roots_.begin(), roots_.end(), L"T:\\");
  if (t != roots_.end()) {
    EXPECT_EQ(rows[t - roots_.begin() + 1][0], L"T:\\ - [SLOW T]");
  }
}

TEST_F(CommandLineTest, AnArgumentThatIsNoSwitchOpensTheWindow) {
  // A file dropped on the program, or a shortcut's argument.
  const std::wstring dropped = L"\"" + outputFolder_.File(L"drives list.txt") + L"\"";
  auto program = ProgramDriver::Start(BRINDLECAP_EXE, workFolder_.Path(), dropped);
  EXPECT_TRUE(program->Close(10s));
  EXPECT_TRUE(FolderEntries(outputFolder_.Path()).empty());
}

TEST_F(CommandLineTest, QuestionMarkShowsTheUsageInABox) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  std::wstring commandLine = L"\"" + std::wstring(BRINDLECAP_EXE) + L"\" /?";
  ASSERT_TRUE(CreateProcessW(BRINDLECAP_EXE, commandLine.data(), nullptr, nullptr, FALSE,
                             DETACHED_PROCESS, nullptr, workFolder_.Path().c_str(), &startup,
                             &started));
  UniqueKernelHandle process(started.hProcess), thread(started.hThread);
  std::vector<HWND> boxes;
  ASSERT_TRUE(WaitUntil(
      [&] { return !(boxes = TopLevelWindowsOf(started.dwProcessId, kDialogClass)).empty(); },
      20s));
  Dialog box(boxes.front());
  EXPECT_EQ(Narrow(box.Title()), "Brindlecap");
  std::wstring text;
  for (const auto& part : box.StaticTexts()) text += part;
  EXPECT_NE(text.find(L"/sjson"), std::wstring::npos) << Narrow(text);
  EXPECT_NE(text.find(L"run Brindlecap.com"), std::wstring::npos) << Narrow(text);
  EXPECT_TRUE(TopLevelWindowsOf(started.dwProcessId, kMainWindowClass).empty());
  box.PressButton(IDOK);
  ASSERT_EQ(WaitForSingleObject(process.get(), 20000), WAIT_OBJECT_0);
  DWORD exitCode = STILL_ACTIVE;
  GetExitCodeProcess(process.get(), &exitCode);
  EXPECT_EQ(exitCode, 0u);
}

}  // namespace
}  // namespace brindlecap::e2e
