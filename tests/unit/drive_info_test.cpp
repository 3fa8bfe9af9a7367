// DriveInfo over a scripted machine: the drives' roots, whether a path exists,
// and each drive's kind with the optical probe.
#include "drive_info/drive_info.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shared/runtime_failure.h"
#include "unit/drive_info_fixture.h"

namespace brindlecap {
namespace {

using ::testing::ElementsAre;
using testing::FakeKernel32;
using testing::ProbeAnswer;
namespace k = win32_constant;
using testing::DriveInfoTest;
using testing::FailureOf;

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
  machine.ThrowOn("GetLogicalDriveStringsA", RuntimeFailure(u"Internal error"));
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
  EXPECT_TRUE(answer.failure);
}

// --- Kind / KindName ---------------------------------------------------------

TEST_F(DriveInfoTest, KindIsTheSystemsCode) {
  machine.AddDrive('N', k::kDriveRemote);
  EXPECT_EQ(info.Kind(u"N:\\").value, 4);
  EXPECT_EQ(info.Kind(u"Q:\\").value, 1);
  EXPECT_EQ(machine.CallsOf("GetDriveTypeA").at(0).text, "N:\\");
  // A code beyond 16 bits is the runtime's overflow, and leaves the kind nameless.
  machine.AddDrive('X', 70000);
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
      // Any refused read/write open is tried again for queries only: no rights,
      // an empty drive (not ready), a disc being burned (sharing violation), a
      // write-protected medium, a device error.
      {ProbeAnswer::kRefusedOnReadWrite, k::kErrorAccessDenied, u"CD-ROM"},
      {ProbeAnswer::kRefusedOnReadWrite, k::kErrorNotReady, u"CD-ROM"},
      {ProbeAnswer::kRefusedOnReadWrite, 32, u"CD-ROM"},
      {ProbeAnswer::kRefusedOnReadWrite, 19, u"CD-ROM"},
      {ProbeAnswer::kRefusedOnReadWrite, 1117, u"CD-ROM"},
      {ProbeAnswer::kRefusedOnReadWrite, k::kErrorFileNotFound, u"CD-ROM"},
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

TEST_F(DriveInfoTest, ProbeRetriesForQueriesOnlyWhenReadWriteFails) {
  machine.AddDrive('D', k::kDriveCdrom).Probe(ProbeAnswer::kRefusedOnReadWrite);
  EXPECT_EQ(info.KindName(u"D:\\").value.name, u"CD-ROM");
  const auto opens = machine.CallsOf("CreateFileA");
  ASSERT_EQ(opens.size(), 2u);
  EXPECT_EQ(opens[0].access, 0xC0000000u);
  EXPECT_EQ(opens[1].access, 0u);
  EXPECT_EQ(opens[1].text, "\\\\.\\D:");
  EXPECT_EQ(machine.CountOf("CloseHandle"), 1);

  // Refused both times: nothing to close.
  for (uint32_t error : {k::kErrorAccessDenied, k::kErrorNotReady, k::kErrorFileNotFound}) {
    FakeKernel32 fresh;
    DriveInfo probe{DriveSystem{fresh, codePage, locale}};
    fresh.AddDrive('D', k::kDriveCdrom).Probe(ProbeAnswer::kOpenFails, error);
    EXPECT_EQ(probe.KindName(u"D:\\").value.name, u"");
    EXPECT_EQ(fresh.CountOf("CreateFileA"), 2);
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
      {"GetVersionExA", RuntimeFailure(u"File not found"), 0},
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

}  // namespace
}  // namespace brindlecap
