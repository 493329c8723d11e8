#include "platform/fake_clock.h"

namespace {
// How often a blocked manual-mode wait asks its stop condition (real time).
constexpr auto kStopPoll = std::chrono::milliseconds(1);
}  // namespace

FakeClock::FakeClock(const LocalDateTime& start) : m_localMs(JoinLocalMs(start)) {}

std::int64_t FakeClock::NowLocalMs() const {
  std::lock_guard lock(m_mutex);
  return m_localMs;
}

std::int64_t FakeClock::SteadyMs() const {
  std::lock_guard lock(m_mutex);
  return m_steadyMs;
}

bool FakeClock::SleepFor(std::int64_t ms, const StopCondition& stop) {
  std::function<void(std::int64_t)> hook;
  bool autoAdvance = false;
  {
    std::lock_guard lock(m_mutex);
    m_sleeps.push_back(ms);
    hook = m_hook;
    autoAdvance = m_autoAdvance;
  }
  if (autoAdvance && hook && ms > 0)
    hook(ms);
  if (stop && stop())
    return false;
  if (ms <= 0)
    return true;
  if (autoAdvance) {
    Advance(ms);
    return true;
  }
  std::unique_lock lock(m_mutex);
  const std::int64_t due = m_steadyMs + ms;
  ++m_blocked;
  m_changed.notify_all();
  bool fullTime = true;
  while (m_steadyMs < due) {
    m_changed.wait_for(lock, kStopPoll);
    if (m_steadyMs >= due || !stop)
      continue;
    // The stop condition may read this clock (a deadline check), so it runs
    // without the clock's lock.
    lock.unlock();
    const bool stopped = stop();
    lock.lock();
    if (stopped && m_steadyMs < due) {
      fullTime = false;
      break;
    }
  }
  --m_blocked;
  return fullTime;
}

void FakeClock::Advance(std::int64_t ms) {
  {
    std::lock_guard lock(m_mutex);
    m_localMs += ms;
    m_steadyMs += ms;
  }
  m_changed.notify_all();
}

void FakeClock::SetLocalTime(const LocalDateTime& fields) {
  SetLocalMs(JoinLocalMs(fields));
}

void FakeClock::SetLocalMs(std::int64_t localMs) {
  std::lock_guard lock(m_mutex);
  m_localMs = localMs;
}

void FakeClock::SetAutoAdvance(bool on) {
  std::lock_guard lock(m_mutex);
  m_autoAdvance = on;
}

void FakeClock::SetSleepHook(std::function<void(std::int64_t)> hook) {
  std::lock_guard lock(m_mutex);
  m_hook = std::move(hook);
}

std::vector<std::int64_t> FakeClock::Sleeps() const {
  std::lock_guard lock(m_mutex);
  return m_sleeps;
}

int FakeClock::BlockedSleepers() const {
  std::lock_guard lock(m_mutex);
  return m_blocked;
}

void FakeClock::WaitUntilBlocked(int count) const {
  std::unique_lock lock(m_mutex);
  m_changed.wait(lock, [&] { return m_blocked >= count; });
}
