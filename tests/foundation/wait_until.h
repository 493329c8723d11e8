#pragma once
// Waits for a condition that another thread brings about, for at most a few
// real seconds, yielding between checks. Returns whether the condition held.

#include <functional>
#include <thread>

inline bool WaitUntil(const std::function<bool()>& condition, int maxMs = 5000) {
  const auto due = std::chrono::steady_clock::now() + std::chrono::milliseconds(maxMs);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > due)
      return false;
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  return true;
}
