#pragma once
// The pooled collection of a prefetch run: the ticked folder is listed into
// the run's listing cache by a thread of its own; a dispatcher then picks the
// folder rows not yet listed out of the cache, queues one ListingTask text per
// folder on g_jobQueue and posts one pool task per text on g_threadPool; each
// pool task lists its folder into the cache, which adds new folder rows for
// the dispatcher. Once the pool has nothing left of the run and a fresh look
// at the cache finds no folder left to list, the dispatcher runs the apply
// phase (ApplyChangesBatch with `选择框_预读取模式下快速替换文件名关键词`,
// otherwise ApplyChangesPerItem).
//
// Threads, outermost first: the run's thread (StartFolderCollection), the top
// collection thread, the dispatcher, up to 18 pool tasks. Each uses the cache
// only inside a live RunThreadScope of its run, and every request uses the
// account snapshot the rename task took. A pool task gets the run number as
// its first integer; a task of an ended run does nothing. A stopped run ends
// only once every pool task it posted has returned.
//
// Locks: g_cacheDbLock around every use of the cache connection,
// g_jobQueueLock around every push and pop of g_jobQueue; never both at once.

#include <atomic>
#include <string>

#include "web/account_session.h"

// Entries a collection page holds at most.
inline constexpr int kCollectionPageSize = 100;
// Between the four parts of a ListingTask text.
inline constexpr const char* kListingTaskSeparator = "-|||||-";

// Folders the dispatcher queues per cycle; 18 from the first run on (the pool
// keeps that maximum).
extern std::atomic<int> g_poolMaxThreads;

// What every thread of one collection run carries.
struct CollectionRun {
  int runNumber = 0;
  AccountSession session;
};

// One page (100 entries) of `folderPath` (plain text or backslash-u notation):
// the reply, or the empty text once 10 attempts failed (one "err.txt" line) or
// the rename task was stopped (no line). A reply holding the 414 page is tried
// again at once and counts as an attempt. Pages count from 1.
std::string FetchCollectionPage(const AccountSession& session, const std::string& folderPath,
                                int page);

// Lists one folder into the cache, page after page: `level` is the two-digit
// `order` of its entries ("01" for the ticked folder), `parentOrdersign` the
// folder's own ordersign, `topMarker` "是" only for the ticked folder, whose
// call then runs the dispatcher and waits for it. Honours g_collectDepth.
void CollectFolderIntoCache(const CollectionRun& run, const std::string& folderPath,
                            const std::string& level, const std::string& parentOrdersign,
                            const std::string& topMarker);

// The dispatcher's body (see above); ends with the apply phase, or at once
// when the rename task is stopped.
void DispatchFolderListings(const CollectionRun& run);

// The body of one pool task: takes one ListingTask text off g_jobQueue and
// lists that folder.
void ListQueuedFolder(const CollectionRun& run);

// count + "-|||||-" + folder + "-|||||-" + lowernum + "-|||||-" + ordersign.
std::string MakeListingTask(const std::string& count, const std::string& folder,
                            const std::string& lowernum, const std::string& ordersign);

// The parts of a ListingTask text; false with fewer than four. The first part
// is the count, the last two lowernum and ordersign, and everything between
// them the folder (so a separator inside a folder name stays in the name).
struct ListingTaskParts {
  std::string count;
  std::string folder;
  std::string lowernum;
  std::string ordersign;
};
bool SplitListingTask(const std::string& text, ListingTaskParts& parts);

// The two apply engines the dispatcher chooses from. Tests install their own;
// nullptr puts back ApplyChangesBatch and ApplyChangesPerItem. Install while
// no collection runs.
using ApplyEngine = void (*)(const AccountSession& session, int runNumber);
void InstallApplyEngines(ApplyEngine batch, ApplyEngine perItem);

// ---------------------------------------------------------------------------
// Thread entries and the run's task bookkeeping (folder_collection.cpp).
// ---------------------------------------------------------------------------

// The top collection thread: the run number and the folder, level, parent
// ordersign and top marker as texts.
void CollectionThreadEntry(const AccountSession& session, int runNumber,
                           const std::string& folderPath, const std::string& level,
                           const std::string& parentOrdersign, const std::string& topMarker);
// The dispatcher's thread.
void DispatcherThreadEntry(const AccountSession& session, int runNumber);
// The pool task routine: `runNumber` names the run, `unused` is 0.
void ListingPoolTask(int runNumber, int unused);

// Posts one ListingPoolTask of `run` and counts it as pending until it has
// returned; when nothing can be posted the task runs on the calling thread.
void PostListingTask(const CollectionRun& run);
// Pool tasks of `runNumber` posted and not yet returned.
int PendingListingTasks(int runNumber);
