#include "jobs/prefetch_run_hooks.h"

#include <mutex>

std::atomic<int> g_runCollectedCount{0};

namespace {

struct InstalledRoutines {
  std::mutex mutex;
  PrefetchRunRoutine run;
  ListingCacheEndRoutine endCache;
};

InstalledRoutines& Installed() {
  // Never destroyed: a worker may still reach it while the process ends.
  static auto* routines = new InstalledRoutines;
  return *routines;
}

}  // namespace

void InstallPrefetchRun(PrefetchRunRoutine run, ListingCacheEndRoutine endCache) {
  InstalledRoutines& routines = Installed();
  std::lock_guard lock(routines.mutex);
  routines.run = std::move(run);
  routines.endCache = std::move(endCache);
}

void RunPrefetchRun(const AccountSession& session, const std::string& folderPath) {
  PrefetchRunRoutine run;
  {
    InstalledRoutines& routines = Installed();
    std::lock_guard lock(routines.mutex);
    run = routines.run;
  }
  if (run) {
    run(session, folderPath);
  }
}

void EndListingCache() {
  ListingCacheEndRoutine endCache;
  {
    InstalledRoutines& routines = Installed();
    std::lock_guard lock(routines.mutex);
    endCache = routines.endCache;
  }
  if (endCache) {
    endCache();
  }
}
