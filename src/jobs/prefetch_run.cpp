#include "jobs/prefetch_run.h"

#include <mutex>
#include <optional>

#include "data/program_wide_objects.h"
#include "foundation/date_time.h"
#include "foundation/message_box.h"
#include "foundation/run_directory.h"
#include "foundation/shared_locks.h"
#include "foundation/waits.h"
#include "jobs/listing_cache.h"
#include "jobs/old_cache_files.h"
#include "jobs/prefetch_run_hooks.h"
#include "web/rename_task_state.h"

namespace {

constexpr int kBoxWarning = 48;
constexpr int kBeginRetries = 10;
constexpr int kBeginRetryMs = 50;
constexpr int kThreadsEndedPollMs = 20;
constexpr int kSqliteBusy = 5;
constexpr const char* kBoxCaption = "提示：";
constexpr const char* kRestartTail = "\r\n\r\n或关闭预读取模式后重新开始任务。";

// The run bookkeeping. Lock order: this mutex, then g_cacheDbLock; nobody
// takes this mutex while holding g_cacheDbLock.
struct RunState {
  std::mutex mutex;
  int runNumber = 0;
  int threadsInUse = 0;    // RunThreadScope objects alive, all runs
  bool cacheOpen = false;  // a cache was opened and not yet ended
  int rollbackResult = 0;  // of the last end
};

RunState& State() {
  // Never destroyed: a pool task may still reach it while the process ends.
  static auto* state = new RunState;
  return *state;
}

// Scopes held by the calling thread: the run's own thread may end the cache
// while it still holds its scope.
thread_local int t_ownScopes = 0;

void CloseCacheConnection() {
  std::lock_guard lock(g_cacheDbLock);
  g_cacheDb.CloseV2();
  g_cacheDb.Close();
}

void ShowFailure(const std::string& text) {
  ShowStatusText(text);
  ShowTimedMessageBox(kBoxCaption, text + kRestartTail, 0, kBoxWarning);
}

// BEGIN IMMEDIATE on the new cache; SQLite's result, or -1 when a stop ended
// the retries. Only a busy database is waited for (up to 10 more tries, 50 ms
// apart): any other failure would only repeat itself.
int BeginRunTransaction() {
  int result = 0;
  {
    std::lock_guard lock(g_cacheDbLock);
    result = g_cacheDb.Begin("", false, 1);
  }
  for (int retry = 0; retry < kBeginRetries && result == kSqliteBusy; ++retry) {
    if (g_renameStopRequested.load()) {
      return -1;
    }
    WaitPumpingMessages(kBeginRetryMs);
    std::lock_guard lock(g_cacheDbLock);
    result = g_cacheDb.Begin("", false, 1);
  }
  return result;
}

}  // namespace

RunThreadScope::RunThreadScope(int runNumber) {
  RunState& state = State();
  std::lock_guard lock(state.mutex);
  if (runNumber == state.runNumber && state.cacheOpen) {
    m_live = true;
    ++state.threadsInUse;
    ++t_ownScopes;
  }
}

RunThreadScope::~RunThreadScope() {
  if (!m_live) {
    return;
  }
  RunState& state = State();
  std::lock_guard lock(state.mutex);
  --state.threadsInUse;
  --t_ownScopes;
}

int CurrentPrefetchRunNumber() {
  RunState& state = State();
  std::lock_guard lock(state.mutex);
  return state.runNumber;
}

bool PrefetchRunLive(int runNumber) {
  RunState& state = State();
  std::lock_guard lock(state.mutex);
  return runNumber == state.runNumber && state.cacheOpen;
}

bool PrefetchThreadsEnded() {
  RunState& state = State();
  std::lock_guard lock(state.mutex);
  return state.threadsInUse - t_ownScopes <= 0;
}

CacheEndReport EndPrefetchCache() {
  RunState& state = State();
  std::lock_guard lock(state.mutex);
  CacheEndReport report;
  report.rollbackResult = state.rollbackResult;
  if (state.threadsInUse - t_ownScopes > 0) {
    report.threadsEnded = false;
    report.ended = !state.cacheOpen;
    return report;
  }
  if (state.cacheOpen) {
    std::lock_guard dbLock(g_cacheDbLock);
    state.rollbackResult = g_cacheDb.Rollback("", false);
    g_cacheDb.CloseV2();
    g_cacheDb.Close();
    state.cacheOpen = false;
  }
  report.ended = true;
  report.rollbackResult = state.rollbackResult;
  return report;
}

namespace {

// Steps up to the open transaction; the run number then (the calling thread
// counted in `scope`), 0 when the cache could not be made ready.
int PrepareRunCache(std::optional<RunThreadScope>& scope) {
  // The previous run's cache goes first, once nothing of that run uses it.
  while (!EndPrefetchCache().threadsEnded) {
    WaitPumpingMessages(kThreadsEndedPollMs);
  }
  CloseCacheConnection();
  int runNumber = 0;
  {
    RunState& state = State();
    std::lock_guard lock(state.mutex);
    runNumber = ++state.runNumber;
    state.rollbackResult = 0;
  }
  DeleteOldCacheFiles();
  g_cachePath = "folderlist_re_" + MakeTimestamp(true) + ".db";
  const std::string name = g_cachePath;
  ShowStatusText("正在初始化文件：" + name);
  if (!WriteCacheTemplate(RunDirectoryPath(name))) {
    ShowFailure("初始化文件 " + name + " 失败1，请重启软件，或手动强制删除文件：" + name);
    return 0;
  }
  ShowStatusText("开始连接数据缓存文件：" + name);
  bool opened = false;
  {
    std::lock_guard lock(g_cacheDbLock);
    opened = g_cacheDb.Open(RunDirectoryPath(name));
    if (!opened) {
      g_cacheDb.Close();
    }
  }
  if (!opened) {
    ShowFailure("连接 " + name + " 失败2，请重启软件，或手动强制删除文件：" + name);
    return 0;
  }
  {
    RunState& state = State();
    std::lock_guard lock(state.mutex);
    state.cacheOpen = true;
  }
  scope.emplace(runNumber);
  ShowStatusText(name + " 连接完成，初始化事务中");
  const int result = BeginRunTransaction();
  if (result == -1) {
    return 0;  // stopped while waiting for the transaction
  }
  if (result != 0) {
    ShowTimedMessageBox(
        kBoxCaption,
        "开启事务失败，原因：" + std::to_string(result) + "， 请重试。如一直不行，请重启软件。", 0,
        kBoxWarning);
    return 0;
  }
  ShowStatusText(name + " 处理完成，开始获取文件列表");
  return runNumber;
}

}  // namespace

int PreparePrefetchCache() {
  std::optional<RunThreadScope> scope;
  return PrepareRunCache(scope);
}

void StartPrefetchRun(const AccountSession& session, const std::string& folderPath) {
  std::optional<RunThreadScope> scope;
  const int runNumber = PrepareRunCache(scope);
  if (runNumber != 0) {
    StartFolderCollection(session, folderPath, runNumber);
  }
}

void InstallPrefetchRoutines() {
  InstallPrefetchRun(StartPrefetchRun, [] { EndPrefetchCache(); });
}
