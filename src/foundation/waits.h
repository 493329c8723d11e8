#pragma once
// Waits and event pumping. Every wait runs on the installed Clock
// (platform/clock.h), so tests with a FakeClock wait in no real time.
//
// WaitPumpingMessages keeps the user-interface thread responsive (a local
// event loop: other handlers may run before it returns); on a worker thread it
// simply sleeps. WaitWithoutPumping blocks its thread entirely.

#include <cstdint>

#include "platform/clock.h"

// Units of WaitPumpingMessages.
inline constexpr int kWaitMilliseconds = 0;
inline constexpr int kWaitSeconds = 1;
inline constexpr int kWaitMinutes = 2;
inline constexpr int kWaitHours = 3;

// Waits amount units (0 ms, 1 s, 2 min, 3 h); an amount of 0 or less only
// pumps once. Returns 1 when the time has passed, 0 when stop() ended the wait
// early (checked at least every 10 ms) or the unit is not one of the four.
int WaitPumpingMessages(std::int64_t amount, int unit = kWaitMilliseconds,
                        const StopCondition& stop = {});

// Blocks the calling thread for ms milliseconds without handling any event.
// Returns 1.
int WaitWithoutPumping(std::int64_t ms);

// Handles every user-interface event waiting now; nothing off the UI thread.
void PumpMessages();
