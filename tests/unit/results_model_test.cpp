// The results model: its rows and columns, ticking rows, and the order the rows
// are shown in, with what is copied from them.
#include "results/results_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "main_window/core/application_title.h"
#include "main_window/core/byte_count_text.h"
#include "main_window/core/copy_text.h"
#include "main_window/core/home_page_draw.h"
#include "main_window/core/window_controller.h"
#include "results/result_columns.h"
#include "results/usage_bar.h"
#include "shared/runtime_failure.h"
#include "support/failure_text.h"

namespace brindlecap {
namespace {

using testing::FailureText;

TEST(ResultsModel, RowsAndColumnsCountFromZeroAndAreAppendedInOrder) {
  ResultsModel list;
  // A row added before any column keeps its drive cell, which the first column shows.
  EXPECT_EQ(list.AddRow(u"A:\\"), 0);
  list.AddColumn(u"Drive");
  list.AddColumn(u"Type");
  list.AddColumn(u"File System");
  EXPECT_EQ(list.ColumnCount(), 3);
  EXPECT_EQ(list.ColumnTitle(2), u"File System");

  EXPECT_EQ(list.AddRow(u"C:\\"), 1);
  list.SetCell(1, 2, u"NTFS");
  EXPECT_EQ(list.Cell(1, 2), u"NTFS");
  EXPECT_EQ(list.Cell(1, 1), u"");  // never written
  EXPECT_EQ(list.Cell(1, 3), u"");  // no such column
  EXPECT_EQ(list.Cell(0, IndexOf(ResultColumn::kDrive)), u"A:\\");
  EXPECT_EQ(list.Cell(1, IndexOf(ResultColumn::kDrive)), u"C:\\");
  EXPECT_FALSE(list.Checked(0));
  list.SetChecked(0, true);
  EXPECT_TRUE(list.Checked(0));
  EXPECT_FALSE(list.Checked(1));
}

TEST(ResultsModel, IndexesOutOfRangeRaiseIndexOutOfBounds) {
  ResultsModel list;
  list.AddColumn(u"Drive");
  list.AddColumn(u"Type");
  list.AddRow(u"C:\\");
  EXPECT_EQ(FailureText([&] { list.Cell(-1, 0); }), u"Index out of bounds");
  EXPECT_EQ(FailureText([&] { list.Cell(1, 0); }), u"Index out of bounds");
  EXPECT_EQ(FailureText([&] { list.SetCell(0, 2, u"x"); }), u"Index out of bounds");
  EXPECT_EQ(FailureText([&] { list.ColumnTitle(2); }), u"Index out of bounds");
}

// Records what a view of the model is told.
struct RecordingListener : ResultsModel::Listener {
  void ColumnAdded(int column) override { events.push_back("column " + std::to_string(column)); }
  void RowsAdded(int first, int count) override {
    events.push_back("rows " + std::to_string(first) + "+" + std::to_string(count));
  }
  void RowChanged(int row) override { events.push_back("row " + std::to_string(row)); }
  void RowCheckChanged(int row) override { events.push_back("checked " + std::to_string(row)); }
  void RowsRearranged() override { events.push_back("rearranged"); }
  std::vector<std::string> events;
};

TEST(ResultsModel, AClickTogglesOneRowAndSpaceTogglesTheSelectionTogether) {
  ResultsModel list;
  RecordingListener view;
  list.SetListener(&view);
  list.AddColumn(u"Drive");
  for (int i = 0; i < 4; ++i) list.AddRow(u"row");
  const auto marks = [&] {
    std::string text;
    for (int r = 0; r < list.RowCount(); ++r) text += list.Checked(r) ? 'x' : '.';
    return text;
  };

  list.ToggleChecked(2);
  EXPECT_EQ(marks(), "..x.");
  // Focus inside the selection: its row's mark decides for all of them.
  list.ToggleTogether({0, 2}, 2);
  EXPECT_EQ(marks(), "....");
  list.ToggleTogether({0, 2}, 2);
  EXPECT_EQ(marks(), "x.x.");
  // Focus elsewhere: the first selected row decides.
  list.SetChecked(1, true);
  list.ToggleTogether({1, 3}, 0);
  EXPECT_EQ(marks(), "x.x.");
  EXPECT_FALSE(list.Checked(1));
  // Nothing selected: the focused row alone; no focus either: nothing.
  list.ToggleTogether({}, 3);
  EXPECT_EQ(marks(), "x.xx");
  list.ToggleTogether({}, -1);
  EXPECT_EQ(marks(), "x.xx");

  EXPECT_EQ(view.events[0], "column 0");
  EXPECT_EQ(view.events[1], "rows 0+1");
  // A mark set to what it already was tells the view nothing; a new one, that it changed.
  view.events.clear();
  list.SetChecked(0, true);
  EXPECT_TRUE(view.events.empty());
  list.SetChecked(1, true);
  EXPECT_EQ(view.events, (std::vector<std::string>{"row 1", "checked 1"}));
}

// A model with the seven result columns; rows are named by their Type cell.
class ShownOrderTest : public ::testing::Test {
 protected:
  ShownOrderTest() {
    for (const auto& column : kResultColumns) {
      list.AddColumn(std::u16string(column.header));
    }
  }
  int Add(std::u16string name, std::optional<int64_t> freeBytes, char16_t letter = u'C') {
    DriveFacts facts;
    facts.root = std::u16string(1, letter) + u":\\";
    facts.freeBytes = freeBytes;
    const int row = list.AddRow(facts.root);
    list.SetRowFacts(row, facts);
    list.SetCell(row, IndexOf(ResultColumn::kType), name);
    return row;
  }
  // The names in shown order, as a save or a copy reads them.
  std::u16string Shown() const {
    std::u16string names;
    for (int position = 0; position < shown.RowCount(); ++position) {
      names += shown.Cell(position, IndexOf(ResultColumn::kType));
    }
    return names;
  }
  static SortKey Key(ResultColumn column, bool ascending = true) {
    return {IndexOf(column), kResultColumns[static_cast<size_t>(IndexOf(column))].fact, ascending};
  }

  ResultsModel list;
  ShownResults shown{list};
};

TEST_F(ShownOrderTest, SizesSortByBytesMissingFirstTiesKeepTheirOrderAndASecondSortReverses) {
  Add(u"a", 500);
  Add(u"b", std::nullopt);
  Add(u"c", 40);  // as text "40" would follow "500"
  Add(u"d", 500);
  Add(u"e", 40);
  EXPECT_EQ(Shown(), u"abcde");  // as added until a sort is asked for

  ASSERT_TRUE(list.SortBy(Key(ResultColumn::kFreeSpace)));
  EXPECT_EQ(Shown(), u"bcead");
  ASSERT_TRUE(list.SortBy(Key(ResultColumn::kFreeSpace, false)));
  EXPECT_EQ(Shown(), u"adceb");  // ties still in their earlier order
  // The rows' own indexes do not move: only the shown order does.
  EXPECT_EQ(list.Cell(0, IndexOf(ResultColumn::kType)), u"a");
  EXPECT_EQ(list.RowAt(0), 0);
  EXPECT_EQ(list.PositionOf(1), 4);
}

TEST_F(ShownOrderTest, EachColumnSortsByItsRealValue) {
  const auto compare = [&](const DriveFacts& a, const DriveFacts& b, ColumnValue value,
                           std::u16string_view textA = u"", std::u16string_view textB = u"") {
    return CompareRows({a, textA}, {b, textB}, value, nullptr);
  };
  DriveFacts lowerD, upperC, none;
  lowerD.root = u"d:\\";
  upperC.root = u"C:\\";
  upperC.serialNumber = 0xFFFF0000u;  // above INT32_MAX: compared unsigned
  lowerD.serialNumber = 0x12345678u;
  upperC.totalBytes = 5;
  lowerD.usedBytes = 1;
  EXPECT_GT(compare(lowerD, upperC, ColumnValue::kDriveLetter), 0);
  EXPECT_LT(compare(none, upperC, ColumnValue::kDriveLetter), 0);
  EXPECT_LT(compare(lowerD, upperC, ColumnValue::kSerialNumber), 0);
  EXPECT_LT(compare(none, upperC, ColumnValue::kSerialNumber), 0);
  EXPECT_GT(compare(upperC, lowerD, ColumnValue::kTotalBytes), 0);
  EXPECT_LT(compare(upperC, lowerD, ColumnValue::kUsedBytes), 0);
  EXPECT_EQ(compare(none, none, ColumnValue::kFreeBytes), 0);
  EXPECT_LT(compare(none, none, ColumnValue::kText, u"FAT32", u"NTFS"), 0);

  // Texts go through the collation the window gives: here one that turns the order round.
  struct Backwards : TextCollation {
    int Compare(std::u16string_view a, std::u16string_view b) const override {
      return b.compare(a);
    }
  } backwards;
  list.SetCollation(&backwards);
  Add(u"b", 1, u'F');
  Add(u"c", 1, u'E');
  Add(u"a", 1, u'D');
  list.SortBy(Key(ResultColumn::kType));
  EXPECT_EQ(Shown(), u"cba");
  list.SortBy(Key(ResultColumn::kDrive));  // by letter, not through the collation
  EXPECT_EQ(Shown(), u"acb");
}

TEST_F(ShownOrderTest, RowsAddedDuringASortTakeTheirPlacesBehindTheirTies) {
  RecordingListener view;
  list.SetListener(&view);
  Add(u"a", 10);
  Add(u"b", 30);
  list.SortBy(Key(ResultColumn::kFreeSpace, false));
  EXPECT_EQ(Shown(), u"ba");
  // Added as retrieval adds: the text first, the amounts and cells after.
  Add(u"c", 20);
  Add(u"d", 30);
  Add(u"e", std::nullopt);
  EXPECT_EQ(Shown(), u"bdcae");
  EXPECT_EQ(list.RowCount(), 5);
  EXPECT_NE(std::find(view.events.begin(), view.events.end(), "rearranged"), view.events.end());

  // While a save holds the order, new rows wait at the end and nothing moves or goes.
  list.HoldOrder();
  Add(u"f", 25);
  EXPECT_FALSE(list.SortBy(Key(ResultColumn::kFreeSpace)));
  EXPECT_FALSE(list.RemoveShown({0}));
  EXPECT_EQ(Shown(), u"bdcaef");
  list.ReleaseOrder();
  EXPECT_EQ(Shown(), u"bdfcae");
  // Released, the rows sort and go again.
  EXPECT_TRUE(list.SortBy(Key(ResultColumn::kFreeSpace)));
  EXPECT_TRUE(list.RemoveShown({0}));
}

TEST_F(ShownOrderTest, RemovingShownRowsTakesTheirCellsFactsAndMarksAlong) {
  Add(u"a", 1, u'A');
  Add(u"b", 2, u'B');
  Add(u"c", 3, u'C');
  Add(u"d", 4, u'D');
  list.SetChecked(2, true);
  list.SortBy(Key(ResultColumn::kFreeSpace, false));  // d c b a
  RecordingListener view;
  list.SetListener(&view);

  ASSERT_TRUE(list.RemoveShown({0, 2}));  // d and b
  EXPECT_EQ(view.events, std::vector<std::string>{"rearranged"});
  EXPECT_EQ(Shown(), u"ca");
  ASSERT_EQ(list.RowCount(), 2);
  // The rows that stay keep their texts, facts and marks.
  EXPECT_EQ(list.Cell(0, IndexOf(ResultColumn::kDrive)), u"A:\\");
  EXPECT_EQ(list.Cell(1, IndexOf(ResultColumn::kDrive)), u"C:\\");
  EXPECT_EQ(list.RowFacts(1).freeBytes, 3);
  EXPECT_TRUE(list.Checked(1));
  EXPECT_FALSE(list.Checked(0));
  EXPECT_TRUE(shown.Checked(0));
  // A later row is placed among the rest.
  Add(u"e", 2);
  EXPECT_EQ(Shown(), u"cea");

  ASSERT_TRUE(list.RemoveShown({0, 1, 2}));
  EXPECT_EQ(list.RowCount(), 0);
  EXPECT_THROW(list.RemoveShown({0}), RuntimeFailure);
}

TEST_F(ShownOrderTest, CopyTextIsTheHeaderAndTheChosenRowsTabSeparatedWithCrLf) {
  Add(u"Fixed", 7, u'C');
  list.SetCell(0, IndexOf(ResultColumn::kSerialNumber), u"1234-ABCD");
  Add(u"Floppy", std::nullopt, u'A');
  const std::u16string header =
      u"Drive\tType\tFile System\tTotal Space\tFree Space\tUsed Space\tSerial Number\r\n";
  const std::u16string c = u"C:\\\tFixed\t\t\t\t\t1234-ABCD\r\n";
  const std::u16string a = u"A:\\\tFloppy\t\t\t\t\t\r\n";
  EXPECT_EQ(RowsAsText(shown, {}), header + c + a);
  EXPECT_EQ(RowsAsText(shown, {1}), header + a);
  list.SortBy(Key(ResultColumn::kDrive));
  EXPECT_EQ(RowsAsText(shown, {}), header + a + c);
}

}  // namespace
}  // namespace brindlecap
