#pragma once
// What the program was asked on its command line: the window (no arguments), the
// usage, one export of the drives to a file or to standard output ("-"), or the
// monitoring engines' check of their free space.
#include <string>
#include <string_view>

#include "command_line/disk_check.h"
#include "command_line/drive_choice.h"

namespace brindlecap {

enum class ExportFormat { kText, kTab, kCsv, kJson, kHtml, kPrometheus };

// What a script sees when the program ends.
namespace exit_code {
constexpr int kWritten = 0;
constexpr int kNotWritten = 1;
constexpr int kBadCommandLine = 2;
constexpr int kWrittenWithFailedQueries = 3;
}  // namespace exit_code

// How long an export waits for the drives, in seconds: /timeout's range and default.
constexpr int kMinTimeoutSeconds = 1, kMaxTimeoutSeconds = 3600, kDefaultTimeoutSeconds = 60;

struct CommandLine {
  enum class Action { kWindow, kUsage, kExport, kCheck, kBadCommandLine };
  Action action = Action::kWindow;
  ExportFormat format = ExportFormat::kText;
  std::u16string path;  // "-" is standard output
  int timeoutSeconds = kDefaultTimeoutSeconds;
  bool volumes = false;        // /volumes: the volumes mounted in folders get rows too
  DriveChoice choice;          // /drives and /kinds
  CheckThresholds thresholds;  // /warn and /crit
  bool check = false;  // /check is on the line, even a bad one: its answer keeps the protocol
  // What is wrong with a bad command line, and the argument it is about.
  std::string_view problem;
  std::u16string_view argument;
};

// The arguments after the program's name. Switches are case-insensitive and start
// with '/' or '-'; "/timeout SECONDS" and the others with a value may come before or
// after the format switch.
CommandLine ParseCommandLine(int count, const char16_t* const* arguments);

// ASCII; lines end with CR LF. Brindlecap.exe adds the note to its usage.
extern const std::string_view kUsageText;
extern const std::string_view kWindowProgramNote;

}  // namespace brindlecap
