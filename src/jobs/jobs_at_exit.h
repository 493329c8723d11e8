#pragma once
// The jobs at the program's end. The process ends without waiting for the
// jobs' threads, but a request that changes remote items and is under way is
// first given a short time to be booked, so that the result logs hold every
// change the service was asked for.

#include <cstdint>

// How long the program's end waits for the request under way to be booked.
inline constexpr std::int64_t kExitBookingWaitMs = 5000;

// Starts no further item request of any job (web/item_request_hold.h), waits
// up to `waitMs` (a pumping wait on the installed clock) until none is under
// way, then raises the stop flags of the rename and copy jobs. True when none
// was under way any more. The requests stay held: the process ends next.
bool StopJobsForExit(std::int64_t waitMs = kExitBookingWaitMs);
