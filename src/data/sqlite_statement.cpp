#include "data/sqlite_statement.h"

#include <sqlite3.h>

#include <cstring>

#include "data/sqlite_text_conversion.h"

namespace {

int AsciiLower(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c;
}

bool StartsWithNoCase(const char* text, const char* prefix) {
  for (; *prefix != '\0'; ++text, ++prefix) {
    if (*text == '\0' || AsciiLower(static_cast<unsigned char>(*text)) != *prefix) {
      return false;
    }
  }
  return true;
}

// The first "from" (any ASCII case) met outside parentheses, or null. Quotes
// are not looked at: the cache's queries never hold "from" inside a literal.
const char* FindOuterFrom(const char* text) {
  int depth = 0;
  for (const char* p = text; *p != '\0'; ++p) {
    if (*p == '(') {
      ++depth;
    } else if (*p == ')') {
      --depth;
    } else if (depth == 0 && (*p == 'f' || *p == 'F') && StartsWithNoCase(p, "from")) {
      return p;
    }
  }
  return nullptr;
}

}  // namespace

int SqliteStatement::Finalize() {
  if (m_handle == nullptr) {
    return SQLITE_ERROR;
  }
  int code = sqlite3_finalize(m_handle);
  m_handle = nullptr;
  return code;
}

std::string SqliteStatement::GetSql(bool raw) const {
  return m_handle == nullptr ? std::string() : FromSqliteText(sqlite3_sql(m_handle), raw);
}

bool SqliteStatement::BindBlob(const std::string& name, const std::string& bytes, bool utf8) {
  if (m_handle == nullptr) {
    return false;
  }
  int index = BindParameterIndex(name, utf8);
  // A zero-length blob still binds a blob, not NULL: hand SQLite a valid pointer.
  static const char s_empty = 0;
  const char* data = bytes.empty() ? &s_empty : bytes.data();
  return sqlite3_bind_blob(m_handle, index, data, static_cast<int>(bytes.size()),
                           SQLITE_TRANSIENT) == SQLITE_OK;
}

bool SqliteStatement::BindText(const std::string& name, const std::string& text, bool utf8) {
  if (m_handle == nullptr) {
    return false;
  }
  int index = BindParameterIndex(name, utf8);
  std::string value = ToSqliteText(text, utf8);
  return sqlite3_bind_text(m_handle, index, value.data(), static_cast<int>(value.size()),
                           SQLITE_TRANSIENT) == SQLITE_OK;
}

bool SqliteStatement::BindInt(const std::string& name, int value, bool utf8) {
  return m_handle != nullptr &&
         sqlite3_bind_int(m_handle, BindParameterIndex(name, utf8), value) == SQLITE_OK;
}

bool SqliteStatement::BindInt64(const std::string& name, std::int64_t value, bool utf8) {
  return m_handle != nullptr &&
         sqlite3_bind_int64(m_handle, BindParameterIndex(name, utf8), value) == SQLITE_OK;
}

bool SqliteStatement::BindDouble(const std::string& name, double value, bool utf8) {
  return m_handle != nullptr &&
         sqlite3_bind_double(m_handle, BindParameterIndex(name, utf8), value) == SQLITE_OK;
}

bool SqliteStatement::BindNull(const std::string& name, bool utf8) {
  return m_handle != nullptr &&
         sqlite3_bind_null(m_handle, BindParameterIndex(name, utf8)) == SQLITE_OK;
}

bool SqliteStatement::ClearBindings() {
  return m_handle != nullptr && sqlite3_clear_bindings(m_handle) == SQLITE_OK;
}

int SqliteStatement::BindParameterCount() const {
  return m_handle == nullptr ? 0 : sqlite3_bind_parameter_count(m_handle);
}

int SqliteStatement::BindParameterIndex(const std::string& name, bool utf8) const {
  if (m_handle == nullptr) {
    return 0;
  }
  return sqlite3_bind_parameter_index(m_handle, ToSqliteText(name, utf8).c_str());
}

std::string SqliteStatement::BindParameterName(int number, bool raw) const {
  if (m_handle == nullptr) {
    return {};
  }
  return FromSqliteText(sqlite3_bind_parameter_name(m_handle, number), raw);
}

bool SqliteStatement::Step() {
  return m_handle != nullptr && sqlite3_step(m_handle) == SQLITE_ROW;
}

int SqliteStatement::StepResult() {
  return m_handle == nullptr ? SQLITE_ERROR : sqlite3_step(m_handle);
}

int SqliteStatement::StepColumnInt() {
  return Step() ? sqlite3_column_int(m_handle, 0) : 0;
}

std::string SqliteStatement::StepColumnText(bool raw) {
  return Step() ? ColumnText(0, raw) : std::string();
}

bool SqliteStatement::Reset() {
  return m_handle != nullptr && sqlite3_reset(m_handle) == SQLITE_OK;
}

int SqliteStatement::DataCount() const {
  return m_handle == nullptr ? 0 : sqlite3_data_count(m_handle);
}

int SqliteStatement::ColumnCount() const {
  return m_handle == nullptr ? 0 : sqlite3_column_count(m_handle);
}

int SqliteStatement::ColumnBytes(int column) const {
  return m_handle == nullptr ? 0 : sqlite3_column_bytes(m_handle, column);
}

std::string SqliteStatement::ColumnName(int column, bool raw) const {
  return m_handle == nullptr ? std::string()
                             : FromSqliteText(sqlite3_column_name(m_handle, column), raw);
}

std::string SqliteStatement::ColumnTableName(int column, bool raw) const {
  if (m_handle == nullptr) {
    return {};
  }
  return FromSqliteText(sqlite3_column_table_name(m_handle, column), raw);
}

std::string SqliteStatement::ColumnDatabaseName(int column, bool raw) const {
  if (m_handle == nullptr) {
    return {};
  }
  return FromSqliteText(sqlite3_column_database_name(m_handle, column), raw);
}

int SqliteStatement::ColumnIndex(const std::string& name, bool raw) const {
  if (m_handle == nullptr) {
    return -1;
  }
  int count = sqlite3_column_count(m_handle);
  for (int column = 0; column < count; ++column) {
    const char* stored = sqlite3_column_name(m_handle, column);
    if (stored != nullptr && FromSqliteText(stored, raw) == name) {
      return column;
    }
  }
  return -1;
}

std::string SqliteStatement::ColumnDeclType(int column, bool raw) const {
  if (m_handle == nullptr) {
    return {};
  }
  return FromSqliteText(sqlite3_column_decltype(m_handle, column), raw);
}

std::string SqliteStatement::ColumnOriginName(int column, bool raw) const {
  if (m_handle == nullptr) {
    return {};
  }
  return FromSqliteText(sqlite3_column_origin_name(m_handle, column), raw);
}

int SqliteStatement::ColumnType(int column) const {
  return m_handle == nullptr ? 0 : sqlite3_column_type(m_handle, column);
}

std::string SqliteStatement::ColumnText(int column, bool raw) const {
  if (m_handle == nullptr) {
    return {};
  }
  const unsigned char* text = sqlite3_column_text(m_handle, column);
  if (text == nullptr) {
    return {};
  }
  // Column texts may hold zero bytes: take SQLite's length, not strlen.
  std::string stored(reinterpret_cast<const char*>(text),
                     static_cast<size_t>(sqlite3_column_bytes(m_handle, column)));
  return raw ? stored : Utf8ToCodePage936(stored);
}

int SqliteStatement::ColumnInt(int column) const {
  return m_handle == nullptr ? 0 : sqlite3_column_int(m_handle, column);
}

std::int64_t SqliteStatement::ColumnInt64(int column) const {
  return m_handle == nullptr ? 0 : sqlite3_column_int64(m_handle, column);
}

double SqliteStatement::ColumnDouble(int column) const {
  return m_handle == nullptr ? 0.0 : sqlite3_column_double(m_handle, column);
}

std::string SqliteStatement::ColumnBlob(int column) const {
  if (m_handle == nullptr) {
    return {};
  }
  const void* data = sqlite3_column_blob(m_handle, column);
  int size = sqlite3_column_bytes(m_handle, column);
  if (data == nullptr || size <= 0) {
    return {};
  }
  return std::string(static_cast<const char*>(data), static_cast<size_t>(size));
}

std::string SqliteStatement::ExpandedSql(bool raw) const {
  if (m_handle == nullptr) {
    return {};
  }
  char* expanded = sqlite3_expanded_sql(m_handle);
  std::string result = FromSqliteText(expanded, raw);
  sqlite3_free(expanded);
  return result;
}

bool SqliteStatement::IsBusy() const {
  return sqlite3_stmt_busy(m_handle) != 0;
}

bool SqliteStatement::IsReadonly() const {
  return sqlite3_stmt_readonly(m_handle) != 0;
}

sqlite3* SqliteStatement::GetDatabaseHandle() const {
  return sqlite3_db_handle(m_handle);
}

int SqliteStatement::CountRows() const {
  if (m_handle == nullptr) {
    return 0;
  }
  char* expanded = sqlite3_expanded_sql(m_handle);
  if (expanded == nullptr) {
    return 0;
  }
  if (std::strlen(expanded) < 6 || !StartsWithNoCase(expanded, "select")) {
    sqlite3_free(expanded);
    return 0;
  }
  const char* from = FindOuterFrom(expanded);
  if (from == nullptr) {
    sqlite3_free(expanded);
    return 1;
  }
  std::string countSql = std::string("select count(*) ") + from;
  sqlite3_free(expanded);
  sqlite3* db = sqlite3_db_handle(m_handle);
  if (db == nullptr) {
    return 0;
  }
  sqlite3_stmt* counter = nullptr;
  if (sqlite3_prepare_v2(db, countSql.c_str(), -1, &counter, nullptr) != SQLITE_OK) {
    sqlite3_finalize(counter);
    return 0;
  }
  int count = sqlite3_step(counter) == SQLITE_ROW ? sqlite3_column_int(counter, 0) : 0;
  sqlite3_finalize(counter);
  return count;
}
