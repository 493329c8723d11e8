// SqliteStatement on an in-memory database: stepping, finalizing, columns,
// bindings by name and the row count of a query.

#include "data/sqlite_statement.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>

#include "data/sqlite_database.h"

namespace {

std::string U8(const char8_t* text) {
  return reinterpret_cast<const char*>(text);
}

class SqliteStatementTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_db.Open(":memory:", SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE));
    ASSERT_TRUE(m_db.Exec(
        "create table list(id integer primary key, type text, queried text, server_filename "
        "text);"
        "insert into list(type, queried, server_filename) values"
        "('1','0','甲'), ('1','0',NULL), ('1','1','丙'), ('0','0','丁.txt')"));
  }
  void TearDown() override { m_db.Close(); }

  SqliteStatement Prepare(const std::string& sql) {
    bool prepared = false;
    SqliteStatement statement = m_db.Prepare(sql, prepared);
    EXPECT_TRUE(prepared) << sql;
    return statement;
  }

  SqliteDatabase m_db;
};

TEST_F(SqliteStatementTest, StepAnswersFalseAtTheEndAndOnErrors) {
  SqliteStatement none = Prepare("select * from list where type='9'");
  EXPECT_FALSE(none.Step());
  none.Finalize();

  SqliteStatement two = Prepare("select id from list where queried='0' and type='1'");
  EXPECT_TRUE(two.Step());
  EXPECT_TRUE(two.Step());
  EXPECT_FALSE(two.Step());
  EXPECT_EQ(two.Finalize(), SQLITE_OK);
  EXPECT_EQ(two.Finalize(), 1);
  EXPECT_FALSE(two.Step());
  EXPECT_EQ(two.StepResult(), 1);

  SqliteStatement failing = Prepare("insert into list(id) values(1)");
  EXPECT_FALSE(failing.Step());
  EXPECT_EQ(failing.StepResult(), SQLITE_CONSTRAINT);
  EXPECT_NE(failing.Finalize(), SQLITE_OK);
}

TEST_F(SqliteStatementTest, ColumnsComeBackAsCp936Copies) {
  SqliteStatement rows = Prepare("select server_filename as 名称, id from list order by id");
  ASSERT_TRUE(rows.Step());
  EXPECT_EQ(rows.ColumnText(0), "甲");
  EXPECT_EQ(rows.ColumnText(0, true), U8(u8"甲"));
  EXPECT_EQ(rows.ColumnName(0), "名称");
  EXPECT_EQ(rows.ColumnIndex("名称"), 0);
  EXPECT_EQ(rows.ColumnIndex("ID"), -1);
  EXPECT_EQ(rows.ColumnIndex("id"), 1);
  EXPECT_EQ(rows.ColumnText(7), "");
  ASSERT_TRUE(rows.Step());
  EXPECT_EQ(rows.ColumnType(0), SQLITE_NULL);
  EXPECT_EQ(rows.ColumnText(0), "");
  EXPECT_EQ(rows.ColumnInt(1), 2);
  rows.Finalize();
  EXPECT_EQ(rows.ColumnText(0), "");
  EXPECT_EQ(rows.ColumnIndex("id"), -1);
}

TEST_F(SqliteStatementTest, BindsByNameAndRefusesUnknownNames) {
  SqliteStatement insert = Prepare("insert into list(type, server_filename) values(:type, :name)");
  EXPECT_EQ(insert.BindParameterCount(), 2);
  EXPECT_EQ(insert.BindParameterName(2), ":name");
  EXPECT_FALSE(insert.BindText(":missing", "x"));
  EXPECT_TRUE(insert.BindText(":type", "2"));
  EXPECT_TRUE(insert.BindBlob(":name", std::string("a\0b", 3)));
  EXPECT_FALSE(insert.Step());
  insert.Finalize();

  SqliteStatement read = Prepare("select server_filename from list where type=:type");
  EXPECT_TRUE(read.BindText(":type", "2"));
  ASSERT_TRUE(read.Step());
  EXPECT_EQ(read.ColumnBlob(0), std::string("a\0b", 3));
  EXPECT_EQ(read.ColumnBytes(0), 3);
  read.Finalize();
}

TEST_F(SqliteStatementTest, CountRowsCountsWithoutTouchingTheStatement) {
  struct Row {
    const char* name;
    const char* sql;
    int count;
  };
  const Row rows[] = {
      {"cut at from", "select * from list where type='1' and queried='0'", 2},
      {"upper case keywords", "SELECT id FROM list", 4},
      {"inner query in parentheses stays whole",
       "select (select count(*) from list) as n, id from list where type='0'", 1},
      {"not a select", "update list set queried='1' where id=99", 0},
      {"leading blank is not a select", " select * from list", 0},
      {"select without from", "select 1", 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    SqliteStatement statement = Prepare(row.sql);
    EXPECT_EQ(statement.CountRows(), row.count);
    statement.Finalize();
  }
}

TEST_F(SqliteStatementTest, CountRowsUsesTheBoundValuesAndLeavesThePosition) {
  SqliteStatement query = Prepare("select server_filename from list where type=:type order by id");
  ASSERT_TRUE(query.BindText(":type", "1"));
  ASSERT_TRUE(query.Step());
  EXPECT_EQ(query.CountRows(), 3);
  EXPECT_EQ(query.ExpandedSql(), "select server_filename from list where type='1' order by id");
  ASSERT_TRUE(query.Step());
  EXPECT_EQ(query.ColumnText(0), "");
  query.Finalize();
}

TEST_F(SqliteStatementTest, NextStatementWalksTheConnectionsStatements) {
  SqliteStatement first = Prepare("select 1");
  SqliteStatement found = m_db.NextStatement();
  EXPECT_EQ(found.GetHandle(), first.GetHandle());
  EXPECT_EQ(m_db.NextStatement(&found).GetHandle(), nullptr);
  first.Finalize();
}

}  // namespace
