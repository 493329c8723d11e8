#pragma once
// Time stamps and readable date-time texts.
//
// Time stamps are decimal digits: 13 (seconds and milliseconds) keep the update
// server's addresses from being served from a cache; 10 (seconds) name a
// listing cache file. The seconds are counted from the local date-time
// "1970-01-01 08:00:00", which equals the Unix time when the clock runs at
// UTC+8.
//
// Date-time values are day counts in the automation date form: days since
// 1899-12-30 00:00 local time, the fraction being the time of day (for days
// before that date the fraction still counts forward from midnight).
//
// FormatDateTime layouts (date part + time part; parts pick pieces of them):
//   layout 0: "yyyy年MM月dd日 hh时mm分ss秒"   layout 1: "yyyy-MM-dd hh:mm:ss"
//   layout 2: "yyyy/MM/dd hh/mm/ss"           layout 3: "yyyyMMddhhmmss"
//   part 0 date and time, 1 date, 2 month and day, 3 time, 4 hour and minute,
//   5 minute and second; any other layout counts as 0, any other part as 0.
//
// Everything reads the installed Clock (platform/clock.h) and is safe from any
// thread.

#include <optional>
#include <string>
#include <string_view>

// 13-digit stamp of now (10 digits with shortForm). The clock is read once, so
// the milliseconds always belong to the same second as the seconds.
std::string MakeTimestamp(bool shortForm = false);

// text with "0" put in front until it is width bytes long.
std::string PadLeftWithZeros(std::string_view text, int width);

// clockOption: 1 the 12-hour clock (hours 01-12, no marker), 2 the 24-hour
// clock, anything else the user's setting (UsesTwentyFourHourClock). No value:
// now, to the second. Empty text for a value outside years 100 to 9999.
std::string FormatDateTime(std::optional<double> value = std::nullopt, int layout = 0, int part = 0,
                           int clockOption = 0);

// Now as the local date-time text that names result logs and backups:
// "%d年%d月%d日" followed by "%d时%d分%d秒" when the seconds are not 0,
// "%d时%d分" when only the seconds are 0, "%d时" when minutes and seconds are
// 0, and nothing at midnight exactly; numbers without leading zeros
// ("2025年7月9日13时5分").
std::string MakeLocalStampText();

// 1 when the user's locale writes times on the 24-hour clock, else 0 (also
// when it cannot be told); read once, at the first call.
int UsesTwentyFourHourClock();

// The date formatted with datePattern followed at once by the time formatted
// with timePattern. Pictures: date yyyy, yy, y, MM, M, dd, d; time hh, h
// (12-hour), HH, H, mm, m, ss, s; every other character is copied (double-byte
// characters whole). forceTwentyFourHour makes h and hh 24-hour. locale is
// accepted for compatibility; the pictures give digits only, so it changes
// nothing. Empty text for a value that has no calendar date.
std::string FormatDateTimeWithPatterns(double value, std::string_view datePattern,
                                       std::string_view timePattern,
                                       bool forceTwentyFourHour = false, int locale = 0);

// Conversions between the installed clock's local milliseconds and date-time
// values.
double LocalMsToDateValue(long long localMs);
double NowDateValue();  // now, to the second
