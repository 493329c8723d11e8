#pragma once
// A clock for tests: time moves only when a wait or the test moves it.
//
// Auto-advance mode (the default): SleepFor returns at once and moves the
// clock forward by the requested time, so a wait of two minutes costs nothing
// (waits on several threads add up).
// Manual mode: SleepFor blocks until the test has advanced the clock past the
// wait's end (Advance) or the wait's stop condition holds; use it when a test
// must act while another thread waits.
//
// Every wait is recorded (Sleeps), and a sleep hook runs at the start of each
// auto-advanced wait, so a test can change state "during" a wait (set a stop
// flag, untick a box).
//
//   FakeClock clock(LocalDateTime{2025, 7, 9, 13, 5, 9, 42});
//   ScopedClock use(clock);

#include "platform/clock.h"

#include <condition_variable>
#include <mutex>
#include <vector>

class FakeClock final : public Clock {
 public:
  // Starts at the given local time; steady time starts at 0.
  explicit FakeClock(const LocalDateTime& start = LocalDateTime{2025, 7, 9, 13, 5, 9, 0});

  std::int64_t NowLocalMs() const override;
  std::int64_t SteadyMs() const override;
  bool SleepFor(std::int64_t ms, const StopCondition& stop = {}) override;

  // Moves both time scales forward by ms and wakes manual-mode sleepers.
  void Advance(std::int64_t ms);
  // Sets the local time; steady time is unchanged.
  void SetLocalTime(const LocalDateTime& fields);
  void SetLocalMs(std::int64_t localMs);

  // false: manual mode (see above).
  void SetAutoAdvance(bool on);

  // Called with the requested ms at the start of every auto-advanced wait of
  // more than 0 ms, before the stop condition is asked. Runs on the waiting
  // thread, outside the clock's lock (it may call Advance).
  void SetSleepHook(std::function<void(std::int64_t ms)> hook);

  // The requested length of every wait so far, in order (waits of 0 ms too).
  std::vector<std::int64_t> Sleeps() const;
  // Number of threads blocked in a manual-mode wait right now.
  int BlockedSleepers() const;
  // Blocks until at least count threads are blocked in manual-mode waits.
  void WaitUntilBlocked(int count) const;

 private:
  mutable std::mutex m_mutex;
  mutable std::condition_variable m_changed;
  std::int64_t m_localMs;
  std::int64_t m_steadyMs = 0;
  bool m_autoAdvance = true;
  int m_blocked = 0;
  std::vector<std::int64_t> m_sleeps;
  std::function<void(std::int64_t)> m_hook;
};
