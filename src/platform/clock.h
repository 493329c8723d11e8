#pragma once
// The one clock of the program. Every time stamp, date text and wait goes
// through the installed Clock, so tests install a FakeClock (fake_clock.h) and
// run waits of minutes in no real time.
//
// Usage:
//   std::int64_t now = GetClock().NowLocalMs();        // local wall clock
//   LocalDateTime t = SplitLocalMs(now);               // calendar fields
//   bool fullTime = GetClock().SleepFor(500, [&] { return g_stop.load() != 0; });
//
// Time scales:
// - "Local ms": milliseconds of local wall-clock time counted from
//   1970-01-01 00:00:00 local time (the Unix time in ms plus the UTC offset).
//   One number carries date, time of day and milliseconds, read at one instant.
// - "Steady ms": a monotonic count for measuring elapsed time (time-outs); its
//   origin is arbitrary. A FakeClock moves both scales together.

#include <cstdint>
#include <functional>

// Asked repeatedly during a wait; returning true ends the wait early. Must be
// cheap and thread-safe (typically reads an atomic stop flag).
using StopCondition = std::function<bool()>;

class Clock {
 public:
  virtual ~Clock() = default;

  // Local wall-clock time in local ms (see above). Any thread.
  virtual std::int64_t NowLocalMs() const = 0;

  // Monotonic milliseconds for elapsed-time measurements. Any thread.
  virtual std::int64_t SteadyMs() const = 0;

  // Blocks the calling thread for ms milliseconds (0 or less returns at once).
  // Returns true when the whole time passed, false when stop() returned true
  // first (stop is checked before the wait and at least every 10 ms of it).
  virtual bool SleepFor(std::int64_t ms, const StopCondition& stop = {}) = 0;

  // True for the real system clock; false for test clocks, whose waits must
  // not be turned into real timers (the Qt event loop asks this).
  virtual bool IsReal() const { return false; }
};

// The installed clock; the system clock unless a test installed another.
// Any thread.
Clock& GetClock();

// The real clock, whatever is installed.
Clock& GetSystemClock();

// Installs clock (nullptr: the system clock) and returns the one installed
// before (nullptr when that was the system clock). Install while no other
// thread is waiting on the clock; the caller keeps clock alive while installed.
Clock* InstallClock(Clock* clock);

// Installs a clock for one scope and restores the previous one after it.
class ScopedClock {
 public:
  explicit ScopedClock(Clock& clock) : m_previous(InstallClock(&clock)) {}
  ~ScopedClock() { InstallClock(m_previous); }
  ScopedClock(const ScopedClock&) = delete;
  ScopedClock& operator=(const ScopedClock&) = delete;

 private:
  Clock* m_previous;
};

// Calendar fields of a local time; month 1-12, day 1-31, hour 0-23.
struct LocalDateTime {
  int year = 1970;
  int month = 1;
  int day = 1;
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
};

// Local ms to calendar fields (proleptic Gregorian; negative values allowed).
LocalDateTime SplitLocalMs(std::int64_t localMs);

// Calendar fields to local ms. Fields are not range-checked: out-of-range
// values carry over (month 13 is January of the next year).
std::int64_t JoinLocalMs(const LocalDateTime& fields);

// Days from 1970-01-01 to the given date (negative before it).
std::int64_t DaysFromCivil(int year, int month, int day);
