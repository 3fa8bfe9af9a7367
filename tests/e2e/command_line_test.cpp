// The program run from a command line, as scripts run it: each format read back by
// a strict reader and compared with the oracles, and the fixed-width text against a
// real save.
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

const Row kHeaders{L"Drive",      L"Type",       L"File System",  L"Total Space",
                   L"Free Space", L"Used Space", L"Serial Number"};

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

// The text in a code page's bytes (CP_ACP: as the ANSI formats write it).
std::string InCodePage(const std::wstring& text, UINT codePage) {
  const int length = static_cast<int>(text.size());
  std::string bytes(text.empty() ? 0
                                 : WideCharToMultiByte(codePage, 0, text.data(), length, nullptr, 0,
                                                       nullptr, nullptr),
                    '\0');
  if (!bytes.empty())
    WideCharToMultiByte(codePage, 0, text.data(), length, bytes.data(),
                        static_cast<int>(bytes.size()), nullptr, nullptr);
  return bytes;
}

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
      // The tab lines are ANSI: a label the code page cannot hold is written as it can.
      if (rows == &tab) {
        const std::string ansi = InCodePage(first, CP_ACP);
        expected[0].assign(ansi.begin(), ansi.end());
        for (wchar_t& c : expected[0]) c &= 0xFF;
      } else {
        expected[0] = first;
      }
      EXPECT_EQ(Row(row.begin(), row.begin() + 7), expected);
    }
    // The page's last cell: the used-space bar.
    EXPECT_EQ(html[i + 1].size(), 8u);
    EXPECT_NE(page.find("<td>" + InCodePage(first, CP_UTF8) + "</td>"), std::string::npos);
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

}  // namespace
}  // namespace brindlecap::e2e
