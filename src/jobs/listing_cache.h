#pragma once
// The listing cache of a prefetch run: a scratch SQLite file
// ("folderlist_re_" + 10-digit stamp + ".db" in the run directory) made from
// the empty image kCacheTemplateDb, opened as g_cacheDb, and holding one
// transaction for the whole run that is never committed: the run ends with a
// rollback and a close, and the file on disk is the empty image again.
//
// Table `list`, columns by position (readers fetch them by number):
//   0 id, 1 folder, 2 filename, 3 order, 4 type, 5 time, 6 size, 7 ordersign,
//   8 queried, 9 count, 10 lowernum, 11 target, 12 other_1.
// `folder`, `filename` and `other_1` are stored through EncodeCacheText.
//
// Every use of g_cacheDb happens under g_cacheDbLock; "err.txt" is written
// under g_logFileLock, never while g_cacheDbLock is held.

#include <cstddef>
#include <string>
#include <vector>

#include "data/sqlite_database.h"
#include "web/account_session.h"

// The empty cache image (15,360 bytes), made by resources/make_cache_template.py.
extern const unsigned char kCacheTemplateDb[];
extern const std::size_t kCacheTemplateDbSize;

// The current run's cache file name, without folder. Written by
// StartPrefetchRun before any other thread of the run starts.
extern std::string g_cachePath;

// Entity encoding of cached names: & [ ] , ' " ~ become &amp; &#91; &#93;
// &#44; &apos; &quot; &#126; ("&" first); DecodeCacheText undoes exactly that
// ("&amp;" last).
std::string EncodeCacheText(const std::string& text);
std::string DecodeCacheText(const std::string& text);

// An SQL expression giving DecodeCacheText of `column` (a column name of
// `list`), so that a query can search the plain text of a cached name instead
// of its encoding (where "1" would be found in "&#91;").
std::string DecodedCacheColumnSql(const std::string& column);

// Writes the whole image as `path` (code page 936), created or overwritten.
bool WriteCacheTemplate(const std::string& path);

// One entry for the table `list`; the texts are stored as given (the caller
// encodes folder, filename and other_1).
struct CacheRow {
  std::string folder;
  std::string filename;
  std::string order;
  std::string type;
  std::string time;
  std::string size;
  std::string ordersign;
  std::string count;
  std::string lowernum;
  std::string target;
  std::string other_1;
};

// The statement ExecuteCacheBatch runs per row (named parameters, queried 0).
extern const char* const kCacheInsertSql;

// Runs `sql` on `db` inside the open transaction; SQLite's message (code page
// 936) in `errorText` on failure. The caller holds g_cacheDbLock.
bool RunSqlStatement(SqliteDatabase& db, const std::string& sql, std::string& errorText);

// Inserts one batch of rows (the collection sends up to 50) into the run's
// cache, all or none, under g_cacheDbLock; up to 10 tries 5 ms apart, each
// failed one appending an "err.txt" line that names the rows' paths. A stop
// request ends the tries. True once a try succeeded.
bool ExecuteCacheBatch(const std::vector<CacheRow>& rows);
