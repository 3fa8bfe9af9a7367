#include "command_line/command_line_export.h"

#include <algorithm>
#include <new>
#include <optional>
#include <utility>

#include "command_line/drive_choice.h"
#include "command_line/report_log.h"
#include "export/fixed_width_writer.h"
#include "export/prometheus_text.h"
#include "results/result_columns.h"
#include "retrieval/drive_steps.h"
#include "retrieval/retrieval_command.h"
#include "shared/runtime_failure.h"
#include "shared/text_convert.h"

namespace brindlecap {

namespace {

class NoEvents : public EventPump {
 public:
  void RunWaitingEvents() override {}
};

// The results as the fixed-width writer reads them, every row counted as ticked;
// the model's own check marks stay as they are. The writer only reads.
class EveryRowTicked : public RowListReader {
 public:
  explicit EveryRowTicked(const ResultsModel& results) : results_(results) {}

  int ColumnCount() const override { return results_.ColumnCount(); }
  std::u16string_view ColumnTitle(int column) const override {
    return results_.ColumnTitle(column);
  }
  int RowCount() const override { return results_.RowCount(); }
  std::u16string_view Cell(int row, int column) const override {
    return results_.Cell(row, column);
  }
  bool Checked(int row) const override { return row >= 0 && row < RowCount(); }

 private:
  const ResultsModel& results_;
};

// Writes the export to the target and closes it; the first failure's description,
// or nothing. A file that fails keeps its old bytes and leaves no temporary file.
std::u16string Write(const CommandLine& request, const ResultsModel& results,
                     const std::vector<ReportedFailure>& failures, CommandLineSystem& system) {
  if (request.format == ExportFormat::kText) {
    ReportLog writerReports;
    NoEvents pump;
    ExportServices services{[&] { return system.MakeTextFiles(); }, pump, writerReports};
    WriteFixedWidthList(EveryRowTicked(results), request.path, services);
    if (writerReports.Failures().empty()) return {};
    return writerReports.Failures().front().description;
  }
  try {
    const auto stream = system.MakeTextFiles()->Create(request.path, true);
    switch (request.format) {
      case ExportFormat::kTab:
        WriteTabLines(results, *stream);
        break;
      case ExportFormat::kCsv:
        stream->WriteBytes(CsvDocument(results));
        break;
      case ExportFormat::kJson:
        stream->WriteBytes(JsonDocument(results, system.Heading(), failures));
        break;
      case ExportFormat::kPrometheus:
        stream->WriteBytes(PrometheusDocument(results));
        break;
      default:
        stream->WriteBytes(HtmlDocument(results, system.Heading()));
    }
    stream->Close();
    return {};
  } catch (const RuntimeFailure& failure) {
    return failure.Description().empty() ? u"Unexpected failure" : failure.Description();
  } catch (const std::bad_alloc&) {
    return u"Out of memory";
  } catch (...) {
    return u"Unexpected failure";
  }
}

// A drive query that failed without a report still leaves cells empty; a script
// learns of it as of a report, at the step that asked, and of a drive that did not
// answer in time as of a report without a line.
void AddFailedQueries(const ResultsModel& results, int timeoutSeconds,
                      std::vector<ReportedFailure>& failures) {
  const auto add = [&](const DriveFacts& facts, int line, std::optional<uint32_t> failure,
                       const char* what) {
    if (!failure) return;
    std::u16string text = AsciiToUtf16(what);
    text.append(u" (error ").append(DecimalText(*failure)).append(u")");
    failures.push_back(ReportedFailure{line, std::move(text), facts.root});
  };
  for (int row = 0; row < results.RowCount(); ++row) {
    const DriveFacts& facts = results.RowFacts(row);
    if (!facts.answered) {
      std::u16string text = u"did not answer within ";
      text.append(DecimalText(static_cast<unsigned>(timeoutSeconds)));
      text.append(timeoutSeconds == 1 ? u" second" : u" seconds");
      failures.push_back(ReportedFailure{std::nullopt, std::move(text), facts.root});
    }
    add(facts, kAskVolume, facts.volumeFailure,
        "could not read the volume's name and serial number");
    add(facts, kAskSpace, facts.spaceFailure, "could not read the drive's space");
  }
}

// Waits for an answer while the deadline, `seconds` from now, has not passed.
std::function<bool()> UntilDeadline(const CommandLineServices& services, int seconds) {
  if (!services.waitForAnswer || !services.milliseconds) return {};
  const uint32_t limit = static_cast<uint32_t>(seconds) * 1000u;
  const uint32_t start = services.milliseconds();
  return [&services, limit, start] {
    // Unsigned: right across the count's wrap-around.
    const uint32_t elapsed = services.milliseconds() - start;
    if (elapsed >= limit) return false;
    services.waitForAnswer(limit - elapsed);
    return true;
  };
}

// The chosen rows of the retrieval, cells and facts, in a model of their own, and
// only the reports about them.
void KeepChosenRows(const ResultsModel& all, const std::vector<int>& rows, ResultsModel& chosen,
                    std::vector<ReportedFailure>& failures) {
  for (int column = 0; column < all.ColumnCount(); ++column) {
    chosen.AddColumn(std::u16string(all.ColumnTitle(column)));
  }
  std::vector<std::u16string> roots;
  for (const int row : rows) {
    const int added = chosen.AddRow(std::u16string(all.Cell(row, 0)));
    for (int column = 1; column < all.ColumnCount(); ++column) {
      chosen.SetCell(added, column, std::u16string(all.Cell(row, column)));
    }
    chosen.SetRowFacts(added, all.RowFacts(row));
    roots.push_back(all.RowFacts(row).root);
  }
  failures.erase(std::remove_if(failures.begin(), failures.end(),
                                [&](const ReportedFailure& failure) {
                                  return !failure.root.empty() &&
                                         std::find(roots.begin(), roots.end(), failure.root) ==
                                             roots.end();
                                }),
                 failures.end());
}

// /check: the one line on standard output; the exit code is its state.
int Check(const CommandLine& request, const ResultsModel& all, const ChosenRows& chosen,
          CommandLineServices& services) {
  CheckResult result = MissingDrive(chosen.missing);
  if (chosen.missing.empty()) {
    std::vector<DriveFacts> drives;
    for (const int row : chosen.rows) drives.push_back(all.RowFacts(row));
    result = CheckDrives(drives, request.thresholds, request.timeoutSeconds);
  }
  const auto stream = services.system.MakeTextFiles()->Create(u"-", true);
  stream->WriteBytes(services.codePage.ToAnsi(result.line));
  stream->Close();
  return static_cast<int>(result.state);
}

}  // namespace

void AddResultColumns(ResultsModel& results) {
  for (const auto& column : kResultColumns) {
    results.AddColumn(std::u16string(column.header));
  }
}

void RetrieveAllDrives(RowList& results, DriveSystem system, ReportLog& reports,
                       DriveWorkers workers, const std::function<bool()>& waitForAnswer,
                       bool mountedFolders) {
  RetrievalCommand retrieval(results, system, reports, std::move(workers));
  if (mountedFolders) retrieval.IncludeMountedFolders();
  reports.Follow(&retrieval);
  retrieval.Run();
  while (retrieval.Running() && waitForAnswer) {
    if (!waitForAnswer()) {
      retrieval.GiveUp();
      break;
    }
    retrieval.TakeAnswers();
  }
  reports.Follow(nullptr);
}

int ExportFromCommandLine(const CommandLine& request, CommandLineServices& services) noexcept {
  try {
    ResultsModel all;
    AddResultColumns(all);
    ReportLog reports;
    RetrieveAllDrives(all, DriveSystem{services.kernel32, services.codePage, services.locale},
                      reports, services.workers, UntilDeadline(services, request.timeoutSeconds),
                      request.volumes);
    const ChosenRows chosen = ChooseRows(all, request.choice);
    if (request.check) return Check(request, all, chosen, services);
    if (!chosen.missing.empty()) {
      services.system.WriteError(u"Brindlecap: there is no drive " + chosen.missing + u"\r\n");
      return exit_code::kBadCommandLine;
    }
    std::vector<ReportedFailure> failures = reports.Failures();
    ResultsModel results;
    KeepChosenRows(all, chosen.rows, results, failures);
    AddFailedQueries(results, request.timeoutSeconds, failures);
    std::u16string text;
    for (const ReportedFailure& failure : failures) {
      // "Brindlecap: C:\ at line 120: Internal error"
      text.append(u"Brindlecap: ").append(failure.root);
      if (failure.line) {
        text.append(failure.root.empty() ? u"at line " : u" at line ");
        text.append(DecimalText(static_cast<unsigned>(*failure.line)));
      }
      if (text.back() != u' ') text.append(u": ");
      text.append(failure.description).append(u"\r\n");
    }
    const std::u16string failure = Write(request, results, failures, services.system);
    if (!failure.empty()) {
      text.append(u"Brindlecap: could not write ").append(request.path).append(u": ");
      text.append(failure).append(u"\r\n");
    }
    services.system.WriteError(text);
    if (!failure.empty()) return exit_code::kNotWritten;
    return failures.empty() ? exit_code::kWritten : exit_code::kWrittenWithFailedQueries;
  } catch (...) {
    return request.check ? static_cast<int>(CheckState::kUnknown) : exit_code::kNotWritten;
  }
}

}  // namespace brindlecap
