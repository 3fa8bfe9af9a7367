// DriveInfo over a scripted machine: each drive's volume (name, file system,
// serial) and its space.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "drive_info/drive_info.h"
#include "shared/runtime_failure.h"
#include "unit/drive_info_fixture.h"

namespace brindlecap {
namespace {

namespace k = win32_constant;
using testing::DriveInfoTest;
using testing::FailureOf;

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
