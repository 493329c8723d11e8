#include "data/sqlite_database.h"

#include <sqlite3.h>

#include "data/sqlite_text_conversion.h"
#include "foundation/file_system_path.h"

bool SqliteDatabase::Open(const std::string& fileName, int flags, bool utf8) {
  return sqlite3_open_v2((utf8 ? fileName : FileSystemPathFromText(fileName)).c_str(), &m_handle,
                         flags, nullptr) == SQLITE_OK;
}

int SqliteDatabase::Close() {
  if (m_handle == nullptr) {
    return SQLITE_ERROR;
  }
  int code = sqlite3_close(m_handle);
  m_handle = nullptr;
  return code;
}

int SqliteDatabase::CloseV2() {
  if (m_handle == nullptr) {
    return SQLITE_ERROR;
  }
  int code = sqlite3_close_v2(m_handle);
  m_handle = nullptr;
  return code;
}

bool SqliteDatabase::Exec(const std::string& sql, SqliteRowRoutine routine, std::intptr_t userValue,
                          std::string* errorText, bool utf8) {
  if (m_handle == nullptr) {
    return false;
  }
  SqliteRowCallbackRecord record{routine, userValue};
  char* message = nullptr;
  int code = sqlite3_exec(m_handle, ToSqliteText(sql, utf8).c_str(),
                          routine != nullptr ? &ExecRowAdapter : nullptr,
                          routine != nullptr ? &record : nullptr, &message);
  if (errorText != nullptr && message != nullptr) {
    *errorText = FromSqliteText(message, utf8);
  }
  sqlite3_free(message);
  return code == SQLITE_OK;
}

int SqliteDatabase::ErrorCode() const {
  return sqlite3_errcode(m_handle);
}

std::string SqliteDatabase::ErrorMessage(bool convert) const {
  return FromSqliteText(sqlite3_errmsg(m_handle), !convert);
}

SqliteStatement SqliteDatabase::Prepare(const std::string& sql, bool& prepared, bool utf8) {
  prepared = false;
  if (m_handle == nullptr) {
    return SqliteStatement();
  }
  sqlite3_stmt* statement = nullptr;
  prepared = sqlite3_prepare_v2(m_handle, ToSqliteText(sql, utf8).c_str(), -1, &statement,
                                nullptr) == SQLITE_OK;
  return SqliteStatement(prepared ? statement : nullptr);
}

bool SqliteDatabase::GetTable(const std::string& sql, std::vector<std::vector<std::string>>& table,
                              bool fill, int& rowCount, int& columnCount, std::string* errorText,
                              bool utf8) {
  if (m_handle == nullptr) {
    return false;
  }
  char** result = nullptr;
  char* message = nullptr;
  int code = sqlite3_get_table(m_handle, ToSqliteText(sql, utf8).c_str(), &result, &rowCount,
                               &columnCount, &message);
  if (code != SQLITE_OK) {
    if (errorText != nullptr && message != nullptr) {
      *errorText = FromSqliteText(message, utf8);
    }
    sqlite3_free(message);
    sqlite3_free_table(result);
    return false;
  }
  sqlite3_free(message);
  if (columnCount > 0 && fill) {
    table.assign(static_cast<size_t>(rowCount) + 1, {});
    for (int row = 0; row <= rowCount; ++row) {
      auto& line = table[static_cast<size_t>(row)];
      line.reserve(static_cast<size_t>(columnCount));
      for (int column = 0; column < columnCount; ++column) {
        line.push_back(FromSqliteText(result[row * columnCount + column], utf8));
      }
    }
  }
  sqlite3_free_table(result);
  return true;
}

int SqliteDatabase::RunTransactionText(const std::string& text) {
  if (m_handle == nullptr) {
    return SQLITE_MISUSE;
  }
  return sqlite3_exec(m_handle, text.c_str(), nullptr, nullptr, nullptr);
}

int SqliteDatabase::Begin(const std::string& savepointName, bool savepoint, int type) {
  if (savepoint) {
    return RunTransactionText("SAVEPOINT " + savepointName);
  }
  switch (type) {
    case 0:
      return RunTransactionText("BEGIN");
    case 1:
      return RunTransactionText("BEGIN IMMEDIATE");
    case 2:
      return RunTransactionText("BEGIN EXCLUSIVE");
    // An unknown type opens no transaction: report it, so no caller goes on as
    // if its writes were protected.
    default:
      return SQLITE_MISUSE;
  }
}

int SqliteDatabase::Commit(const std::string& savepointName, bool savepoint) {
  return RunTransactionText(savepoint ? "RELEASE " + savepointName : std::string("COMMIT"));
}

int SqliteDatabase::Rollback(const std::string& savepointName, bool savepoint) {
  return RunTransactionText(savepoint ? "ROLLBACK TO " + savepointName : std::string("ROLLBACK"));
}

void SqliteDatabase::Interrupt() {
  sqlite3_interrupt(m_handle);
}

int SqliteDatabase::Changes() const {
  return sqlite3_changes(m_handle);
}

int SqliteDatabase::TotalChanges() const {
  return sqlite3_total_changes(m_handle);
}

std::int64_t SqliteDatabase::LastInsertRowid() const {
  return sqlite3_last_insert_rowid(m_handle);
}

bool SqliteDatabase::BackupTo(SqliteDatabase& target, const std::string& targetName,
                              const std::string& sourceName, SqliteBackupProgressRoutine progress,
                              bool utf8) {
  if (target.GetHandle() == nullptr || m_handle == nullptr) {
    return false;
  }
  sqlite3_backup* backup =
      sqlite3_backup_init(target.GetHandle(), ToSqliteText(targetName, utf8).c_str(), m_handle,
                          ToSqliteText(sourceName, utf8).c_str());
  if (backup == nullptr) {
    return false;
  }
  int code = SQLITE_OK;
  do {
    code = sqlite3_backup_step(backup, 5);
    if (progress != nullptr) {
      progress(sqlite3_backup_remaining(backup), sqlite3_backup_pagecount(backup));
    }
    if (code == SQLITE_BUSY || code == SQLITE_LOCKED) {
      sqlite3_sleep(250);
    }
  } while (code == SQLITE_OK || code == SQLITE_BUSY || code == SQLITE_LOCKED);
  return sqlite3_backup_finish(backup) == SQLITE_OK;
}

bool SqliteDatabase::CreateFunction(const std::string& name, int argumentCount,
                                    std::intptr_t userValue, SqliteScalarRoutine scalar,
                                    SqliteDestroyRoutine destroy, bool utf8) {
  if (m_handle == nullptr) {
    return false;
  }
  auto* record = new SqliteFunctionRecord{scalar, nullptr, nullptr, destroy, userValue};
  // SQLite calls the destroy adapter itself when registering fails, so the
  // record is freed on every road.
  return sqlite3_create_function_v2(m_handle, ToSqliteText(name, utf8).c_str(), argumentCount,
                                    SQLITE_UTF8, record, &ScalarFunctionAdapter, nullptr, nullptr,
                                    &FunctionDestroyAdapter) == SQLITE_OK;
}

bool SqliteDatabase::CreateAggregate(const std::string& name, int argumentCount,
                                     std::intptr_t userValue, SqliteScalarRoutine step,
                                     SqliteFinalRoutine final, SqliteDestroyRoutine destroy,
                                     bool utf8) {
  if (m_handle == nullptr) {
    return false;
  }
  auto* record = new SqliteFunctionRecord{nullptr, step, final, destroy, userValue};
  return sqlite3_create_function_v2(m_handle, ToSqliteText(name, utf8).c_str(), argumentCount,
                                    SQLITE_UTF8, record, nullptr, &AggregateStepAdapter,
                                    &AggregateFinalAdapter, &FunctionDestroyAdapter) == SQLITE_OK;
}

int SqliteDatabase::SetBusyTimeout(int milliseconds) {
  return sqlite3_busy_timeout(m_handle, milliseconds);
}

int SqliteDatabase::SetBusyHandler(SqliteBusyRoutine routine) {
  if (routine == nullptr) {
    return sqlite3_busy_handler(m_handle, nullptr, nullptr);
  }
  return sqlite3_busy_handler(m_handle, &BusyAdapter, RoutineToUserData(routine));
}

std::string SqliteDatabase::GetFilename(const std::string& database, bool utf8) const {
  return FromSqliteText(sqlite3_db_filename(m_handle, ToSqliteText(database, utf8).c_str()), utf8);
}

int SqliteDatabase::IsReadonly(const std::string& database, bool utf8) const {
  return sqlite3_db_readonly(m_handle, ToSqliteText(database, utf8).c_str());
}

sqlite3_mutex* SqliteDatabase::GetMutex() const {
  return sqlite3_db_mutex(m_handle);
}

bool SqliteDatabase::IsAutocommit() const {
  return sqlite3_get_autocommit(m_handle) != 0;
}

void SqliteDatabase::SetProgressHandler(int instructions, SqliteProgressRoutine routine) {
  if (routine == nullptr) {
    sqlite3_progress_handler(m_handle, instructions, nullptr, nullptr);
  } else {
    sqlite3_progress_handler(m_handle, instructions, &ProgressAdapter, RoutineToUserData(routine));
  }
}

SqliteStatement SqliteDatabase::NextStatement(const SqliteStatement* previous) const {
  return SqliteStatement(
      sqlite3_next_stmt(m_handle, previous != nullptr ? previous->GetHandle() : nullptr));
}
