#include "jobs/cache_item_rows.h"

#include <mutex>

#include "data/program_wide_objects.h"
#include "foundation/shared_locks.h"
#include "foundation/waits.h"
#include "jobs/folder_traversal.h"
#include "jobs/listing_cache.h"
#include "jobs/number_prefix_counter.h"
#include "jobs/rename_rule_options.h"
#include "platform/control_store.h"
#include "platform/desktop.h"
#include "web/rename_task_state.h"

namespace {

constexpr int kPrepareAttempts = 5;
constexpr int kProgressPanel = 1;

// Column positions of table `list`.
enum Column {
  kIdColumn = 0,
  kFolderColumn = 1,
  kFilenameColumn = 2,
  kTypeColumn = 4,
  kLowernumColumn = 10,
  kTargetColumn = 11,
  kOther1Column = 12,
};

bool BindAll(SqliteStatement& statement, const SqlParameters& parameters) {
  for (const auto& [name, value] : parameters) {
    if (!statement.BindText(name, value)) {
      return false;
    }
  }
  return true;
}

}  // namespace

CacheQuery OpenCacheQuery(const std::string& sql, const SqlParameters& parameters) {
  CacheQuery query;
  std::lock_guard lock(g_cacheDbLock);
  for (int attempt = 0; attempt < kPrepareAttempts && !query.prepared; ++attempt) {
    if (RenameStopRequested()) {
      query.stopped = true;
      return query;
    }
    query.statement = g_cacheDb.Prepare(sql, query.prepared);
    if (query.prepared && !BindAll(query.statement, parameters)) {
      query.statement.Finalize();
      query.prepared = false;
    }
    PumpMessages();
  }
  if (query.prepared) {
    query.rowCount = query.statement.CountRows();
  }
  return query;
}

bool ReadNextItem(CacheQuery& query, CachedItem& item) {
  {
    std::lock_guard lock(g_cacheDbLock);
    if (!query.statement.Step()) {
      return false;
    }
    const SqliteStatement& row = query.statement;
    item.id = row.ColumnText(kIdColumn);
    item.path = DecodeCacheText(row.ColumnText(kFolderColumn));
    item.escapedName = DecodeCacheText(row.ColumnText(kFilenameColumn));
    item.kind = row.ColumnText(kTypeColumn);
    item.level = row.ColumnText(kLowernumColumn);
    item.fsId = row.ColumnText(kTargetColumn);
    item.plainName = DecodeCacheText(row.ColumnText(kOther1Column));
  }
  item.escaped = NeedsEscapedForm(DecodeListedText(item.path));
  return true;
}

RowStep NextCachedItem(CacheQuery& query, CachedItem& item) {
  if (RenameStopRequested()) {
    GetDesktop().SetStatusPanel(kProgressPanel, "已手动停止");
    FinishCacheQuery(query);
    return RowStep::kStopped;
  }
  return ReadNextItem(query, item) ? RowStep::kRow : RowStep::kEnd;
}

void FinishCacheQuery(CacheQuery& query) {
  std::lock_guard lock(g_cacheDbLock);
  query.statement.Finalize();
}

std::string LevelNumberPrefix::Take(const std::string& level) {
  if (!m_started || level != m_level) {
    m_started = true;
    m_level = level;
    m_number = GetControlStore().Text(kNumberPrefixEdit);
    if (m_number.empty()) {
      m_number = "000";
    }
  } else {
    m_number = StepNumberPrefix(m_number);
  }
  return m_number;
}
