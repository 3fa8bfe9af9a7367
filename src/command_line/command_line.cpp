#include "command_line/command_line.h"

#include <algorithm>
#include <iterator>
#include <optional>

#include "shared/text_convert.h"

namespace brindlecap {

namespace {

struct Switch {
  std::u16string_view name;
  ExportFormat format;
};
constexpr Switch kSwitches[] = {
    {u"stext", ExportFormat::kText}, {u"stab", ExportFormat::kTab},
    {u"scsv", ExportFormat::kCsv},   {u"sjson", ExportFormat::kJson},
    {u"shtml", ExportFormat::kHtml}, {u"sprom", ExportFormat::kPrometheus}};

// A whole number of seconds within /timeout's range; nothing otherwise.
std::optional<int> TimeoutSeconds(std::u16string_view text) {
  if (text.empty()) return std::nullopt;
  int value = 0;
  for (const char16_t c : text) {
    if (c < u'0' || c > u'9') return std::nullopt;
    value = value * 10 + (c - u'0');
    if (value > kMaxTimeoutSeconds) return std::nullopt;
  }
  if (value < kMinTimeoutSeconds) return std::nullopt;
  return value;
}

// The switches with a value that choose the drives and set the check's thresholds.
struct ValueSwitch {
  std::u16string_view name;
  std::string_view refused;  // the problem, named with the value refused
  bool (*take)(CommandLine& request, std::u16string_view value);
};
constexpr unsigned kThresholdSwitches = 4 | 8;
constexpr ValueSwitch kValueSwitches[] = {
    {u"drives", "/drives needs drive letters separated by commas, not ",
     [](CommandLine& request, std::u16string_view value) {
       const auto letters = ParseDriveLetters(value);
       request.choice.letters = letters.value_or(u"");
       return letters.has_value();
     }},
    {u"kinds", "/kinds needs kinds separated by commas (fixed usb floppy cd dvd remote ram), not ",
     [](CommandLine& request, std::u16string_view value) {
       request.choice.kinds = ParseDriveKinds(value).value_or(0);
       return request.choice.kinds != 0;
     }},
    {u"warn", "/warn needs a share (10%) or an amount (20GB) of free space, not ",
     [](CommandLine& request, std::u16string_view value) {
       const auto threshold = ParseFreeThreshold(value);
       if (threshold) request.thresholds.warn = *threshold;
       return threshold.has_value();
     }},
    {u"crit", "/crit needs a share (5%) or an amount (10GB) of free space, not ",
     [](CommandLine& request, std::u16string_view value) {
       const auto threshold = ParseFreeThreshold(value);
       if (threshold) request.thresholds.crit = *threshold;
       return threshold.has_value();
     }},
};

}  // namespace

const std::string_view kUsageText =
    "Usage: Brindlecap /stext|/stab|/scsv|/sjson|/shtml|/sprom FILE [/timeout SECONDS]\r\n"
    "                  [/volumes] [/drives LETTERS] [/kinds KINDS]\r\n"
    "       Brindlecap /check [/warn FREE] [/crit FREE] [/drives LETTERS] [/kinds KINDS]\r\n"
    "                  [/volumes] [/timeout SECONDS]\r\n"
    "Lists every drive, writes the list to FILE (- for standard output) and exits.\r\n"
    "  /stext    fixed-width text, as Save Results As Text File writes it (ANSI)\r\n"
    "  /stab     one line a drive, cells separated by tabs (ANSI)\r\n"
    "  /scsv     comma-separated values (UTF-8)\r\n"
    "  /sjson    JSON with exact byte counts (UTF-8)\r\n"
    "  /shtml    an HTML page (UTF-8)\r\n"
    "  /sprom    Prometheus metrics for a textfile collector (UTF-8, LF)\r\n"
    "  /timeout  how long to wait for the drives, 1 to 3600 seconds (default 60);\r\n"
    "            a drive that has not answered by then is written as not answering\r\n"
    "  /volumes  also lists each volume mounted in a folder, after the lettered drives\r\n"
    "  /drives   only these drives, letters separated by commas: /drives C,D\r\n"
    "  /kinds    only these kinds, separated by commas: fixed usb floppy cd dvd\r\n"
    "            remote ram\r\n"
    "Exit codes: 0 written; 1 not written; 2 bad command line or no such drive;\r\n"
    "3 written, but a drive's query failed or a drive did not answer.\r\n"
    "  /check    for monitoring engines (Nagios, Icinga, Naemon, NSClient++): one line,\r\n"
    "            DISK OK, WARNING, CRITICAL or UNKNOWN, then performance data; exit\r\n"
    "            code 0, 1, 2 or 3. Without /drives or /kinds: fixed, remote, RAM and\r\n"
    "            USB drives with a medium\r\n"
    "  /warn     WARNING when a drive's free space is below FREE: a share of its\r\n"
    "            total (10%, the default) or an amount (20GB, 500MB; units of 1,024)\r\n"
    "  /crit     CRITICAL below FREE (default 5%)\r\n";

const std::string_view kWindowProgramNote =
    "In a console or a script, run Brindlecap.com: it waits and sets ERRORLEVEL.\r\n";

CommandLine ParseCommandLine(int count, const char16_t* const* arguments) {
  CommandLine request;
  if (count <= 0) return request;
  const std::u16string_view first = arguments[0];
  // Anything else is a file dropped on the program or a shortcut's argument: the
  // window opens, as without arguments.
  if (first.empty() || (first[0] != u'/' && first[0] != u'-')) return request;
  if (count == 1 && first.substr(1) == u"?") {
    request.action = CommandLine::Action::kUsage;
    return request;
  }
  bool check = false;
  for (int i = 0; i < count; ++i) {
    const std::u16string_view argument = arguments[i];
    check = check || (argument.size() == 6 && SameIgnoringAsciiCase(argument.substr(1), u"check"));
  }
  const auto bad = [check](std::string_view problem, std::u16string_view argument) {
    CommandLine wrong;
    wrong.action = CommandLine::Action::kBadCommandLine;
    wrong.check = check;
    wrong.problem = problem;
    wrong.argument = argument;
    return wrong;
  };
  bool formatGiven = false, timeoutGiven = false;
  unsigned valuesGiven = 0;
  for (int i = 0; i < count; ++i) {
    const std::u16string_view argument = arguments[i];
    const bool isSwitch = !argument.empty() && (argument[0] == u'/' || argument[0] == u'-');
    const std::u16string_view name = isSwitch ? argument.substr(1) : std::u16string_view();
    const bool hasValue = i + 1 < count && arguments[i + 1][0] != u'\0';
    if (SameIgnoringAsciiCase(name, u"volumes")) {
      if (request.volumes) return bad("unexpected argument ", argument);
      request.volumes = true;
      continue;
    }
    if (SameIgnoringAsciiCase(name, u"timeout")) {
      if (timeoutGiven) return bad("unexpected argument ", argument);
      if (!hasValue) return bad("missing number of seconds after ", argument);
      const std::optional<int> seconds = TimeoutSeconds(arguments[++i]);
      if (!seconds)
        return bad("/timeout needs a whole number of seconds from 1 to 3600, not ", arguments[i]);
      request.timeoutSeconds = *seconds;
      timeoutGiven = true;
      continue;
    }
    const auto value =
        std::find_if(std::begin(kValueSwitches), std::end(kValueSwitches),
                     [&](const auto& known) { return SameIgnoringAsciiCase(name, known.name); });
    if (value != std::end(kValueSwitches)) {
      const unsigned bit = 1u << (value - std::begin(kValueSwitches));
      if ((valuesGiven & bit) != 0) return bad("unexpected argument ", argument);
      if (!hasValue) return bad("missing value after ", argument);
      if (!value->take(request, arguments[++i])) return bad(value->refused, arguments[i]);
      valuesGiven |= bit;
      continue;
    }
    if (SameIgnoringAsciiCase(name, u"check")) {
      if (formatGiven) return bad("unexpected argument ", argument);
      formatGiven = request.check = true;
      continue;
    }
    const Switch* format = nullptr;
    for (const Switch& known : kSwitches) {
      if (SameIgnoringAsciiCase(name, known.name)) format = &known;
    }
    if (format == nullptr) {
      return bad(isSwitch ? "unknown switch " : "unexpected argument ", argument);
    }
    if (formatGiven) return bad("unexpected argument ", argument);
    if (!hasValue) return bad("missing file name after ", argument);
    request.format = format->format;
    request.path = arguments[++i];
    formatGiven = true;
  }
  if (!formatGiven) {
    return bad(
        "an export switch (/stext, /stab, /scsv, /sjson, /shtml or /sprom) or /check must go with ",
        first);
  }
  if (!request.check && (valuesGiven & kThresholdSwitches) != 0) {
    return bad("/warn and /crit go only with /check", {});
  }
  if (request.check && request.choice.letters.empty() && request.choice.kinds == 0) {
    // What a server's own disks are: the drives that can fill up and hold data.
    request.choice.kinds =
        drive_kind::kFixed | drive_kind::kRemote | drive_kind::kRam | drive_kind::kUsb;
    request.choice.mediumOnly = true;
  }
  request.action = request.check ? CommandLine::Action::kCheck : CommandLine::Action::kExport;
  return request;
}

}  // namespace brindlecap
