#include "foundation/waits.h"

#include "platform/desktop.h"

int WaitPumpingMessages(std::int64_t amount, int unit, const StopCondition& stop) {
  static constexpr double kMultiplier[] = {1, 1000, 60000, 3600000};
  if (unit < kWaitMilliseconds || unit > kWaitHours)
    return 0;
  // Computed in double precision and truncated, like the due time it stands for.
  const double ms = static_cast<double>(amount) * kMultiplier[unit];
  const std::int64_t wait = ms > 9.2e18 ? INT64_MAX : ms < 0 ? 0 : static_cast<std::int64_t>(ms);
  Desktop& desktop = GetDesktop();
  const bool fullTime =
      desktop.IsUiThread() ? desktop.PumpEventsFor(wait, stop) : GetClock().SleepFor(wait, stop);
  return fullTime ? 1 : 0;
}

int WaitWithoutPumping(std::int64_t ms) {
  GetClock().SleepFor(ms);
  return 1;
}

void PumpMessages() {
  GetDesktop().PumpEvents();
}
