#include "platform/clock.h"

#include "platform/fake_clock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

TEST(Clock, CalendarFieldsRoundTripThroughLocalMs) {
  struct Row {
    const char* name;
    LocalDateTime fields;
    std::int64_t localMs;
  } rows[] = {
      {"epoch", {1970, 1, 1, 0, 0, 0, 0}, 0},
      {"summer 2025 with ms", {2025, 7, 9, 13, 5, 9, 42}, 1752066309042},
      {"leap day", {2024, 2, 29, 23, 59, 59, 999}, 1709251199999},
      {"day before epoch", {1969, 12, 31, 23, 59, 59, 0}, -1000},
      {"year 2000 is a leap year", {2000, 3, 1, 0, 0, 0, 0}, 951868800000},
      {"1900 is not a leap year", {1900, 3, 1, 0, 0, 0, 0}, -2203891200000},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(JoinLocalMs(row.fields), row.localMs);
    const LocalDateTime back = SplitLocalMs(row.localMs);
    EXPECT_EQ(back.year, row.fields.year);
    EXPECT_EQ(back.month, row.fields.month);
    EXPECT_EQ(back.day, row.fields.day);
    EXPECT_EQ(back.hour, row.fields.hour);
    EXPECT_EQ(back.minute, row.fields.minute);
    EXPECT_EQ(back.second, row.fields.second);
    EXPECT_EQ(back.millisecond, row.fields.millisecond);
  }
}

TEST(Clock, OutOfRangeFieldsCarryOver) {
  EXPECT_EQ(JoinLocalMs({2024, 13, 1, 0, 0, 0, 0}), JoinLocalMs({2025, 1, 1, 0, 0, 0, 0}));
  EXPECT_EQ(JoinLocalMs({2025, 0, 1, 0, 0, 0, 0}), JoinLocalMs({2024, 12, 1, 0, 0, 0, 0}));
  EXPECT_EQ(JoinLocalMs({2025, 2, 29, 0, 0, 0, 0}), JoinLocalMs({2025, 3, 1, 0, 0, 0, 0}));
}

TEST(Clock, SystemClockIsInstalledByDefaultAndRestoredAfterAFake) {
  EXPECT_TRUE(GetClock().IsReal());
  {
    FakeClock fake;
    ScopedClock use(fake);
    EXPECT_EQ(&GetClock(), &fake);
    EXPECT_FALSE(GetClock().IsReal());
  }
  EXPECT_EQ(&GetClock(), &GetSystemClock());
}

TEST(Clock, SystemClockStopsAStoppableWaitEarly) {
  std::atomic<bool> stop{true};
  const std::int64_t before = GetSystemClock().SteadyMs();
  EXPECT_FALSE(GetSystemClock().SleepFor(60000, [&] { return stop.load(); }));
  EXPECT_LT(GetSystemClock().SteadyMs() - before, 1000);
  EXPECT_TRUE(GetSystemClock().SleepFor(2, [] { return false; }));
}

TEST(FakeClock, AutoAdvanceCompletesWaitsAtOnceAndMovesBothScales) {
  FakeClock clock({2025, 7, 9, 13, 5, 9, 0});
  const std::int64_t local = clock.NowLocalMs();
  EXPECT_TRUE(clock.SleepFor(120000));
  EXPECT_TRUE(clock.SleepFor(0));
  EXPECT_EQ(clock.NowLocalMs(), local + 120000);
  EXPECT_EQ(clock.SteadyMs(), 120000);
  EXPECT_EQ(clock.Sleeps(), (std::vector<std::int64_t>{120000, 0}));
}

TEST(FakeClock, SleepHookCanStopTheWaitItRunsIn) {
  FakeClock clock;
  std::atomic<int> stop{0};
  clock.SetSleepHook([&](std::int64_t) { stop = 1; });
  EXPECT_FALSE(clock.SleepFor(3000, [&] { return stop.load() != 0; }));
  EXPECT_EQ(clock.SteadyMs(), 0) << "a stopped wait must not move the clock";
}

TEST(FakeClock, ManualModeBlocksUntilAdvancedPastTheEnd) {
  FakeClock clock;
  clock.SetAutoAdvance(false);
  std::atomic<bool> done{false};
  std::thread waiter([&] {
    EXPECT_TRUE(clock.SleepFor(5000));
    done = true;
  });
  clock.WaitUntilBlocked(1);
  clock.Advance(4999);
  EXPECT_FALSE(done.load());
  clock.Advance(1);
  waiter.join();
  EXPECT_TRUE(done.load());
}

TEST(FakeClock, ManualModeWaitWakesOnItsStopCondition) {
  FakeClock clock;
  clock.SetAutoAdvance(false);
  std::atomic<bool> stop{false};
  bool result = true;
  std::thread waiter([&] { result = clock.SleepFor(60000, [&] { return stop.load(); }); });
  clock.WaitUntilBlocked(1);
  stop = true;
  waiter.join();
  EXPECT_FALSE(result);
  EXPECT_EQ(clock.BlockedSleepers(), 0);
}

TEST(FakeClock, ManualModeStopConditionMayReadTheClock) {
  FakeClock clock;
  clock.SetAutoAdvance(false);
  const std::int64_t deadline = clock.SteadyMs() + 3000;
  bool result = true;
  std::thread waiter(
      [&] { result = clock.SleepFor(60000, [&] { return clock.SteadyMs() >= deadline; }); });
  clock.WaitUntilBlocked(1);
  clock.Advance(3000);
  waiter.join();
  EXPECT_FALSE(result) << "the wait ended on its own deadline, before its full time";
  EXPECT_EQ(clock.SteadyMs(), 3000);
}

}  // namespace
