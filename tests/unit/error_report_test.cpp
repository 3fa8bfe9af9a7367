#include "shared/error_report.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "shared/runtime_failure.h"
#include "support/recording_message_box.h"

namespace brindlecap {
namespace {

using testing::RecordingMessageBox;

constexpr std::u16string_view kAddress = kSupportEmailAddress;

TEST(ErrorReportText, JoinsDescriptionLabelLineAndRequestWithExactSeparators) {
  const std::u16string text =
      ComposeApplicationErrorText(u"Overflow", location::kStartRetrieving, 126);
  EXPECT_EQ(text,
            u"Overflow\r\nin Brindlecap2021/08/31.Form1.PushButton6_Click at line 126\r\r"
            u"Please email screenshot of this message to " +
                std::u16string(kAddress));
}

TEST(ErrorReportText, EmptyDescriptionStartsWithTheLineBreak) {
  const std::u16string text = ComposeApplicationErrorText(u"", location::kWriteList, 100);
  EXPECT_EQ(text.substr(0, 2), u"\r\n");
  EXPECT_NE(text.find(u"SaveListviewProperlySpacedWithoutProgressBar at line 100\r\r"),
            std::u16string::npos);
}

TEST(ErrorReportText, EveryLabelEndsWithOneBlankAndNamesItsOperation) {
  for (std::u16string_view label : {location::kFormLoad, location::kStartRetrieving,
                                    location::kSaveResults, location::kWriteList}) {
    EXPECT_EQ(label.substr(0, 23), u"in Brindlecap2021/08/31");
    EXPECT_EQ(label.back(), u' ');
    EXPECT_NE(label[label.size() - 2], u' ');
  }
}

TEST(ErrorReport, ShowsAWarningTitledApplicationError) {
  RecordingMessageBox box;
  ReportApplicationError(box, u"Disk full", location::kSaveResults, 122);
  ASSERT_EQ(box.boxes.size(), 1u);
  EXPECT_EQ(box.boxes[0].title, u"Application Error");
  EXPECT_EQ(box.boxes[0].icon, MessageBoxIcon::kWarning);
  EXPECT_EQ(box.boxes[0].text,
            ComposeApplicationErrorText(u"Disk full", location::kSaveResults, 122));
}

// An operation of numbered lines, as the reporting operations are written.
struct Trace {
  RecordingMessageBox box;
  std::vector<int> ran;
  std::vector<std::u16string> Lines() const {
    std::vector<std::u16string> lines;
    for (const auto& shown : box.boxes) {
      const size_t at = shown.text.find(u"at line ");
      lines.push_back(shown.text.substr(at + 8, shown.text.find(u'\r', at) - at - 8));
    }
    return lines;
  }
};

TEST(ReportingOperation, AFailureIsReportedWithItsLineAndTheNextActionRuns) {
  Trace trace;
  ReportingOperation op(trace.box, location::kWriteList);
  op.Do(100, [&] { throw OverflowFailure(); });
  op.Do(102, [&] { trace.ran.push_back(102); });
  EXPECT_EQ(trace.Lines(), std::vector<std::u16string>{u"100"});
  EXPECT_EQ(trace.ran, std::vector<int>{102});
  EXPECT_EQ(trace.box.boxes[0].text.substr(0, 10), u"Overflow\r\n");
}

TEST(ReportingOperation, TwoFailuresGiveTwoReportsAndTheOperationFinishes) {
  Trace trace;
  ReportingOperation op(trace.box, location::kFormLoad);
  op.Do(102, [&] { throw InvalidArgumentFailure(); });
  op.Do(104, [&] { trace.ran.push_back(104); });
  op.Do(106, [&] { throw std::runtime_error("bad cursor"); });
  op.Do(108, [&] { trace.ran.push_back(108); });
  EXPECT_EQ(trace.Lines(), (std::vector<std::u16string>{u"102", u"106"}));
  EXPECT_EQ(trace.ran, (std::vector<int>{104, 108}));
  EXPECT_EQ(trace.box.boxes[1].text.substr(0, 12), u"bad cursor\r\n");
  EXPECT_EQ(trace.box.boxes.size(), 2u);
}

TEST(ReportingOperation, ActionsSharingALineAreSkippedOneByOne) {
  Trace trace;
  ReportingOperation op(trace.box, location::kFormLoad);
  op.Do(126, [&] { trace.ran.push_back(1); });
  op.Do(126, [&] {
    throw OverflowFailure();
    trace.ran.push_back(2);  // the rest of the failed action is skipped
  });
  op.Do(126, [&] { trace.ran.push_back(3); });
  EXPECT_EQ(trace.ran, (std::vector<int>{1, 3}));
  EXPECT_EQ(trace.Lines(), std::vector<std::u16string>{u"126"});
}

// A callee without its own handling passes its failure up unchanged.
void CalleeThatFails(std::vector<int>& ran) {
  ran.push_back(1);
  throw RuntimeFailure(u"File not found");
}

TEST(ReportingOperation, ACalleesFailureCarriesTheCallersLabelAndLine) {
  Trace trace;
  ReportingOperation op(trace.box, location::kFormLoad);
  op.Do(102, [&] { CalleeThatFails(trace.ran); });
  op.Do(104, [&] { trace.ran.push_back(104); });
  ASSERT_EQ(trace.box.boxes.size(), 1u);
  EXPECT_EQ(trace.box.boxes[0].text,
            ComposeApplicationErrorText(u"File not found", location::kFormLoad, 102));
  EXPECT_EQ(trace.ran, (std::vector<int>{1, 104}));
}

TEST(ReportingOperation, AFailureInALoopIsReportedOncePerPass) {
  Trace trace;
  ReportingOperation op(trace.box, location::kWriteList);
  int passes = 0;
  for (int row = 1; row <= 3; ++row) {
    op.Do(180, [&] {
      ++passes;
      throw ObjectNotSetFailure();
    });
  }
  EXPECT_EQ(passes, 3);
  EXPECT_EQ(trace.Lines(), (std::vector<std::u16string>{u"180", u"180", u"180"}));
}

}  // namespace
}  // namespace brindlecap
