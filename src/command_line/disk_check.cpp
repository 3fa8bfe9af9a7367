#include "command_line/disk_check.h"

#include <cmath>

#include "shared/text_convert.h"

namespace brindlecap {

namespace {

constexpr double kLargestAmount = 9.2e18;  // below the largest int64_t

// Digits with an optional fraction at the start of the text; the rest stays in it.
std::optional<double> TakeNumber(std::u16string_view& text) {
  double value = 0, scale = 0;
  size_t i = 0, digits = 0;
  for (; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c == u'.' && scale == 0) {
      scale = 1;
      continue;
    }
    if (c < u'0' || c > u'9') break;
    value = value * 10 + (c - u'0');
    if (scale != 0) scale *= 10;
    ++digits;
  }
  if (digits == 0 || value > kLargestAmount) return std::nullopt;
  text.remove_prefix(i);
  return scale != 0 ? value / scale : value;
}

// The free bytes below which the drive is past the threshold.
double LimitBytes(const FreeThreshold& threshold, uint64_t total) {
  if (threshold.bytes) return static_cast<double>(*threshold.bytes);
  return static_cast<double>(total) * threshold.percent / 100.0;
}

// The threshold as the performance data gives it: the used bytes it stands for.
std::u16string UsedLimitText(const FreeThreshold& threshold, uint64_t total) {
  const double used = std::floor(static_cast<double>(total) - LimitBytes(threshold, total));
  return DecimalText(used > 0 ? static_cast<unsigned long long>(used) : 0);
}

const char16_t* StateName(CheckState state) {
  switch (state) {
    case CheckState::kOk:
      return u"OK";
    case CheckState::kWarning:
      return u"WARNING";
    case CheckState::kCritical:
      return u"CRITICAL";
    default:
      return u"UNKNOWN";
  }
}

int Severity(CheckState state) {
  switch (state) {
    case CheckState::kCritical:
      return 3;
    case CheckState::kWarning:
      return 2;
    case CheckState::kUnknown:
      return 1;
    default:
      return 0;
  }
}

CheckResult Line(CheckState state, std::u16string_view text, std::u16string_view data = {}) {
  CheckResult result{state, u"DISK "};
  result.line.append(StateName(state)).append(u" - ").append(text);
  if (!data.empty()) result.line.append(u"|").append(data);
  result.line.append(u"\r\n");
  return result;
}

}  // namespace

std::optional<FreeThreshold> ParseFreeThreshold(std::u16string_view text) {
  const std::optional<double> number = TakeNumber(text);
  if (!number) return std::nullopt;
  if (text == u"%") {
    if (*number > 100) return std::nullopt;
    return FreeThreshold{*number, std::nullopt};
  }
  if (!text.empty() && text.front() == u' ') text.remove_prefix(1);
  const std::u16string unit = AsciiUpperCase(std::u16string(text));
  constexpr std::u16string_view kUnits[] = {u"BYTES", u"KB", u"MB", u"GB", u"TB"};
  double bytes = *number;
  for (const std::u16string_view known : kUnits) {
    if (unit == known || (known == u"BYTES" && unit == u"B")) {
      if (bytes > kLargestAmount) return std::nullopt;
      return FreeThreshold{0, static_cast<int64_t>(bytes)};
    }
    bytes *= 1024;
  }
  return std::nullopt;
}

CheckResult CheckDrives(const std::vector<DriveFacts>& drives, const CheckThresholds& thresholds,
                        int timeoutSeconds) {
  if (drives.empty()) return Line(CheckState::kUnknown, u"no drive to check");
  CheckState worst = CheckState::kOk;
  std::u16string text = u"free space:", data;
  for (const DriveFacts& drive : drives) {
    CheckState state = CheckState::kUnknown;
    text.append(u" ").append(drive.root).append(u" ");
    if (!drive.answered) {
      // A timeout is no fault of the check's own: the protocol's guidelines keep
      // UNKNOWN for those, and a drive that hangs is a drive in trouble.
      state = CheckState::kCritical;
      text.append(u"did not answer within ")
          .append(DecimalText(static_cast<unsigned>(timeoutSeconds)))
          .append(u" s");
    } else if (drive.spaceFailure) {
      text.append(u"space unknown (error ").append(DecimalText(*drive.spaceFailure)).append(u")");
    } else if (!drive.hasMedium) {
      text.append(u"no medium");
    } else if (!drive.totalBytes || !drive.freeBytes || !drive.usedBytes) {
      text.append(u"space unknown");
    } else {
      // The system's exact unsigned counts: a drive past 2^63 bytes stays whole.
      const uint64_t total = *drive.totalBytes, free = *drive.freeBytes;
      const double freeBytes = static_cast<double>(free);
      state = freeBytes < LimitBytes(thresholds.crit, total)   ? CheckState::kCritical
              : freeBytes < LimitBytes(thresholds.warn, total) ? CheckState::kWarning
                                                               : CheckState::kOk;
      const uint64_t percent =
          total > 0 ? static_cast<uint64_t>(freeBytes * 100 / static_cast<double>(total)) : 0;
      text.append(DecimalText(free / (1024 * 1024)))
          .append(u" MB (")
          .append(DecimalText(percent))
          .append(u"%)");
      if (!data.empty()) data.append(u" ");
      data.append(u"'").append(drive.root).append(u"'=");
      data.append(DecimalText(*drive.usedBytes)).append(u"B;");
      data.append(UsedLimitText(thresholds.warn, total)).append(u";");
      data.append(UsedLimitText(thresholds.crit, total)).append(u";0;");
      data.append(DecimalText(total));
    }
    if (state != CheckState::kOk) text.append(u" ").append(StateName(state));
    text.append(u";");
    if (Severity(state) > Severity(worst)) worst = state;
  }
  text.pop_back();
  return Line(worst, text, data);
}

CheckResult MissingDrive(std::u16string_view root) {
  return Line(CheckState::kCritical, std::u16string(root).append(u" does not exist"));
}

CheckResult BadCheckCommandLine(std::string_view problem, std::u16string_view argument) {
  return Line(CheckState::kUnknown, AsciiToUtf16(problem).append(argument));
}

}  // namespace brindlecap
