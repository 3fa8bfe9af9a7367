#include "shared/theme.h"

#include <gtest/gtest.h>

#include "shared/runtime_failure.h"

namespace brindlecap {
namespace {

TEST(Theme, ReadsColoursAndFontWithCommentsBlankLinesAndAnyCase) {
  const Theme theme = ParseTheme(
      "\xEF\xBB\xBF# Brindlecap theme\r\n"
      "\r\n"
      "Window.Background = #F0F0F0\r\n"
      "; the list\n"
      "list.background=#ffffff\n"
      "  list.text =  #1F2E3D  \n"
      "font.name = Tahoma");
  EXPECT_EQ(theme.windowBackground, 0xF0F0F0u);
  EXPECT_EQ(theme.listBackground, 0xFFFFFFu);
  EXPECT_EQ(theme.listText, 0x1F2E3Du);
  EXPECT_EQ(theme.fontName, u"Tahoma");
}

TEST(Theme, AnEmptyFileChangesNothing) {
  const Theme theme = ParseTheme("");
  EXPECT_FALSE(theme.windowBackground || theme.listBackground || theme.listText || theme.fontName);
}

TEST(Theme, RejectsWhatIsNotATheme) {
  for (const char* content :
       {"window.background = red", "window.background = #12345", "window.background = #1234567",
        "list.text #000000", "button.shape = round", "font.name = ",
        "font.name = A name much longer than thirty-one characters", "\x89PNG\r\n\x1a\n"}) {
    EXPECT_THROW(ParseTheme(content), RuntimeFailure) << content;
  }
}

TEST(Theme, TheFailureNamesTheLine) {
  try {
    ParseTheme("# ok\nwindow.background = #FFFFFF\nnonsense\n");
    FAIL() << "no failure";
  } catch (const RuntimeFailure& failure) {
    EXPECT_NE(failure.Description().find(u"line 3"), std::u16string::npos);
  }
}

}  // namespace
}  // namespace brindlecap
