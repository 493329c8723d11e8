// The SQL texts the schema builders compose.

#include "data/sqlite_schema_text.h"

#include <gtest/gtest.h>

namespace {

TEST(SqliteSchemaText, CreateTableTexts) {
  struct Row {
    const char* name;
    std::vector<SqliteColumnDef> columns;
    std::string unique;
    std::string primaryKey;
    std::string sql;
  };
  const Row rows[] = {
      {"no columns: no parentheses", {}, "", "", "create table \"t\""},
      {"no columns with unique and key",
       {},
       "a",
       "b",
       "create table \"t\",Unique(a),primary key(b)"},
      {"type 9 and size 0: name and a blank",
       {{"c", 9, 0, 0, "", ""}},
       "",
       "",
       "create table \"t\" (\"c\" )"},
      {"constraints without bit 1 start with a blank",
       {{"c", kSqliteTypeText, 0, kSqliteNotNull | kSqliteUnique, "", ""}},
       "",
       "",
       "create table \"t\" (\"c\" Text  Not Null Unique)"},
      {"every part in order",
       {{"id", kSqliteTypeInteger, 0, kSqlitePrimaryKey | kSqliteAutoIncrement, "", ""},
        {"name", kSqliteTypeVarChar, 20, 0, "'x'", "length(name)>0"}},
       "name",
       "",
       "create table \"t\" (\"id\" Integer Primary Key AutoIncrement,\"name\" VarChar(20) Default "
       "'x' Check(length(name)>0),Unique(name))"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(SqliteCreateTableText("t", row.columns, row.unique, row.primaryKey), row.sql);
  }
}

TEST(SqliteSchemaText, TriggerTextsAndQuoting) {
  EXPECT_EQ(SqliteCreateTriggerText("list", "trg", "select 1;", 3, "a,b", 2, true),
            "CREATE TEMPORARY TRIGGER \"trg\" AFTER UPDATE OF a,b ON \"list\" BEGIN select 1; END");
  EXPECT_EQ(SqliteCreateTriggerText("list", "trg", "select 1;", 9, "", 0, false),
            "CREATE TRIGGER \"trg\" ON \"list\" BEGIN select 1; END");
  EXPECT_EQ(QuoteSqlIdentifier("a\"b"), "\"a\"\"b\"");
  EXPECT_EQ(QuoteSqlLiteral("it's"), "'it''s'");
}

}  // namespace
