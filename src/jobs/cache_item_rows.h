#pragma once
// What the two apply engines share when they read a run's listing cache: a
// query opened under g_cacheDbLock with the stop flag tested before every
// attempt, one row at a time turned into the item it describes (each cached
// text decoded exactly once), and the number prefix that restarts at every
// change of level.
//
// Runs on the dispatcher thread of a prefetch run, after its collection, while
// that thread counts as using the cache (RunThreadScope). g_cacheDbLock is held
// only around a prepare, a step with its column reads, and a finalize; never
// across a request, and never together with g_counterLock.

#include <string>
#include <utility>
#include <vector>

#include "data/sqlite_statement.h"

// One row of table `list`, as the apply engines use it.
struct CachedItem {
  std::string id;           // `id`, to remove the row
  std::string path;         // `folder`: the full remote path as listed (backslash-u possible)
  std::string escapedName;  // `filename`: the name as listed (backslash-u possible)
  std::string kind;         // `type`: "1" folder, "0" file
  std::string level;        // `lowernum`
  std::string fsId;         // `target`
  std::string plainName;    // `other_1`: the name as code page 936 text
  bool escaped = false;     // the path asks for the backslash-u route (NeedsEscapedForm)
};

// Named parameters (":name") and the code page 936 texts bound to them.
using SqlParameters = std::vector<std::pair<std::string, std::string>>;

// An opened query of the cache.
struct CacheQuery {
  SqliteStatement statement;
  bool stopped = false;   // the stop flag ended the opening; nothing is open
  bool prepared = false;  // false when 5 attempts failed (no rows then)
  int rowCount = 0;       // the rows the query delivers
};

// Prepares `sql` on g_cacheDb with `parameters` bound: up to 5 attempts, each
// preceded by a test of g_renameStopRequested and followed by one pass of
// pending messages. The row count comes from SqliteStatement::CountRows.
CacheQuery OpenCacheQuery(const std::string& sql, const SqlParameters& parameters = {});

// Steps the query once and reads the row; false when no row came.
bool ReadNextItem(CacheQuery& query, CachedItem& item);

// What NextCachedItem found.
enum class RowStep { kRow, kEnd, kStopped };

// The next row of an opened query: kStopped when g_renameStopRequested is set
// (then "已手动停止" is written into panel 1 of the status bar and the statement
// finalized; the cache is left to the stop button), kEnd when no row came.
RowStep NextCachedItem(CacheQuery& query, CachedItem& item);

// Finalizes the statement (nothing when it was never prepared).
void FinishCacheQuery(CacheQuery& query);

// The number prefix of the apply engines: the first row of a level takes the
// text of `编辑框_自动增加数字序号前缀` as it reads then ("000" when empty), every
// further row of the same level the previous number plus one, padded to its
// width. Files and folders of a level share the sequence.
class LevelNumberPrefix {
 public:
  // The number of a row of `level`.
  std::string Take(const std::string& level);

 private:
  bool m_started = false;
  std::string m_level;
  std::string m_number;
};
