#include "main_window/core/theme.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "shared/runtime_failure.h"

namespace brindlecap {
namespace {

TEST(Theme, ReadsColoursAndFontWithCommentsBlankLinesAndAnyCase) {
  const Theme theme = ParseTheme(
      "\xEF\xBB\xBF# Brindlecap theme\r\n"
      "\r\n"
      "Window.Background = #F0F0F0   # grey\r\n"
      "; the list\n"
      "list.background=#ffffff\t; white\n"
      "  list.text =  #1F2E3D  \n"
      "font.name = C#;Sharp");
  EXPECT_EQ(theme.windowBackground, 0xF0F0F0u);
  EXPECT_EQ(theme.listBackground, 0xFFFFFFu);
  EXPECT_EQ(theme.listText, 0x1F2E3Du);
  EXPECT_EQ(theme.fontName, u"C#;Sharp");  // '#' and ';' inside a word are kept
  EXPECT_EQ(ParseTheme("font.name = Courier New ;# comment").fontName, u"Courier New");
  EXPECT_EQ(ParseTheme("font.name = " + std::string(31, 'F')).fontName, std::u16string(31, u'F'));
}

// The example in README.md, found under the paragraph on the skin file.
std::string ReadmeSkinExample() {
  std::ifstream readme(BRINDLECAP_SOURCE_DIR "/README.md", std::ios::binary);
  std::stringstream whole;
  whole << readme.rdbuf();
  const std::string text = whole.str();
  const size_t paragraph = text.find("`x\\o.cjs`: a skin");
  const size_t fence = text.find("```", paragraph);
  const size_t start = text.find('\n', fence);
  const size_t end = text.find("```", start);
  if (paragraph == std::string::npos || fence == std::string::npos || start == std::string::npos ||
      end == std::string::npos) {
    return {};
  }
  return text.substr(start + 1, end - start - 1);
}

TEST(Theme, TheReadmeExampleGivesItsTheme) {
  const std::string example = ReadmeSkinExample();
  ASSERT_NE(example.find("window.background"), std::string::npos) << "no example in README.md";
  const Theme theme = ParseTheme(example);
  EXPECT_EQ(theme.windowBackground, 0xF3F3F3u);
  EXPECT_EQ(theme.listBackground, 0xFFFFFFu);
  EXPECT_EQ(theme.listText, 0x202020u);
  EXPECT_EQ(theme.fontName, u"Tahoma");
}

TEST(Theme, AnEmptyFileChangesNothing) {
  const Theme theme = ParseTheme("");
  EXPECT_FALSE(theme.windowBackground || theme.listBackground || theme.listText || theme.fontName);
}

TEST(Theme, RejectsWhatIsNotATheme) {
  for (const char* content :
       {"window.background = red", "window.background = #12345", "window.background = #1234567",
        "window.background = #123456#", "window.background = # a comment is no colour",
        "list.text = ; nothing", "list.text # key = #000000", "list.text #000000",
        "button.shape = round", "font.name = ", "font.name =\t; none",
        "font.name = A name much longer than thirty-one characters", "\x89PNG\r\n\x1a\n"}) {
    EXPECT_THROW(ParseTheme(content), RuntimeFailure) << content;
  }
  // A face name has room for 31 characters and its end (LOGFONT).
  EXPECT_THROW(ParseTheme("font.name = " + std::string(32, 'F')), RuntimeFailure);
}

std::u16string FailureText(const std::string& content) {
  try {
    ParseTheme(content);
  } catch (const RuntimeFailure& failure) {
    return failure.Description();
  }
  return u"<no failure>";
}

TEST(Theme, TheFailureNamesTheLine) {
  EXPECT_NE(FailureText("# ok\nwindow.background = #FFFFFF\nnonsense\n").find(u"line 3"),
            std::u16string::npos);
}

TEST(Theme, FilesAndLinesHaveALimit) {
  const std::string longest = "#" + std::string(kLongestThemeLine - 1, 'x') + "\r\n";
  EXPECT_NO_THROW(ParseTheme(longest + longest));
  EXPECT_EQ(FailureText("# ok\n" + longest + "#" + longest),
            u"Invalid skin file (line 3): a line is longer than 1024 bytes");

  std::string largest;
  while (largest.size() + longest.size() <= kLargestThemeFile) largest += longest;
  largest += "font.name = Arial" + std::string(kLargestThemeFile - largest.size() - 17, ' ');
  ASSERT_EQ(largest.size(), kLargestThemeFile);
  EXPECT_EQ(ParseTheme(largest).fontName, u"Arial");
  EXPECT_EQ(FailureText(largest + "\n"), u"Invalid skin file: larger than 64 KiB");
}

}  // namespace
}  // namespace brindlecap
