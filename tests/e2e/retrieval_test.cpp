// "Start Retrieving" on the fixture drives: every cell read back from the window
// is compared with what the host (statvfs), Wine's wmic and the system say.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "e2e/retrieval_fixture.h"
#include "support/drive_oracles.h"
#include "support/export_rules.h"
#include "support/scratch_files.h"
#include "support/window_driver.h"

namespace brindlecap::e2e {
namespace {

constexpr int kColumns = 7;

// The kind text for a drive-kind code and root, as the list must show it. An
// optical drive's kind comes from a device probe that Wine does not support
// for folder-backed drives, which leaves it empty.
std::wstring KindText(UINT type, const std::wstring& root) {
  switch (type) {
    case DRIVE_UNKNOWN:
      return L"Unknown";
    case DRIVE_NO_ROOT_DIR:
      return L"Not Found";
    case DRIVE_REMOVABLE:
      return root[0] == L'A' || root[0] == L'B' ? L"Floppy" : L"USB Drive";
    case DRIVE_FIXED:
      return L"Fixed";
    case DRIVE_REMOTE:
      return L"Remote";
    case DRIVE_CDROM:
      return L"";
    case DRIVE_RAMDISK:
      return L"RAM Disk";
    default:
      return L"";
  }
}

TEST_F(RetrievalTest, OneRowPerDriveInDriveLetterOrderMatchingTheOracles) {
  const auto space = ReadFixtureSpaceOracle();
  ASSERT_FALSE(space.empty()) << "no oracle.txt; run inside the Wine test session";
  const auto wmic = RunWmicLogicalDisks();
  const std::vector<Row> rows = RetrieveAndRead();

  ASSERT_EQ(rows.size(), roots_.size()) << "one row per drive";
  for (size_t i = 0; i < roots_.size(); ++i) {
    const std::wstring& root = roots_[i];
    const wchar_t letter = root[0];
    const Row& row = rows[i];
    SCOPED_TRACE("drive " + Narrow(root) + " row " + Show(row));
    ASSERT_EQ(row.size(), static_cast<size_t>(kColumns));
    const SystemDrive& drive = after_[letter];
    EXPECT_EQ(row[1], KindText(drive.type, root)) << "kind";

    const bool hasMedium = before_[letter].readable && drive.readable;
    if (!hasMedium) {
      EXPECT_EQ(row, (Row{root + L"  - No Disk present", KindText(drive.type, root), L"", L"", L"",
                          L"", L""}));
      continue;
    }

    // Volume name, file system and serial: wmic where it lists the drive (it
    // leaves out network drives), else the system's own answer.
    std::wstring label = drive.label, fileSystem = drive.fileSystem;
    std::wstring serial = SerialText(drive.serial);
    if (auto listed = wmic.find(letter); listed != wmic.end()) {
      label = listed->second.volumeName;
      fileSystem = listed->second.fileSystem;
      serial = SerialText(wcstoul(listed->second.volumeSerialNumber.c_str(), nullptr, 16));
      EXPECT_EQ(Narrow(label), Narrow(drive.label)) << "wmic and the system disagree";
    }
    EXPECT_EQ(row[0], root + L" - [" + label + L"]");
    EXPECT_EQ(row[2], fileSystem);
    EXPECT_EQ(row[6], serial);

    // Sizes: every figure of a drive of its own; on a shared host file system only
    // the total, since its free space moves whenever other work writes.
    auto figures = space.find(letter);
    ASSERT_NE(figures, space.end()) << "no statvfs figures for the drive";
    const uint64_t total = figures->second.total, free = figures->second.free;
    EXPECT_EQ(row[3], SizeText(total)) << "total of " << total << " bytes";
    if (figures->second.exact) {
      EXPECT_EQ(row[4], SizeText(free)) << "free space of " << free << " bytes";
      EXPECT_EQ(row[5], SizeText(total - free)) << "used space of " << total - free << " bytes";
    } else {
      EXPECT_TRUE(SizeTextWithin(row[4], 0, total)) << "free space " << Narrow(row[4]);
      EXPECT_TRUE(SizeTextWithin(row[5], 0, total)) << "used space " << Narrow(row[5]);
    }
  }
}

TEST_F(RetrievalTest, FixtureDrivesShowTheirKnownTexts) {
  const std::vector<Row> rows = RetrieveAndRead();
  auto expectRow = [&](wchar_t letter, const Row& expected) {
    const Row* row = FindRow(rows, letter);
    ASSERT_NE(row, nullptr) << "no row for " << static_cast<char>(letter) << ":";
    EXPECT_EQ(*row, expected) << Show(*row);
  };
  auto expectCells = [&](wchar_t letter, std::map<int, std::wstring> cells) {
    const Row* row = FindRow(rows, letter);
    ASSERT_NE(row, nullptr) << "no row for " << static_cast<char>(letter) << ":";
    ASSERT_EQ(row->size(), static_cast<size_t>(kColumns));
    for (const auto& [column, text] : cells) {
      EXPECT_EQ((*row)[column], text)
          << static_cast<char>(letter) << ": column " << column + 1 << " of " << Show(*row);
    }
  };

  // A floppy drive without a disk, and a letter whose target is missing.
  expectRow(L'A', {L"A:\\  - No Disk present", L"Floppy", L"", L"", L"", L"", L""});
  expectRow(L'M', {L"M:\\  - No Disk present", L"Not Found", L"", L"", L"", L"", L""});

  expectCells(L'L', {{0, L"L:\\ - [BRINDLE DATA]"}, {1, L"Fixed"}, {6, L"1234-ABCD"}});
  expectCells(L'U', {{0, L"U:\\ - [STICK]"}, {1, L"USB Drive"}});
  // A label beyond the ANSI code page shows whole.
  expectCells(
      L'N',
      {{0, L"N:\\ - [\u0394\u0399\u039A\u03A4\u03A5\u039F]"}, {1, L"Remote"}, {6, L"7777-0001"}});
  expectCells(L'V', {{0, L"V:\\ - [SCRATCH]"}, {1, L"RAM Disk"}, {6, L"0000-F00D"}});
  expectCells(L'R', {{0, L"R:\\ - [DISC]"}, {1, L""}, {2, L"CDFS"}, {6, L"0BAD-F00D"}});
  expectCells(L'C', {{1, L"Fixed"}});
  expectCells(L'Z', {{1, L"Fixed"}});
}

TEST_F(RetrievalTest, AnEmptyReadableVolumeIsADriveWithAMedium) {
  // E: is an empty folder: its root lists nothing, like a newly formatted stick.
  ASSERT_EQ(before_.count(L'E'), 1u);
  ASSERT_FALSE(before_[L'E'].hasEntries);
  ASSERT_TRUE(before_[L'E'].readable);
  const std::vector<Row> rows = RetrieveAndRead();
  const Row* row = FindRow(rows, L'E');
  ASSERT_NE(row, nullptr);
  ASSERT_EQ(row->size(), static_cast<size_t>(kColumns));
  EXPECT_EQ((*row)[0], L"E:\\ - []");
  EXPECT_EQ((*row)[1], L"Fixed");
  EXPECT_EQ((*row)[2], L"NTFS");
  EXPECT_FALSE((*row)[3].empty());
  // Wine gives a volume without a serial file the letter in the top byte.
  EXPECT_EQ((*row)[6], L"4500-0000");
}

TEST_F(RetrievalTest, ExactSizeDriveShowsExactSizes) {
  if (before_.count(L'K') == 0) GTEST_SKIP() << "K: exists only inside a private mount namespace";
  const auto space = ReadFixtureSpaceOracle();
  ASSERT_EQ(space.count(L'K'), 1u);
  const SpaceFigures k = space.at(L'K');
  ASSERT_EQ(k.total, 1152u * 1024u) << "the fixture's tmpfs";
  const std::vector<Row> rows = RetrieveAndRead();
  const Row* row = FindRow(rows, L'K');
  ASSERT_NE(row, nullptr);
  // 1152 KiB = 1.125 MB: the half goes to the even digit.
  EXPECT_EQ(*row, (Row{L"K:\\ - [EXACT]", L"Fixed", L"NTFS", L"1.12 MB", SizeText(k.free),
                       SizeText(k.total - k.free), L"0000-ABC0"}))
      << Show(*row);
}

TEST_F(RetrievalTest, SecondPressAppendsTheSameDrivesAgain) {
  const auto space = ReadFixtureSpaceOracle();
  const std::vector<Row> first = RetrieveAndRead();
  ASSERT_EQ(first.size(), roots_.size());
  const std::vector<Row> both = RetrieveAndRead();
  ASSERT_EQ(both.size(), 2 * roots_.size());
  for (size_t i = 0; i < first.size(); ++i) {
    SCOPED_TRACE("row " + std::to_string(i + 1));
    EXPECT_EQ(both[i], first[i]) << "the first run's rows stay in place";
    const Row& again = both[first.size() + i];
    // On a shared host file system free and used space may move between the runs.
    const auto figures = space.find(roots_[i][0]);
    if (figures != space.end() && figures->second.exact) {
      EXPECT_EQ(again, first[i]);
    } else {
      for (int column : {0, 1, 2, 3, 6}) EXPECT_EQ(again[column], first[i][column]);
    }
  }
  for (bool checked : program_->List().CheckMarks()) EXPECT_FALSE(checked) << "rows come unchecked";
}

}  // namespace
}  // namespace brindlecap::e2e
