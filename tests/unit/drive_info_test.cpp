#include "drive_info/drive_info.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shared/runtime_failure.h"
#include "support/fake_kernel32.h"
#include "support/fake_system_text.h"

namespace brindlecap {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using testing::FakeCodePage;
using testing::FakeKernel32;
using testing::FakeLocale;
using testing::ProbeAnswer;
namespace k = win32_constant;

class DriveInfoTest : public ::testing::Test {
 protected:
  FakeKernel32 machine;
  FakeCodePage codePage;
  FakeLocale locale;
  DriveInfo info{DriveSystem{machine, codePage, locale}};
};

// The failure's number, or 0 for a query that answered.
template <class Value>
int32_t FailureOf(const Answer<Value>& answer) {
  return answer.failure ? answer.failure->number : 0;
}

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

// --- Roots -------------------------------------------------------------------

TEST_F(DriveInfoTest, RootsInTheSystemsOrder) {
  machine.AddDrive('D', k::kDriveCdrom);
  machine.AddDrive('A', k::kDriveRemovable);
  machine.AddDrive('C', k::kDriveFixed);
  EXPECT_THAT(info.Roots().value, ElementsAre(u"A:\\", u"C:\\", u"D:\\"));
  const auto calls = machine.CallsOf("GetLogicalDriveStringsA");
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].length, 255u);
  EXPECT_TRUE(calls[0].buffersZeroed);
}

TEST_F(DriveInfoTest, RootsOfAllTwentySixLetters) {
  std::vector<std::u16string> expected;
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    machine.AddDrive(letter, k::kDriveFixed);
    expected.push_back(std::u16string{char16_t(letter), u':', u'\\'});
  }
  EXPECT_EQ(info.Roots().value, expected);
}

TEST_F(DriveInfoTest, RootsAreOneEmptyEntryWithoutDrives) {
  // No drive at all: the system writes a lone NUL.
  EXPECT_THAT(info.Roots().value, ElementsAre(u""));

  machine.AddDrive('C', k::kDriveFixed);
  machine.driveStringsError = 87;
  EXPECT_THAT(info.Roots().value, ElementsAre(u""));
  machine.ThrowOn("GetLogicalDriveStringsA", RuntimeFailure(51, u"Internal error"));
  const auto failed = info.Roots();
  EXPECT_EQ(FailureOf(failed), 51);
  EXPECT_EQ(failed.failure->description, u"Internal error");
}

TEST_F(DriveInfoTest, RootsEndAtTheNulThatFollowsTheLastBackslash) {
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
    EXPECT_EQ(info.Roots().value, c.expected) << c.written;
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
    DriveInfo probe{DriveSystem{fresh, codePage, locale}};
    c.setUp(fresh.AddDrive('E', k::kDriveRemovable));
    EXPECT_EQ(probe.Exists(u"E:\\").value, c.present) << c.name;
    const auto searches = fresh.CallsOf("FindFirstEntryA");
    ASSERT_EQ(searches.size(), 1u);
    EXPECT_EQ(searches[0].text, "E:\\*");
  }
  EXPECT_FALSE(info.Exists(u"Q:\\").value);  // no such drive
}

TEST_F(DriveInfoTest, ExistsFindsAPathItselfAndMissingPathsAreAbsent) {
  machine.AddDrive('C', k::kDriveFixed).EmptyRoot();
  machine.AddPath("C:\\boot.ini", k::kFileAttributeHidden | k::kFileAttributeSystem);
  machine.AddPath("C:\\Windows", k::kFileAttributeDirectory);
  EXPECT_TRUE(info.Exists(u"C:\\boot.ini").value);
  EXPECT_TRUE(info.Exists(u"C:\\Windows").value);
  EXPECT_TRUE(info.Exists(u"C:\\Windows\\").value);
  // Outside a root "file not found" means just that.
  EXPECT_FALSE(info.Exists(u"C:\\missing.txt").value);
  EXPECT_FALSE(info.Exists(u"C:\\Missing\\").value);
  EXPECT_FALSE(info.Exists(u"").value);
  EXPECT_THAT(machine.CallNames(), ::testing::Each(std::string("FindFirstEntryA")));
  EXPECT_EQ(machine.CallsOf("FindFirstEntryA")[0].text, "C:\\boot.ini");
  EXPECT_EQ(machine.CallsOf("FindFirstEntryA")[2].text, "C:\\Windows\\*");
}

TEST_F(DriveInfoTest, ExistsAnswersAFailureAsAbsent) {
  machine.AddDrive('C', k::kDriveFixed);
  machine.ThrowOn("FindFirstEntryA", OverflowFailure());
  const auto answer = info.Exists(u"C:\\");
  EXPECT_FALSE(answer.value);
  EXPECT_EQ(FailureOf(answer), error_number::kOverflow);
}

// --- Kind / KindName ---------------------------------------------------------

TEST_F(DriveInfoTest, KindIsTheSystemsCode) {
  machine.AddDrive('N', k::kDriveRemote);
  EXPECT_EQ(info.Kind(u"N:\\").value, 4);
  EXPECT_EQ(info.Kind(u"Q:\\").value, 1);
  EXPECT_EQ(machine.CallsOf("GetDriveTypeA").at(0).text, "N:\\");
  // A code beyond 16 bits is the runtime's overflow, and leaves the kind nameless.
  machine.AddDrive('X', 70000);
  EXPECT_EQ(FailureOf(info.Kind(u"X:\\")), error_number::kOverflow);
  const auto name = info.KindName(u"X:\\");
  EXPECT_EQ(name.failure->description, u"Overflow");
  EXPECT_EQ(name.value.name, u"");
}

TEST_F(DriveInfoTest, KindNameOfEveryKind) {
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
    DriveInfo probe{DriveSystem{fresh, codePage, locale}};
    fresh.AddDrive(c.letter, c.kind);
    const auto kind = probe.KindName(c.root);
    EXPECT_EQ(kind.value.name, c.name) << c.letter << " kind " << c.kind;
    EXPECT_EQ(kind.value.code, static_cast<int16_t>(c.kind));
    EXPECT_FALSE(kind.failure);
  }
  EXPECT_EQ(info.KindName(u"Q:\\").value.name, u"Not Found");
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
    DriveInfo probe{DriveSystem{fresh, codePage, locale}};
    testing::FakeDrive& drive = fresh.AddDrive('D', k::kDriveCdrom);
    if (c.answer == ProbeAnswer::kDeviceType) {
      drive.DeviceType(c.deviceTypeOrError);
    } else {
      drive.Probe(c.answer, c.deviceTypeOrError);
    }
    EXPECT_EQ(probe.KindName(u"D:\\").value.name, c.name)
        << int(c.answer) << " " << c.deviceTypeOrError;
    EXPECT_EQ(fresh.OpenHandleCount(), 0u) << "every opened device is closed";
  }
}

TEST_F(DriveInfoTest, ProbeOpensTheUpperCaseDeviceAndAsksForMediaTypes) {
  machine.AddDrive('D', k::kDriveCdrom).DeviceType(k::kFileDeviceDvd);
  for (const std::u16string root : {u"D:\\", u"d:\\", u"D:"}) {
    machine.ClearCalls();
    EXPECT_EQ(info.KindName(root).value.name, u"DVD-ROM");
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
  EXPECT_EQ(info.KindName(u"D:\\").value.name, u"CD-ROM");
  const auto opens = machine.CallsOf("CreateFileA");
  ASSERT_EQ(opens.size(), 2u);
  EXPECT_EQ(opens[0].access, 0xC0000000u);
  EXPECT_EQ(opens[1].access, 0u);
  EXPECT_EQ(opens[1].text, "\\\\.\\D:");
  EXPECT_EQ(machine.CountOf("CloseHandle"), 1);

  // Refused both times, or failing for another reason: no second try, nothing to close.
  for (uint32_t error : {k::kErrorAccessDenied, k::kErrorNotReady, k::kErrorFileNotFound}) {
    FakeKernel32 fresh;
    DriveInfo probe{DriveSystem{fresh, codePage, locale}};
    fresh.AddDrive('D', k::kDriveCdrom).Probe(ProbeAnswer::kOpenFails, error);
    EXPECT_EQ(probe.KindName(u"D:\\").value.name, u"");
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
    DriveInfo probe{DriveSystem{fresh, codePage, locale}};
    fresh.AddDrive('D', k::kDriveCdrom).DeviceType(k::kFileDeviceCdRom);
    fresh.SetVersion(c.platform, c.major);
    fresh.versionCallResult = c.callResult;
    EXPECT_EQ(probe.KindName(u"D:\\").value.name, c.probes ? u"CD-ROM" : u"")
        << c.platform << "." << c.major << " result " << c.callResult;
    EXPECT_EQ(fresh.CountOf("CreateFileA"), c.probes ? 1 : 0);
  }
}

TEST_F(DriveInfoTest, ProbeFailureIsAnsweredAndTheDeviceStillClosed) {
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
    DriveInfo probe{DriveSystem{fresh, codePage, locale}};
    fresh.AddDrive('D', k::kDriveCdrom).DeviceType(k::kFileDeviceCdRom);
    fresh.ThrowOn(c.failingCall, c.failure);
    const auto kind = probe.KindName(u"D:\\");
    EXPECT_EQ(kind.value.name, u"") << c.failingCall;
    EXPECT_EQ(kind.value.code, k::kDriveCdrom);
    EXPECT_FALSE(kind.failure) << "the kind itself was answered";
    ASSERT_TRUE(kind.value.probeFailure) << c.failingCall;
    EXPECT_EQ(kind.value.probeFailure->description, c.failure.Description());
    EXPECT_EQ(fresh.CountOf("CloseHandle"), c.closes) << c.failingCall;
    EXPECT_EQ(fresh.OpenHandleCount(), 0u);
  }
}

// --- Volume ------------------------------------------------------------------

TEST_F(DriveInfoTest, VolumeNameFileSystemAndSerial) {
  machine.AddDrive('C', k::kDriveFixed).Label("System").FileSystem("NTFS").Serial(0x1234ABCD);
  const auto volume = info.Volume(u"C:\\");
  EXPECT_FALSE(volume.failure);
  EXPECT_EQ(volume.value.name, u"System");
  EXPECT_EQ(volume.value.fileSystem, u"NTFS");
  EXPECT_EQ(volume.value.serialText, u"1234-ABCD");
  EXPECT_EQ(volume.value.serialNumber, 0x1234ABCDu);
  const auto call = machine.CallsOf("GetVolumeInformationA").at(0);
  EXPECT_EQ(call.text, "C:\\");
  EXPECT_EQ(call.length, 255u);
  EXPECT_EQ(call.secondLength, 255u);
  EXPECT_TRUE(call.buffersZeroed);
}

TEST_F(DriveInfoTest, VolumeTextsGoThroughTheCodePage) {
  machine.AddDrive('C', k::kDriveFixed)
      .Label(
          "Donn\xE9"
          "es")
      .FileSystem("")
      .Serial(1);
  const auto volume = info.Volume(u"C:\\");
  EXPECT_EQ(volume.value.name, u"Donn\u00E9es");
  EXPECT_EQ(volume.value.fileSystem, u"");
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
    EXPECT_EQ(info.Volume(u"C:\\").value.serialText, c.text) << std::hex << c.serial;
  }
}

// A failed call answers the system's code; a failure met on the way, its number.
TEST_F(DriveInfoTest, VolumeFailureIsTheCodeOrTheFailureAndShowsNothing) {
  for (uint32_t error : {k::kErrorNotReady, k::kErrorAccessDenied, 32768u, 1392u, 0xFFFFFFFFu}) {
    machine.AddDrive('A', k::kDriveRemovable).FailVolume(error).Label("v").Serial(7);
    const auto volume = info.Volume(u"A:\\");
    EXPECT_EQ(FailureOf(volume), static_cast<int32_t>(error));
    EXPECT_EQ(volume.value.name, u"");
    EXPECT_EQ(volume.value.serialText, u"");
    EXPECT_EQ(volume.value.serialNumber, 0u);
  }
  machine.AddDrive('C', k::kDriveFixed);
  for (const RuntimeFailure& failure :
       {InvalidArgumentFailure(), ObjectNotSetFailure(), IndexOutOfBoundsFailure()}) {
    machine.ThrowOn("GetVolumeInformationA", failure);
    const auto volume = info.Volume(u"C:\\");
    EXPECT_EQ(FailureOf(volume), failure.Number());
    EXPECT_EQ(volume.failure->description, failure.Description());
  }
}

// --- Space -------------------------------------------------------------------

ByteAmount Bytes(int64_t amount) { return ByteAmount::FromScaled(amount * ByteAmount::kScale); }

TEST_F(DriveInfoTest, SpaceIsTotalFreeUsedAndPercentage) {
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
      {922337203685477, 0, 0, 922337203685477, 100.0},  // the largest byte amount
  };
  for (const auto& c : cases) {
    machine.AddDrive('C', k::kDriveFixed).Space(c.total, c.free, c.callerFree);
    const auto space = info.Space(u"C:\\");
    EXPECT_FALSE(space.failure);
    EXPECT_EQ(space.value.total, Bytes(c.total)) << c.total;
    EXPECT_EQ(space.value.free, Bytes(c.free)) << c.total;
    EXPECT_EQ(space.value.used, Bytes(c.used)) << c.total << " " << c.free;
    EXPECT_EQ(space.value.usedPercent, static_cast<float>(c.percent)) << c.total << " " << c.free;
  }
  EXPECT_EQ(machine.CallsOf("GetDiskFreeSpaceExA").at(0).text, "C:\\");
}

// What a failed query produced before it failed is kept: nothing after a failed
// call, the amounts of an empty drive, the amount that fits beside one too large.
TEST_F(DriveInfoTest, SpaceFailureKeepsWhatWasProduced) {
  const std::optional<ByteAmount> none;
  const std::optional<float> noPercent;
  const uint64_t tooLarge = 922337203685478;
  const struct {
    uint64_t total, free, callerFree;
    uint32_t error;
    int32_t failure;
    std::optional<ByteAmount> totalShown, freeShown, usedShown;
  } cases[] = {
      {1000, 500, 500, k::kErrorNotReady, 21, none, none, none},
      {1000, 500, 500, k::kErrorPathNotFound, 3, none, none, none},
      {1000, 500, 500, 40000, 40000, none, none, none},
      // 0 of 0 is no percentage.
      {0, 0, 0, 0, error_number::kOverflow, Bytes(0), Bytes(0), Bytes(0)},
      {tooLarge, 1000, 1000, 0, error_number::kOverflow, none, Bytes(1000), none},
      {1000, UINT64_MAX, 10, 0, error_number::kOverflow, Bytes(1000), none, none},
  };
  for (const auto& c : cases) {
    machine.AddDrive('A', k::kDriveRemovable)
        .Space(c.total, c.free, c.callerFree)
        .FailSpace(c.error);
    const auto space = info.Space(u"A:\\");
    EXPECT_EQ(FailureOf(space), c.failure) << c.total << " " << c.error;
    EXPECT_EQ(space.value.total, c.totalShown) << c.total << " " << c.error;
    EXPECT_EQ(space.value.free, c.freeShown) << c.total << " " << c.error;
    EXPECT_EQ(space.value.used, c.usedShown) << c.total << " " << c.error;
    EXPECT_EQ(space.value.usedPercent, noPercent);
  }
}

}  // namespace
}  // namespace brindlecap
