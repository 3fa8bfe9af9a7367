// The drive information with the real kernel32 binding, on the fixture drives of
// the test session, compared with the host's statvfs figures and Wine's wmic.
// Space figures are compared exactly on the drives that are tmpfs mounts of their
// own; on shared host file systems only the total, which does not move.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "drive_info/drive_info.h"
#include "drive_info/size_text.h"
#include "drive_info/win32/system_kernel32.h"
#include "shared/text_convert.h"
#include "shared/win32/system_text.h"
#include "support/drive_oracles.h"
#include "support/scratch_files.h"
#include "support/window_driver.h"

namespace brindlecap {
namespace {

using e2e::Narrow;
using e2e::SpaceFigures;

std::u16string Root(wchar_t letter) { return {char16_t(letter), u':', u'\\'}; }

int64_t Amount(ByteAmount value) { return value.scaled / ByteAmount::kScale; }

class DriveInfoWineTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    fixture = !e2e::Environment(L"BRINDLECAP_FIXTURE_DIR").empty();
    if (!fixture) return;
    hostSpace = e2e::ReadFixtureSpaceOracle();
    try {
      wmic = e2e::RunWmicLogicalDisks();
    } catch (const std::exception&) {
      // No answer from wmic: the test that needs it says so.
    }
  }

  void SetUp() override {
    if (!fixture) GTEST_SKIP() << "no fixture drives (BRINDLECAP_FIXTURE_DIR is not set)";
  }

  // Only inside a private mount namespace.
  bool HasExactDrive() const { return hostSpace.count('K') != 0; }

  win32::SystemKernel32 kernel32;
  win32::SystemAnsiCodePage codePage;
  win32::SystemLocale locale;
  DriveInfo info{DriveSystem{kernel32, codePage, locale}};

  static inline bool fixture = false;
  static inline std::map<wchar_t, SpaceFigures> hostSpace;
  static inline std::map<wchar_t, e2e::WmicDisk> wmic;
};

TEST_F(DriveInfoWineTest, GetDrivesListsTheLettersOfTheSystemsDriveMask) {
  std::vector<std::u16string> expected;
  const DWORD mask = ::GetLogicalDrives();
  for (int bit = 0; bit < 26; ++bit) {
    if (mask & (1u << bit)) expected.push_back(Root(static_cast<char>('A' + bit)));
  }
  const std::vector<std::u16string> drives = info.Roots().value;
  EXPECT_EQ(drives, expected);
  for (char letter : std::string("ACELMNRUZ")) {
    EXPECT_NE(std::find(drives.begin(), drives.end(), Root(letter)), drives.end()) << letter;
  }
}

TEST_F(DriveInfoWineTest, ExistsAndKindOfEveryFixtureDrive) {
  const struct {
    char letter;
    bool exists;
    const char16_t* kind;
  } cases[] = {
      {'A', false, u"Floppy"},  // a floppy drive without a disk
      {'C', true, u"Fixed"},
      {'L', true, u"Fixed"},
      {'E', true, u"Fixed"},       // an empty volume still has a medium
      {'M', false, u"Not Found"},  // a letter whose target is missing
      {'N', true, u"Remote"},
      {'U', true, u"USB Drive"},
      {'V', true, u"RAM Disk"},
      {'R', true, u""},  // Wine cannot tell CD from DVD: the probe fails quietly
      {'Z', true, u"Fixed"},
      {'K', true, u"Fixed"},
  };
  for (const auto& c : cases) {
    if (c.letter == 'K' && !HasExactDrive()) continue;
    EXPECT_EQ(info.Exists(Root(c.letter)).value, c.exists) << c.letter;
    const Answer<DriveKind> kind = info.KindName(Root(c.letter));
    EXPECT_EQ(kind.value.name, c.kind) << c.letter;
    EXPECT_FALSE(kind.failure || kind.value.probeFailure) << c.letter;
  }
}

TEST_F(DriveInfoWineTest, ExistsFindsPathsBelowARoot) {
  EXPECT_TRUE(info.Exists(u"C:\\windows").value);
  EXPECT_TRUE(info.Exists(u"C:\\windows\\").value);
  EXPECT_FALSE(info.Exists(u"C:\\no-such-entry").value);
  EXPECT_FALSE(info.Exists(u"C:\\no-such-folder\\").value);
}

TEST_F(DriveInfoWineTest, KindsVolumesAndSerialsAgreeWithWmic) {
  ASSERT_FALSE(wmic.empty()) << "wmic gave no answer";
  for (const auto& [letter, row] : wmic) {
    const std::u16string root = Root(letter);
    EXPECT_EQ(std::to_string(info.Kind(root).value), Narrow(row.driveType)) << char(letter);
    const Answer<VolumeDetails> volume = info.Volume(root);
    ASSERT_FALSE(volume.failure) << char(letter);
    EXPECT_EQ(Utf16ToAscii(volume.value.name), Narrow(row.volumeName)) << char(letter);
    EXPECT_EQ(Utf16ToAscii(volume.value.fileSystem), Narrow(row.fileSystem)) << char(letter);
    const std::string hex = Narrow(row.volumeSerialNumber);
    ASSERT_EQ(hex.size(), 8u) << char(letter);
    EXPECT_EQ(Utf16ToAscii(volume.value.serialText), hex.substr(0, 4) + "-" + hex.substr(4))
        << char(letter);
  }
}

TEST_F(DriveInfoWineTest, VolumeDetailsOfTheLabelledDrives) {
  const struct {
    char letter;
    const char16_t *volume, *fileSystem, *serial;
  } cases[] = {
      {'L', u"BRINDLE DATA", u"NTFS", u"1234-ABCD"},
      {'R', u"DISC", u"CDFS", u"0BAD-F00D"},
      {'N', u"\u0394\u0399\u039A\u03A4\u03A5\u039F", u"NTFS", u"7777-0001"},  // beyond ANSI
      // No serial file: Wine puts the letter in the top byte.
      {'E', u"", u"NTFS", u"4500-0000"},
      {'K', u"EXACT", u"NTFS", u"0000-ABC0"},
  };
  for (const auto& c : cases) {
    if (c.letter == 'K' && !HasExactDrive()) continue;
    const Answer<VolumeDetails> volume = info.Volume(Root(c.letter));
    EXPECT_FALSE(volume.failure) << c.letter;
    EXPECT_EQ(volume.value.name, c.volume) << c.letter;
    EXPECT_EQ(volume.value.fileSystem, c.fileSystem) << c.letter;
    EXPECT_EQ(volume.value.serialText, c.serial) << c.letter;
  }
}

TEST_F(DriveInfoWineTest, SpaceAgreesWithTheHost) {
  ASSERT_FALSE(hostSpace.empty()) << "no oracle.txt in the fixture folder";
  if (HasExactDrive()) {
    for (char letter : std::string("ELNRUV")) {
      EXPECT_TRUE(hostSpace.count(letter) && hostSpace.at(letter).exact) << letter << ": not exact";
    }
  }
  for (const auto& [letter, host] : hostSpace) {
    const Answer<DriveSpace> space = info.Space(Root(letter));
    ASSERT_FALSE(space.failure) << char(letter);
    const ByteAmount total = *space.value.total, free = *space.value.free, used = *space.value.used;
    const float percent = *space.value.usedPercent;
    EXPECT_EQ(Amount(total), int64_t(host.total)) << char(letter);
    EXPECT_EQ(Amount(used), Amount(total) - Amount(free)) << char(letter);
    EXPECT_GE(percent, 0.0f);
    EXPECT_LE(percent, 100.0f);
    // The free space of a shared file system moves between any two readings.
    if (!host.exact) {
      EXPECT_LE(Amount(free), Amount(total)) << char(letter);
      continue;
    }
    EXPECT_EQ(Amount(free), int64_t(host.free)) << char(letter);
    const auto listed = wmic.find(letter);
    if (listed != wmic.end()) {
      EXPECT_EQ(Narrow(listed->second.freeSpace), std::to_string(host.free)) << char(letter);
    }
  }
}

TEST_F(DriveInfoWineTest, SpaceOfTheExactDriveIsExact) {
  if (!HasExactDrive()) GTEST_SKIP() << "no exact-size drive outside a private mount namespace";
  const SpaceFigures host = hostSpace.at(L'K');
  ASSERT_EQ(host.total, 1179648u);  // 1,152 KiB
  const Answer<DriveSpace> space = info.Space(u"K:\\");
  ASSERT_FALSE(space.failure);
  const ByteAmount total = *space.value.total, free = *space.value.free, used = *space.value.used;
  const float percent = *space.value.usedPercent;
  EXPECT_EQ(Amount(total), 1179648);
  EXPECT_EQ(Amount(free), int64_t(host.free));
  EXPECT_EQ(Amount(used), int64_t(host.total - host.free));
  const double expectedPercent = double(host.total - host.free) / double(host.total) * 100.0;
  EXPECT_NEAR(percent, expectedPercent, 0.005);
  EXPECT_EQ(SizeText(total, 2, locale), u"1.12 MB");  // 1.125: half-way to the even digit
}

TEST_F(DriveInfoWineTest, DrivesWithoutAMediumFailTheSpaceQuery) {
  for (char letter : {'A', 'M'}) {
    const Answer<DriveSpace> space = info.Space(Root(letter));
    EXPECT_EQ(space.failure ? space.failure->number : 0, 3) << letter;
    EXPECT_FALSE(space.value.total || space.value.usedPercent) << letter;
  }
}

// Needs no fixture: the code page and the locale of any prefix.
TEST(SystemTextTest, AnsiCodePageKeepsNulsAndReplacesWhatItCannotHold) {
  win32::SystemAnsiCodePage codePage;
  ASSERT_EQ(::GetACP(), 1252u) << "the test expects Wine's default code page";
  const std::u16string wide(u"Donn\u00E9es\0X\u4E2D", 9);
  const std::string ansi(
      "Donn\xE9"
      "es\0X?",
      9);
  EXPECT_EQ(codePage.ToAnsi(wide), ansi);
  EXPECT_EQ(codePage.FromAnsi(ansi), std::u16string(u"Donn\u00E9es\0X?", 9));
  EXPECT_EQ(codePage.FromAnsi(std::string(255, '\0')), std::u16string(255, u'\0'));
  EXPECT_EQ(codePage.ToAnsi(u""), "");
}

TEST(SystemTextTest, LocaleGivesTheUsersDecimalSeparator) {
  // The test session runs Wine's default locale, English (United States).
  EXPECT_EQ(win32::SystemLocale().DecimalSeparator(), u".");
}

}  // namespace
}  // namespace brindlecap
