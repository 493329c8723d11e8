#pragma once
// The prefetch run of one ticked folder (run mode C of the rename task) and
// the one routine that ends its listing cache.
//
// Each run gets a run number; the threads that use the run's cache (the run's
// own thread, and later the collection's pool tasks and dispatcher) register
// with RunThreadScope under that number. A task of an ended or replaced run
// finds its number stale and does nothing.

#include <string>

#include "web/account_session.h"

// Prepares a new listing cache for `folderPath` (old files removed, the
// template written, opened, "BEGIN IMMEDIATE") and then runs the folder
// collection and the apply phase. Runs on the task's worker thread with the
// task's account snapshot. Never enables the start button.
void StartPrefetchRun(const AccountSession& session, const std::string& folderPath);

// StartPrefetchRun without the collection: a new listing cache made ready
// (the same status lines and boxes) for rows written by the caller. The run
// number once its transaction is open, 0 when the cache could not be made
// ready. The calling thread does not count as using the cache afterwards.
int PreparePrefetchCache();

// The number of the run under way or last started (0 before the first).
int CurrentPrefetchRunNumber();

// True when `runNumber` is the run under way and its cache is still open.
bool PrefetchRunLive(int runNumber);

// Counts a thread of run `runNumber` as using the cache while it lives; a
// stale number gives a scope whose Live() is false (and counts nothing).
class RunThreadScope {
 public:
  explicit RunThreadScope(int runNumber);
  ~RunThreadScope();
  RunThreadScope(const RunThreadScope&) = delete;
  RunThreadScope& operator=(const RunThreadScope&) = delete;
  bool Live() const { return m_live; }

 private:
  bool m_live = false;
};

// What EndPrefetchCache did.
struct CacheEndReport {
  bool threadsEnded = true;  // no thread of the run uses the cache any more
  bool ended = false;        // the cache is ended (now or by an earlier call)
  int rollbackResult = 0;    // SQLite's code of the rollback (0 without a cache)
};

// ---------------------------------------------------------------------------
// The one routine that ends the run's listing cache: callers are the rename
// task at its end, the apply engines, and the stop button of the job controls.
// It ends the cache (rollback, CloseV2, Close under g_cacheDbLock) only once
// every thread of the run has stopped using it; until then it changes nothing
// and reports threadsEnded false, and the caller asks again later (the stop
// button enables the start button only after threadsEnded). A later call
// after the end changes nothing and reports the same rollback result. Any
// thread; it never waits for the run's threads.
// ---------------------------------------------------------------------------
CacheEndReport EndPrefetchCache();

// True when no thread of any prefetch run uses the cache.
bool PrefetchThreadsEnded();

// Installs StartPrefetchRun and EndPrefetchCache in the rename task's seam
// (jobs/prefetch_run_hooks.h). Called once at start-up.
void InstallPrefetchRoutines();

// The collection of one folder into the open cache, then the apply phase;
// returns when both are over or the task was stopped. Called by
// StartPrefetchRun on the run's thread.
void StartFolderCollection(const AccountSession& session, const std::string& folderPath,
                           int runNumber);
