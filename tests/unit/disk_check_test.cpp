// /check: the thresholds as written, and each drive's state in the engine's line.
#include "command_line/disk_check.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/memory_text_file.h"

namespace brindlecap {
namespace {

TEST(DiskCheck, ThresholdsAreASharePercentOrAnAmountInUnitsOf1024) {
  const struct {
    const char16_t* text;
    std::optional<double> percent;  // empty: an amount, or refused when bytes is too
    std::optional<int64_t> bytes;
  } cases[] = {
      {u"10%", 10, std::nullopt},
      {u"2.5%", 2.5, std::nullopt},
      {u"100%", 100, std::nullopt},
      {u"20GB", std::nullopt, 20LL << 30},
      {u"500 mb", std::nullopt, 500LL << 20},
      {u"1.5KB", std::nullopt, 1536},
      {u"7Bytes", std::nullopt, 7},
      {u"7B", std::nullopt, 7},
      {u"3TB", std::nullopt, 3LL << 40},
      {u"101%", std::nullopt, std::nullopt},
      {u"20", std::nullopt, std::nullopt},
      {u"GB", std::nullopt, std::nullopt},
      {u"-5%", std::nullopt, std::nullopt},
      {u"20PB", std::nullopt, std::nullopt},
      {u"9000000TB", std::nullopt, std::nullopt},
      {u"5 %", std::nullopt, std::nullopt},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(testing::ToCodePage1252(test.text));
    const std::optional<FreeThreshold> parsed = ParseFreeThreshold(test.text);
    ASSERT_EQ(parsed.has_value(), test.percent || test.bytes);
    if (!parsed) continue;
    EXPECT_EQ(parsed->bytes, test.bytes);
    EXPECT_EQ(parsed->percent, test.percent.value_or(0));
  }
}

DriveFacts Drive(const char16_t* root, int64_t total, int64_t free) {
  DriveFacts facts;
  facts.root = root;
  facts.hasMedium = true;
  facts.totalBytes = total;
  facts.freeBytes = free;
  facts.usedBytes = total - free;
  return facts;
}

TEST(DiskCheck, EachDriveAgainstTheThresholdsTheWorstStateAndThePerformanceData) {
  const int64_t gb = 1LL << 30;
  DriveFacts stuck, failed, empty;
  stuck.root = u"S:\\";
  stuck.answered = false;
  failed = Drive(u"G:\\", 0, 0);
  failed.totalBytes = failed.freeBytes = failed.usedBytes = std::nullopt;
  failed.spaceFailure = 21;
  empty.root = u"A:\\";
  const CheckThresholds byDefault;
  const CheckThresholds amounts{{0, 20 * gb}, {0, 2 * gb}};
  const struct {
    std::vector<DriveFacts> drives;
    CheckThresholds thresholds;
    CheckState state;
    const char16_t* line;
  } cases[] = {
      {{Drive(u"C:\\", 100 * gb, 10 * gb), Drive(u"D:\\", 1000, 100)},
       byDefault,
       CheckState::kOk,
       u"DISK OK - free space: C:\\ 10240 MB (10%); D:\\ 0 MB (10%)|'C:\\'=96636764160B;"
       u"96636764160;102005473280;0;107374182400 'D:\\'=900B;900;950;0;1000\r\n"},
      // Below is strictly less.
      {{Drive(u"C:\\", 100 * gb, 10 * gb - 1)},
       byDefault,
       CheckState::kWarning,
       u"DISK WARNING - free space: C:\\ 10239 MB (9%) WARNING|'C:\\'=96636764161B;96636764160;"
       u"102005473280;0;107374182400\r\n"},
      {{Drive(u"C:\\", 1000, 49), Drive(u"D:\\", 1000, 99)},
       byDefault,
       CheckState::kCritical,
       u"DISK CRITICAL - free space: C:\\ 0 MB (4%) CRITICAL; D:\\ 0 MB (9%) WARNING|"
       u"'C:\\'=951B;900;950;0;1000 'D:\\'=901B;900;950;0;1000\r\n"},
      {{Drive(u"C:\\", 100 * gb, 20 * gb), Drive(u"D:\\", 100 * gb, 2 * gb - 1),
        Drive(u"E:\\", 4 * gb, 2 * gb)},
       amounts,
       CheckState::kCritical,
       u"DISK CRITICAL - free space: C:\\ 20480 MB (20%); D:\\ 2047 MB (1%) CRITICAL; "
       u"E:\\ 2048 MB (50%) WARNING|"
       u"'C:\\'=85899345920B;85899345920;105226698752;0;107374182400 'D:\\'=105226698753B;"
       u"85899345920;105226698752;0;107374182400 'E:\\'=2147483648B;0;2147483648;0;4294967296\r\n"},
      // A failure is not hidden behind a drive that is well; a drive that hangs is
      // CRITICAL, one whose space is unknown UNKNOWN.
      {{Drive(u"C:\\", 1000, 500), failed, empty},
       byDefault,
       CheckState::kUnknown,
       u"DISK UNKNOWN - free space: C:\\ 0 MB (50%); G:\\ space unknown (error 21) UNKNOWN; "
       u"A:\\ no medium UNKNOWN|'C:\\'=500B;900;950;0;1000\r\n"},
      {{failed, Drive(u"C:\\", 1000, 60)},
       byDefault,
       CheckState::kWarning,
       u"DISK WARNING - free space: G:\\ space unknown (error 21) UNKNOWN; C:\\ 0 MB (6%) "
       u"WARNING|'C:\\'=940B;900;950;0;1000\r\n"},
      {{stuck, failed},
       byDefault,
       CheckState::kCritical,
       u"DISK CRITICAL - free space: S:\\ did not answer within 7 s CRITICAL; G:\\ space "
       u"unknown (error 21) UNKNOWN\r\n"},
      {{}, byDefault, CheckState::kUnknown, u"DISK UNKNOWN - no drive to check\r\n"},
  };
  for (const auto& test : cases) {
    const CheckResult result = CheckDrives(test.drives, test.thresholds, 7);
    EXPECT_EQ(testing::ToCodePage1252(result.line), testing::ToCodePage1252(test.line));
    EXPECT_EQ(result.state, test.state) << testing::ToCodePage1252(test.line);
  }
}

}  // namespace
}  // namespace brindlecap
