#include "web/rename_counters.h"

#include "foundation/shared_locks.h"

std::atomic<int> g_collectedTotal{0};
std::atomic<int> g_renamedCount{0};
std::atomic<int> g_renameFailedCount{0};
std::atomic<int> g_unchangedCount{0};
std::atomic<int> g_skippedCount{0};
std::atomic<int> g_processedCount{0};
std::atomic<int> g_deletedCount{0};
std::atomic<int> g_deleteFailedCount{0};
std::atomic<int> g_unknownStateCount{0};
std::atomic<int> g_waitCount{0};
std::atomic<int> g_dailyRenamedCount{0};

void ZeroRenameCounters() {
  std::lock_guard lock(g_counterLock);
  for (std::atomic<int>* counter :
       {&g_collectedTotal, &g_renamedCount, &g_renameFailedCount, &g_unchangedCount, &g_waitCount,
        &g_skippedCount, &g_processedCount, &g_deleteFailedCount, &g_deletedCount,
        &g_unknownStateCount}) {
    counter->store(0);
  }
}
