// The command line read into a request: switches, bad lines and the usage.
#include "command_line/command_line.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "command_line/command_line_export.h"
#include "command_line/report_log.h"
#include "export/fixed_width_writer.h"
#include "export/table_text.h"
#include "main_window/core/copy_text.h"
#include "shared/error_report.h"
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

using Action = CommandLine::Action;

struct ParseCase {
  std::vector<const char16_t*> arguments;
  Action action;
  ExportFormat format;
  std::u16string path;
  int timeoutSeconds = 60;
  bool volumes = false;
};

TEST(CommandLineParse, SwitchesInEitherFormAndCaseBadLinesAndTheUsage) {
  const ParseCase cases[] = {
      {{}, Action::kWindow, ExportFormat::kText, u""},
      {{u"/stext", u"a.txt"}, Action::kExport, ExportFormat::kText, u"a.txt"},
      {{u"-STAB", u"b.txt"}, Action::kExport, ExportFormat::kTab, u"b.txt"},
      {{u"/sCsv", u"C:\\out dir\\c.csv"},
       Action::kExport,
       ExportFormat::kCsv,
       u"C:\\out dir\\c.csv"},
      {{u"/sjson", u"-"}, Action::kExport, ExportFormat::kJson, u"-"},
      {{u"-shtml", u"d.html"}, Action::kExport, ExportFormat::kHtml, u"d.html"},
      {{u"/?"}, Action::kUsage, ExportFormat::kText, u""},
      {{u"-?"}, Action::kUsage, ExportFormat::kText, u""},
      {{u"/sjson"}, Action::kBadCommandLine, ExportFormat::kText, u""},
      {{u"/sjson", u""}, Action::kBadCommandLine, ExportFormat::kText, u""},
      {{u"/sjson", u"a", u"b"}, Action::kBadCommandLine, ExportFormat::kText, u""},
      {{u"/sxml", u"a"}, Action::kBadCommandLine, ExportFormat::kText, u""},
      {{u"/sjsonx", u"a"}, Action::kBadCommandLine, ExportFormat::kText, u""},
      // Only '/' and '-' start a switch: a dropped file or a shortcut's argument
      // opens the window.
      {{u"stext", u"a"}, Action::kWindow, ExportFormat::kText, u""},
      {{u"C:\\report.txt"}, Action::kWindow, ExportFormat::kText, u""},
      {{u""}, Action::kWindow, ExportFormat::kText, u""},
      {{u"-"}, Action::kBadCommandLine, ExportFormat::kText, u""},
      {{u"/", u"a"}, Action::kBadCommandLine, ExportFormat::kText, u""},
      {{u"/?", u"a"}, Action::kBadCommandLine, ExportFormat::kText, u""},
      // /timeout before or after the format switch, in either form and any case.
      {{u"/timeout", u"5", u"/sjson", u"a"}, Action::kExport, ExportFormat::kJson, u"a", 5},
      {{u"-SCSV", u"-", u"-TimeOut", u"3600"}, Action::kExport, ExportFormat::kCsv, u"-", 3600},
      {{u"/stab", u"a", u"/TIMEOUT", u"1"}, Action::kExport, ExportFormat::kTab, u"a", 1},
      {{u"/stab", u"a", u"/timeout", u"0090"}, Action::kExport, ExportFormat::kTab, u"a", 90},
      {{u"/sjson", u"a", u"/timeout", u"0"}, Action::kBadCommandLine, ExportFormat::kText, u""},
      {{u"/sjson", u"a", u"/timeout", u"3601"}, Action::kBadCommandLine, ExportFormat::kText, u""},
      {{u"/timeout", u"99999999999", u"/sjson", u"a"},
       Action::kBadCommandLine,
       ExportFormat::kText,
       u""},
      {{u"/timeout", u"-5", u"/sjson", u"a"}, Action::kBadCommandLine, ExportFormat::kText, u""},
      {{u"/timeout", u"1.5", u"/sjson", u"a"}, Action::kBadCommandLine, ExportFormat::kText, u""},
      {{u"/timeout", u" 5", u"/sjson", u"a"}, Action::kBadCommandLine, ExportFormat::kText, u""},
      {{u"/timeout", u"", u"/sjson", u"a"}, Action::kBadCommandLine, ExportFormat::kText, u""},
      {{u"/sjson", u"a", u"/timeout"}, Action::kBadCommandLine, ExportFormat::kText, u""},
      {{u"/timeout", u"5"}, Action::kBadCommandLine, ExportFormat::kText, u""},
      {{u"/timeout", u"5", u"a"}, Action::kBadCommandLine, ExportFormat::kText, u""},
      {{u"/timeout", u"5", u"/sjson", u"a", u"/timeout", u"6"},
       Action::kBadCommandLine,
       ExportFormat::kText,
       u""},
      {{u"/sjson", u"a", u"/scsv", u"b"}, Action::kBadCommandLine, ExportFormat::kText, u""},
      // /sprom and /volumes, which may stand anywhere but only once.
      {{u"-SPROM", u"-"}, Action::kExport, ExportFormat::kPrometheus, u"-"},
      {{u"/Volumes", u"/sprom", u"a.prom"},
       Action::kExport,
       ExportFormat::kPrometheus,
       u"a.prom",
       60,
       true},
      {{u"/sjson", u"a", u"-volumes", u"/timeout", u"5"},
       Action::kExport,
       ExportFormat::kJson,
       u"a",
       5,
       true},
      {{u"/volumes"}, Action::kBadCommandLine, ExportFormat::kText, u""},
      {{u"/volumes", u"/sjson", u"a", u"/volumes"},
       Action::kBadCommandLine,
       ExportFormat::kText,
       u""},
  };
  for (const ParseCase& test : cases) {
    const CommandLine parsed =
        ParseCommandLine(static_cast<int>(test.arguments.size()), test.arguments.data());
    SCOPED_TRACE(test.arguments.empty() ? "(none)" : testing::ToCodePage1252(test.arguments[0]));
    EXPECT_EQ(parsed.action, test.action);
    EXPECT_EQ(parsed.format, test.format);
    EXPECT_EQ(parsed.path, test.path);
    EXPECT_EQ(parsed.timeoutSeconds, test.timeoutSeconds);
    EXPECT_EQ(parsed.volumes, test.volumes);
    EXPECT_EQ(parsed.problem.empty(), test.action != Action::kBadCommandLine);
  }
  const char16_t* unknown[] = {u"/x", u"a"};
  EXPECT_EQ(ParseCommandLine(2, unknown).problem, "unknown switch ");
  EXPECT_EQ(ParseCommandLine(2, unknown).argument, u"/x");
  const char16_t* outOfRange[] = {u"/sjson", u"a", u"/timeout", u"0"};
  EXPECT_EQ(ParseCommandLine(4, outOfRange).problem,
            "/timeout needs a whole number of seconds from 1 to 3600, not ");
  EXPECT_EQ(ParseCommandLine(4, outOfRange).argument, u"0");
}

struct ChoiceCase {
  std::vector<const char16_t*> arguments;
  Action action;
  std::u16string letters;
  unsigned kinds = 0;
  bool mediumOnly = false;
  std::optional<int64_t> warnBytes = std::nullopt;
  std::string_view problem = "";
  bool check = false;
};

TEST(CommandLineParse, DrivesKindsAndTheCheckWithItsThresholds) {
  namespace kind = drive_kind;
  const unsigned server = kind::kFixed | kind::kRemote | kind::kRam | kind::kUsb;
  const ChoiceCase cases[] = {
      {{u"/sjson", u"-", u"/drives", u"c,D:,e:\\,c"}, Action::kExport, u"CDE"},
      {{u"-KINDS", u"Fixed,remote,USB,floppy,cd,dvd,ram", u"/stab", u"-"},
       Action::kExport,
       u"",
       0x7f},
      // Without a choice the check takes a server's own drives, with a medium.
      {{u"/check"}, Action::kCheck, u"", server, true, std::nullopt, "", true},
      {{u"/check", u"/kinds", u"cd"},
       Action::kCheck,
       u"",
       kind::kCd,
       false,
       std::nullopt,
       "",
       true},
      {{u"/drives", u"A", u"-check"}, Action::kCheck, u"A", 0, false, std::nullopt, "", true},
      {{u"/check", u"/warn", u"20GB", u"/crit", u"1%", u"/timeout", u"9"},
       Action::kCheck,
       u"",
       server,
       true,
       20LL << 30,
       "",
       true},
      {{u"/sjson", u"-", u"/drives", u"CD"},
       Action::kBadCommandLine,
       u"",
       0,
       false,
       std::nullopt,
       "/drives needs drive letters separated by commas, not "},
      {{u"/sjson", u"-", u"/drives", u"1"},
       Action::kBadCommandLine,
       u"",
       0,
       false,
       std::nullopt,
       "/drives needs drive letters separated by commas, not "},
      {{u"/sjson", u"-", u"/kinds", u"fixed,"},
       Action::kBadCommandLine,
       u"",
       0,
       false,
       std::nullopt,
       "/kinds needs kinds separated by commas (fixed usb floppy cd dvd remote ram), not "},
      {{u"/sjson", u"-", u"/drives"},
       Action::kBadCommandLine,
       u"",
       0,
       false,
       std::nullopt,
       "missing value after "},
      {{u"/sjson", u"-", u"/drives", u"C", u"/drives", u"D"},
       Action::kBadCommandLine,
       u"",
       0,
       false,
       std::nullopt,
       "unexpected argument "},
      {{u"/sjson", u"-", u"/warn", u"5%"},
       Action::kBadCommandLine,
       u"",
       0,
       false,
       std::nullopt,
       "/warn and /crit go only with /check"},
      {{u"/sjson", u"-", u"/check"},
       Action::kBadCommandLine,
       u"",
       0,
       false,
       std::nullopt,
       "unexpected argument ",
       true},
      // A bad line with /check anywhere is answered in the check's own protocol.
      {{u"/crit", u"x", u"/check"},
       Action::kBadCommandLine,
       u"",
       0,
       false,
       std::nullopt,
       "/crit needs a share (5%) or an amount (10GB) of free space, not ",
       true},
      {{u"/check", u"/warn"},
       Action::kBadCommandLine,
       u"",
       0,
       false,
       std::nullopt,
       "missing value after ",
       true},
  };
  for (const ChoiceCase& test : cases) {
    const CommandLine parsed =
        ParseCommandLine(static_cast<int>(test.arguments.size()), test.arguments.data());
    std::string line;
    for (const char16_t* argument : test.arguments) line += testing::ToCodePage1252(argument) + " ";
    SCOPED_TRACE(line);
    EXPECT_EQ(parsed.action, test.action);
    EXPECT_EQ(parsed.problem, test.problem);
    EXPECT_EQ(parsed.check, test.check);
    if (test.action == Action::kBadCommandLine) continue;
    EXPECT_EQ(parsed.choice.letters, test.letters);
    EXPECT_EQ(parsed.choice.kinds, test.kinds);
    EXPECT_EQ(parsed.choice.mediumOnly, test.mediumOnly);
    EXPECT_EQ(parsed.thresholds.warn.bytes, test.warnBytes);
  }
}

}  // namespace
}  // namespace brindlecap
