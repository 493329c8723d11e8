// StartFolderCollection, the thread entries of a collection run and the
// bookkeeping of its pool tasks.

#include "jobs/folder_collection.h"

#include <mutex>

#include "data/program_wide_objects.h"
#include "foundation/message_box.h"
#include "foundation/shared_locks.h"
#include "foundation/thread_pool.h"
#include "foundation/thread_start.h"
#include "foundation/waits.h"
#include "jobs/prefetch_run.h"
#include "jobs/prefetch_run_hooks.h"

std::atomic<int> g_poolMaxThreads{18};

namespace {

constexpr int kPoolMaxThreads = 18;
constexpr int kCollectionPollMs = 500;
constexpr int kPendingPollMs = 50;
constexpr int kBoxWarning = 48;

// The collection run under way (or the last one): its number, its account
// snapshot for the pool tasks, and its pool tasks not yet returned.
struct CollectionState {
  std::mutex mutex;
  int runNumber = 0;
  AccountSession session;
  int pendingTasks = 0;
};

CollectionState& State() {
  // Never destroyed: a pool task may still reach it while the process ends.
  static auto* state = new CollectionState;
  return *state;
}

void BeginCollectionRun(const AccountSession& session, int runNumber) {
  CollectionState& state = State();
  std::lock_guard lock(state.mutex);
  state.runNumber = runNumber;
  state.session = session;
  state.pendingTasks = 0;
}

// The snapshot of `runNumber`, false when that run is not the current one.
bool SessionOfRun(int runNumber, AccountSession& session) {
  CollectionState& state = State();
  std::lock_guard lock(state.mutex);
  if (state.runNumber != runNumber) {
    return false;
  }
  session = state.session;
  return true;
}

void CountReturnedTask(int runNumber) {
  CollectionState& state = State();
  std::lock_guard lock(state.mutex);
  if (state.runNumber == runNumber && state.pendingTasks > 0) {
    --state.pendingTasks;
  }
}

// Texts a stopped or ended run left on the queue belong to no task.
void ClearJobQueue() {
  std::lock_guard lock(g_jobQueueLock);
  g_jobQueue.Clear();
}

template <typename Ended>
void WaitUntil(int pollMs, Ended ended) {
  while (!ended()) {
    WaitPumpingMessages(pollMs, kWaitMilliseconds, ended);
    PumpMessages();
  }
}

}  // namespace

void CollectionThreadEntry(const AccountSession& session, int runNumber,
                           const std::string& folderPath, const std::string& level,
                           const std::string& parentOrdersign, const std::string& topMarker) {
  const RunThreadScope scope(runNumber);
  if (!scope.Live()) {
    return;
  }
  CollectFolderIntoCache({runNumber, session}, folderPath, level, parentOrdersign, topMarker);
}

void DispatcherThreadEntry(const AccountSession& session, int runNumber) {
  const RunThreadScope scope(runNumber);
  if (!scope.Live()) {
    return;
  }
  DispatchFolderListings({runNumber, session});
}

void ListingPoolTask(int runNumber, int) {
  CollectionRun run;
  if (!SessionOfRun(runNumber, run.session)) {
    return;  // a task of an ended run
  }
  run.runNumber = runNumber;
  {
    const RunThreadScope scope(runNumber);
    if (scope.Live()) {
      ListQueuedFolder(run);
    }
  }
  CountReturnedTask(runNumber);
}

void PostListingTask(const CollectionRun& run) {
  {
    CollectionState& state = State();
    std::lock_guard lock(state.mutex);
    ++state.pendingTasks;
  }
  if (ThreadPool::Post(g_threadPool, ListingPoolTask, run.runNumber, 0) != 1) {
    ListingPoolTask(run.runNumber, 0);
  }
}

int PendingListingTasks(int runNumber) {
  CollectionState& state = State();
  std::lock_guard lock(state.mutex);
  return state.runNumber == runNumber ? state.pendingTasks : 0;
}

void StartFolderCollection(const AccountSession& session, const std::string& folderPath,
                           int runNumber) {
  if (session.cookies.empty()) {
    ShowTimedMessageBox("提示：", "请选切换要操作的百度帐号。", 0, kBoxWarning);
    return;
  }
  ClearJobQueue();
  BeginCollectionRun(session, runNumber);
  g_runCollectedCount = 0;
  g_poolMaxThreads = kPoolMaxThreads;
  ThreadPool::SetMaxThreads(g_threadPool, kPoolMaxThreads);
  ShowStatusText("准备进入多线程获取文件列表线程");
  const ThreadHandle top = StartThreadWithTexts(
      [session](int number, const std::string& folder, const std::string& level,
                const std::string& parentOrdersign, const std::string& topMarker) {
        CollectionThreadEntry(session, number, folder, level, parentOrdersign, topMarker);
      },
      runNumber, folderPath, "01", "", "是");
  WaitUntil(kCollectionPollMs, [top] { return IsThreadRunning(top) != 1; });
  // A stopped run ends only once every pool task it posted has returned.
  WaitUntil(kPendingPollMs, [runNumber] { return PendingListingTasks(runNumber) == 0; });
  ClearJobQueue();
}
