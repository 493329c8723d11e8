#pragma once
// SqliteStatement: one prepared SQLite statement, as made by
// SqliteDatabase::Prepare, the schema queries and SqliteDatabase::NextStatement.
//
// The object holds only the statement handle. Destroying the object does NOT
// finalize the statement: the owner ends it with Finalize(). Copies share the
// one statement; finalizing through either ends it for both.
//
// Texts going in (parameter names, bound texts, column names) are code page 936
// and are converted to UTF-8 unless `utf8` is true; texts coming out are
// converted back to code page 936 unless `raw` is true. Columns are 0-based;
// parameters are addressed by name.
//
// Without a handle every operation answers without calling SQLite: false, 0,
// -1, the empty text or 1 (SQLITE_ERROR) as each operation states. No locks:
// callers serialise their use of the statement's connection.

#include <cstdint>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

class SqliteStatement {
 public:
  SqliteStatement() = default;
  explicit SqliteStatement(sqlite3_stmt* handle) : m_handle(handle) {}
  // Releasing the object leaves the statement open (see the file comment).
  ~SqliteStatement() = default;
  SqliteStatement(const SqliteStatement&) = default;
  SqliteStatement& operator=(const SqliteStatement&) = default;

  // A second object sharing this statement.
  SqliteStatement Copy() const { return *this; }

  sqlite3_stmt* GetHandle() const { return m_handle; }
  // Replaces the handle; the old statement is not finalized.
  void SetHandle(sqlite3_stmt* handle) { m_handle = handle; }

  // sqlite3_finalize, then the handle is forgotten whatever SQLite answered.
  // SQLite's code; 1 without handle.
  int Finalize();
  std::string GetSql(bool raw = false) const;

  // Binds by parameter name ("$name", ":name", "@name" as written in the SQL).
  // True on SQLITE_OK; false for an unknown name or without handle. Texts and
  // blobs are copied by SQLite.
  bool BindBlob(const std::string& name, const std::string& bytes, bool utf8 = false);
  bool BindText(const std::string& name, const std::string& text, bool utf8 = false);
  bool BindInt(const std::string& name, int value, bool utf8 = false);
  bool BindInt64(const std::string& name, std::int64_t value, bool utf8 = false);
  bool BindDouble(const std::string& name, double value, bool utf8 = false);
  bool BindNull(const std::string& name, bool utf8 = false);
  bool ClearBindings();
  int BindParameterCount() const;
  // 0 when the statement has no such parameter.
  int BindParameterIndex(const std::string& name, bool utf8 = false) const;
  // 1-based parameter number; empty text when unnamed or out of range.
  std::string BindParameterName(int number, bool raw = false) const;

  // True exactly for SQLITE_ROW; the end of the rows and every error give
  // false (StepResult tells them apart).
  bool Step();
  // SQLite's code; 1 without handle.
  int StepResult();
  // Steps once and reads column 0 of the row; 0 / empty when no row came.
  int StepColumnInt();
  std::string StepColumnText(bool raw = false);
  bool Reset();

  int DataCount() const;
  int ColumnCount() const;
  int ColumnBytes(int column) const;
  std::string ColumnName(int column, bool raw = false) const;
  std::string ColumnTableName(int column, bool raw = false) const;
  std::string ColumnDatabaseName(int column, bool raw = false) const;
  // First column whose name equals `name` exactly (case matters); -1 when none.
  int ColumnIndex(const std::string& name, bool raw = false) const;
  std::string ColumnDeclType(int column, bool raw = false) const;
  std::string ColumnOriginName(int column, bool raw = false) const;
  int ColumnType(int column) const;
  // A fresh copy; NULL, a column out of range or no handle give the empty text.
  std::string ColumnText(int column, bool raw = false) const;
  int ColumnInt(int column) const;
  std::int64_t ColumnInt64(int column) const;
  double ColumnDouble(int column) const;
  // A copy of the bytes; empty for NULL.
  std::string ColumnBlob(int column) const;
  // The SQL with the current bindings written in; empty when none.
  std::string ExpandedSql(bool raw = false) const;

  // These three expect a handle.
  bool IsBusy() const;
  bool IsReadonly() const;
  sqlite3* GetDatabaseHandle() const;

  // The number of rows the statement's query would deliver, counted with a
  // second statement ("select count(*) " + the text from its outer "from"); the
  // statement itself is neither stepped nor reset. 0 for a statement that is
  // not a select or on any failure, 1 for a select without "from".
  int CountRows() const;

 private:
  sqlite3_stmt* m_handle = nullptr;
};
