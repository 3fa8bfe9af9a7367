#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "main_window/core/application_title.h"
#include "main_window/core/form_layout.h"
#include "main_window/core/home_page_draw.h"
#include "main_window/core/results_model.h"
#include "main_window/core/window_controller.h"
#include "shared/runtime_failure.h"

namespace brindlecap {
namespace {

TEST(ApplicationTitle, DropsWordsUntilAtMostFortyCharactersAndAlwaysTheLastWord) {
  struct Case {
    std::u16string_view name, title;
  };
  const Case cases[] = {
      {kProductName, u"Quillmarsh Orvane Tessel Plint"},
      {u"Two Words", u"Two"},
      // 50 characters, last word of 5: the first cut leaves 44, so one more word goes.
      {u"Aaaaaaaaaa Bbbbbbbbbb Cccccccccc Dddddddddd Eeeee", u"Aaaaaaaaaa Bbbbbbbbbb Cccccccccc"},
      // Exactly 40 after the first cut: it stays.
      {u"Aaaaaaaaa Bbbbbbbbb Ccccccccc Dddddddddd Zz", u"Aaaaaaaaa Bbbbbbbbb Ccccccccc Dddddddddd"},
      {u"Trailing blank ", u"Trailing blank"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CutApplicationTitle(c.name), c.title) << std::string(c.name.begin(), c.name.end());
  }
  EXPECT_EQ(kProductName.size(), 38u);
}

TEST(ApplicationTitle, ANameWithoutABlankCannotBeCut) {
  EXPECT_THROW(CutApplicationTitle(u"Brindlecap"), RuntimeFailure);
  // Cutting words away until none is left fails too.
  EXPECT_THROW(CutApplicationTitle(u"Aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa B"),
               RuntimeFailure);
}

TEST(HomePageDraw, MapsTheUnitIntervalOntoOneToHundredEvenly) {
  EXPECT_EQ(DrawOneToHundred(0.0), 1);
  EXPECT_EQ(DrawOneToHundred(0.06), 7);
  EXPECT_EQ(DrawOneToHundred(0.0699999), 7);
  EXPECT_EQ(DrawOneToHundred(0.07), 8);
  EXPECT_EQ(DrawOneToHundred(0.9999999), 100);

  // The seeded fractions stay in [0, 1) and hit every number about equally.
  TimeSeededFraction fraction(12345);
  int counts[101] = {};
  for (int i = 0; i < 100000; ++i) {
    const double f = fraction.Next();
    ASSERT_GE(f, 0.0);
    ASSERT_LT(f, 1.0);
    ++counts[DrawOneToHundred(f)];
  }
  for (int n = 1; n <= 100; ++n) {
    EXPECT_GT(counts[n], 800) << n;
    EXPECT_LT(counts[n], 1200) << n;
  }
}

TEST(FormLayout, ColumnsFitTheListAndButtonsShareTheTopRow) {
  int total = 0;
  for (const auto& column : form_layout::kResultColumns) total += column.widthTwips;
  EXPECT_EQ(total, 15200);
  EXPECT_EQ(form_layout::kResultsList.width - total, 520);
  EXPECT_EQ(form_layout::kStartRetrievingButton.width * 2 + 120, form_layout::kResultsList.width);
  EXPECT_EQ(
      form_layout::kSaveResultsButton.left,
      form_layout::kStartRetrievingButton.left + form_layout::kStartRetrievingButton.width + 120);
  EXPECT_EQ(form_layout::kResultsList.top - (form_layout::kStartRetrievingButton.top +
                                             form_layout::kStartRetrievingButton.height),
            105);
}

TEST(ResultsModel, RowsAndColumnsAreOneBasedAndAppendedInOrder) {
  ResultsModel list;
  list.ColumnHeadersAdd(u"Drive");
  list.ColumnHeadersAdd(u"Type");
  list.ColumnHeadersAdd(u"File System");
  EXPECT_EQ(list.ColumnHeadersCount(), 3);
  EXPECT_EQ(list.ColumnHeaderText(3), u"File System");
  list.SetColumnHeaderWidth(2, 2000.0f);
  EXPECT_FLOAT_EQ(list.ColumnHeaderWidth(2), 2000.0f);

  EXPECT_EQ(list.ListItemsAdd(u"A:\\"), 1);
  EXPECT_EQ(list.ListItemsAdd(u"C:\\"), 2);
  list.SetSubItem(2, 2, u"NTFS");
  EXPECT_EQ(list.SubItem(2, 2), u"NTFS");
  EXPECT_EQ(list.SubItem(2, 1), u"");  // never written
  EXPECT_EQ(list.ListItemText(1), u"A:\\");
  EXPECT_FALSE(list.Checked(1));
  list.SetChecked(1, true);
  EXPECT_TRUE(list.Checked(1));
  EXPECT_FALSE(list.Checked(2));
}

TEST(ResultsModel, IndexesOutOfRangeRaiseIndexOutOfBounds) {
  ResultsModel list;
  list.ColumnHeadersAdd(u"Drive");
  list.ColumnHeadersAdd(u"Type");
  list.ListItemsAdd(u"C:\\");
  const auto number = [](auto&& action) {
    try {
      action();
    } catch (const RuntimeFailure& failure) {
      return failure.Number();
    }
    return 0;
  };
  EXPECT_EQ(number([&] { list.ListItemText(0); }), error_number::kIndexOutOfBounds);
  EXPECT_EQ(number([&] { list.ListItemText(2); }), error_number::kIndexOutOfBounds);
  EXPECT_EQ(number([&] { list.SetSubItem(1, 2, u"x"); }), error_number::kIndexOutOfBounds);
  EXPECT_EQ(number([&] { list.SubItem(1, 0); }), error_number::kIndexOutOfBounds);
  EXPECT_EQ(number([&] { list.ColumnHeaderText(3); }), error_number::kIndexOutOfBounds);
  EXPECT_EQ(number([&] { list.SetColumnHeaderWidth(0, 1.0f); }), error_number::kIndexOutOfBounds);
}

// Records what a view of the model is told.
struct RecordingListener : ResultsModel::Listener {
  void ColumnAdded(int column) override { events.push_back("column " + std::to_string(column)); }
  void ColumnWidthChanged(int column) override {
    events.push_back("width " + std::to_string(column));
  }
  void RowsAdded(int first, int count) override {
    events.push_back("rows " + std::to_string(first) + "+" + std::to_string(count));
  }
  void RowChanged(int row) override { events.push_back("row " + std::to_string(row)); }
  std::vector<std::string> events;
};

TEST(ResultsModel, AClickTogglesOneRowAndSpaceTogglesTheSelectionTogether) {
  ResultsModel list;
  RecordingListener view;
  list.SetListener(&view);
  list.ColumnHeadersAdd(u"Drive");
  list.SetColumnHeaderWidth(1, 2500.0f);
  for (int i = 0; i < 4; ++i) list.ListItemsAdd(u"row");
  const auto marks = [&] {
    std::string text;
    for (int r = 1; r <= list.ListItemsCount(); ++r) text += list.Checked(r) ? 'x' : '.';
    return text;
  };

  list.ToggleChecked(3);
  EXPECT_EQ(marks(), "..x.");
  // Focus inside the selection: its row's mark decides for all of them.
  list.ToggleTogether({1, 3}, 3);
  EXPECT_EQ(marks(), "....");
  list.ToggleTogether({1, 3}, 3);
  EXPECT_EQ(marks(), "x.x.");
  // Focus elsewhere: the first selected row decides.
  list.SetChecked(2, true);
  list.ToggleTogether({2, 4}, 1);
  EXPECT_EQ(marks(), "x.x.");
  EXPECT_FALSE(list.Checked(2));
  // Nothing selected: the focused row alone; no focus either: nothing.
  list.ToggleTogether({}, 4);
  EXPECT_EQ(marks(), "x.xx");
  list.ToggleTogether({}, 0);
  EXPECT_EQ(marks(), "x.xx");

  EXPECT_EQ(view.events[0], "column 1");
  EXPECT_EQ(view.events[1], "width 1");
  EXPECT_EQ(view.events[2], "rows 1+1");
  // A mark set to what it already was tells the view nothing.
  view.events.clear();
  list.SetChecked(1, true);
  EXPECT_TRUE(view.events.empty());
}

TEST(WindowController, HandOverButtonsArrowElsewhereAndTheHourglassStays) {
  WindowController window;
  const struct {
    PointerArea area;
    int pointer;
  } moves[] = {{PointerArea::kButton, mouse_pointer::kCustom},
               {PointerArea::kList, mouse_pointer::kDefault},
               {PointerArea::kButton, mouse_pointer::kCustom},
               {PointerArea::kWindow, mouse_pointer::kDefault}};
  for (const auto& move : moves) {
    window.MouseMovedOver(move.area);
    EXPECT_EQ(window.MousePointer(), move.pointer);
  }
  window.SetMousePointer(mouse_pointer::kHourglass);
  for (const auto& move : moves) {
    window.MouseMovedOver(move.area);
    EXPECT_EQ(window.MousePointer(), mouse_pointer::kHourglass);
  }
}

TEST(WindowController, ACloseDuringASaveWaitsForItsEndAndHappensOnce) {
  WindowController window;
  EXPECT_TRUE(window.CloseMayProceed(false));
  EXPECT_FALSE(window.TakeWaitingClose(false));
  EXPECT_FALSE(window.CloseMayProceed(true));
  EXPECT_FALSE(window.TakeWaitingClose(true));  // still saving
  EXPECT_TRUE(window.TakeWaitingClose(false));
  EXPECT_FALSE(window.TakeWaitingClose(false));
}

}  // namespace
}  // namespace brindlecap
