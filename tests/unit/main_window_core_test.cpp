// The window's portable core: its title, layout and home page, the usage bar and
// the byte counts it shows, and the controller's pointer and close.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "main_window/core/application_title.h"
#include "main_window/core/byte_count_text.h"
#include "main_window/core/copy_text.h"
#include "main_window/core/form_layout.h"
#include "main_window/core/home_page_draw.h"
#include "main_window/core/window_controller.h"
#include "results/result_columns.h"
#include "results/results_model.h"
#include "results/usage_bar.h"
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
  for (const auto& column : kResultColumns) total += column.widthTwips;
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

TEST(UsageBar, ShowsUsedAgainstTotalButNotForAMissingAmountOrACdOrDvd) {
  struct Case {
    std::optional<int64_t> total, used;
    std::optional<int16_t> kind;
    std::optional<double> share;
  };
  const Case cases[] = {
      {1000, 250, 3, 0.25},
      {1000, 950, 2, 0.95},
      {1000, 1200, 3, 1.0},  // the system's figures disagree: never past the end
      {1000, 700, std::nullopt, 0.7},
      {700, 700, kOpticalDriveKind, std::nullopt},  // a disc is always full
      {std::nullopt, 10, 3, std::nullopt},
      {1000, std::nullopt, 3, std::nullopt},
      {0, 0, 6, std::nullopt},
  };
  for (const Case& c : cases) {
    DriveFacts facts;
    facts.totalBytes = c.total;
    facts.usedBytes = c.used;
    facts.kindCode = c.kind;
    EXPECT_EQ(UsageBarShare(facts), c.share) << c.total.value_or(-1) << " " << c.kind.value_or(-1);
  }
}

TEST(ByteCountText, GroupsDigitsAsTheLocaleSays) {
  struct Case {
    uint64_t value;
    std::u16string_view separator, grouping, digits;
  };
  const Case cases[] = {
      {500107862016, u",", u"3;0", u"500,107,862,016"},
      {0, u",", u"3;0", u"0"},
      {999, u",", u"3;0", u"999"},
      {1000, u".", u"3;0", u"1.000"},
      {18446744073709551615u, u",", u"3;0", u"18,446,744,073,709,551,615"},
      {18446744073709551615u, u"abcd", u"1;0",
       u"1abc8abc4abc4abc6abc7abc4abc4abc0abc7abc3abc7abc0abc9abc"
       u"5abc5abc1abc6abc1abc5"},
      {1234567890, u",", u"3;2;0", u"1,23,45,67,890"},
      {1234567890, u",", u"3", u"1234567,890"},
      {1234567890, u",", u"3;2", u"12345,67,890"},
      {1234567890, u"\u00A0", u"3;0", u"1\u00A0234\u00A0567\u00A0890"},
      {1234567890, u",", u"0", u"1234567890"},
      {1234567890, u",", u"", u"1234567890"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ByteCountText(c.value, c.separator, c.grouping), std::u16string(c.digits) + u" bytes")
        << c.value;
  }
}

TEST(WindowController, HandOverButtonsArrowElsewhereAndTheHourglassStays) {
  WindowController window;
  const struct {
    PointerArea area;
    PointerShape pointer;
  } moves[] = {{PointerArea::kButton, PointerShape::kHand},
               {PointerArea::kList, PointerShape::kArrow},
               {PointerArea::kButton, PointerShape::kHand},
               {PointerArea::kWindow, PointerShape::kArrow}};
  for (const auto& move : moves) {
    window.MouseMovedOver(move.area);
    EXPECT_EQ(window.MousePointer(), move.pointer);
  }
  window.SetMousePointer(PointerShape::kHourglass);
  for (const auto& move : moves) {
    window.MouseMovedOver(move.area);
    EXPECT_EQ(window.MousePointer(), PointerShape::kHourglass);
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
