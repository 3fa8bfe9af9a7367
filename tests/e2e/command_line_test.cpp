// The program run from a command line, as scripts run it: each format read back by
// a strict reader and compared with the oracles; the fixed-width text against a
// real save; the exit codes; and never a window.
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
namespace {

using namespace std::chrono_literals;
using Row = std::vector<std::wstring>;

const Row kHeaders{L"Drive",      L"Type",       L"File System",  L"Total Space",
                   L"Free Space", L"Used Space", L"Serial Number"};

std::vector<Row> SplitTabLines(const std::string& text) {
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

// The cells of the page's table rows, references resolved.
std::vector<Row> HtmlTableRows(const std::string& html) {
  std::vector<Row> rows;
  for (size_t at = html.find("<tr>"); at != std::string::npos; at = html.find("<tr>", at + 1)) {
    const std::string row = html.substr(at, html.find("</tr>", at) - at);
    Row cells;
    for (size_t cell = row.find("<t"); cell != std::string::npos; cell = row.find("<t", cell + 1)) {
      if (row.compare(cell, 3, "<tr") == 0) continue;
      const size_t start = row.find('>', cell) + 1;
      std::string text = row.substr(start, row.find("</t", start) - start);
      for (const auto& [reference, character] : std::map<std::string, std::string>{
               {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&#39;", "'"}, {"&amp;", "&"}}) {
        for (size_t found; (found = text.find(reference)) != std::string::npos;)
          text.replace(found, reference.size(), character);
      }
      cells.push_back(FromUtf8(text));
    }
    rows.push_back(cells);
  }
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

TEST_F(CommandLineTest, JsonHoldsEveryDriveWithTheOraclesFacts) {
  const auto space = ReadFixtureSpaceOracle();
  ASSERT_FALSE(space.empty()) << "no oracle.txt; run inside the Wine test session";
  const auto wmic = RunWmicLogicalDisks();
  std::map<wchar_t, SystemDrive> before;
  for (const auto& root : roots_) before[root[0]] = QuerySystemDrive(root);
  const JsonValue document = ParseJson(Export(L"/SJSON", L"drives.json"));

  wchar_t computer[MAX_COMPUTERNAME_LENGTH + 1] = L"";
  DWORD length = MAX_COMPUTERNAME_LENGTH + 1;
  ASSERT_TRUE(GetComputerNameW(computer, &length));
  EXPECT_EQ(document[L"computer"].string, computer);
  SYSTEMTIME now;
  GetSystemTime(&now);
  const std::wstring generated = document[L"generated"].string;
  ASSERT_EQ(generated.size(), 20u) << Narrow(generated);
  wchar_t today[16];
  swprintf(today, 16, L"%04u-%02u-%02uT", now.wYear, now.wMonth, now.wDay);
  EXPECT_EQ(generated.substr(0, 11), today) << "UTC date";  // a run across midnight is rare
  EXPECT_EQ(generated[13], L':');
  EXPECT_EQ(generated.back(), L'Z');
  EXPECT_TRUE(document[L"errors"].items.empty());

  const auto& drives = document[L"drives"].items;
  ASSERT_EQ(drives.size(), roots_.size()) << "one drive per root, in drive-letter order";
  for (size_t i = 0; i < drives.size(); ++i) {
    const JsonValue& drive = drives[i];
    const std::wstring& root = roots_[i];
    SCOPED_TRACE("drive " + Narrow(root));
    const SystemDrive system = QuerySystemDrive(root);
    EXPECT_EQ(drive[L"root"].string, root);
    EXPECT_EQ(drive[L"driveType"].Integer(), static_cast<int64_t>(system.type));
    EXPECT_TRUE(drive[L"errors"].items.empty());
    const bool medium = before[root[0]].readable && system.readable;
    ASSERT_EQ(drive[L"medium"].boolean, medium);
    if (!medium) {
      for (const wchar_t* key :
           {L"label", L"fileSystem", L"serialNumber", L"total", L"free", L"used"})
        EXPECT_EQ(drive[key].string, L"") << Narrow(key);
      for (const wchar_t* key : {L"totalBytes", L"freeBytes", L"usedBytes"})
        EXPECT_TRUE(drive[key].IsNull()) << Narrow(key);
      continue;
    }
    std::wstring label = system.label, fileSystem = system.fileSystem;
    std::wstring serial = SerialText(system.serial);
    if (auto listed = wmic.find(root[0]); listed != wmic.end()) {
      label = listed->second.volumeName;
      fileSystem = listed->second.fileSystem;
      serial = SerialText(wcstoul(listed->second.volumeSerialNumber.c_str(), nullptr, 16));
    }
    EXPECT_EQ(drive[L"label"].string, label);
    EXPECT_EQ(drive[L"fileSystem"].string, fileSystem);
    EXPECT_EQ(drive[L"serialNumber"].string, serial);

    auto figures = space.find(root[0]);
    ASSERT_NE(figures, space.end());
    const int64_t total = drive[L"totalBytes"].Integer(), free = drive[L"freeBytes"].Integer();
    EXPECT_EQ(total, static_cast<int64_t>(figures->second.total));
    EXPECT_EQ(drive[L"usedBytes"].Integer(), total - free);
    EXPECT_EQ(drive[L"total"].string, SizeText(total));
    EXPECT_EQ(drive[L"free"].string, SizeText(free));
    EXPECT_EQ(drive[L"used"].string, SizeText(total - free));
    if (figures->second.exact) {
      EXPECT_EQ(free, static_cast<int64_t>(figures->second.free));
    } else {
      EXPECT_LE(free, total);
    }
  }
}

TEST_F(CommandLineTest, CsvTabAndHtmlHoldTheSameRowsAsTheJson) {
  const JsonValue json = ParseJson(Export(L"/sjson", L"drives.json"));
  const std::string csvBytes = Export(L"-scsv", L"drives.csv");
  ASSERT_EQ(csvBytes.compare(0, 3, "\xEF\xBB\xBF"), 0) << "byte-order mark";
  const std::vector<Row> csv = ParseCsv(csvBytes.substr(3));
  const std::vector<Row> tab = SplitTabLines(Export(L"/sTab", L"drives.tab"));
  const std::string page = Export(L"/shtml", L"drives.html");
  EXPECT_EQ(page.find("<script"), std::string::npos);
  EXPECT_EQ(page.find("src="), std::string::npos);
  EXPECT_EQ(page.find("href="), std::string::npos);
  const std::vector<Row> html = HtmlTableRows(page);

  const auto& drives = json[L"drives"].items;
  for (const auto* rows : {&csv, &tab, &html}) {
    ASSERT_EQ(rows->size(), drives.size() + 1);
    const Row& header = rows->front();
    EXPECT_EQ(Row(header.begin(), header.begin() + std::min<size_t>(7, header.size())), kHeaders);
  }
  for (size_t i = 0; i < drives.size(); ++i) {
    const JsonValue& drive = drives[i];
    SCOPED_TRACE("drive " + Narrow(drive[L"root"].string));
    const bool medium = drive[L"medium"].boolean;
    const std::wstring first = medium
                                   ? drive[L"root"].string + L" - [" + drive[L"label"].string + L"]"
                                   : drive[L"root"].string + L"  - No Disk present";
    // Free and used space of a shared host file system may move between the runs.
    Row expected{first,
                 drive[L"kind"].string,
                 drive[L"fileSystem"].string,
                 drive[L"total"].string,
                 L"",
                 L"",
                 drive[L"serialNumber"].string};
    for (const auto* rows : {&csv, &tab, &html}) {
      Row row = (*rows)[i + 1];
      ASSERT_GE(row.size(), 7u);
      EXPECT_EQ(row[4].empty(), !medium);
      row[4] = row[5] = L"";
      EXPECT_EQ(Row(row.begin(), row.begin() + 7), expected);
    }
    // The page's last cell: the used-space bar.
    EXPECT_EQ(html[i + 1].size(), 8u);
    EXPECT_EQ(page.find("<td>" + Narrow(first) + "</td>") != std::string::npos, true);
  }
  // As in the window's list: a bar for every drive with a medium but a CD or DVD.
  size_t bars = 0;
  for (size_t at = page.find("class=\"bar"); at != std::string::npos;
       at = page.find("class=\"bar", at + 1))
    ++bars;
  size_t withBar = 0;
  for (const auto& drive : drives) {
    withBar += drive[L"medium"].boolean && drive[L"driveType"].Integer() != 5 ? 1 : 0;
  }
  EXPECT_EQ(bars, withBar);
}

TEST_F(CommandLineTest, TextIsTheSaveOfEveryRowTickedByteForByte) {
  // Free space on the host's file system moves with other work: a few tries give
  // the window's save and the command line the same figures.
  std::string saved, exported;
  for (int attempt = 0; attempt < 3 && (saved.empty() || saved != exported); ++attempt) {
    auto program = ProgramDriver::Start(BRINDLECAP_EXE, workFolder_.Path());
    program->Retrieve();
    program->List().SetChecked(-1, true);
    const std::wstring savedPath =
        outputFolder_.File(L"saved" + std::to_wstring(attempt) + L".txt");
    program->ClickButton(kSaveResultsId, ClickMode::kPost);
    auto dialog = program->WaitForDialog(L"Save", 20s);
    ASSERT_TRUE(dialog) << "the save dialog did not open";
    dialog->TypeFileName(savedPath);
    dialog->PressButton(IDOK);
    ASSERT_TRUE(dialog->WaitUntilClosed(10s));
    ASSERT_TRUE(
        WaitUntil([&] { return PathExists(savedPath) && !TemporaryFileBeside(savedPath); }, 30s));
    ASSERT_TRUE(program->Close(10s));
    saved = ReadFileBytes(savedPath).value_or("<no file>");
    exported = Export(L"/stext", L"exported" + std::to_wstring(attempt) + L".txt");
  }
  EXPECT_EQ(exported, saved);
  EXPECT_GT(SplitTabLines(exported).size(), roots_.size()) << "header and every drive";
}

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
      {L"/scsv {out}\\missing\\a.csv", 1, "Brindlecap: could not write "},
      {L"/stext {out}\\missing\\a.txt", 1, "Brindlecap: could not write "},
      {L"/sjson {out}\\read-only.json", 1, "Brindlecap: could not write "},
      {L"/stext {out}\\read-only.json", 1, "Brindlecap: could not write "},
      {L"", 2, "Brindlecap: no switch given\r\nUsage: ", true},
      {L"{out}\\dropped.txt", 2, "Brindlecap: no switch given\r\nUsage: ", true},
      {L"/?", 0, "", true,
       "Usage: Brindlecap /stext|/stab|/scsv|/sjson|/shtml FILE [/timeout SECONDS]\r\n"},
  };
  for (const ExitCase& test : cases) {
    std::wstring arguments = test.arguments;
    for (size_t at; (at = arguments.find(L"{out}")) != std::wstring::npos;)
      arguments.replace(at, 5, outputFolder_.Path());
    for (const wchar_t* program : {BRINDLECAP_EXE, BRINDLECAP_COM, L"cmd"}) {
      if (test.consoleOnly && program == std::wstring(BRINDLECAP_EXE)) continue;
      SCOPED_TRACE(Narrow(program) + " " + Narrow(arguments));
      const CommandLineRun run =
          program == std::wstring(L"cmd") ? RunInCmd(arguments) : Run(arguments, program);
      EXPECT_EQ(run.exitCode, test.exitCode);
      EXPECT_EQ(run.standardError.substr(0, strlen(test.standardError)), test.standardError)
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

// In a console every character shows: the document, and an error that names a file
// with letters no ANSI code page here holds (ANSI bytes would show '?'). Typed in
// cmd, Brindlecap.com sets ERRORLEVEL; Brindlecap.exe, started with no standard
// handles, writes to its parent's console.
TEST_F(CommandLineTest, AConsoleShowsEveryCharacterFromEitherProgram) {
  const std::wstring missing = outputFolder_.File(L"missing\\\u03a9\u03bb.csv");
  enum class Started { kWindowProgram, kConsoleProgram, kTypedInCmd };
  struct ConsoleCase {
    Started started;  // Brindlecap.exe with no standard handles, Brindlecap.com, or by cmd
    std::wstring arguments;
    DWORD exitCode;
    std::wstring shown;  // the start of a line on the screen
  };
  const std::wstring header = L"Drive,Type,File System,Total Space,Free Space,Used Space";
  const std::wstring failure = L"Brindlecap: could not write " + missing + L": ";
  const std::wstring toMissing = L"/scsv \"" + missing + L"\"";
  const ConsoleCase cases[] = {
      {Started::kWindowProgram, L"/scsv -", 0, header},
      {Started::kWindowProgram, toMissing, 1, failure},
      {Started::kConsoleProgram, L"/scsv -", 0, header},
      {Started::kConsoleProgram, toMissing, 1, failure},
      {Started::kTypedInCmd, L"/scsv -", 0, header},
      {Started::kTypedInCmd, toMissing, 1, failure},
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
                         test.started == Started::kWindowProgram);
    }
    EXPECT_EQ(run.exitCode, test.exitCode);
    const std::wstring screen = L"\r\n" + run.screen;
    EXPECT_NE(screen.find(L"\r\n" + test.shown), std::wstring::npos) << Narrow(screen);
    if (test.exitCode == 0) {
      for (const std::wstring& root : roots_)
        EXPECT_NE(screen.find(L"\r\n" + root + L" "), std::wstring::npos) << Narrow(root);
    }
  }
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
  const auto timed = [&](const std::wstring& arguments) {
    const auto start = std::chrono::steady_clock::now();
    CommandLineRun run = Run(arguments);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_LT(took, 10s) << "the program waited for the stuck drive: " << Narrow(arguments);
    EXPECT_EQ(run.exitCode, 3u) << run.standardError;
    EXPECT_EQ(run.standardError, "Brindlecap: S:\\: did not answer within 2 seconds\r\n");
    return run;
  };
  const CommandLineRun json = timed(L"/timeout 2 /sjson " + Quoted(L"drives.json"));
  const CommandLineRun tab = timed(L"-STAB - -TIMEOUT 2");
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
