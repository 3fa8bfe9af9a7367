#pragma once
// An export asked for on the command line: one retrieval of every drive through the
// window's model and drive code, every row written in the chosen format, and the
// exit code that says how it went.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "command_line/command_line.h"
#include "command_line/report_log.h"
#include "drive_info/drive_info.h"
#include "export/table_text.h"
#include "export/text_file.h"
#include "results/results_model.h"
#include "retrieval/worker_threads.h"

namespace brindlecap {

// What the export needs from the system besides the drive queries.
class CommandLineSystem {
 public:
  virtual ~CommandLineSystem() = default;
  // The file-writing facility for the target; for "-" one that writes to standard
  // output. May raise a failure.
  virtual std::unique_ptr<TextFiles> MakeTextFiles() = 0;
  // The computer's name and the time, asked only by the formats that show them.
  virtual DocumentHeading Heading() = 0;
  // Standard error, where it leads somewhere.
  virtual void WriteError(std::u16string_view text) = 0;
};

struct CommandLineServices {
  Kernel32& kernel32;
  const AnsiCodePage& codePage;
  const LocaleInfo& locale;
  CommandLineSystem& system;
  // The drives are asked on these. waitForAnswer returns once a drive may have
  // answered or the milliseconds it is given have passed (none needed when the
  // workers finish before Start returns); milliseconds counts up, wrapping around,
  // and sets the deadline.
  DriveWorkers workers;
  std::function<void(uint32_t milliseconds)> waitForAnswer;
  std::function<uint32_t()> milliseconds;
};

// Reports failures on standard error, never in a box. Only the rows of the request's
// choice are written; /check writes its one line to the target "-" instead.
int ExportFromCommandLine(const CommandLine& request, CommandLineServices& services) noexcept;

// The window's columns, in its order.
void AddResultColumns(ResultsModel& results);

// One retrieval of every drive, run to its end: afterwards every drive's row is in
// the list and every report has reached `reports`, each with its drive.
// waitForAnswer returns true once a drive may have answered, false when the
// deadline has passed: the drives not yet answered then get "Not answering" rows.
void RetrieveAllDrives(RowList& results, DriveSystem system, ReportLog& reports,
                       DriveWorkers workers, const std::function<bool()>& waitForAnswer,
                       bool mountedFolders = false);

}  // namespace brindlecap
