// The command line read into a request: switches, bad lines and the usage.
#include "command_line/command_line.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace brindlecap
