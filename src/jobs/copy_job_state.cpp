#include "jobs/copy_job_state.h"

#include <mutex>

#include "foundation/shared_locks.h"
#include "foundation/waits.h"

std::atomic<int> g_copiedCount{0};
std::atomic<int> g_copyFailedCount{0};
std::atomic<int> g_copySameNameCount{0};
std::atomic<bool> g_copyStopRequested{false};
std::atomic<bool> g_copyPaused{false};

namespace {

constexpr int kPauseStepMs = 1000;

}  // namespace

void ZeroCopyJobState() {
  std::lock_guard lock(g_counterLock);
  g_copiedCount = 0;
  g_copyFailedCount = 0;
  g_copySameNameCount = 0;
  g_copyStopRequested = false;
  g_copyPaused = false;
}

bool CopyStopRequested() {
  return g_copyStopRequested.load();
}

void WaitWhileCopyPaused() {
  while (g_copyPaused.load() && !g_copyStopRequested.load()) {
    WaitPumpingMessages(kPauseStepMs, kWaitMilliseconds, CopyStopRequested);
  }
}
