// DriveInfo over a scripted machine: each drive's volume (name, file system,
// serial) and its space.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <new>
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
  const auto call = machine.CallsOf("GetVolumeInformationW").at(0);
  EXPECT_EQ(call.text, "C:\\");
  EXPECT_EQ(call.length, 255u);
  EXPECT_EQ(call.secondLength, 255u);
  EXPECT_TRUE(call.buffersZeroed);
}

// The wide call: a label the ANSI code page cannot hold comes whole.
TEST_F(DriveInfoTest, VolumeTextsComeWhole) {
  machine.AddDrive('C', k::kDriveFixed).Label(u"\u0394\u03AF\u03BA\u03C4\u03C5\u03BF \u65E5\u672C");
  machine.Drive('C').fileSystem = u"\u00C9XT\u03A9";
  const auto volume = info.Volume(u"C:\\");
  EXPECT_EQ(volume.value.name, u"\u0394\u03AF\u03BA\u03C4\u03C5\u03BF \u65E5\u672C");
  EXPECT_EQ(volume.value.fileSystem, u"\u00C9XT\u03A9");
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

// A failed call answers the system's code, even 0; a failure met on the way, the
// query's own status and the failure's description.
TEST_F(DriveInfoTest, VolumeFailureIsTheCodeOrTheFailureAndShowsNothing) {
  for (uint32_t error :
       {k::kErrorNotReady, k::kErrorAccessDenied, 32768u, 1392u, 0xFFFFFFFFu, 0u}) {
    machine.AddDrive('A', k::kDriveRemovable).FailVolume(error).Label("v").Serial(7);
    const auto volume = info.Volume(u"A:\\");
    ASSERT_TRUE(volume.failure) << error;
    EXPECT_EQ(FailureOf(volume), static_cast<int32_t>(error));
    EXPECT_EQ(volume.value.name, u"");
    EXPECT_EQ(volume.value.serialText, u"");
    EXPECT_EQ(volume.value.serialNumber, 0u);
  }
  machine.AddDrive('C', k::kDriveFixed);
  for (const RuntimeFailure& failure :
       {InvalidArgumentFailure(), ObjectNotSetFailure(), IndexOutOfBoundsFailure()}) {
    machine.ThrowOn("GetVolumeInformationW", failure);
    const auto volume = info.Volume(u"C:\\");
    EXPECT_EQ(FailureOf(volume), kQueryFailed);
    EXPECT_EQ(volume.failure->description, failure.Description());
  }
  machine.beforeEachCall = [] { throw std::bad_alloc(); };
  EXPECT_EQ(FailureOf(info.Volume(u"C:\\")), kQueryOutOfMemory);
}

// --- Space -------------------------------------------------------------------

ByteAmount Bytes(int64_t amount) { return ByteAmount::FromScaled(amount * ByteAmount::kScale); }

// The caller's view: under a quota (the caller may use less than the volume has
// free) Free is what the caller may still use; Free never exceeds Total.
TEST_F(DriveInfoTest, SpaceIsTheCallersViewInExactCounts) {
  const std::optional<float> none;
  const struct {
    uint64_t total, free, callerFree;
    uint64_t freeShown, used;
    std::optional<float> percent;
  } cases[] = {
      {1000, 250, 250, 250, 750, 75.0f},
      {500107862016, 0, 0, 0, 500107862016, 100.0f},  // full
      {4096, 4096, 4096, 4096, 0, 0.0f},              // empty
      {3, 1, 1, 1, 2, 66.67f},
      {800, 799, 799, 799, 1, 0.12f},  // 0.125 exactly: half-way goes to the even digit
      {800, 797, 797, 797, 3, 0.38f},  // 0.375
      // No quota: the caller's figure above the volume's changes nothing.
      {1000, 400, 600, 400, 600, 60.0f},
      // A quota: the total is the caller's, and so is the free space.
      {1000, 400, 100, 100, 900, 90.0f},
      {1000, 5000, 300, 300, 700, 70.0f},
      {1000, 5000, 1200, 1000, 0, 0.0f},
      {0, 0, 0, 0, 0, none},  // 0 of 0 is no percentage
      {922337203685478, 1000, 1000, 1000, 922337203684478, 100.0f},
      {UINT64_MAX, 1, 1, 1, UINT64_MAX - 1, 100.0f},
  };
  for (const auto& c : cases) {
    machine.AddDrive('C', k::kDriveFixed).Space(c.total, c.free, c.callerFree);
    const auto space = info.Space(u"C:\\");
    SCOPED_TRACE(std::to_string(c.total) + " " + std::to_string(c.free) + " " +
                 std::to_string(c.callerFree));
    EXPECT_FALSE(space.failure);
    EXPECT_EQ(space.value.totalBytes, c.total);
    EXPECT_EQ(space.value.freeBytes, c.freeShown);
    EXPECT_EQ(space.value.usedBytes, c.used);
    EXPECT_EQ(space.value.volumeFreeBytes, c.free);
    EXPECT_EQ(space.value.usedPercent, c.percent);
  }
  EXPECT_EQ(machine.CallsOf("GetDiskFreeSpaceExW").at(0).text, "C:\\");
}

// The size texts reckon in byte amounts: a count too large for one has none, nor
// has Used beside it, and that is no failure.
TEST_F(DriveInfoTest, SpaceAmountsAreEmptyWhereTooLarge) {
  const std::optional<ByteAmount> none;
  const struct {
    uint64_t total, free;
    std::optional<ByteAmount> totalShown, freeShown, usedShown;
  } cases[] = {
      {2048, 512, Bytes(2048), Bytes(512), Bytes(1536)},
      {922337203685477, 0, Bytes(922337203685477), Bytes(0), Bytes(922337203685477)},
      {922337203685478, 1000, none, Bytes(1000), none},
      {UINT64_MAX, UINT64_MAX - 5, none, none, none},  // Used only beside both
  };
  for (const auto& c : cases) {
    machine.AddDrive('C', k::kDriveFixed).Space(c.total, c.free);
    const auto space = info.Space(u"C:\\");
    EXPECT_FALSE(space.failure) << c.total;
    EXPECT_EQ(space.value.total, c.totalShown) << c.total;
    EXPECT_EQ(space.value.free, c.freeShown) << c.total;
    EXPECT_EQ(space.value.used, c.usedShown) << c.total;
  }
}

// A failed call answers the system's code, even 0, and nothing else.
TEST_F(DriveInfoTest, SpaceFailureIsTheSystemsCode) {
  for (uint32_t error : {k::kErrorNotReady, k::kErrorPathNotFound, 40000u, 0u}) {
    machine.AddDrive('A', k::kDriveRemovable).FailSpace(error);
    const auto space = info.Space(u"A:\\");
    ASSERT_TRUE(space.failure) << error;
    EXPECT_EQ(FailureOf(space), static_cast<int32_t>(error));
    EXPECT_EQ(space.value.totalBytes, 0u) << error;
    EXPECT_FALSE(space.value.total) << error;
    EXPECT_FALSE(space.value.usedPercent) << error;
  }
}

}  // namespace
}  // namespace brindlecap
