// The dispatcher of the collection, the pool task's body and the ListingTask
// text.

#include <atomic>
#include <mutex>

#include "data/program_wide_objects.h"
#include "foundation/message_box.h"
#include "foundation/shared_locks.h"
#include "foundation/text_arrays.h"
#include "foundation/thread_pool.h"
#include "foundation/waits.h"
#include "jobs/apply_changes_batch.h"
#include "jobs/apply_changes_per_item.h"
#include "jobs/folder_collection.h"
#include "jobs/listing_cache.h"
#include "jobs/prefetch_run_hooks.h"
#include "jobs/rename_task_controls.h"
#include "platform/control_store.h"
#include "web/rename_task_state.h"

namespace {

constexpr int kCycleMs = 20;
constexpr int kQueuedLimit = 20;
constexpr int kPrepareAttempts = 5;
constexpr int kQueuedPauseMs = 5;
constexpr int kPushRetryMs = 10;
constexpr int kPopAttempts = 100;
constexpr int kPopRetryMs = 5;
constexpr int kSqliteRow = 100;
constexpr int kSqliteDone = 101;
constexpr const char* kUnlistedFoldersSql = "select * from list where type='1' and queried='0'";

std::atomic<ApplyEngine> s_batchEngine{ApplyChangesBatch};
std::atomic<ApplyEngine> s_perItemEngine{ApplyChangesPerItem};

// A folder row the dispatcher took.
struct FolderRow {
  std::string id;
  std::string folder;
  std::string ordersign;
  std::string count;
  std::string lowernum;
};

enum class CycleEnd { kGoOn, kStopped };

// Prepares the select under g_cacheDbLock, up to five attempts. False when
// every attempt failed or the task was stopped.
bool PrepareUnlistedFolders(SqliteStatement& statement) {
  for (int attempt = 0; attempt < kPrepareAttempts; ++attempt) {
    if (RenameStopRequested()) {
      return false;
    }
    bool prepared = false;
    {
      std::lock_guard lock(g_cacheDbLock);
      statement = g_cacheDb.Prepare(kUnlistedFoldersSql, prepared);
    }
    if (prepared) {
      return true;
    }
    PumpMessages();
  }
  return false;
}

// The next row of the select and its queued mark, under g_cacheDbLock. False
// at the end of the rows or on an error (the rows left stay unqueried).
bool TakeNextFolder(SqliteStatement& statement, FolderRow& row) {
  std::lock_guard lock(g_cacheDbLock);
  if (statement.StepResult() != kSqliteRow) {
    return false;
  }
  row.id = statement.ColumnText(0);
  row.folder = DecodeCacheText(statement.ColumnText(1));
  row.ordersign = statement.ColumnText(7);
  row.count = statement.ColumnText(9);
  row.lowernum = statement.ColumnText(10);
  if (!row.id.empty()) {
    std::string error;
    RunSqlStatement(g_cacheDb, "UPDATE list  SET queried='1' WHERE id=" + row.id + ";", error);
  }
  return true;
}

void QueueFolder(const CollectionRun& run, const FolderRow& row) {
  const std::string task = MakeListingTask(row.count, row.folder, row.lowernum, row.ordersign);
  for (;;) {
    {
      std::lock_guard lock(g_jobQueueLock);
      if (g_jobQueue.PushText(task, false)) {
        break;
      }
    }
    WaitPumpingMessages(kPushRetryMs);
  }
  PostListingTask(run);
}

// One cycle: up to g_poolMaxThreads folder rows queued.
CycleEnd DispatchCycle(const CollectionRun& run) {
  SqliteStatement statement;
  if (!PrepareUnlistedFolders(statement)) {
    return RenameStopRequested() ? CycleEnd::kStopped : CycleEnd::kGoOn;
  }
  CycleEnd end = CycleEnd::kGoOn;
  for (int taken = 0; taken < g_poolMaxThreads.load(); ++taken) {
    if (RenameStopRequested()) {
      end = CycleEnd::kStopped;
      break;
    }
    FolderRow row;
    if (!TakeNextFolder(statement, row)) {
      break;
    }
    if (!row.id.empty()) {
      QueueFolder(run, row);
    }
    WaitPumpingMessages(kQueuedPauseMs);
  }
  {
    std::lock_guard lock(g_cacheDbLock);
    statement.Finalize();
  }
  PumpMessages();
  return end;
}

// 1 when the cache holds a folder row not yet queued, 0 when it holds none,
// -1 when the cache could not be asked.
int HasUnlistedFolders() {
  std::lock_guard lock(g_cacheDbLock);
  bool prepared = false;
  SqliteStatement statement = g_cacheDb.Prepare(kUnlistedFoldersSql, prepared);
  if (!prepared) {
    return -1;
  }
  const int result = statement.StepResult();
  statement.Finalize();
  return result == kSqliteRow ? 1 : result == kSqliteDone ? 0 : -1;
}

// True once nothing of the run is left to list: no task of the run is
// pending, the pool is idle, and a fresh look finds no folder row unqueued.
bool CollectionComplete(const CollectionRun& run) {
  return PendingListingTasks(run.runNumber) == 0 && ThreadPool::IsIdle(g_threadPool) &&
         HasUnlistedFolders() == 0;
}

void RunApplyPhase(const CollectionRun& run) {
  ShowStatusText("已采集完成，将进行判断否改名，需要判断的总文件数量：" +
                 std::to_string(g_runCollectedCount.load()));
  const ApplyEngine engine =
      GetControlStore().Checked(kFastModeBox) ? s_batchEngine.load() : s_perItemEngine.load();
  engine(run.session, run.runNumber);
}

}  // namespace

void InstallApplyEngines(ApplyEngine batch, ApplyEngine perItem) {
  s_batchEngine = batch != nullptr ? batch : ApplyChangesBatch;
  s_perItemEngine = perItem != nullptr ? perItem : ApplyChangesPerItem;
}

std::string MakeListingTask(const std::string& count, const std::string& folder,
                            const std::string& lowernum, const std::string& ordersign) {
  return count + kListingTaskSeparator + folder + kListingTaskSeparator + lowernum +
         kListingTaskSeparator + ordersign;
}

bool SplitListingTask(const std::string& text, ListingTaskParts& parts) {
  const TextArray pieces = SplitText(text, kListingTaskSeparator);
  if (pieces.size() < 4) {
    return false;
  }
  parts.count = pieces.front();
  parts.lowernum = pieces[pieces.size() - 2];
  parts.ordersign = pieces.back();
  parts.folder = pieces[1];
  for (std::size_t i = 2; i + 2 < pieces.size(); ++i) {
    parts.folder += kListingTaskSeparator + pieces[i];
  }
  return true;
}

void DispatchFolderListings(const CollectionRun& run) {
  for (;;) {
    if (RenameStopRequested()) {
      return;
    }
    WaitPumpingMessages(kCycleMs);
    if (ThreadPool::QueuedCount(g_threadPool) < kQueuedLimit &&
        DispatchCycle(run) == CycleEnd::kStopped) {
      return;
    }
    if (CollectionComplete(run)) {
      if (!RenameStopRequested()) {
        RunApplyPhase(run);
      }
      return;
    }
  }
}

void ListQueuedFolder(const CollectionRun& run) {
  std::string text;
  for (int attempt = 0; attempt < kPopAttempts; ++attempt) {
    {
      std::lock_guard lock(g_jobQueueLock);
      if (g_jobQueue.PopText(text)) {
        break;
      }
    }
    WaitPumpingMessages(kPopRetryMs);
  }
  ListingTaskParts parts;
  if (!SplitListingTask(text, parts)) {
    return;
  }
  CollectFolderIntoCache(run, parts.folder, parts.lowernum, parts.ordersign, "");
}
