#include "drive_info/drive_info.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shared/runtime_failure.h"
#include "support/failure_number.h"
#include "support/fake_kernel32.h"
#include "support/fake_system_text.h"
#include "support/recording_message_box.h"

namespace brindlecap {
namespace {

using testing::FailureNumber;

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using testing::FakeCodePage;
using testing::FakeKernel32;
using testing::FakeLocale;
using testing::ProbeAnswer;
using testing::RecordingMessageBox;
namespace k = win32_constant;

class DriveInfoTest : public ::testing::Test {
 protected:
  FakeKernel32 machine;
  FakeCodePage codePage;
  FakeLocale locale;
  RecordingMessageBox messages;
  DriveInfo info{DriveSystem{machine, codePage, locale, messages}};
};

// --- UnQualifyPath -----------------------------------------------------------

TEST_F(DriveInfoTest, UnQualifyPathTrimsSpacesAndDropsOneTrailingBackslash) {
  const struct {
    std::u16string in, out;
  } cases[] = {
      {u"C:\\", u"C:"},
      {u"  C:\\  ", u"C:"},
      {u"C:\\\\", u"C:\\"},
      {u"\\", u""},
      {u"C:", u"C:"},
      {u" D: ", u"D:"},
      {u"", u""},
      {u"   ", u""},
      {u"\tC:\\", u"\tC:"},
      {u"C:\\\t", u"C:\\\t"},
      {u"C:\\dir\\", u"C:\\dir"},
  };
  for (const auto& c : cases) EXPECT_EQ(info.UnQualifyPath(c.in), c.out);
}

// --- GetDrives ---------------------------------------------------------------

TEST_F(DriveInfoTest, GetDrivesListsRootsInTheSystemsOrder) {
  machine.AddDrive('D', k::kDriveCdrom);
  machine.AddDrive('A', k::kDriveRemovable);
  machine.AddDrive('C', k::kDriveFixed);
  std::vector<std::u16string> drives{u"stale"};
  info.GetDrives(drives);
  EXPECT_THAT(drives, ElementsAre(u"A:\\", u"C:\\", u"D:\\"));
  const auto calls = machine.CallsOf("GetLogicalDriveStringsA");
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].length, 255u);
  EXPECT_TRUE(calls[0].buffersZeroed);
}

TEST_F(DriveInfoTest, GetDrivesHandlesAllTwentySixLetters) {
  std::vector<std::u16string> expected;
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    machine.AddDrive(letter, k::kDriveFixed);
    expected.push_back(std::u16string{char16_t(letter), u':', u'\\'});
  }
  std::vector<std::u16string> drives;
  info.GetDrives(drives);
  EXPECT_EQ(drives, expected);
}

TEST_F(DriveInfoTest, GetDrivesGivesOneEmptyEntryWithoutDrives) {
  std::vector<std::u16string> drives;
  info.GetDrives(drives);  // no drive at all: the system writes a lone NUL
  EXPECT_THAT(drives, ElementsAre(u""));

  machine.AddDrive('C', k::kDriveFixed);
  machine.driveStringsError = 87;
  info.GetDrives(drives);
  EXPECT_THAT(drives, ElementsAre(u""));
}

TEST_F(DriveInfoTest, GetDrivesCutsAfterTheNulThatFollowsTheLastBackslash) {
  const struct {
    std::string written;
    std::vector<std::u16string> expected;
  } cases[] = {
      // Stray text after the last root is cut off with everything behind it.
      {std::string("C:\\\0junk\0\0", 11), {u"C:\\"}},
      {std::string("C:\\\0D:\\\0", 8) + "tail", {u"C:\\", u"D:\\"}},
      // Texts go through the code page.
      {std::string("\xC4:\\\0\0", 5), {u"\u00C4:\\"}},
      // A list without a backslash keeps only its first character.
      {std::string("\0XY\0\0", 5), {u""}},
  };
  for (const auto& c : cases) {
    machine.driveStrings = c.written;
    std::vector<std::u16string> drives;
    info.GetDrives(drives);
    EXPECT_EQ(drives, c.expected) << c.written;
  }
}

// --- Exists ------------------------------------------------------------------

TEST_F(DriveInfoTest, ExistsSearchesInsideARootAndCountsAnEmptyVolumeAsPresent) {
  const struct {
    const char* name;
    void (*setUp)(testing::FakeDrive&);
    bool present;
  } cases[] = {
      {"entries", [](testing::FakeDrive&) {}, true},
      {"empty volume", [](testing::FakeDrive& d) { d.EmptyRoot(); }, true},
      {"no more files", [](testing::FakeDrive& d) { d.FailSearch(k::kErrorNoMoreFiles); }, true},
      {"not ready", [](testing::FakeDrive& d) { d.NotReady(); }, false},
      {"path not found", [](testing::FakeDrive& d) { d.FailSearch(k::kErrorPathNotFound); }, false},
      {"access denied", [](testing::FakeDrive& d) { d.FailSearch(k::kErrorAccessDenied); }, false},
      {"nameless entry",
       [](testing::FakeDrive& d) {
         d.Entries({{0, ""}});
       },
       false},
  };
  for (const auto& c : cases) {
    FakeKernel32 fresh;
    DriveInfo probe{DriveSystem{fresh, codePage, locale, messages}};
    c.setUp(fresh.AddDrive('E', k::kDriveRemovable));
    EXPECT_EQ(probe.Exists(u"E:\\"), c.present) << c.name;
    const auto searches = fresh.CallsOf("FindFirstEntryA");
    ASSERT_EQ(searches.size(), 1u);
    EXPECT_EQ(searches[0].text, "E:\\*");
  }
  EXPECT_FALSE(info.Exists(u"Q:\\"));  // no such drive
}

TEST_F(DriveInfoTest, ExistsFindsAPathItselfAndMissingPathsAreAbsent) {
  machine.AddDrive('C', k::kDriveFixed).EmptyRoot();
  machine.AddPath("C:\\boot.ini", k::kFileAttributeHidden | k::kFileAttributeSystem);
  machine.AddPath("C:\\Windows", k::kFileAttributeDirectory);
  EXPECT_TRUE(info.Exists(u"C:\\boot.ini"));
  EXPECT_TRUE(info.Exists(u"C:\\Windows"));
  EXPECT_TRUE(info.Exists(u"C:\\Windows\\"));
  // Outside a root "file not found" means just that.
  EXPECT_FALSE(info.Exists(u"C:\\missing.txt"));
  EXPECT_FALSE(info.Exists(u"C:\\Missing\\"));
  EXPECT_FALSE(info.Exists(u""));
  EXPECT_THAT(machine.CallNames(), ::testing::Each(std::string("FindFirstEntryA")));
  EXPECT_EQ(machine.CallsOf("FindFirstEntryA")[0].text, "C:\\boot.ini");
  EXPECT_EQ(machine.CallsOf("FindFirstEntryA")[2].text, "C:\\Windows\\*");
}

TEST_F(DriveInfoTest, ExistsNeverRaises) {
  machine.AddDrive('C', k::kDriveFixed);
  machine.ThrowOn("FindFirstEntryA", OverflowFailure());
  EXPECT_FALSE(info.Exists(u"C:\\"));
  EXPECT_TRUE(messages.boxes.empty());
}

// --- GetDriveType / GetDriveTypeName -----------------------------------------

TEST_F(DriveInfoTest, GetDriveTypeReturnsTheSystemsCode) {
  machine.AddDrive('N', k::kDriveRemote);
  EXPECT_EQ(info.GetDriveType(u"N:\\"), 4);
  EXPECT_EQ(info.GetDriveType(u"Q:\\"), 1);
  EXPECT_EQ(machine.CallsOf("GetDriveTypeA").at(0).text, "N:\\");
  // A code beyond 16 bits is the runtime's overflow, passed to the caller.
  machine.AddDrive('X', 70000);
  EXPECT_THROW(info.GetDriveType(u"X:\\"), RuntimeFailure);
  EXPECT_THROW(info.GetDriveTypeName(u"X:\\"), RuntimeFailure);
}

TEST_F(DriveInfoTest, GetDriveTypeNameMapsEveryKind) {
  const struct {
    char letter;
    uint32_t kind;
    std::u16string root, name;
  } cases[] = {
      {'A', k::kDriveRemovable, u"A:\\", u"Floppy"},
      {'B', k::kDriveRemovable, u"B:\\", u"Floppy"},
      {'A', k::kDriveRemovable, u"a:\\", u"USB Drive"},  // the letter test is case-sensitive
      {'E', k::kDriveRemovable, u"E:\\", u"USB Drive"},
      {'C', k::kDriveUnknown, u"C:\\", u"Unknown"},
      {'C', k::kDriveNoRootDir, u"C:\\", u"Not Found"},
      {'C', k::kDriveFixed, u"C:\\", u"Fixed"},
      {'N', k::kDriveRemote, u"N:\\", u"Remote"},
      {'R', k::kDriveRamdisk, u"R:\\", u"RAM Disk"},
      {'X', 7, u"X:\\", u""},
      {'X', 32767, u"X:\\", u""},
  };
  for (const auto& c : cases) {
    FakeKernel32 fresh;
    DriveInfo probe{DriveSystem{fresh, codePage, locale, messages}};
    fresh.AddDrive(c.letter, c.kind);
    EXPECT_EQ(probe.GetDriveTypeName(c.root), c.name) << c.letter << " kind " << c.kind;
  }
  EXPECT_EQ(info.GetDriveTypeName(u"Q:\\"), u"Not Found");
  EXPECT_TRUE(messages.boxes.empty());
}

// The optical kind comes from the device probe.
TEST_F(DriveInfoTest, OpticalDriveKindComesFromTheDeviceType) {
  const struct {
    ProbeAnswer answer;
    uint32_t deviceTypeOrError;
    std::u16string name;
  } cases[] = {
      {ProbeAnswer::kDeviceType, k::kFileDeviceCdRom, u"CD-ROM"},
      {ProbeAnswer::kDeviceType, k::kFileDeviceDvd, u"DVD-ROM"},
      {ProbeAnswer::kDeviceType, 7, u""},
      {ProbeAnswer::kDeviceType, 0, u""},
      {ProbeAnswer::kRefusedOnReadWrite, k::kErrorAccessDenied, u"CD-ROM"},
      // An administrator's read/write open of an empty drive: not ready.
      {ProbeAnswer::kRefusedOnReadWrite, k::kErrorNotReady, u"CD-ROM"},
      {ProbeAnswer::kRefusedOnReadWrite, k::kErrorFileNotFound, u""},
      {ProbeAnswer::kOpenFails, k::kErrorFileNotFound, u""},
      {ProbeAnswer::kOpenFails, k::kErrorAccessDenied, u""},
      {ProbeAnswer::kIoctlFails, 50, u""},
  };
  for (const auto& c : cases) {
    FakeKernel32 fresh;
    DriveInfo probe{DriveSystem{fresh, codePage, locale, messages}};
    testing::FakeDrive& drive = fresh.AddDrive('D', k::kDriveCdrom);
    if (c.answer == ProbeAnswer::kDeviceType) {
      drive.DeviceType(c.deviceTypeOrError);
    } else {
      drive.Probe(c.answer, c.deviceTypeOrError);
    }
    EXPECT_EQ(probe.GetDriveTypeName(u"D:\\"), c.name)
        << int(c.answer) << " " << c.deviceTypeOrError;
    EXPECT_EQ(fresh.OpenHandleCount(), 0u) << "every opened device is closed";
  }
  EXPECT_TRUE(messages.boxes.empty());
}

TEST_F(DriveInfoTest, ProbeOpensTheUpperCaseDeviceAndAsksForMediaTypes) {
  machine.AddDrive('D', k::kDriveCdrom).DeviceType(k::kFileDeviceDvd);
  for (const std::u16string root : {u"D:\\", u"d:\\", u"D:"}) {
    machine.ClearCalls();
    EXPECT_EQ(info.GetDriveTypeName(root), u"DVD-ROM");
    EXPECT_THAT(machine.CallNames(), ElementsAre("GetDriveTypeA", "GetVersionExA", "CreateFileA",
                                                 "DeviceIoControl", "CloseHandle"));
    EXPECT_EQ(machine.CallsOf("GetVersionExA")[0].versionSize, 148u);
    const auto open = machine.CallsOf("CreateFileA")[0];
    EXPECT_EQ(open.text, "\\\\.\\D:");
    EXPECT_EQ(open.access, 0xC0000000u);
    EXPECT_EQ(open.share, 3u);
    EXPECT_EQ(open.disposition, k::kOpenExisting);
    EXPECT_EQ(open.flags, 0u);
    const auto ioctl = machine.CallsOf("DeviceIoControl")[0];
    EXPECT_EQ(ioctl.handle, open.handle);
    EXPECT_EQ(ioctl.controlCode, 0x002D0C04u);
    EXPECT_TRUE(ioctl.inputIsZero);
    EXPECT_EQ(ioctl.length, 0u);
    EXPECT_EQ(ioctl.secondLength, 360u);
    EXPECT_TRUE(ioctl.buffersZeroed);
    EXPECT_EQ(machine.CallsOf("CloseHandle")[0].handle, open.handle);
  }
}

TEST_F(DriveInfoTest, ProbeRetriesForQueriesOnlyWhenReadWriteIsRefused) {
  machine.AddDrive('D', k::kDriveCdrom).Probe(ProbeAnswer::kRefusedOnReadWrite);
  EXPECT_EQ(info.GetDriveTypeName(u"D:\\"), u"CD-ROM");
  const auto opens = machine.CallsOf("CreateFileA");
  ASSERT_EQ(opens.size(), 2u);
  EXPECT_EQ(opens[0].access, 0xC0000000u);
  EXPECT_EQ(opens[1].access, 0u);
  EXPECT_EQ(opens[1].text, "\\\\.\\D:");
  EXPECT_EQ(machine.CountOf("CloseHandle"), 1);

  // Refused both times, or failing for another reason: no second try, nothing to close.
  for (uint32_t error : {k::kErrorAccessDenied, k::kErrorNotReady, k::kErrorFileNotFound}) {
    FakeKernel32 fresh;
    DriveInfo probe{DriveSystem{fresh, codePage, locale, messages}};
    fresh.AddDrive('D', k::kDriveCdrom).Probe(ProbeAnswer::kOpenFails, error);
    EXPECT_EQ(probe.GetDriveTypeName(u"D:\\"), u"");
    EXPECT_EQ(fresh.CountOf("CreateFileA"), error == k::kErrorFileNotFound ? 1 : 2);
    EXPECT_EQ(fresh.CountOf("DeviceIoControl"), 0);
    EXPECT_EQ(fresh.CountOf("CloseHandle"), 0);
  }
}

TEST_F(DriveInfoTest, ProbeIsSkippedSilentlyBeforeWindows2000) {
  const struct {
    uint32_t platform, major;
    int32_t callResult;
    bool probes;
  } cases[] = {
      {2, 5, 1, true},  {2, 6, 1, true},  {2, 10, 1, true}, {2, 4, 1, false}, {1, 4, 1, false},
      {1, 5, 1, false}, {0, 5, 1, false}, {2, 5, 0, false}, {2, 5, 2, false},  // only a result of
                                                                               // exactly 1 counts
                                                                               // as success
  };
  for (const auto& c : cases) {
    FakeKernel32 fresh;
    DriveInfo probe{DriveSystem{fresh, codePage, locale, messages}};
    fresh.AddDrive('D', k::kDriveCdrom).DeviceType(k::kFileDeviceCdRom);
    fresh.SetVersion(c.platform, c.major);
    fresh.versionCallResult = c.callResult;
    EXPECT_EQ(probe.GetDriveTypeName(u"D:\\"), c.probes ? u"CD-ROM" : u"")
        << c.platform << "." << c.major << " result " << c.callResult;
    EXPECT_EQ(fresh.CountOf("CreateFileA"), c.probes ? 1 : 0);
  }
  EXPECT_TRUE(messages.boxes.empty());
}

TEST_F(DriveInfoTest, ProbeFailureIsShownAndTheDeviceStillClosed) {
  const struct {
    const char* failingCall;
    RuntimeFailure failure;
    int closes;
  } cases[] = {
      {"DeviceIoControl", OverflowFailure(), 1},
      {"CreateFileA", InvalidArgumentFailure(), 0},
      {"GetVersionExA", RuntimeFailure(53, u"File not found"), 0},
  };
  for (const auto& c : cases) {
    FakeKernel32 fresh;
    RecordingMessageBox boxes;
    DriveInfo probe{DriveSystem{fresh, codePage, locale, boxes}};
    fresh.AddDrive('D', k::kDriveCdrom).DeviceType(k::kFileDeviceCdRom);
    fresh.ThrowOn(c.failingCall, c.failure);
    EXPECT_EQ(probe.GetDriveTypeName(u"D:\\"), u"") << c.failingCall;
    ASSERT_EQ(boxes.boxes.size(), 1u) << c.failingCall;
    EXPECT_EQ(boxes.boxes[0].text, c.failure.Description());
    EXPECT_EQ(boxes.boxes[0].title, u"Harrowmede - GetMediaType");
    EXPECT_EQ(boxes.boxes[0].icon, MessageBoxIcon::kCriticalStop);
    EXPECT_EQ(fresh.CountOf("CloseHandle"), c.closes) << c.failingCall;
    EXPECT_EQ(fresh.OpenHandleCount(), 0u);
  }
}

// --- GetDriveInfo ------------------------------------------------------------

TEST_F(DriveInfoTest, GetDriveInfoReadsNameFileSystemAndSerial) {
  machine.AddDrive('C', k::kDriveFixed).Label("System").FileSystem("NTFS").Serial(0x1234ABCD);
  std::u16string volume, fileSystem, serial;
  EXPECT_EQ(info.GetDriveInfo(u"C:\\", volume, fileSystem, serial), 0);
  EXPECT_EQ(volume, u"System");
  EXPECT_EQ(fileSystem, u"NTFS");
  EXPECT_EQ(serial, u"1234-ABCD");
  const auto call = machine.CallsOf("GetVolumeInformationA").at(0);
  EXPECT_EQ(call.text, "C:\\");
  EXPECT_EQ(call.length, 255u);
  EXPECT_EQ(call.secondLength, 255u);
  EXPECT_TRUE(call.buffersZeroed);
}

TEST_F(DriveInfoTest, GetDriveInfoTextsGoThroughTheCodePage) {
  machine.AddDrive('C', k::kDriveFixed)
      .Label(
          "Donn\xE9"
          "es")
      .FileSystem("")
      .Serial(1);
  std::u16string volume, fileSystem, serial;
  EXPECT_EQ(info.GetDriveInfo(u"C:\\", volume, fileSystem, serial), 0);
  EXPECT_EQ(volume, u"Donn\u00E9es");
  EXPECT_EQ(fileSystem, u"");
  EXPECT_EQ(serial, u"0000-0001");
}

TEST_F(DriveInfoTest, SerialTextHasEightUpperCaseDigitsOrNoSn) {
  const struct {
    uint32_t serial;
    std::u16string text;
  } cases[] = {
      {0x1234ABCD, u"1234-ABCD"}, {0xABC, u"0000-0ABC"},
      {0xFFFFFFFF, u"FFFF-FFFF"}, {0, u"No SN"},
      {1, u"0000-0001"},          {0x80000000, u"8000-0000"},
      {0x0BADF00D, u"0BAD-F00D"}, {0x10000, u"0001-0000"},
  };
  for (const auto& c : cases) {
    machine.AddDrive('C', k::kDriveFixed).Serial(c.serial);
    std::u16string volume, fileSystem, serial = u"previous";
    EXPECT_EQ(info.GetDriveInfo(u"C:\\", volume, fileSystem, serial), 0);
    EXPECT_EQ(serial, c.text) << std::hex << c.serial;
  }
}

TEST_F(DriveInfoTest, GetDriveInfoFailureLeavesNulBuffersAndTheOldSerial) {
  const std::u16string nuls(255, u'\0');
  const struct {
    uint32_t error;
    int16_t status;
  } cases[] = {
      {k::kErrorNotReady, 21}, {k::kErrorAccessDenied, 5}, {32767, 32767}, {32768, 6}, {1392, 1392},
      {0xFFFFFFFF, 6}};
  for (const auto& c : cases) {
    machine.AddDrive('A', k::kDriveRemovable).FailVolume(c.error);
    std::u16string volume = u"v", fileSystem = u"f", serial = u"1234-ABCD";
    EXPECT_EQ(info.GetDriveInfo(u"A:\\", volume, fileSystem, serial), c.status) << c.error;
    EXPECT_EQ(volume, nuls);
    EXPECT_EQ(fileSystem, nuls);
    EXPECT_EQ(serial, u"1234-ABCD");
  }
}

TEST_F(DriveInfoTest, GetDriveInfoTurnsRuntimeFailuresIntoTheStatus) {
  machine.AddDrive('C', k::kDriveFixed);
  const struct {
    RuntimeFailure failure;
    int16_t status;
  } cases[] = {{InvalidArgumentFailure(), 5},
               {ObjectNotSetFailure(), 91},
               {IndexOutOfBoundsFailure(), 6}};  // 35600 does not fit the status
  for (const auto& c : cases) {
    machine.ThrowOn("GetVolumeInformationA", c.failure);
    std::u16string volume, fileSystem, serial = u"kept";
    EXPECT_EQ(info.GetDriveInfo(u"C:\\", volume, fileSystem, serial), c.status);
    EXPECT_EQ(volume, std::u16string(255, u'\0'));
    EXPECT_EQ(serial, u"kept");
  }
  EXPECT_TRUE(messages.boxes.empty());
}

// --- GetDriveSpace -----------------------------------------------------------

constexpr Currency kUnset = Currency::FromScaled(-123);
constexpr float kUnsetPercent = -1.0f;

struct Space {
  Currency total = kUnset, free = kUnset, used = kUnset;
  float percent = kUnsetPercent;
};

Currency Bytes(int64_t amount) { return Currency::FromScaled(amount * Currency::kScale); }

TEST_F(DriveInfoTest, GetDriveSpaceReportsTotalFreeUsedAndPercentage) {
  const struct {
    uint64_t total, free, callerFree;
    int64_t used;
    double percent;
  } cases[] = {
      {1000, 250, 250, 750, 75.0},
      {500107862016, 0, 0, 500107862016, 100.0},  // full
      {4096, 4096, 4096, 0, 0.0},                 // empty
      {3, 1, 1, 2, 66.67},
      {800, 799, 799, 1, 0.12},  // 0.125 exactly: half-way goes to the even digit
      {800, 797, 797, 3, 0.38},  // 0.375
      // A quota: the caller may use less than the volume has free.
      {1000, 400, 100, 600, 60.0},
      // The volume's free space exceeds the total the caller sees: what the
      // caller may still use counts, never below 0.
      {1000, 5000, 300, 700, 70.0},
      {1000, 5000, 1200, 0, 0.0},
      {922337203685477, 0, 0, 922337203685477, 100.0},  // the largest currency amount
  };
  for (const auto& c : cases) {
    machine.AddDrive('C', k::kDriveFixed).Space(c.total, c.free, c.callerFree);
    Space s;
    EXPECT_EQ(info.GetDriveSpace(u"C:\\", s.total, s.free, s.used, s.percent), 0);
    EXPECT_EQ(s.total, Bytes(c.total)) << c.total;
    EXPECT_EQ(s.free, Bytes(c.free)) << c.total;
    EXPECT_EQ(s.used, Bytes(c.used)) << c.total << " " << c.free;
    EXPECT_EQ(s.percent, static_cast<float>(c.percent)) << c.total << " " << c.free;
  }
  EXPECT_EQ(machine.CallsOf("GetDiskFreeSpaceExA").at(0).text, "C:\\");
}

TEST_F(DriveInfoTest, GetDriveSpaceFailureLeavesEveryOutput) {
  const struct {
    uint32_t error;
    int16_t status;
  } cases[] = {{k::kErrorNotReady, 21}, {k::kErrorPathNotFound, 3}, {40000, 6}};
  for (const auto& c : cases) {
    machine.AddDrive('A', k::kDriveRemovable).FailSpace(c.error);
    Space s;
    EXPECT_EQ(info.GetDriveSpace(u"A:\\", s.total, s.free, s.used, s.percent), c.status);
    EXPECT_EQ(s.total, kUnset);
    EXPECT_EQ(s.free, kUnset);
    EXPECT_EQ(s.used, kUnset);
    EXPECT_EQ(s.percent, kUnsetPercent);
  }
}

TEST_F(DriveInfoTest, GetDriveSpaceOfAnEmptyTotalIsAnOverflow) {
  machine.AddDrive('C', k::kDriveFixed).Space(0, 0);
  Space s;
  EXPECT_EQ(info.GetDriveSpace(u"C:\\", s.total, s.free, s.used, s.percent), 6);
  EXPECT_EQ(s.total, Bytes(0));
  EXPECT_EQ(s.free, Bytes(0));
  EXPECT_EQ(s.used, Bytes(0));
  EXPECT_EQ(s.percent, kUnsetPercent);
}

TEST_F(DriveInfoTest, GetDriveSpaceLeavesAnAmountTooLargeForCurrency) {
  const uint64_t tooLarge = 922337203685478;
  machine.AddDrive('C', k::kDriveFixed).Space(tooLarge, 1000);
  Space s;
  EXPECT_EQ(info.GetDriveSpace(u"C:\\", s.total, s.free, s.used, s.percent), 6);
  EXPECT_EQ(s.total, kUnset);
  EXPECT_EQ(s.free, Bytes(1000));  // the amount that fits is still written
  EXPECT_EQ(s.used, kUnset);
  EXPECT_EQ(s.percent, kUnsetPercent);

  machine.AddDrive('C', k::kDriveFixed).Space(1000, UINT64_MAX, 10);
  Space t;
  EXPECT_EQ(info.GetDriveSpace(u"C:\\", t.total, t.free, t.used, t.percent), 6);
  EXPECT_EQ(t.total, Bytes(1000));
  EXPECT_EQ(t.free, kUnset);
  EXPECT_EQ(t.used, kUnset);
  EXPECT_EQ(t.percent, kUnsetPercent);
}

// --- ParseSize through the class ---------------------------------------------

TEST_F(DriveInfoTest, ParseSizeRefusesNegativeDecimalPlaces) {
  const int16_t roundBy = -1;
  EXPECT_EQ(FailureNumber([&] { info.ParseSize(Bytes(1024), roundBy); }),
            error_number::kInvalidArgument);
}

}  // namespace
}  // namespace brindlecap
