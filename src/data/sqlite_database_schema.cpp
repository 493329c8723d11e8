// SqliteDatabase: schema queries and builders. The builders compose their SQL
// with quoted identifiers (sqlite_schema_text.h) and run it through Exec; the
// queries bind the table name as a value.

#include <sqlite3.h>

#include "data/sqlite_database.h"
#include "data/sqlite_schema_text.h"

namespace {

// Prepares `sql` (ASCII, so no conversion) and binds `value` to ":name" when
// the SQL names that parameter.
SqliteStatement PrepareWithName(SqliteDatabase& db, const std::string& sql,
                                const std::string& value, bool utf8) {
  bool prepared = false;
  SqliteStatement statement = db.Prepare(sql, prepared, true);
  if (prepared && statement.BindParameterIndex(":name", true) > 0) {
    statement.BindText(":name", value, utf8);
  }
  return statement;
}

}  // namespace

SqliteStatement SqliteDatabase::QueryTables() {
  return PrepareWithName(*this,
                         "select tbl_name,sql from sqlite_master where type='table' and "
                         "tbl_name!='sqlite_sequence'",
                         {}, true);
}

SqliteStatement SqliteDatabase::QueryIndexes(const std::string& table, bool utf8) {
  return PrepareWithName(*this,
                         "select name,sql from sqlite_master where type='index' and tbl_name=:name",
                         table, utf8);
}

SqliteStatement SqliteDatabase::QueryViews() {
  return PrepareWithName(*this, "select name,sql from sqlite_master where type='view'", {}, true);
}

SqliteStatement SqliteDatabase::QueryTriggers(const std::string& table, bool utf8) {
  return PrepareWithName(
      *this, "select name,sql from sqlite_master where type='trigger' and tbl_name=:name", table,
      utf8);
}

bool SqliteDatabase::TableExists(const std::string& table, bool utf8) {
  SqliteStatement statement = PrepareWithName(
      *this, "select count(*) from sqlite_master where type='table' and tbl_name=:name", table,
      utf8);
  if (statement.GetHandle() == nullptr) {
    return false;
  }
  int count = statement.StepColumnInt();
  statement.Finalize();
  return count != 0;
}

bool SqliteDatabase::CreateTable(const std::string& table,
                                 const std::vector<SqliteColumnDef>& columns,
                                 std::string* errorText, const std::string& uniqueColumns,
                                 const std::string& primaryKey, bool utf8) {
  return Exec(SqliteCreateTableText(table, columns, uniqueColumns, primaryKey), nullptr, 0,
              errorText, utf8);
}

bool SqliteDatabase::DropTable(const std::string& table, std::string* errorText, bool utf8) {
  return Exec("drop table if exists " + QuoteSqlIdentifier(table), nullptr, 0, errorText, utf8);
}

bool SqliteDatabase::RenameTable(const std::string& oldName, const std::string& newName,
                                 std::string* errorText, bool utf8) {
  return Exec(
      "alter table " + QuoteSqlIdentifier(oldName) + " rename to " + QuoteSqlIdentifier(newName),
      nullptr, 0, errorText, utf8);
}

bool SqliteDatabase::AddColumn(const std::string& table, const SqliteColumnDef& column,
                               std::string* errorText, bool utf8) {
  return Exec(
      "alter table " + QuoteSqlIdentifier(table) + " add column " + SqliteColumnText(column),
      nullptr, 0, errorText, utf8);
}

bool SqliteDatabase::CreateIndex(const std::string& index, const std::string& table,
                                 const std::string& columns, bool unique, std::string* errorText,
                                 bool utf8) {
  std::string text = unique ? "create unique index if not exists " : "create index if not exists ";
  text += QuoteSqlIdentifier(index) + " on " + QuoteSqlIdentifier(table) + "(" + columns + ")";
  return Exec(text, nullptr, 0, errorText, utf8);
}

bool SqliteDatabase::DropIndex(const std::string& index, std::string* errorText, bool utf8) {
  return Exec("drop index if exists " + QuoteSqlIdentifier(index), nullptr, 0, errorText, utf8);
}

bool SqliteDatabase::CreateView(const std::string& view, const std::string& select, bool temporary,
                                std::string* errorText, bool utf8) {
  std::string text = temporary ? "CREATE TEMPORARY VIEW " : "CREATE VIEW ";
  text += QuoteSqlIdentifier(view) + " AS " + select;
  return Exec(text, nullptr, 0, errorText, utf8);
}

bool SqliteDatabase::DropView(const std::string& view, std::string* errorText, bool utf8) {
  return Exec("DROP VIEW " + QuoteSqlIdentifier(view), nullptr, 0, errorText, utf8);
}

bool SqliteDatabase::CreateTrigger(const std::string& table, const std::string& trigger,
                                   const std::string& body, int event, const std::string& columns,
                                   int timing, bool temporary, std::string* errorText, bool utf8) {
  return Exec(SqliteCreateTriggerText(table, trigger, body, event, columns, timing, temporary),
              nullptr, 0, errorText, utf8);
}

bool SqliteDatabase::DropTrigger(const std::string& trigger, std::string* errorText, bool utf8) {
  return Exec("DROP TRIGGER " + QuoteSqlIdentifier(trigger), nullptr, 0, errorText, utf8);
}

bool SqliteDatabase::Vacuum(std::string* errorText, bool utf8) {
  return Exec("VACUUM", nullptr, 0, errorText, utf8);
}

bool SqliteDatabase::Attach(const std::string& file, const std::string& alias,
                            std::string* errorText, bool utf8) {
  return Exec("Attach Database " + QuoteSqlLiteral(file) + " as " + QuoteSqlIdentifier(alias),
              nullptr, 0, errorText, utf8);
}

bool SqliteDatabase::Detach(const std::string& alias, std::string* errorText, bool utf8) {
  return Exec("Detach Database " + QuoteSqlIdentifier(alias), nullptr, 0, errorText, utf8);
}
