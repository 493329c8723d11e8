#include "foundation/date_time.h"

#include "platform/fake_clock.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

constexpr LocalDateTime kMoment{2025, 7, 9, 13, 5, 9, 42};

TEST(MakeTimestamp, SecondsFromEightOClockOnNewYear1970AndMilliseconds) {
  struct Row {
    const char* name;
    LocalDateTime now;
    bool shortForm;
    const char* expected;
  } rows[] = {
      {"long form", kMoment, false, "1752037509042"},
      {"short form is the seconds", kMoment, true, "1752037509"},
      {"milliseconds padded", {2025, 7, 9, 13, 5, 9, 7}, false, "1752037509007"},
      {"whole second", {2025, 7, 9, 13, 5, 10, 0}, false, "1752037510000"},
      {"few seconds: long form padded at the end",
       {1970, 1, 2, 0, 0, 0, 500},
       false,
       "5760050000000"},
      {"few seconds: short form padded at the end", {1970, 1, 2, 0, 0, 0, 500}, true, "5760050000"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    FakeClock clock(row.now);
    ScopedClock use(clock);
    EXPECT_EQ(MakeTimestamp(row.shortForm), row.expected);
  }
}

// Every reading is one millisecond later than the one before.
class SteppingClock final : public Clock {
 public:
  explicit SteppingClock(std::int64_t start) : m_next(start) {}
  std::int64_t NowLocalMs() const override { return m_next++; }
  std::int64_t SteadyMs() const override { return 0; }
  bool SleepFor(std::int64_t, const StopCondition&) override { return true; }

 private:
  mutable std::atomic<std::int64_t> m_next;
};

TEST(MakeTimestamp, ReadsTheClockOnceSoSecondsAndMillisecondsBelongTogether) {
  SteppingClock clock(JoinLocalMs({2025, 7, 9, 13, 5, 9, 999}));
  ScopedClock use(clock);
  EXPECT_EQ(MakeTimestamp(), "1752037509999");
}

TEST(FormatDateTime, EveryLayoutAndPartOnTheTwentyFourHourClock) {
  struct Row {
    int layout;
    int part;
    const char* expected;
  } rows[] = {
      {0, 0, "2025年07月09日 13时05分09秒"},
      {0, 1, "2025年07月09日"},
      {0, 2, "07月09日"},
      {0, 3, "13时05分09秒"},
      {0, 4, "13时05分"},
      {0, 5, "05分09秒"},
      {1, 0, "2025-07-09 13:05:09"},
      {1, 1, "2025-07-09"},
      {1, 2, "07-09"},
      {1, 3, "13:05:09"},
      {1, 4, "13:05"},
      {1, 5, "05:09"},
      {2, 0, "2025/07/09 13/05/09"},
      {2, 1, "2025/07/09"},
      {2, 2, "07/09"},
      {2, 3, "13/05/09"},
      {2, 4, "13/05"},
      {2, 5, "05/09"},
      {3, 0, "20250709130509"},
      {3, 1, "20250709"},
      {3, 2, "0709"},
      {3, 3, "130509"},
      {3, 4, "1305"},
      {3, 5, "0509"},
      {7, 0, "2025年07月09日 13时05分09秒"},
      {-1, 1, "2025年07月09日"},
      {1, 9, "2025-07-09 13:05:09"},
  };
  FakeClock clock(kMoment);
  ScopedClock use(clock);
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << "layout " << row.layout << " part " << row.part);
    EXPECT_EQ(FormatDateTime(std::nullopt, row.layout, row.part, 2), row.expected);
  }
}

TEST(FormatDateTime, TwelveHourClockAndGivenValues) {
  const auto value = [](LocalDateTime t) { return LocalMsToDateValue(JoinLocalMs(t)); };
  struct Row {
    const char* name;
    double value;
    int layout, part, clock;
    const char* expected;
  } rows[] = {
      {"afternoon on the 12-hour clock", value(kMoment), 1, 0, 1, "2025-07-09 01:05:09"},
      {"midnight reads 12", value({2025, 7, 9, 0, 30, 0, 0}), 1, 3, 1, "12:30:00"},
      {"noon reads 12", value({2025, 7, 9, 12, 30, 0, 0}), 1, 3, 1, "12:30:00"},
      {"midnight on the 24-hour clock", value({2025, 7, 9, 0, 30, 0, 0}), 1, 3, 2, "00:30:00"},
      {"whole day value", 45847.0, 1, 0, 2, "2025-07-09 00:00:00"},
      {"parts of a second round up", 45847.0 + 59.6 / 86400, 1, 0, 2, "2025-07-09 00:01:00"},
      {"parts of a second round down", 45847.0 + 59.4 / 86400, 1, 0, 2, "2025-07-09 00:00:59"},
      {"before day 0 the fraction counts forward", -1.25, 1, 0, 2, "1899-12-29 06:00:00"},
      {"day 0", 0.0, 1, 1, 2, "1899-12-30"},
      {"beyond year 9999", 2958466.0, 1, 0, 2, ""},
      {"before year 100", -657435.0, 1, 0, 2, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(FormatDateTime(row.value, row.layout, row.part, row.clock), row.expected);
  }
}

TEST(FormatDateTime, NowIsTakenToTheSecond) {
  FakeClock clock({2025, 7, 9, 13, 5, 9, 999});
  ScopedClock use(clock);
  EXPECT_EQ(FormatDateTime(std::nullopt, 1, 3, 2), "13:05:09");
  EXPECT_DOUBLE_EQ(NowDateValue(), 45847.0 + (13 * 3600 + 5 * 60 + 9) / 86400.0);
}

TEST(FormatDateTimeWithPatterns, PicturesAndLiteralCharacters) {
  const double value = LocalMsToDateValue(JoinLocalMs({2025, 3, 4, 5, 6, 7, 0}));
  struct Row {
    const char* name;
    const char* date;
    const char* time;
    bool force24;
    const char* expected;
  } rows[] = {
      {"single letters do not pad", "y-M-d ", "h:m:s", false, "25-3-4 5:6:7"},
      {"two-digit year", "yy", "", false, "25"},
      {"time letters are literal in the date pattern", "hms yyyy", "", false, "hms 2025"},
      {"date letters are literal in the time pattern", "", "dMy HH", false, "dMy 05"},
      {"forced 24-hour", "", "hh", true, "05"},
      {"double-byte characters copied whole", "yyyy年", "时", false, "2025年时"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(FormatDateTimeWithPatterns(value, row.date, row.time, row.force24), row.expected);
  }
}

TEST(PadLeftWithZeros, PadsShortTextsOnly) {
  EXPECT_EQ(PadLeftWithZeros("7", 3), "007");
  EXPECT_EQ(PadLeftWithZeros("1234", 3), "1234");
  EXPECT_EQ(PadLeftWithZeros("", 2), "00");
  EXPECT_EQ(PadLeftWithZeros("5", -1), "5");
}

}  // namespace

namespace {

TEST(MakeLocalStampText, TrailingZeroPartsAreLeftOut) {
  struct Row {
    const char* name;
    LocalDateTime now;
    const char* expected;
  } rows[] = {
      {"seconds", {2025, 7, 9, 13, 5, 9, 500}, "2025年7月9日13时5分9秒"},
      {"only the seconds 0", {2025, 7, 9, 13, 5, 0, 0}, "2025年7月9日13时5分"},
      {"minutes and seconds 0", {2025, 12, 31, 8, 0, 0, 0}, "2025年12月31日8时"},
      {"midnight", {2026, 1, 1, 0, 0, 0, 0}, "2026年1月1日"},
      {"zero minutes inside", {2025, 7, 9, 0, 0, 7, 0}, "2025年7月9日0时0分7秒"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    FakeClock clock(row.now);
    ScopedClock use(clock);
    EXPECT_EQ(MakeLocalStampText(), row.expected);
  }
}

}  // namespace
