#pragma once
// Fixture of the collection tests: the service fixture plus a worker pool of
// the test's own (shut down before the test clock goes), apply engines that
// record the run's cache at the moment the collection hands over, and readers
// of the cache rows and of "err.txt".

#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "data/program_wide_objects.h"
#include "foundation/shared_locks.h"
#include "foundation/thread_pool.h"
#include "jobs/folder_collection.h"
#include "jobs/listing_cache.h"
#include "jobs/prefetch_run.h"
#include "jobs/prefetch_run_hooks.h"
#include "jobs/rename_task.h"
#include "support/service_test_fixture.h"
#include "web/remote_name_text.h"

// One row of the cache's table `list`, by column.
struct CachedRow {
  std::string id, folder, filename, order, type, time, size, ordersign, queried, count, lowernum,
      target, other_1;
  // The entry's path as the emulator names it (UTF-8), folders with "/".
  std::string TreePath() const {
    return RemoteNameUtf8(DecodeCacheText(folder)) + (type == "1" ? "/" : "");
  }
};

inline std::vector<CachedRow> ReadCacheRows() {
  std::vector<CachedRow> rows;
  std::lock_guard lock(g_cacheDbLock);
  bool prepared = false;
  SqliteStatement statement = g_cacheDb.Prepare("SELECT * FROM list ORDER BY id", prepared);
  while (prepared && statement.Step()) {
    CachedRow row;
    std::string* columns[] = {&row.id,        &row.folder, &row.filename, &row.order, &row.type,
                              &row.time,      &row.size,   &row.ordersign, &row.queried,
                              &row.count,     &row.lowernum, &row.target, &row.other_1};
    for (int i = 0; i < 13; ++i) {
      *columns[i] = statement.ColumnText(i);
    }
    rows.push_back(row);
  }
  statement.Finalize();
  return rows;
}

class CollectionTest : public ServiceTest {
 protected:
  void SetUp() override {
    ServiceTest::SetUp();
    g_threadPool = ThreadPool::Create(1, 10);
    ASSERT_NE(g_threadPool, nullptr);
    InstallApplyEngines(RecordBatch, RecordPerItem);
    g_collectDepth = 0;
  }
  void TearDown() override {
    EndPrefetchCache();
    ThreadPool::Shutdown(g_threadPool);
    g_threadPool = nullptr;
    InstallApplyEngines(nullptr, nullptr);
    ServiceTest::TearDown();
  }

  // One prefetch run of `folder` with `session` (the working account when
  // none); returns the cache rows the apply phase was handed (none when it
  // never ran).
  std::vector<CachedRow> Collect(const std::string& folder) {
    return Collect(folder, GetAccountSession());
  }
  std::vector<CachedRow> Collect(const std::string& folder, const AccountSession& session) {
    {
      std::lock_guard lock(s_mutex);
      s_applied.clear();
      s_rows.clear();
    }
    StartPrefetchRun(session, folder);
    EndPrefetchCache();
    std::lock_guard lock(s_mutex);
    return s_rows;
  }

  static std::vector<std::string> Applied() {
    std::lock_guard lock(s_mutex);
    return s_applied;
  }

  // The lines of "err.txt" that carry an entry (each entry ends with an
  // empty line pair).
  std::vector<std::string> ErrorLogEntries() const {
    std::ifstream in(m_folder.Path() / "err.txt", std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::string> entries;
    size_t start = 0;
    for (size_t end = text.find("\r\n\r\n\r\n"); end != std::string::npos;
         end = text.find("\r\n\r\n\r\n", start)) {
      entries.push_back(text.substr(start, end - start));
      start = end + 6;
    }
    return entries;
  }

  // The paths of the emulator's tree below `folder` (UTF-8, folders with "/").
  std::vector<std::string> TreeBelow(const std::string& folder) const {
    std::vector<std::string> paths;
    for (std::string path : Tree().Paths()) {
      const size_t size = path.find(':', path.rfind('/'));
      if (size != std::string::npos) {
        path.erase(size);  // a file's ":size"
      }
      if (path.rfind(folder + "/", 0) == 0 && path != folder + "/") {
        paths.push_back(path);
      }
    }
    return paths;
  }

 private:
  static void Record(const char* engine, int runNumber) {
    std::vector<CachedRow> rows = PrefetchRunLive(runNumber) ? ReadCacheRows() : std::vector<CachedRow>{};
    std::lock_guard lock(s_mutex);
    s_applied.push_back(engine);
    s_rows = std::move(rows);
  }
  static void RecordBatch(const AccountSession&, int runNumber) { Record("batch", runNumber); }
  static void RecordPerItem(const AccountSession&, int runNumber) { Record("per-item", runNumber); }

  static inline std::mutex s_mutex;
  static inline std::vector<std::string> s_applied;
  static inline std::vector<CachedRow> s_rows;
};
