#pragma once
// SqliteDatabase: one SQLite connection for the rest of the program.
//
// Callers speak code page 936: SQL, names and file names are converted to
// UTF-8 on the way in and texts come back in code page 936, unless the
// operation's `utf8` flag says the caller already speaks UTF-8. The object
// holds only the connection handle, no lock and no cache: callers serialise
// their use of one connection (the listing cache holds g_cacheDbLock).
//
// Destroying the object does NOT close the connection (the one program-wide
// connection must outlive the exit routine while workers may still use it);
// copies share the connection, and closing through either closes it for both.
//
// Results: Open, Exec, every schema builder, BackupTo, CreateFunction and
// CreateAggregate give true for SQLITE_OK; Close, CloseV2, Begin, Commit,
// Rollback, ErrorCode, SetBusyTimeout and SetBusyHandler give SQLite's code
// unchanged. Error texts are written only into an out-parameter that was given.
//
// Left out: SetKey, ChangeKey, ConfigureCipher and ConfigureCipherParameter
// need an encryption-capable SQLite (sqlite3_key, sqlite3_rekey,
// wxsqlite3_config...), which the system library does not export; the program
// never encrypts its cache.

#include <cstdint>
#include <string>
#include <vector>

#include "data/sqlite_callback_adapters.h"
#include "data/sqlite_column_def.h"
#include "data/sqlite_statement.h"

struct sqlite3;
struct sqlite3_mutex;

class SqliteDatabase {
 public:
  SqliteDatabase() = default;
  explicit SqliteDatabase(sqlite3* handle) : m_handle(handle) {}
  // Releasing the object leaves the connection open (see the file comment).
  ~SqliteDatabase() = default;
  SqliteDatabase(const SqliteDatabase&) = default;
  SqliteDatabase& operator=(const SqliteDatabase&) = default;

  SqliteDatabase Copy() const { return *this; }

  sqlite3* GetHandle() const { return m_handle; }
  // Replaces the handle; nothing is closed.
  void SetHandle(sqlite3* handle) { m_handle = handle; }

  // Opens an existing file; the default flags (2, read-write) never create one.
  // A handle already held is overwritten, not closed: close first. After a
  // failure the object may hold SQLite's error-state handle; closing frees it.
  bool Open(const std::string& fileName, int flags = 2, bool utf8 = false);
  // sqlite3_close / sqlite3_close_v2; the handle is forgotten whatever SQLite
  // answers. 1 without handle.
  int Close();
  int CloseV2();

  // Runs one or more statements. A given row routine is called per result row
  // with `userValue` and SQLite's UTF-8 values and names; a nonzero answer
  // stops the run and Exec gives false. On failure `errorText`, when given,
  // receives SQLite's message; on success it keeps its value.
  bool Exec(const std::string& sql, SqliteRowRoutine routine = nullptr, std::intptr_t userValue = 0,
            std::string* errorText = nullptr, bool utf8 = false);
  int ErrorCode() const;
  // Converted to code page 936 when `convert` is true, as stored when false.
  std::string ErrorMessage(bool convert = true) const;
  // Always a statement object: without handle when preparing failed. Only the
  // first statement of `sql` is prepared. `prepared` is written in every case.
  SqliteStatement Prepare(const std::string& sql, bool& prepared, bool utf8 = false);
  // sqlite3_get_table. The counts are written whenever SQLite ran; with `fill`
  // the table becomes rows + 1 lines (the first holds the column names) of
  // texts, NULL as the empty text.
  bool GetTable(const std::string& sql, std::vector<std::vector<std::string>>& table, bool fill,
                int& rowCount, int& columnCount, std::string* errorText = nullptr,
                bool utf8 = false);

  // Schema queries; the table name is bound, never pasted into the SQL.
  SqliteStatement QueryTables();
  SqliteStatement QueryIndexes(const std::string& table, bool utf8 = false);
  SqliteStatement QueryViews();
  SqliteStatement QueryTriggers(const std::string& table, bool utf8 = false);
  bool TableExists(const std::string& table, bool utf8 = false);

  // Schema builders. Table, column, index, view, trigger and alias names are
  // quoted as identifiers; column lists, defaults, checks, select texts and
  // trigger bodies are SQL fragments and pass unchanged.
  bool CreateTable(const std::string& table, const std::vector<SqliteColumnDef>& columns,
                   std::string* errorText = nullptr, const std::string& uniqueColumns = {},
                   const std::string& primaryKey = {}, bool utf8 = false);
  bool DropTable(const std::string& table, std::string* errorText = nullptr, bool utf8 = false);
  bool RenameTable(const std::string& oldName, const std::string& newName,
                   std::string* errorText = nullptr, bool utf8 = false);
  bool AddColumn(const std::string& table, const SqliteColumnDef& column,
                 std::string* errorText = nullptr, bool utf8 = false);
  bool CreateIndex(const std::string& index, const std::string& table, const std::string& columns,
                   bool unique, std::string* errorText = nullptr, bool utf8 = false);
  bool DropIndex(const std::string& index, std::string* errorText = nullptr, bool utf8 = false);
  bool CreateView(const std::string& view, const std::string& select, bool temporary,
                  std::string* errorText = nullptr, bool utf8 = false);
  bool DropView(const std::string& view, std::string* errorText = nullptr, bool utf8 = false);
  // event: 0 INSERT, 1 DELETE, 2 UPDATE, 3 UPDATE OF `columns`; timing: 1
  // BEFORE, 2 AFTER, otherwise none.
  bool CreateTrigger(const std::string& table, const std::string& trigger, const std::string& body,
                     int event, const std::string& columns, int timing, bool temporary,
                     std::string* errorText = nullptr, bool utf8 = false);
  bool DropTrigger(const std::string& trigger, std::string* errorText = nullptr, bool utf8 = false);

  // Transactions. With `savepoint` the texts are SAVEPOINT / RELEASE /
  // ROLLBACK TO + name; otherwise BEGIN (type 0), BEGIN IMMEDIATE (1), BEGIN
  // EXCLUSIVE (2), COMMIT, ROLLBACK. SQLite's code; 21 (SQLITE_MISUSE) without
  // a connection or for an unknown Begin type (nothing runs then).
  int Begin(const std::string& savepointName, bool savepoint, int type = 0);
  int Commit(const std::string& savepointName, bool savepoint);
  int Rollback(const std::string& savepointName, bool savepoint);

  void Interrupt();
  int Changes() const;
  int TotalChanges() const;
  std::int64_t LastInsertRowid() const;
  bool Vacuum(std::string* errorText = nullptr, bool utf8 = false);
  bool Attach(const std::string& file, const std::string& alias, std::string* errorText = nullptr,
              bool utf8 = false);
  bool Detach(const std::string& alias, std::string* errorText = nullptr, bool utf8 = false);
  // Copies this connection's database into `target`, 5 pages a step, waiting
  // 250 ms whenever the source or target is busy or locked.
  bool BackupTo(SqliteDatabase& target, const std::string& targetName = "main",
                const std::string& sourceName = "main",
                SqliteBackupProgressRoutine progress = nullptr, bool utf8 = false);

  // SQL functions; `userValue` reaches the routines through the
  // SqliteFunctionRecord that sqlite3_user_data gives, and the destroy routine.
  bool CreateFunction(const std::string& name, int argumentCount, std::intptr_t userValue,
                      SqliteScalarRoutine scalar, SqliteDestroyRoutine destroy = nullptr,
                      bool utf8 = false);
  bool CreateAggregate(const std::string& name, int argumentCount, std::intptr_t userValue,
                       SqliteScalarRoutine step, SqliteFinalRoutine final,
                       SqliteDestroyRoutine destroy = nullptr, bool utf8 = false);
  int SetBusyTimeout(int milliseconds);
  // Without a routine the busy handler is removed.
  int SetBusyHandler(SqliteBusyRoutine routine = nullptr);
  std::string GetFilename(const std::string& database = "main", bool utf8 = false) const;
  // 1 read-only, 0 writable, -1 no such database.
  int IsReadonly(const std::string& database = "main", bool utf8 = false) const;
  sqlite3_mutex* GetMutex() const;
  bool IsAutocommit() const;
  // Without a routine the progress handler is removed.
  void SetProgressHandler(int instructions, SqliteProgressRoutine routine = nullptr);
  // The statement after `previous` (none starts the list); without handle at
  // the end.
  SqliteStatement NextStatement(const SqliteStatement* previous = nullptr) const;

 private:
  int RunTransactionText(const std::string& text);

  sqlite3* m_handle = nullptr;
};
