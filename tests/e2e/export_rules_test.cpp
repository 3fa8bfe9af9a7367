// The expectations that the end-to-end tests compare the program with are
// themselves checked here against worked examples.
#include "support/export_rules.h"

#include <gtest/gtest.h>

#include "support/window_driver.h"

namespace brindlecap::e2e {
namespace {

const std::vector<std::wstring> kHeaders = {L"Drive",        L"Type",       L"File System",
                                            L"Total Space",  L"Free Space", L"Used Space",
                                            L"Serial Number"};

TEST(ExportRulesTest, WidthsCoverHeaderAndEveryRowButOnlyCheckedRowsAreWritten) {
  const ListContents list{kHeaders,
                          {{L"C:\\ - [System]", L"Fixed", L"NTFS", L"465.76 GB", L"120.5 GB",
                            L"345.26 GB", L"1234-ABCD"},
                           {L"A:\\  - No Disk present", L"Floppy"}},
                          {true, false}};
  EXPECT_EQ(ExportColumnWidths(list), (std::vector<size_t>{22, 6, 11, 11, 10, 10, 13}));
  EXPECT_EQ(ExpectedExportBytes(list),
            "Drive                 \tType  \tFile System\tTotal Space\tFree Space\tUsed Space\t"
            "Serial Number\t\r\n"
            "C:\\ - [System]        \tFixed \tNTFS       \t465.76 GB  \t120.5 GB  \t345.26 GB \t"
            "1234-ABCD    \t\r\n");
}

TEST(ExportRulesTest, EmptyListGivesTheHeaderAloneWithEmptyColumnsAtZeroWidth) {
  EXPECT_EQ(ExpectedExportBytes(ListContents{{L"A", L"", L"Long"}, {}, {}}), "A\t\tLong\t\r\n");
  EXPECT_EQ(ExpectedExportBytes(ListContents{{L"A", L"B"}, {{L"wide", L""}}, {false}}),
            "A   \tB\t\r\n");
}

TEST(ExportRulesTest, TextIsWrittenInTheAnsiCodePage) {
  const ListContents list{{L"Name"}, {{L"Caf\u00e9"}}, {true}};
  EXPECT_EQ(ExpectedExportBytes(list, 1252), "Name\t\r\nCaf\xe9\t\r\n");
}

TEST(ExportRulesTest, SizeTextPicksTheUnitAndRoundsHalfToEven) {
  EXPECT_EQ(Narrow(SizeText(0)), "0 Bytes");
  EXPECT_EQ(Narrow(SizeText(1023)), "1023 Bytes");
  EXPECT_EQ(Narrow(SizeText(1024)), "1 KB");
  EXPECT_EQ(Narrow(SizeText(1536)), "1.5 KB");
  EXPECT_EQ(Narrow(SizeText(1048575)), "1024 KB");
  EXPECT_EQ(Narrow(SizeText(1048576)), "1 MB");
  EXPECT_EQ(Narrow(SizeText(1152 * 1024)), "1.12 MB");  // 1.125: half to even
  EXPECT_EQ(Narrow(SizeText(1160 * 1024)), "1.13 MB");  // 1.1328125
  EXPECT_EQ(Narrow(SizeText(1408 * 1024)), "1.38 MB");  // 1.375: half to even, upwards
  EXPECT_EQ(Narrow(SizeText(500107862016ull)), "465.76 GB");
  EXPECT_EQ(Narrow(SizeText(1073741824ull)), "1 GB");
  EXPECT_EQ(Narrow(SizeText(1099511627775ull)), "1024 GB");
  EXPECT_EQ(Narrow(SizeText(1099511627776ull)), "1 TB");
  EXPECT_EQ(Narrow(SizeText(2199023255552ull)), "2 TB");
  EXPECT_EQ(Narrow(SizeText(1536ull << 30)), "1.5 TB");
  EXPECT_EQ(Narrow(SizeText(1024ull << 40)), "1024 TB");
}

TEST(ExportRulesTest, SizeTextWithinAcceptsOnlyTextsThatTheRangeCanGive) {
  EXPECT_TRUE(SizeTextWithin(L"1.5 KB", 1536, 1536));
  EXPECT_TRUE(SizeTextWithin(L"1.5 KB", 1000, 2000));
  EXPECT_TRUE(SizeTextWithin(L"1 MB", 1000000, 1100000));
  EXPECT_TRUE(SizeTextWithin(L"1024 KB", 1000000, 1100000));
  EXPECT_FALSE(SizeTextWithin(L"1.5 KB", 1600, 2000));
  EXPECT_FALSE(SizeTextWithin(L"1.50 KB", 1536, 1536)) << "not the shortest form";
  EXPECT_FALSE(SizeTextWithin(L"1,5 KB", 1536, 1536));
  EXPECT_FALSE(SizeTextWithin(L"0.5 KB", 1000, 2000)) << "no byte count gives it";
  EXPECT_FALSE(SizeTextWithin(L"1.5 kB", 1536, 1536));
  EXPECT_FALSE(SizeTextWithin(L"1.5KB", 1536, 1536));
}

}  // namespace
}  // namespace brindlecap::e2e
