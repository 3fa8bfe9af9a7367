#include "main_window/core/theme.h"

#include <algorithm>
#include <cctype>
#include <string>

#include "shared/runtime_failure.h"
#include "shared/text_convert.h"

namespace brindlecap {

namespace {

[[noreturn]] void Reject(size_t lineNumber, std::string_view why) {
  throw RuntimeFailure(u"Invalid skin file (line " + DecimalText(lineNumber) + u"): " +
                       AsciiToUtf16(why));
}

std::string_view Trim(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

uint32_t ParseColour(std::string_view value, size_t lineNumber) {
  if (value.size() != 7 || value[0] != '#' ||
      !std::all_of(value.begin() + 1, value.end(),
                   [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; })) {
    Reject(lineNumber, "a colour is written #RRGGBB");
  }
  uint32_t colour = 0;
  for (char digit : value.substr(1)) {
    const int nibble = std::isdigit(static_cast<unsigned char>(digit))
                           ? digit - '0'
                           : std::tolower(static_cast<unsigned char>(digit)) - 'a' + 10;
    colour = colour << 4 | static_cast<uint32_t>(nibble);
  }
  return colour;
}

// The line up to its comment: a '#' or ';' after a space or tab starts one, except
// the '#' that begins the value (a colour).
std::string_view WithoutComment(std::string_view line) {
  const size_t equals = line.find('=');
  const size_t valueStart = equals == std::string_view::npos
                                ? std::string_view::npos
                                : line.find_first_not_of(" \t", equals + 1);
  for (size_t i = 1; i < line.size(); ++i) {
    const bool marker = line[i] == '#' || line[i] == ';';
    const bool afterBlank = line[i - 1] == ' ' || line[i - 1] == '\t';
    if (marker && afterBlank && !(line[i] == '#' && i == valueStart)) return line.substr(0, i);
  }
  return line;
}

}  // namespace

Theme ParseTheme(std::string_view content) {
  if (content.size() > kLargestThemeFile) {
    throw RuntimeFailure(u"Invalid skin file: larger than " +
                         DecimalText(kLargestThemeFile / 1024) + u" KiB");
  }
  // A byte-order mark from an editor is no content.
  if (content.substr(0, 3) == "\xEF\xBB\xBF") content.remove_prefix(3);
  Theme theme;
  size_t lineNumber = 0;
  while (!content.empty()) {
    ++lineNumber;
    const size_t end = content.find('\n');
    std::string_view line = content.substr(0, end);
    content = end == std::string_view::npos ? std::string_view() : content.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.size() > kLongestThemeLine) {
      Reject(lineNumber,
             "a line is longer than " + Utf16ToAscii(DecimalText(kLongestThemeLine)) + " bytes");
    }
    line = Trim(line);
    if (line.empty() || line[0] == '#' || line[0] == ';') continue;
    line = Trim(WithoutComment(line));

    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) Reject(lineNumber, "expected key = value");
    std::string key(Trim(line.substr(0, equals)));
    std::transform(key.begin(), key.end(), key.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const std::string_view value = Trim(line.substr(equals + 1));

    if (key == "window.background") {
      theme.windowBackground = ParseColour(value, lineNumber);
    } else if (key == "list.background") {
      theme.listBackground = ParseColour(value, lineNumber);
    } else if (key == "list.text") {
      theme.listText = ParseColour(value, lineNumber);
    } else if (key == "font.name") {
      if (value.empty() || value.size() > 31)
        Reject(lineNumber, "a font name has 1 to 31 characters");
      theme.fontName = AsciiToUtf16(value);
    } else {
      Reject(lineNumber, "unknown key");
    }
  }
  return theme;
}

}  // namespace brindlecap
