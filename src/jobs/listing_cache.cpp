#include "jobs/listing_cache.h"

#include <fstream>
#include <mutex>

#include "data/program_wide_objects.h"
#include "foundation/error_log.h"
#include "foundation/file_system_path.h"
#include "foundation/run_directory.h"
#include "foundation/shared_locks.h"
#include "foundation/text_search.h"
#include "foundation/waits.h"
#include "web/remote_name_text.h"
#include "web/rename_task_state.h"

const unsigned char kCacheTemplateDb[] = {
#include "../../resources/cache_template_db.inc"
};
const std::size_t kCacheTemplateDbSize = sizeof(kCacheTemplateDb);

std::string g_cachePath;

const char* const kCacheInsertSql =
    "INSERT INTO list ('folder','filename','order','type','time','size','ordersign','queried',"
    "'count','lowernum','other_1','target') VALUES (:folder,:filename,:order,:type,:time,:size,"
    ":ordersign,'0',:count,:lowernum,:other_1,:target);";

namespace {

constexpr int kBatchTries = 10;
// A short pause lets a passing lock go before the next try.
constexpr int kBatchRetryMs = 5;
constexpr const char* kBatchSavepoint = "cachebatch";

struct Replacement {
  const char* plain;
  const char* encoded;
};

// In encoding order; decoding runs the same pairs with "&" last.
constexpr Replacement kEncodeSteps[] = {
    {"&", "&amp;"},  {"[", "&#91;"},   {"]", "&#93;"},  {",", "&#44;"},
    {"'", "&apos;"}, {"\"", "&quot;"}, {"~", "&#126;"},
};
constexpr Replacement kDecodeSteps[] = {
    {"'", "&apos;"}, {"\"", "&quot;"}, {"[", "&#91;"}, {"]", "&#93;"},
    {",", "&#44;"},  {"~", "&#126;"},  {"&", "&amp;"},
};

bool BindRow(SqliteStatement& statement, const CacheRow& row) {
  return statement.BindText(":folder", row.folder) &&
         statement.BindText(":filename", row.filename) && statement.BindText(":order", row.order) &&
         statement.BindText(":type", row.type) && statement.BindText(":time", row.time) &&
         statement.BindText(":size", row.size) && statement.BindText(":ordersign", row.ordersign) &&
         statement.BindText(":count", row.count) && statement.BindText(":lowernum", row.lowernum) &&
         statement.BindText(":other_1", row.other_1) && statement.BindText(":target", row.target);
}

// The rows a failed batch would lose, named by their paths, one a line.
std::string RowPaths(const std::vector<CacheRow>& rows) {
  std::string paths;
  for (const CacheRow& row : rows) {
    paths += (paths.empty() ? "" : "\r\n") + RemoteNameForDisplay(DecodeCacheText(row.folder));
  }
  return paths;
}

// One try: every row or none (a savepoint inside the run's transaction).
bool InsertRows(const std::vector<CacheRow>& rows, std::string& errorText) {
  std::lock_guard lock(g_cacheDbLock);
  SqliteDatabase& db = g_cacheDb;
  if (db.Begin(kBatchSavepoint, true) != 0) {
    errorText = db.ErrorMessage();
    return false;
  }
  bool prepared = false;
  SqliteStatement statement = db.Prepare(kCacheInsertSql, prepared);
  bool ok = prepared;
  for (size_t i = 0; ok && i < rows.size(); ++i) {
    ok = statement.Reset() && statement.ClearBindings() && BindRow(statement, rows[i]) &&
         statement.StepResult() == 101;  // SQLITE_DONE
  }
  if (!ok) {
    errorText = db.ErrorMessage();
  }
  statement.Finalize();
  if (ok && db.Commit(kBatchSavepoint, true) == 0) {
    return true;
  }
  if (ok) {
    errorText = db.ErrorMessage();
  }
  db.Rollback(kBatchSavepoint, true);
  db.Commit(kBatchSavepoint, true);
  return false;
}

}  // namespace

std::string EncodeCacheText(const std::string& text) {
  std::string result = text;
  for (const Replacement& step : kEncodeSteps) {
    result = ReplaceAllText(result, step.plain, step.encoded);
  }
  return result;
}

std::string DecodeCacheText(const std::string& text) {
  std::string result = text;
  for (const Replacement& step : kDecodeSteps) {
    result = ReplaceAllText(result, step.encoded, step.plain);
  }
  return result;
}

std::string DecodedCacheColumnSql(const std::string& column) {
  const auto literal = [](const char* text) { return "'" + ReplaceAllText(text, "'", "''") + "'"; };
  std::string expression = column;
  for (const Replacement& step : kDecodeSteps) {
    expression =
        "replace(" + expression + "," + literal(step.encoded) + "," + literal(step.plain) + ")";
  }
  return expression;
}

bool WriteCacheTemplate(const std::string& path) {
  std::ofstream file(FileSystemPathFromText(path), std::ios::binary | std::ios::trunc);
  if (!file) {
    return false;
  }
  file.write(reinterpret_cast<const char*>(kCacheTemplateDb),
             static_cast<std::streamsize>(kCacheTemplateDbSize));
  file.close();
  return static_cast<bool>(file);
}

bool RunSqlStatement(SqliteDatabase& db, const std::string& sql, std::string& errorText) {
  return db.Exec(sql, nullptr, 0, &errorText);
}

bool ExecuteCacheBatch(const std::vector<CacheRow>& rows) {
  if (rows.empty()) {
    return true;
  }
  for (int attempt = 1;; ++attempt) {
    std::string errorText;
    if (InsertRows(rows, errorText)) {
      return true;
    }
    // Written after g_cacheDbLock was left.
    AppendErrorLogLine(GetRunDirectory() + "\\" + g_cachePath + "-->" + RowPaths(rows) +
                       "-->写入错误：" + errorText + "\r\n\r\n");
    if (attempt == kBatchTries || RenameStopRequested() ||
        WaitPumpingMessages(kBatchRetryMs, kWaitMilliseconds, RenameStopRequested) != 1) {
      return false;
    }
  }
}
