#include "command_line/command_line.h"

namespace brindlecap {

namespace {

struct Switch {
  std::u16string_view name;
  ExportFormat format;
};
constexpr Switch kSwitches[] = {{u"stext", ExportFormat::kText},
                                {u"stab", ExportFormat::kTab},
                                {u"scsv", ExportFormat::kCsv},
                                {u"sjson", ExportFormat::kJson},
                                {u"shtml", ExportFormat::kHtml}};

bool SameIgnoringAsciiCase(std::u16string_view text, std::u16string_view lowerCase) {
  if (text.size() != lowerCase.size()) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i] >= u'A' && text[i] <= u'Z' ? text[i] - u'A' + u'a' : text[i];
    if (c != lowerCase[i]) return false;
  }
  return true;
}

}  // namespace

const std::string_view kUsageText =
    "Usage: Brindlecap /stext|/stab|/scsv|/sjson|/shtml FILE\r\n"
    "Lists every drive, writes the list to FILE (- for standard output) and exits.\r\n"
    "  /stext  fixed-width text, as Save Results As Text File writes it (ANSI)\r\n"
    "  /stab   one line a drive, cells separated by tabs (ANSI)\r\n"
    "  /scsv   comma-separated values (UTF-8)\r\n"
    "  /sjson  JSON with exact byte counts (UTF-8)\r\n"
    "  /shtml  an HTML page (UTF-8)\r\n"
    "Exit codes: 0 written; 1 not written; 2 bad command line;\r\n"
    "3 written, but a drive's query failed.\r\n";

const std::string_view kWindowProgramNote =
    "In a console or a script, run Brindlecap.com: it waits and sets ERRORLEVEL.\r\n";

CommandLine ParseCommandLine(int count, const char16_t* const* arguments) {
  CommandLine request;
  if (count <= 0) return request;
  const std::u16string_view first = arguments[0];
  // Anything else is a file dropped on the program or a shortcut's argument: the
  // window opens, as without arguments.
  if (first.empty() || (first[0] != u'/' && first[0] != u'-')) return request;
  request.action = CommandLine::Action::kBadCommandLine;
  request.problem = "unknown switch ";
  request.argument = first;
  if (first.size() < 2) return request;
  if (first.substr(1) == u"?") {
    if (count == 1) request = CommandLine{CommandLine::Action::kUsage, {}, {}, {}, {}};
    return request;
  }
  for (const Switch& known : kSwitches) {
    if (!SameIgnoringAsciiCase(first.substr(1), known.name)) continue;
    if (count < 2 || arguments[1][0] == u'\0') {
      request.problem = "missing file name after ";
    } else if (count > 2) {
      request.problem = "unexpected argument ";
      request.argument = arguments[2];
    } else {
      request = CommandLine{CommandLine::Action::kExport, known.format, arguments[1], {}, {}};
    }
    break;
  }
  return request;
}

}  // namespace brindlecap
