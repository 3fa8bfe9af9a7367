// The command-line export over a scripted machine: each format's document, the
// reports of each drive and the exit codes.
#include "command_line/command_line_export.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "command_line/command_line.h"
#include "command_line/report_log.h"
#include "export/fixed_width_writer.h"
#include "export/table_text.h"
#include "main_window/core/copy_text.h"
#include "shared/error_report.h"
#include "shared/runtime_failure.h"
#include "support/command_line_export_fixture.h"
#include "support/fake_kernel32.h"
#include "support/fake_system_text.h"
#include "support/held_workers.h"
#include "support/hook_pump.h"
#include "support/json_samples.h"
#include "support/memory_text_file.h"
#include "support/recording_message_box.h"
#include "support/scripted_list.h"

namespace brindlecap {
namespace {

using testing::CommandLineExportTest;
using testing::RecordingMessageBox;
namespace k = win32_constant;
using Action = CommandLine::Action;

TEST_F(CommandLineExportTest, TabAndCsvHoldEveryRow) {
  EXPECT_EQ(Export(ExportFormat::kTab), exit_code::kWritten);
  EXPECT_EQ(File(),
            "Drive\tType\tFile System\tTotal Space\tFree Space\tUsed Space\tSerial Number\r\n"
            "A:\\  - No Disk present\tFloppy\t\t\t\t\t\r\n"
            "C:\\ - [Tom's \"Data\", 2\\3 \xE9]\tFixed\tNTFS\t2 KB\t512 Bytes\t1.5 KB\t"
            "1234-ABCD\r\n");
  EXPECT_EQ(Export(ExportFormat::kCsv), exit_code::kWritten);
  EXPECT_EQ(File(),
            "\xEF\xBB\xBF"
            "Drive,Type,File System,Total Space,Free Space,Used Space,Serial Number\r\n"
            "A:\\  - No Disk present,Floppy,,,,,\r\n"
            "\"C:\\ - [Tom's \"\"Data\"\", 2\\3 \xC3\xA9]\",Fixed,NTFS,2 KB,512 Bytes,1.5 KB,"
            "1234-ABCD\r\n");
  EXPECT_TRUE(errors.empty());
}

TEST_F(CommandLineExportTest, JsonGivesFactsTextsAndNullsWhereNothingWasProduced) {
  machine.AddDrive('G', k::kDriveFixed).Label("NoSpace").FailSpace(21);
  // A failed query reports nothing in the window, but a script must learn of it.
  EXPECT_EQ(Export(ExportFormat::kJson), exit_code::kWrittenWithFailedQueries);
  EXPECT_EQ(errors,
            u"Brindlecap: G:\\ at line 116: could not read the drive's space (error 21)\r\n");
  EXPECT_EQ(
      File(),
      "{\r\n  \"schemaVersion\": 1,\r\n  \"computer\": \"HOST-1\",\r\n  \"generated\": "
      "\"2026-12-08T07:05:09Z\",\r\n"
      "  \"drives\": [\r\n"
      "    {\"root\": \"A:\\\\\", \"label\": \"\", \"kind\": \"Floppy\", \"driveType\": 2, "
      "\"fileSystem\": \"\", \"serialNumber\": \"\", \"medium\": false, \"answered\": true, "
      "\"totalBytes\": null, "
      "\"freeBytes\": null, \"usedBytes\": null, \"volumeFreeBytes\": null, \"total\": \"\", "
      "\"free\": \"\", \"used\": "
      "\"\", \"errors\": []},\r\n"
      "    {\"root\": \"C:\\\\\", \"label\": \"Tom's \\\"Data\\\", 2\\\\3 \xC3\xA9\", "
      "\"kind\": \"Fixed\", \"driveType\": 3, \"fileSystem\": \"NTFS\", \"serialNumber\": "
      "\"1234-ABCD\", \"medium\": true, \"answered\": true, \"totalBytes\": 2048, \"freeBytes\": "
      "512, "
      "\"usedBytes\": 1536, \"volumeFreeBytes\": 512, \"total\": \"2 KB\", \"free\": \"512 "
      "Bytes\", \"used\": "
      "\"1.5 KB\", \"errors\": []},\r\n"
      "    {\"root\": \"G:\\\\\", \"label\": \"NoSpace\", \"kind\": \"Fixed\", \"driveType\": "
      "3, \"fileSystem\": \"NTFS\", \"serialNumber\": \"No SN\", \"medium\": true, "
      "\"answered\": true, \"totalBytes\": null, \"freeBytes\": null, \"usedBytes\": null, "
      "\"volumeFreeBytes\": null, \"total\": \"\", "
      "\"free\": \"\", \"used\": \"\", \"errors\": [{\"line\": 116, \"description\": "
      "\"could not read the drive's space (error 21)\"}]}\r\n"
      "  ],\r\n  \"errors\": []\r\n}\r\n");
}

// The system's counts as they are, whatever the size texts can hold: no false alarm.
TEST_F(CommandLineExportTest, JsonHasTheSystemsExactCountsWithoutAFailure) {
  const struct {
    uint64_t total, free, callerFree;
    const char* counts;
  } cases[] = {
      {UINT64_MAX, 1, 1,
       "\"totalBytes\": 18446744073709551615, \"freeBytes\": 1, \"usedBytes\": "
       "18446744073709551614, \"volumeFreeBytes\": 1, \"total\": \"\", \"free\": \"1 Bytes\", "
       "\"used\": \"\""},
      {0, 0, 0,
       "\"totalBytes\": 0, \"freeBytes\": 0, \"usedBytes\": 0, \"volumeFreeBytes\": 0, "
       "\"total\": \"0 Bytes\""},
      // A quota: the caller's free space, and the volume's beside it.
      {4096, 3072, 1024,
       "\"totalBytes\": 4096, \"freeBytes\": 1024, \"usedBytes\": 3072, \"volumeFreeBytes\": "
       "3072, \"total\": \"4 KB\", \"free\": \"1 KB\", \"used\": \"3 KB\""},
  };
  for (const auto& c : cases) {
    machine.AddDrive('H', k::kDriveRemote).Space(c.total, c.free, c.callerFree);
    EXPECT_EQ(Export(ExportFormat::kJson), exit_code::kWritten) << c.total;
    const std::string json = File();
    const size_t drive = json.find("{\"root\": \"H:");
    ASSERT_NE(drive, std::string::npos);
    EXPECT_NE(json.find(c.counts, drive), std::string::npos) << json.substr(drive);
    EXPECT_NE(json.find("\"errors\": []}", drive), std::string::npos) << json.substr(drive);
    EXPECT_EQ(errors, u"");
  }
}

// Each failed query at its own step with the system's code; a code of 0 is still a
// failure.
TEST_F(CommandLineExportTest, FailedVolumeAndSpaceQueriesAreReportedAtTheirSteps) {
  const struct {
    uint32_t volumeCode, spaceCode;
    const char16_t* volumeNumber;
    const char16_t* spaceNumber;
  } cases[] = {{1117, 21, u"1117", u"21"}, {0, 0, u"51", u"51"}};
  for (const auto& c : cases) {
    machine.AddDrive('F', k::kDriveFixed).FailVolume(c.volumeCode).FailSpace(c.spaceCode);
    errors.clear();
    EXPECT_EQ(Export(ExportFormat::kJson), exit_code::kWrittenWithFailedQueries);
    EXPECT_EQ(errors, std::u16string(u"Brindlecap: F:\\ at line 114: could not read the volume's "
                                     u"name and serial number (error ") +
                          c.volumeNumber +
                          u")\r\nBrindlecap: F:\\ at line 116: could not read the drive's "
                          u"space (error " +
                          c.spaceNumber + u")\r\n");
    EXPECT_NE(File().find("\"errors\": [{\"line\": 114, "), std::string::npos);
  }
}

// Every figure in bytes, none where nothing was produced; label values escaped.
TEST_F(CommandLineExportTest, PrometheusMetricsHoldTheFactsAndNoMadeUpFigures) {
  machine.AddDrive('G', k::kDriveFixed).Label("two\nlines").FailSpace(21);
  EXPECT_EQ(Export(ExportFormat::kPrometheus), exit_code::kWrittenWithFailedQueries);
  EXPECT_EQ(File(),
            "# HELP brindlecap_drive_size_bytes The drive's total size in bytes.\n"
            "# TYPE brindlecap_drive_size_bytes gauge\n"
            "brindlecap_drive_size_bytes{drive=\"C:\"} 2048\n"
            "# HELP brindlecap_drive_free_bytes The drive's space free to the program's user, "
            "in bytes.\n"
            "# TYPE brindlecap_drive_free_bytes gauge\n"
            "brindlecap_drive_free_bytes{drive=\"C:\"} 512\n"
            "# HELP brindlecap_drive_used_bytes The drive's used space in bytes.\n"
            "# TYPE brindlecap_drive_used_bytes gauge\n"
            "brindlecap_drive_used_bytes{drive=\"C:\"} 1536\n"
            "# HELP brindlecap_drive_answered 1 when the drive answered before the deadline, 0 "
            "when it did not.\n"
            "# TYPE brindlecap_drive_answered gauge\n"
            "brindlecap_drive_answered{drive=\"A:\"} 1\n"
            "brindlecap_drive_answered{drive=\"C:\"} 1\n"
            "brindlecap_drive_answered{drive=\"G:\"} 1\n"
            "# HELP brindlecap_drive_info The drive's label, kind, file system and serial number; "
            "always 1.\n"
            "# TYPE brindlecap_drive_info gauge\n"
            "brindlecap_drive_info{drive=\"A:\",label=\"\",kind=\"Floppy\",filesystem=\"\","
            "serial=\"\"} 1\n"
            "brindlecap_drive_info{drive=\"C:\",label=\"Tom's \\\"Data\\\", 2\\\\3 \xC3\xA9\","
            "kind=\"Fixed\",filesystem=\"NTFS\",serial=\"1234-ABCD\"} 1\n"
            "brindlecap_drive_info{drive=\"G:\",label=\"two\\nlines\",kind=\"Fixed\","
            "filesystem=\"NTFS\",serial=\"0000-0000\"} 1\n");
}

// A volume mounted in a folder gets a row after the drives only with /volumes.
TEST_F(CommandLineExportTest, VolumesAddARowForEachMountedFolder) {
  machine.MountInFolder("C:\\Data\\").Label("Archive").Space(4096, 1024);
  CommandLine request;
  request.format = ExportFormat::kJson;
  request.path = u"out";
  for (const bool volumes : {false, true}) {
    request.volumes = volumes;
    EXPECT_EQ(ExportFromCommandLine(request, services), exit_code::kWritten);
    const std::string json = File();
    testing::KeepJsonSample(json);
    EXPECT_EQ(json.find("\"root\": \"C:\\\\DATA\\\\\", \"mountedAt\": \"C:\\\\DATA\\\\\", "
                        "\"label\": \"Archive\", \"kind\": \"Fixed\"") != std::string::npos,
              volumes)
        << json;
    EXPECT_GT(json.find("C:\\\\DATA"), json.find("\"root\": \"C:\\\\\""));
    EXPECT_EQ(json.find("mountedAt") == json.rfind("mountedAt"), true) << "only the folder's row";
  }
}

// /drives and /kinds choose the rows of every format and of /check, with only their
// reports; a letter the machine does not have names itself.
TEST_F(CommandLineExportTest, TheChosenDrivesAloneAreWrittenOrChecked) {
  machine.AddDrive('D', k::kDriveCdrom).DeviceType(k::kFileDeviceDvd);
  machine.AddDrive('E', k::kDriveCdrom).DeviceType(k::kFileDeviceCdRom);
  machine.AddDrive('F', k::kDriveRemovable).NotReady();
  machine.AddDrive('G', k::kDriveFixed).FailSpace(21);
  machine.AddDrive('N', k::kDriveRemote).Space(4096, 2048);
  machine.AddDrive('R', k::kDriveRamdisk).Space(1000, 40);
  namespace kind = drive_kind;
  const struct {
    const char16_t* letters;
    unsigned kinds;
    bool check;
    int exitCode;
    std::string written;  // the drives in the tab lines, or the check's line
    const char16_t* error = u"";
  } cases[] = {
      {u"NC", 0, false, 0, "C N"},
      {u"", kind::kUsb | kind::kFloppy, false, 0, "A F"},
      {u"", kind::kDvd, false, 0, "D"},
      {u"", kind::kCd | kind::kRemote, false, 0, "E N"},
      {u"CDN", kind::kFixed | kind::kRemote, false, 0, "C N"},
      {u"", kind::kFixed, false, 3, "C G",
       u"Brindlecap: G:\\ at line 116: could not read the drive's space (error 21)\r\n"},
      {u"CQ", 0, false, 2, "", u"Brindlecap: there is no drive Q:\\\r\n"},
      {u"", kind::kFixed | kind::kRemote | kind::kRam | kind::kUsb, true, 2,
       "DISK CRITICAL - free space: C:\\ 0 MB (25%); G:\\ space unknown (error 21) UNKNOWN; "
       "N:\\ 0 MB (50%); R:\\ 0 MB (4%) CRITICAL|'C:\\'=1536B;1843;1945;0;2048 "
       "'N:\\'=2048B;3686;3891;0;4096 'R:\\'=960B;900;950;0;1000\r\n"},
      {u"Q", 0, true, 2, "DISK CRITICAL - Q:\\ does not exist\r\n"},
  };
  for (const auto& test : cases) {
    CommandLine request;
    request.action = test.check ? Action::kCheck : Action::kExport;
    request.check = test.check;
    request.format = ExportFormat::kTab;
    request.path = test.check ? u"-" : u"out";
    request.choice.letters = test.letters;
    request.choice.kinds = test.kinds;
    request.choice.mediumOnly = test.check;
    store.files.clear();
    errors.clear();
    EXPECT_EQ(ExportFromCommandLine(request, services), test.exitCode) << test.written;
    std::string written = store.files[request.path];
    if (!test.check) {
      std::string roots;
      for (size_t line = written.find("\r\n"); line + 2 < written.size();
           line = written.find("\r\n", line + 2)) {
        roots += (roots.empty() ? "" : " ") + written.substr(line + 2, 1);
      }
      written = roots;
    }
    EXPECT_EQ(written, test.written);
    EXPECT_EQ(errors, test.error) << test.written;
  }
  // The optical probes of D: and E: fail: only a chosen drive's report is told.
  machine.ThrowOn("DeviceIoControl", OverflowFailure());
  CommandLine request;
  request.action = Action::kExport;
  request.path = u"out";
  request.choice.letters = u"C";
  errors.clear();
  EXPECT_EQ(ExportFromCommandLine(request, services), exit_code::kWritten)
      << testing::ToCodePage1252(errors);
  request.choice.letters = u"E";
  EXPECT_EQ(ExportFromCommandLine(request, services), exit_code::kWrittenWithFailedQueries);
  EXPECT_EQ(errors, u"Brindlecap: E:\\: Overflow\r\n");
}

TEST_F(CommandLineExportTest, FailedQueriesGoToTheirDrivesAndGiveExitCodeThree) {
  machine.ThrowOn("GetDriveTypeA", RuntimeFailure(u"Internal error"));
  EXPECT_EQ(Export(ExportFormat::kJson), exit_code::kWrittenWithFailedQueries);
  const std::string json = File();
  EXPECT_NE(json.find("\"root\": \"A:\\\\\", \"label\": \"\", \"kind\": \"\", \"driveType\": null"),
            std::string::npos);
  EXPECT_NE(json.find("\"errors\": [{\"line\": 140, \"description\": \"Internal error\"}]}"),
            std::string::npos);
  EXPECT_NE(json.find("\"errors\": [{\"line\": 120, \"description\": \"Internal error\"}]}"),
            std::string::npos);
  EXPECT_NE(json.find("\"errors\": []\r\n}"), std::string::npos) << "none outside the drives";
  EXPECT_EQ(errors,
            u"Brindlecap: A:\\ at line 140: Internal error\r\n"
            u"Brindlecap: C:\\ at line 120: Internal error\r\n");
}

// Each report belongs to the drive whose turn it was, whether its row exists or not;
// a report of another operation belongs to none.
TEST_F(CommandLineExportTest, ReportsBelongToTheDriveWhoseTurnItWas) {
  testing::ScriptedList list;
  AddResultColumns(list);
  ReportLog log;
  machine.AddDrive('D', k::kDriveCdrom).NotReady();
  machine.ThrowOn("GetDriveTypeA", RuntimeFailure(u"Internal error"));
  list.Refuse(u'C');  // C:'s row cannot be added
  RetrieveAllDrives(list, DriveSystem{machine, codePage, locale}, log, workers.Workers(), {});
  log.ShowApplicationError(u"Out of memory", location::kWriteList, 150);
  std::vector<std::pair<int, std::u16string>> reports;
  for (const ReportedFailure& failure : log.Failures())
    reports.emplace_back(*failure.line, failure.root);
  EXPECT_EQ(reports, (std::vector<std::pair<int, std::u16string>>{{140, u"A:\\"},
                                                                  {118, u"C:\\"},
                                                                  {120, u"C:\\"},
                                                                  {122, u"C:\\"},
                                                                  {124, u"C:\\"},
                                                                  {126, u"C:\\"},
                                                                  {128, u"C:\\"},
                                                                  {136, u"C:\\"},
                                                                  {140, u"D:\\"},
                                                                  {150, u""}}));
}

TEST_F(CommandLineExportTest, AFailureBeforeAnyDriveIsKeptApart) {
  machine.ThrowOn("GetLogicalDriveStringsA", RuntimeFailure(u"Internal error"));
  EXPECT_EQ(Export(ExportFormat::kJson), exit_code::kWrittenWithFailedQueries);
  EXPECT_NE(File().find("\"drives\": [],\r\n  \"errors\": [\r\n    {\"root\": null, \"line\": 108, "
                        "\"description\": \"Internal error\"}\r\n  ]\r\n}"),
            std::string::npos)
      << File();
}

TEST_F(CommandLineExportTest, FixedWidthTextIsTheSaveOfEveryRowTicked) {
  ResultsModel results;
  AddResultColumns(results);
  RecordingMessageBox boxes;
  ReportLog reports;
  RetrieveAllDrives(results, DriveSystem{machine, codePage, locale}, reports, workers.Workers(),
                    {});
  EXPECT_TRUE(reports.Failures().empty());
  for (int row = 0; row < results.RowCount(); ++row) results.SetChecked(row, true);
  testing::HookPump pump;
  ExportServices save{store.Factory(), pump, boxes};
  WriteFixedWidthList(results, u"saved", save);

  EXPECT_EQ(Export(ExportFormat::kText), exit_code::kWritten);
  EXPECT_EQ(File(), File(u"saved"));
  EXPECT_NE(File().find("1234-ABCD"), std::string::npos);
  EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(CommandLineExportTest, AFileThatCannotBeWrittenGivesExitCodeOne) {
  for (ExportFormat format :
       {ExportFormat::kText, ExportFormat::kTab, ExportFormat::kCsv, ExportFormat::kJson,
        ExportFormat::kHtml, ExportFormat::kPrometheus}) {
    store.failCreate = true;
    errors.clear();
    EXPECT_EQ(Export(format), exit_code::kNotWritten);
    EXPECT_EQ(errors, u"Brindlecap: could not write out: Path not found\r\n");
    store.failCreate = false;
    store.failClose = true;
    EXPECT_EQ(Export(format), exit_code::kNotWritten);
    store.failClose = false;
  }
}

struct PageRowCase {
  const char* drive;  // the row's first cell
  const char* rest;   // a part of the row from its Total Space cell on
  bool bar;
};

// The page reads like the window's list: sizes aligned right, and the used-space bar
// as the list draws it (none for a CD or DVD, red from 90 %).
TEST_F(CommandLineExportTest, HtmlPageHasTheTableAndTheListsUsageBars) {
  machine.AddDrive('D', k::kDriveFixed).Label("<b>&").Space(4096, 0);
  // 0.59 % is a hair below 0.59 as a float: cut instead of rounded, it would show 0.58.
  machine.AddDrive('L', k::kDriveFixed).Space(3145728, 3133440);
  machine.AddDrive('M', k::kDriveFixed).Space(10000, 9941);
  machine.AddDrive('N', k::kDriveFixed).Space(10000, 1000);  // 90 %: red
  machine.AddDrive('P', k::kDriveFixed).Space(10000, 1001);  // 89.99 %
  machine.AddDrive('R', k::kDriveCdrom).Label("DISC").Space(4096, 0);
  EXPECT_EQ(Export(ExportFormat::kHtml), exit_code::kWritten);
  const std::string html = File();
  EXPECT_EQ(html.rfind("<!DOCTYPE html>", 0), 0u);
  EXPECT_EQ(html.find("<script"), std::string::npos);
  EXPECT_NE(html.find("<title>Drives of HOST-1</title>"), std::string::npos);
  // A browser would fold the short row's two spaces into one.
  EXPECT_NE(html.find("td { white-space: pre; }"), std::string::npos);
  EXPECT_NE(html.find("th.size, td.size { text-align: right; }"), std::string::npos);
  EXPECT_NE(html.find("<th>File System</th><th class=\"size\">Total Space</th><th class=\"size\">"
                      "Free Space</th><th class=\"size\">Used Space</th><th>Serial Number</th>"),
            std::string::npos);
  const char* kEmpty = "<td class=\"size\"></td><td class=\"size\"></td><td class=\"size\"></td>";
  const PageRowCase cases[] = {
      {"A:\\  - No Disk present", kEmpty, false},
      {"C:\\ - [Tom&#39;s &quot;Data&quot;, 2\\3 \xC3\xA9]",
       "<td class=\"size\">2 KB</td><td class=\"size\">512 Bytes</td><td class=\"size\">1.5 KB"
       "</td><td>1234-ABCD</td><td><div class=\"bar\" title=\"75.00 % used\"><div style=\"width: "
       "75.00%\"></div></div></td></tr>",
       true},
      {"D:\\ - [&lt;b&gt;&amp;]", "<div class=\"bar full\" title=\"100.00 % used\">", true},
      {"L:\\ - []", "<div class=\"bar\" title=\"0.39 % used\"><div style=\"width: 0.39%\">", true},
      {"M:\\ - []", "<div class=\"bar\" title=\"0.59 % used\"><div style=\"width: 0.59%\">", true},
      {"N:\\ - []", "<div class=\"bar full\" title=\"90.00 % used\"><div style=\"width: 90.00%\">",
       true},
      {"P:\\ - []", "<div class=\"bar\" title=\"89.99 % used\"><div style=\"width: 89.99%\">",
       true},
      {"R:\\ - [DISC]", "<td class=\"size\">4 KB</td><td class=\"size\">0 Bytes</td>", false},
  };
  for (const PageRowCase& test : cases) {
    SCOPED_TRACE(test.drive);
    const size_t start = html.find(std::string("<tr><td>") + test.drive + "</td>");
    ASSERT_NE(start, std::string::npos) << html;
    const std::string row = html.substr(start, html.find("</tr>", start) + 5 - start);
    EXPECT_NE(row.find(test.rest), std::string::npos) << row;
    // A drive without a medium, and a CD or DVD (always full), has no bar.
    EXPECT_EQ(row.find("<div class=\"bar") != std::string::npos, test.bar) << row;
  }
}

}  // namespace
}  // namespace brindlecap
