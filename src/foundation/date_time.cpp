#include "foundation/date_time.h"

#include "foundation/text_search.h"
#include "platform/clock.h"
#include "platform/code_page_codec.h"

#include <langinfo.h>
#include <locale.h>

#include <cmath>
#include <cstring>

namespace {

constexpr long long kMsPerDay = 86400000;
// 1899-12-30, day 0 of the date-time values, counted from 1970-01-01.
constexpr long long kDateValueEpochDays = -25569;
// Seconds from 1970-01-01 00:00 to 08:00, the origin of the time stamps.
constexpr long long kStampOriginSeconds = 8 * 3600;
// The calendar range a date-time value may name: 0100-01-01 to 9999-12-31.
constexpr double kMinDateValue = -657434.0;
constexpr double kMaxDateValue = 2958466.0;

long long FloorDiv(long long a, long long b) {
  return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0);
}

std::string Digits(int value, int minWidth) {
  return PadLeftWithZeros(std::to_string(value), minWidth);
}

struct LayoutPatterns {
  const char* date;
  const char* time;
  const char* monthDay;
  const char* hourMinute;
  const char* minuteSecond;
};

constexpr LayoutPatterns kLayouts[] = {
    {"yyyy年MM月dd日 ", "hh时mm分ss秒", "MM月dd日", "hh时mm分", "mm分ss秒"},
    {"yyyy-MM-dd ", "hh:mm:ss", "MM-dd", "hh:mm", "mm:ss"},
    {"yyyy/MM/dd ", "hh/mm/ss", "MM/dd", "hh/mm", "mm/ss"},
    {"yyyyMMdd", "hhmmss", "MMdd", "hhmm", "mmss"},
};

std::string Trim(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos)
    return {};
  return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

// Formats one pattern; `pictures` lists the letters that are pictures here.
std::string ApplyPictures(std::string_view pattern, const char* pictures, const LocalDateTime& t,
                          bool twentyFourHour) {
  std::string out;
  for (std::size_t i = 0; i < pattern.size();) {
    const unsigned char c = static_cast<unsigned char>(pattern[i]);
    if (IsCp936LeadByte(c) && i + 1 < pattern.size()) {  // a double-byte character, copied whole
      out.append(pattern.substr(i, 2));
      i += 2;
      continue;
    }
    if (c == 0 || std::strchr(pictures, c) == nullptr) {
      out += static_cast<char>(c);
      ++i;
      continue;
    }
    std::size_t run = 1;
    while (i + run < pattern.size() && pattern[i + run] == pattern[i])
      ++run;
    i += run;
    const int width = run >= 2 ? 2 : 1;
    switch (c) {
      case 'y':
        out += run >= 3 ? Digits(t.year, 4) : Digits(t.year % 100, width);
        break;
      case 'M':
        out += Digits(t.month, width);
        break;
      case 'd':
        out += Digits(t.day, width);
        break;
      case 'h':
        out += twentyFourHour ? Digits(t.hour, width) : Digits((t.hour + 11) % 12 + 1, width);
        break;
      case 'H':
        out += Digits(t.hour, width);
        break;
      case 'm':
        out += Digits(t.minute, width);
        break;
      case 's':
        out += Digits(t.second, width);
        break;
    }
  }
  return out;
}

}  // namespace

std::string PadLeftWithZeros(std::string_view text, int width) {
  const long long zeros = static_cast<long long>(width) - static_cast<long long>(text.size());
  if (zeros <= 0)
    return std::string(text);
  return std::string(static_cast<std::size_t>(zeros), '0') + std::string(text);
}

std::string MakeTimestamp(bool shortForm) {
  const long long localMs = GetClock().NowLocalMs();
  const long long seconds = FloorDiv(localMs, 1000) - kStampOriginSeconds;
  const int millis = static_cast<int>(localMs - FloorDiv(localMs, 1000) * 1000);
  std::string stamp = std::to_string(seconds) + PadLeftWithZeros(std::to_string(millis), 3);
  const std::size_t length = shortForm ? 10 : 13;
  if (shortForm && stamp.size() > length)
    stamp.resize(length);
  while (stamp.size() < length)
    stamp += '0';
  return stamp;
}

double LocalMsToDateValue(long long localMs) {
  const long long days = FloorDiv(localMs, kMsPerDay);
  const double fraction = static_cast<double>(localMs - days * kMsPerDay) / kMsPerDay;
  const double dayValue = static_cast<double>(days - kDateValueEpochDays);
  // Before day 0 the whole part counts back but the fraction still forward.
  return dayValue >= 0 ? dayValue + fraction : dayValue - fraction;
}

double NowDateValue() {
  const long long localMs = GetClock().NowLocalMs();
  return LocalMsToDateValue(FloorDiv(localMs, 1000) * 1000);
}

std::string MakeLocalStampText() {
  // "yyyyMMddhhmmss" on the 24-hour clock, then each part without its zeros.
  const std::string digits = FormatDateTime(std::nullopt, 3, 0, 2);
  if (digits.size() != 14)
    return {};
  const auto part = [&digits](std::size_t at, std::size_t length) {
    return std::stoi(digits.substr(at, length));
  };
  const int hour = part(8, 2);
  const int minute = part(10, 2);
  const int second = part(12, 2);
  std::string text = std::to_string(part(0, 4)) + "年" + std::to_string(part(4, 2)) + "月" +
                     std::to_string(part(6, 2)) + "日";
  if (second != 0)
    return text + std::to_string(hour) + "时" + std::to_string(minute) + "分" +
           std::to_string(second) + "秒";
  if (minute != 0)
    return text + std::to_string(hour) + "时" + std::to_string(minute) + "分";
  if (hour != 0)
    return text + std::to_string(hour) + "时";
  return text;
}

namespace {

int ReadTwentyFourHourClock() {
  locale_t user = newlocale(LC_TIME_MASK, "", static_cast<locale_t>(0));
  if (user == static_cast<locale_t>(0))
    return 0;
  const std::string format = nl_langinfo_l(T_FMT, user);
  freelocale(user);
  if (format.find("%H") != std::string::npos || format.find("%k") != std::string::npos ||
      format.find("%T") != std::string::npos || format.find("%R") != std::string::npos)
    return 1;
  return 0;
}

}  // namespace

int UsesTwentyFourHourClock() {
  // The user's locale settings stay as they are while the program runs: they
  // are read once, not by every date a listing formats (on many threads).
  static const int s_twentyFour = ReadTwentyFourHourClock();
  return s_twentyFour;
}

std::string FormatDateTimeWithPatterns(double value, std::string_view datePattern,
                                       std::string_view timePattern, bool forceTwentyFourHour,
                                       int locale) {
  if (!std::isfinite(value) || value < kMinDateValue || value >= kMaxDateValue)
    return {};
  // Whole days count from day 0 with their sign; the fraction is the time of
  // day in both directions. Rounded to the nearest second.
  const double wholeDays = std::trunc(value);
  const long long secondOfDay = std::llround(std::fabs(value - wholeDays) * 86400.0);
  const long long localMs =
      (static_cast<long long>(wholeDays) + kDateValueEpochDays) * kMsPerDay + secondOfDay * 1000;
  const LocalDateTime t = SplitLocalMs(localMs);
  return ApplyPictures(datePattern, "yMd", t, false) +
         ApplyPictures(timePattern, "hHms", t, forceTwentyFourHour);
}

std::string FormatDateTime(std::optional<double> value, int layout, int part, int clockOption) {
  const double when = value ? *value : NowDateValue();
  const LayoutPatterns& patterns = kLayouts[layout >= 0 && layout <= 3 ? layout : 0];
  std::string date = patterns.date;
  std::string time = patterns.time;
  if (part >= 3 && part <= 5)
    date.clear();
  if (part == 1 || part == 2)
    time.clear();
  if (part == 1)
    date = Trim(date);
  if (part == 2)
    date = patterns.monthDay;
  if (part == 4)
    time = patterns.hourMinute;
  if (part == 5)
    time = patterns.minuteSecond;
  const bool twentyFour = clockOption == 2 || (clockOption != 1 && UsesTwentyFourHourClock() == 1);
  if (twentyFour)
    time = ReplaceAllText(time, "hh", "HH");
  return FormatDateTimeWithPatterns(when, date, time, false, 0);
}
