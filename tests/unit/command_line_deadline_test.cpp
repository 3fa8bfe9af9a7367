// The command-line export's deadline: drives that answer in time, late or never,
// on a clock that moves only while the export waits.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "support/command_line_export_fixture.h"

namespace brindlecap {
namespace {

using testing::CommandLineExportTest;
using Action = CommandLine::Action;
namespace k = win32_constant;

// A clock that moves only while the export waits, and drives that answer at set
// moments of it, or never.
class DeadlineTest : public CommandLineExportTest {
 protected:
  static constexpr std::optional<uint32_t> kNever = std::nullopt;

  DeadlineTest() {
    machine.AddDrive('D', k::kDriveFixed).Label("Data");
    machine.AddDrive('E', k::kDriveRemovable).NotReady();
    workers.holding = true;
    services.milliseconds = [this] { return Now(); };
    services.waitForAnswer = [this](uint32_t milliseconds) { Wait(milliseconds); };
  }

  // Exports with A:, C:, D: and E: answering these milliseconds after the start.
  int Export(ExportFormat format, int timeoutSeconds, uint32_t startAt,
             const std::vector<std::optional<uint32_t>>& answerAt) {
    now = start = startAt;
    looks = 0;
    answers = answerAt;
    first = workers.HeldCount();
    CommandLine request;
    request.action = Action::kExport;
    request.format = format;
    request.path = u"out";
    request.timeoutSeconds = timeoutSeconds;
    const int code = ExportFromCommandLine(request, services);
    EXPECT_LE(now - start, static_cast<uint32_t>(timeoutSeconds) * 1000u) << "waited too long";
    // The stuck workers finish after all: nothing of theirs is read any more.
    for (size_t i = first; i < workers.HeldCount(); ++i) Finish(i);
    return code;
  }

 private:
  // An export that goes on looking at the clock past the deadline is stopped.
  uint32_t Now() {
    if (++looks == 1000) {
      ADD_FAILURE() << "the export goes on past the deadline";
      for (size_t i = first; i < workers.HeldCount(); ++i) Finish(i);
    }
    return now;
  }
  // Moves the clock to the first answer due within `milliseconds`, or by all of them.
  void Wait(uint32_t milliseconds) {
    uint32_t elapsed = now - start + milliseconds;
    for (size_t i = 0; i < answers.size(); ++i) {
      if (answers[i] && !Finished(first + i)) elapsed = std::min(elapsed, *answers[i]);
    }
    now = start + elapsed;
    for (size_t i = 0; i < answers.size(); ++i) {
      if (answers[i] && *answers[i] <= elapsed) Finish(first + i);
    }
  }
  bool Finished(size_t index) const {
    return std::find(finished.begin(), finished.end(), index) != finished.end();
  }
  void Finish(size_t index) {
    if (Finished(index)) return;
    finished.push_back(index);
    workers.Finish(index);
  }

  uint32_t now = 0, start = 0;
  std::vector<std::optional<uint32_t>> answers;
  size_t first = 0;
  std::vector<size_t> finished;
  int looks = 0;
};

struct DeadlineCase {
  const char* name;
  int timeoutSeconds;
  uint32_t start;                                 // the clock when the export starts
  std::vector<std::optional<uint32_t>> answerAt;  // A:, C:, D:, E:
  std::vector<std::string> firstCells;
  int exitCode;
  std::u16string errors;
};

TEST_F(DeadlineTest, DrivesThatMissTheDeadlineAreWrittenAsNotAnsweringInTheirPlaces) {
  const std::string a = "A:\\  - No Disk present", c = "C:\\ - [Tom's \"Data\", 2\\3 \xE9]",
                    d = "D:\\ - [Data]", e = "E:\\  - No Disk present";
  const DeadlineCase cases[] = {
      {"every drive in time", 60, 0, {0, 100, 59999, 5}, {a, c, d, e}, exit_code::kWritten, u""},
      {"one never answers; later drives keep their rows",
       60,
       1000,
       {0, kNever, 10, 20},
       {a, "C:\\  - Not answering", d, e},
       exit_code::kWrittenWithFailedQueries,
       u"Brindlecap: C:\\: did not answer within 60 seconds\r\n"},
      {"an answer at the deadline counts, one after it does not",
       60,
       0,
       {kNever, 60000, 60001, kNever},
       {"A:\\  - Not answering", c, "D:\\  - Not answering", "E:\\  - Not answering"},
       exit_code::kWrittenWithFailedQueries,
       u"Brindlecap: A:\\: did not answer within 60 seconds\r\n"
       u"Brindlecap: D:\\: did not answer within 60 seconds\r\n"
       u"Brindlecap: E:\\: did not answer within 60 seconds\r\n"},
      {"the clock wraps around",
       1,
       0xFFFFFE00u,
       {kNever, 999, kNever, 1000},
       {"A:\\  - Not answering", c, "D:\\  - Not answering", e},
       exit_code::kWrittenWithFailedQueries,
       u"Brindlecap: A:\\: did not answer within 1 second\r\n"
       u"Brindlecap: D:\\: did not answer within 1 second\r\n"},
  };
  for (const DeadlineCase& test : cases) {
    SCOPED_TRACE(test.name);
    errors.clear();
    EXPECT_EQ(Export(ExportFormat::kTab, test.timeoutSeconds, test.start, test.answerAt),
              test.exitCode);
    EXPECT_EQ(errors, test.errors);
    std::vector<std::string> firstCells;
    const std::string tab = File();
    for (size_t at = tab.find("\r\n") + 2; at < tab.size(); at = tab.find("\r\n", at) + 2) {
      const std::string line = tab.substr(at, tab.find("\r\n", at) - at);
      firstCells.push_back(line.substr(0, line.find('\t')));
      // A drive that did not answer shows nothing else.
      if (line.find("Not answering") != std::string::npos) {
        EXPECT_EQ(line.substr(line.find('\t')), "\t\t\t\t\t\t");
      }
    }
    EXPECT_EQ(firstCells, test.firstCells);
  }
}

TEST_F(DeadlineTest, JsonSaysForTheDriveHowLongItWasWaitedFor) {
  EXPECT_EQ(Export(ExportFormat::kJson, 60, 0, {0, kNever, 10, 20}),
            exit_code::kWrittenWithFailedQueries);
  const std::string json = File();
  const size_t c = json.find("{\"root\": \"C:\\\\\""), d = json.find("{\"root\": \"D:\\\\\"");
  ASSERT_LT(c, d);
  const size_t error = json.find(
      "\"errors\": [{\"line\": null, \"description\": \"did not answer within 60 seconds\"}]}", c);
  EXPECT_LT(error, d) << json;
  EXPECT_NE(json.find("\"medium\": false", c), std::string::npos);
  EXPECT_EQ(json.find("did not answer", d), std::string::npos) << "only C: was given up";
  EXPECT_NE(json.find("\"errors\": []\r\n}"), std::string::npos) << "none outside the drives";
}

}  // namespace
}  // namespace brindlecap
