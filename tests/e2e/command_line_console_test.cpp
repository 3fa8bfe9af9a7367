// The program run from a command line: the document on standard output, and
// every character shown in a console.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <string>
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

// A document without what moves between two runs: the time in the JSON and the page
// (2026-12-08T07:30:14Z), and the lines of drives whose free space other work changes
// (the host's file systems).
std::string WithoutWhatMoves(std::string document, const std::map<wchar_t, SpaceFigures>& space) {
  for (size_t at = 19; at < document.size(); ++at) {
    if (document[at] == 'Z' && document[at - 9] == 'T' && document[at - 15] == '-')
      document.replace(at - 19, 19, 19, '#');
  }
  std::string kept;
  for (size_t start = 0, end; start < document.size(); start = end) {
    end = std::min(document.find('\n', start), document.size() - 1) + 1;
    const std::string line = document.substr(start, end - start);
    bool moves = false;
    for (const auto& [letter, figures] : space)
      moves = moves || (!figures.exact &&
                        line.find(std::string{char(letter), ':', '\\'}) != std::string::npos);
    if (!moves) kept += line;
  }
  return kept;
}

TEST_F(CommandLineTest, StandardOutputGetsTheDocumentWhenADashIsTheFile) {
  const CommandLineRun run = Run(L"/sjson -");
  ASSERT_EQ(run.exitCode, 0u) << run.standardError;
  EXPECT_EQ(run.standardError, "");
  const JsonValue document = ParseJson(run.standardOutput);
  ASSERT_EQ(document[L"drives"].items.size(), roots_.size());
  for (size_t i = 0; i < roots_.size(); ++i)
    EXPECT_EQ(document[L"drives"].items[i][L"root"].string, roots_[i]);
  EXPECT_TRUE(FolderEntries(workFolder_.Path()).empty()) << "no file named -";

  const CommandLineRun text = Run(L"-STAB -");
  ASSERT_EQ(text.exitCode, 0u);
  EXPECT_EQ(SplitTabLines(text.standardOutput).size(), roots_.size() + 1);

  // Brindlecap.com writes the same bytes, run directly or typed in cmd without its
  // extension.
  const auto space = ReadFixtureSpaceOracle();
  ASSERT_FALSE(space.empty()) << "no oracle.txt; run inside the Wine test session";
  for (const wchar_t* option : {L"/stext -", L"/stab -", L"/scsv -", L"/sjson -", L"/shtml -"}) {
    SCOPED_TRACE(Narrow(option));
    const CommandLineRun exe = Run(option), com = Run(option, BRINDLECAP_COM);
    const CommandLineRun cmd = RunInCmd(option);
    for (const CommandLineRun* ran : {&exe, &com, &cmd}) {
      EXPECT_EQ(ran->exitCode, 0u) << ran->standardError;
      EXPECT_EQ(ran->standardError, "");
    }
    const std::string window = WithoutWhatMoves(exe.standardOutput, space);
    EXPECT_GT(window.size(), 100u);
    EXPECT_EQ(WithoutWhatMoves(com.standardOutput, space), window);
    EXPECT_EQ(WithoutWhatMoves(cmd.standardOutput, space), window);
  }
}

// In a console every character shows: the document, and an error that names a file
// with letters no ANSI code page here holds (ANSI bytes would show '?'). Typed in
// cmd, Brindlecap.com sets ERRORLEVEL; Brindlecap.exe, started with no standard
// handles, writes to its parent's console, but never over the one stream that was
// redirected. A message redirected to a file is in the console's output code page.
TEST_F(CommandLineTest, AConsoleShowsEveryCharacterFromEitherProgram) {
  const std::wstring missing = outputFolder_.File(L"missing\\\u03a9\u03bb.csv");
  enum class Started { kWindowProgram, kConsoleProgram, kTypedInCmd };
  struct ConsoleCase {
    Started started;  // Brindlecap.exe with no standard handles, Brindlecap.com, or by cmd
    std::wstring arguments;
    DWORD exitCode;
    std::wstring shown;  // the start of a line on the screen
    ToFile toFile = ToFile::kNeither;
    std::string inFile = "";  // the start of the file's bytes; the screen shows nothing
  };
  const std::wstring header = L"Drive,Type,File System,Total Space,Free Space,Used Space";
  const std::wstring failure = L"Brindlecap: could not write " + missing + L": ";
  const std::wstring toMissing = L"/scsv \"" + missing + L"\"";
  const std::string failureBytes = "Brindlecap: could not write " + Narrow(outputFolder_.Path()) +
                                   "\\missing\\\xCE\xA9\xCE\xBB.csv: ";
  const ConsoleCase cases[] = {
      {Started::kWindowProgram, L"/scsv -", 0, header},
      {Started::kWindowProgram, toMissing, 1, failure},
      {Started::kConsoleProgram, L"/scsv -", 0, header},
      {Started::kConsoleProgram, toMissing, 1, failure},
      {Started::kTypedInCmd, L"/scsv -", 0, header},
      {Started::kTypedInCmd, toMissing, 1, failure},
      // The console's code page is UTF-8 for these.
      {Started::kWindowProgram, L"/scsv -", 0, L"", ToFile::kOutput,
       "\xEF\xBB\xBF"
       "Drive,Type,"},
      {Started::kWindowProgram, toMissing, 1, L"", ToFile::kError, failureBytes},
      {Started::kConsoleProgram, toMissing, 1, L"", ToFile::kError, failureBytes},
  };
  for (const ConsoleCase& test : cases) {
    SCOPED_TRACE(std::to_string(static_cast<int>(test.started)) + ": " + Narrow(test.arguments));
    ConsoleRun run;
    if (test.started == Started::kTypedInCmd) {
      run = RunInConsole(L"", L"cmd /c \"Brindlecap " + test.arguments + L" & echo %ERRORLEVEL%\"",
                         ProgramFolder(), false);
      const size_t last = run.screen.rfind(L"\r\n");
      run.exitCode = last == std::wstring::npos ? STILL_ACTIVE
                                                : std::stoul(L"0" + run.screen.substr(last + 2));
    } else {
      const std::wstring program =
          test.started == Started::kWindowProgram ? BRINDLECAP_EXE : BRINDLECAP_COM;
      run = RunInConsole(program, L"\"" + program + L"\" " + test.arguments, workFolder_.Path(),
                         test.started == Started::kWindowProgram, test.toFile,
                         test.toFile == ToFile::kNeither ? 0 : CP_UTF8);
    }
    EXPECT_EQ(run.exitCode, test.exitCode);
    if (test.toFile != ToFile::kNeither) {
      EXPECT_EQ(run.inFile.substr(0, test.inFile.size()), test.inFile);
      EXPECT_EQ(run.screen, L"");
      continue;
    }
    const std::wstring screen = L"\r\n" + run.screen;
    EXPECT_NE(screen.find(L"\r\n" + test.shown), std::wstring::npos) << Narrow(screen);
    if (test.exitCode == 0) {
      for (const std::wstring& root : roots_) {
        // A drive's label, in whatever script, shows whole.
        const SystemDrive drive = QuerySystemDrive(root);
        const std::wstring shown =
            drive.volumeKnown && drive.readable ? root + L" - [" + drive.label + L"]" : root + L" ";
        EXPECT_NE(screen.find(L"\r\n" + shown), std::wstring::npos) << Narrow(shown);
      }
    }
  }
}

}  // namespace
}  // namespace brindlecap::e2e
