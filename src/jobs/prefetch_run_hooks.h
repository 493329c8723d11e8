#pragma once
// Where the rename task meets the prefetch run of run mode C: the routine that
// does the whole prefetch run of one ticked folder (collection into a listing
// cache, then the apply engine) and the routine that ends the run's listing
// cache (rollback and close, once, after every thread of the run has stopped
// using it). The prefetch code installs both at start-up; until then a
// prefetch run does nothing and there is no cache to end.
//
// The rename task calls the run on its worker thread (g_workerThread) with the
// account snapshot it took at its start; the run uses only that snapshot for
// its requests, tests g_renameStopRequested, raises RenameCounters and returns
// when it is done or stopped. It never enables the start button: the task does
// that at its own end.

#include <atomic>
#include <functional>
#include <string>

#include "web/account_session.h"

using PrefetchRunRoutine =
    std::function<void(const AccountSession& session, const std::string& folderPath)>;
using ListingCacheEndRoutine = std::function<void()>;

// Installs the two routines (empty ones: nothing is done). Any thread; a
// run already under way keeps the routine it started with.
void InstallPrefetchRun(PrefetchRunRoutine run, ListingCacheEndRoutine endCache);

// Runs the installed prefetch run for one folder (a remote path in the
// selection list's notation, "/" for the whole drive).
void RunPrefetchRun(const AccountSession& session, const std::string& folderPath);

// Ends the listing cache through the installed routine.
void EndListingCache();

// Rows of the latest collection run (written by the collection; 0 until one
// has run since start-up). The rename task's counts box shows it when no item
// was counted as processed.
extern std::atomic<int> g_runCollectedCount;
