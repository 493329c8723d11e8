#include "platform/clock.h"

#include <time.h>

#include <algorithm>
#include <atomic>
#include <thread>

namespace {

constexpr std::int64_t kMsPerDay = 86400000;
// The longest stretch a stoppable wait sleeps before asking its stop condition.
constexpr std::int64_t kStopPollMs = 10;

class SystemClock final : public Clock {
 public:
  std::int64_t NowLocalMs() const override {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    tm fields{};
    const time_t seconds = ts.tv_sec;
    localtime_r(&seconds, &fields);
    return (static_cast<std::int64_t>(seconds) + fields.tm_gmtoff) * 1000 + ts.tv_nsec / 1000000;
  }

  std::int64_t SteadyMs() const override {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
  }

  bool SleepFor(std::int64_t ms, const StopCondition& stop) override {
    if (stop && stop())
      return false;
    if (ms <= 0)
      return true;
    if (!stop) {
      std::this_thread::sleep_for(std::chrono::milliseconds(ms));
      return true;
    }
    const std::int64_t due = SteadyMs() + ms;
    for (;;) {
      const std::int64_t left = due - SteadyMs();
      if (left <= 0)
        return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(std::min(left, kStopPollMs)));
      if (stop())
        return false;
    }
  }

  bool IsReal() const override { return true; }
};

SystemClock s_systemClock;
std::atomic<Clock*> s_installedClock{nullptr};

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0);
}

}  // namespace

Clock& GetSystemClock() {
  return s_systemClock;
}

Clock& GetClock() {
  Clock* clock = s_installedClock.load(std::memory_order_acquire);
  return clock ? *clock : s_systemClock;
}

Clock* InstallClock(Clock* clock) {
  return s_installedClock.exchange(clock, std::memory_order_acq_rel);
}

// Howard Hinnant's days-from-civil, valid for every proleptic Gregorian date.
std::int64_t DaysFromCivil(int year, int month, int day) {
  std::int64_t y = year + FloorDiv(month - 1, 12);
  const std::int64_t m = (month - 1) - FloorDiv(month - 1, 12) * 12 + 1;
  y -= m <= 2 ? 1 : 0;
  const std::int64_t era = FloorDiv(y, 400);
  const std::int64_t yoe = y - era * 400;
  const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

LocalDateTime SplitLocalMs(std::int64_t localMs) {
  const std::int64_t days = FloorDiv(localMs, kMsPerDay);
  std::int64_t msOfDay = localMs - days * kMsPerDay;
  const std::int64_t z = days + 719468;
  const std::int64_t era = FloorDiv(z, 146097);
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  LocalDateTime t;
  t.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  t.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  t.year = static_cast<int>(yoe + era * 400 + (t.month <= 2 ? 1 : 0));
  t.hour = static_cast<int>(msOfDay / 3600000);
  msOfDay %= 3600000;
  t.minute = static_cast<int>(msOfDay / 60000);
  msOfDay %= 60000;
  t.second = static_cast<int>(msOfDay / 1000);
  t.millisecond = static_cast<int>(msOfDay % 1000);
  return t;
}

std::int64_t JoinLocalMs(const LocalDateTime& f) {
  return DaysFromCivil(f.year, f.month, f.day) * kMsPerDay +
         static_cast<std::int64_t>(f.hour) * 3600000 + static_cast<std::int64_t>(f.minute) * 60000 +
         static_cast<std::int64_t>(f.second) * 1000 + f.millisecond;
}
