#pragma once
// The counters of a rename task, zeroed together when a task starts. The
// service requests raise them after each outcome; the task's summary and the
// daily-pause line read them. Each is atomic, and every raise except that of
// g_skippedCount is also made while g_counterLock is held, so that a counter
// and the result-log entry that goes with it change together.

#include <atomic>

extern std::atomic<int> g_collectedTotal;     // rows a prefetch run put into its listing cache
extern std::atomic<int> g_renamedCount;       // renames that succeeded
extern std::atomic<int> g_renameFailedCount;  // renames that failed
extern std::atomic<int> g_unchangedCount;     // renames the service answered as changing nothing
extern std::atomic<int> g_skippedCount;       // items passed over by the skip rule
extern std::atomic<int> g_processedCount;     // items the traversal or the per-item apply handled
extern std::atomic<int> g_deletedCount;       // paths of successful delete requests
extern std::atomic<int> g_deleteFailedCount;  // failed delete requests (one per request)
extern std::atomic<int> g_unknownStateCount;  // batch items without a decided outcome
// Renames given up after the service kept answering busy (the task's "nothing
// renamed" warning reads it).
extern std::atomic<int> g_waitCount;

// Successful renames since start-up or since the last daily pause ended; not
// zeroed when a task starts (the daily limit spans tasks).
extern std::atomic<int> g_dailyRenamedCount;

// Zeroes every counter above except g_dailyRenamedCount, under g_counterLock.
void ZeroRenameCounters();
