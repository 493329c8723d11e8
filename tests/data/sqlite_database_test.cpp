// SqliteDatabase against a real SQLite file: opening, code page 936 at the SQL
// edge, transactions, errors, the row routine and the schema helpers.

#include "data/sqlite_database.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/code_page_codec.h"
#include "support/scratch_folder.h"

namespace {

std::string U8(const char8_t* text) {
  return reinterpret_cast<const char*>(text);
}

// A fixture with one open database file (created here: Open never creates).
class SqliteDatabaseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_file = m_folder.Utf8("cache.db");
    sqlite3* creator = nullptr;
    ASSERT_EQ(sqlite3_open(m_file.c_str(), &creator), SQLITE_OK);
    sqlite3_close(creator);
    ASSERT_TRUE(m_db.Open(m_file));
  }
  void TearDown() override { m_db.CloseV2(); }

  ScratchFolder m_folder;
  std::string m_file;
  SqliteDatabase m_db;
};

TEST(SqliteDatabaseOpen, MissingFileFailsAndCreatesNothing) {
  ScratchFolder folder;
  std::string missing = Utf8ToCp936(folder.Utf8(U8(u8"缺少的文件.db")));
  SqliteDatabase db;
  EXPECT_FALSE(db.Open(missing));
  EXPECT_FALSE(std::filesystem::exists(folder.Path() / U8(u8"缺少的文件.db")));
  // The error-state handle SQLite may leave is freed by closing; a second close
  // finds nothing and answers 1 without calling SQLite.
  db.CloseV2();
  EXPECT_EQ(db.Close(), 1);
}

TEST(SqliteDatabaseOpen, ChineseFileNameReachesTheFileSystemAsUtf8) {
  ScratchFolder folder;
  std::filesystem::path onDisk = folder.Path() / U8(u8"列表缓存.db");
  std::ofstream(onDisk).close();
  SqliteDatabase db;
  ASSERT_TRUE(db.Open(Utf8ToCp936(onDisk.string())));
  EXPECT_TRUE(db.Exec("create table t(a)"));
  EXPECT_EQ(db.GetFilename(), Utf8ToCp936(std::filesystem::canonical(onDisk).string()));
  EXPECT_EQ(db.CloseV2(), SQLITE_OK);
}

TEST(SqliteDatabaseNoConnection, EveryOperationAnswersWithoutSqlite) {
  SqliteDatabase db;
  std::string error = "unchanged";
  bool prepared = true;
  EXPECT_EQ(db.Close(), 1);
  EXPECT_EQ(db.CloseV2(), 1);
  EXPECT_FALSE(db.Exec("select 1", nullptr, 0, &error));
  EXPECT_EQ(error, "unchanged");
  SqliteStatement statement = db.Prepare("select 1", prepared);
  EXPECT_FALSE(prepared);
  EXPECT_EQ(statement.GetHandle(), nullptr);
  EXPECT_EQ(db.Begin("", false, 1), SQLITE_MISUSE);
  EXPECT_EQ(db.Commit("", false), SQLITE_MISUSE);
  EXPECT_EQ(db.Rollback("", false), SQLITE_MISUSE);
}

TEST_F(SqliteDatabaseTest, Cp936ValuesRoundTripAndAreStoredAsUtf8) {
  ASSERT_TRUE(m_db.Exec("create table list(server_filename text, path text)"));
  // SQL text itself in code page 936, and a bound value.
  ASSERT_TRUE(m_db.Exec("insert into list values('中文名称.txt', '/我的资源')"));
  bool prepared = false;
  SqliteStatement insert = m_db.Prepare("insert into list values(:name, '/')", prepared);
  ASSERT_TRUE(prepared);
  EXPECT_TRUE(insert.BindText(":name", "绑定的名字"));
  EXPECT_FALSE(insert.Step());
  EXPECT_EQ(insert.Finalize(), SQLITE_OK);
  // A UTF-8 value that code page 936 cannot hold comes back with one "?".
  ASSERT_TRUE(
      m_db.Exec(U8(u8"insert into list values('a\U0001F600b', '/')"), nullptr, 0, nullptr, true));

  SqliteStatement rows = m_db.Prepare("select server_filename, path from list", prepared);
  ASSERT_TRUE(rows.Step());
  EXPECT_EQ(rows.ColumnText(0), "中文名称.txt");
  EXPECT_EQ(rows.ColumnText(0, true), U8(u8"中文名称.txt"));
  EXPECT_EQ(rows.ColumnText(1), "/我的资源");
  ASSERT_TRUE(rows.Step());
  EXPECT_EQ(rows.ColumnText(0), "绑定的名字");
  ASSERT_TRUE(rows.Step());
  EXPECT_EQ(rows.ColumnText(0), "a?b");
  EXPECT_FALSE(rows.Step());
  rows.Finalize();
}

TEST_F(SqliteDatabaseTest, BeginTypesTakeTheLocksTheyName) {
  struct Row {
    const char* name;
    int type;
    int firstBegin;
    int otherConnectionWrite;  // BEGIN IMMEDIATE on a second connection
    bool autocommitAfter;
  };
  const Row rows[] = {
      {"deferred takes no lock yet", 0, SQLITE_OK, SQLITE_OK, false},
      {"immediate reserves the file", 1, SQLITE_OK, SQLITE_BUSY, false},
      {"exclusive reserves the file", 2, SQLITE_OK, SQLITE_BUSY, false},
      {"unknown type is refused and opens nothing", 7, SQLITE_MISUSE, SQLITE_OK, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(m_db.Begin("", false, row.type), row.firstBegin);
    EXPECT_EQ(m_db.IsAutocommit(), row.autocommitAfter);
    SqliteDatabase other;
    ASSERT_TRUE(other.Open(m_file));
    int otherBegin = other.Begin("", false, 1);
    EXPECT_EQ(otherBegin, row.otherConnectionWrite);
    if (otherBegin == SQLITE_OK) {
      other.Rollback("", false);
    }
    other.CloseV2();
    if (!row.autocommitAfter) {
      EXPECT_EQ(m_db.Rollback("", false), SQLITE_OK);
    }
  }
}

TEST_F(SqliteDatabaseTest, SecondBeginAnswersErrorAndRollbackUndoes) {
  ASSERT_TRUE(m_db.Exec("create table t(a)"));
  ASSERT_EQ(m_db.Begin("", false, 1), SQLITE_OK);
  EXPECT_EQ(m_db.Begin("", false, 1), SQLITE_ERROR);
  ASSERT_TRUE(m_db.Exec("insert into t values(1)"));
  EXPECT_EQ(m_db.Rollback("", false), SQLITE_OK);
  EXPECT_EQ(m_db.Rollback("", false), SQLITE_ERROR);
  bool prepared = false;
  SqliteStatement count = m_db.Prepare("select count(*) from t", prepared);
  EXPECT_EQ(count.StepColumnInt(), 0);
  count.Finalize();
}

TEST_F(SqliteDatabaseTest, SavepointsNestInsideATransaction) {
  ASSERT_TRUE(m_db.Exec("create table t(a)"));
  ASSERT_EQ(m_db.Begin("", false, 1), SQLITE_OK);
  ASSERT_TRUE(m_db.Exec("insert into t values(1)"));
  ASSERT_EQ(m_db.Begin("sp1", true), SQLITE_OK);
  ASSERT_TRUE(m_db.Exec("insert into t values(2)"));
  EXPECT_EQ(m_db.Rollback("sp1", true), SQLITE_OK);
  EXPECT_EQ(m_db.Commit("sp1", true), SQLITE_OK);
  EXPECT_EQ(m_db.Commit("", false), SQLITE_OK);
  bool prepared = false;
  SqliteStatement count = m_db.Prepare("select count(*) from t", prepared);
  EXPECT_EQ(count.StepColumnInt(), 1);
  count.Finalize();
}

TEST_F(SqliteDatabaseTest, ErrorTextsComeBackInCp936) {
  std::string error = "before";
  EXPECT_TRUE(m_db.Exec("create table t(a)", nullptr, 0, &error));
  EXPECT_EQ(error, "before");
  EXPECT_FALSE(m_db.Exec("select * from 不存在的表", nullptr, 0, &error));
  EXPECT_EQ(error, "no such table: 不存在的表");
  EXPECT_EQ(m_db.ErrorMessage(true), "no such table: 不存在的表");
  EXPECT_EQ(m_db.ErrorMessage(false), U8(u8"no such table: 不存在的表"));
  EXPECT_EQ(m_db.ErrorCode(), SQLITE_ERROR);

  std::vector<std::vector<std::string>> table;
  int rowCount = -1;
  int columnCount = -1;
  EXPECT_FALSE(m_db.GetTable("select 列 from t", table, true, rowCount, columnCount, &error));
  EXPECT_EQ(error, "no such column: 列");
}

TEST_F(SqliteDatabaseTest, PrepareOfInvalidSqlGivesStatementWithoutHandle) {
  bool prepared = true;
  SqliteStatement statement = m_db.Prepare("selec nothing", prepared);
  EXPECT_FALSE(prepared);
  EXPECT_EQ(statement.GetHandle(), nullptr);
  EXPECT_EQ(statement.Finalize(), 1);
}

struct RowLog {
  std::vector<std::string> values;
  int stopAfter = 0;
};

int RecordRow(std::intptr_t userValue, int columnCount, char** values, char** names) {
  auto* log = reinterpret_cast<RowLog*>(userValue);
  log->values.push_back(std::string(names[0]) + "=" + (values[0] ? values[0] : "NULL") + "/" +
                        std::to_string(columnCount));
  return static_cast<int>(log->values.size()) >= log->stopAfter ? 1 : 0;
}

TEST_F(SqliteDatabaseTest, RowRoutineSeesUtf8RowsAndCanStopTheRun) {
  ASSERT_TRUE(m_db.Exec("create table t(a, b); insert into t values('甲', 1), (NULL, 2)"));
  RowLog all{{}, 100};
  EXPECT_TRUE(m_db.Exec("select a, b from t", &RecordRow, reinterpret_cast<std::intptr_t>(&all)));
  EXPECT_EQ(all.values, (std::vector<std::string>{U8(u8"a=甲/2"), "a=NULL/2"}));

  RowLog first{{}, 1};
  EXPECT_FALSE(
      m_db.Exec("select a, b from t", &RecordRow, reinterpret_cast<std::intptr_t>(&first)));
  EXPECT_EQ(first.values.size(), 1u);
}

TEST_F(SqliteDatabaseTest, GetTableFillsNamesAndCellsOrOnlyCounts) {
  ASSERT_TRUE(m_db.Exec("create table t(名, n); insert into t values('甲', 1), (NULL, 2)"));
  std::vector<std::vector<std::string>> table = {{"untouched"}};
  int rowCount = 0;
  int columnCount = 0;
  ASSERT_TRUE(m_db.GetTable("select * from t", table, false, rowCount, columnCount));
  EXPECT_EQ(rowCount, 2);
  EXPECT_EQ(columnCount, 2);
  EXPECT_EQ(table, (std::vector<std::vector<std::string>>{{"untouched"}}));

  ASSERT_TRUE(m_db.GetTable("select * from t", table, true, rowCount, columnCount));
  EXPECT_EQ(table, (std::vector<std::vector<std::string>>{{"名", "n"}, {"甲", "1"}, {"", "2"}}));
}

TEST_F(SqliteDatabaseTest, TableExistsBindsTheNameAsAValue) {
  ASSERT_TRUE(m_db.Exec("create table list(a)"));
  EXPECT_TRUE(m_db.TableExists("list"));
  EXPECT_FALSE(m_db.TableExists("missing"));
  // A quote in the name is part of the value, never SQL.
  EXPECT_FALSE(m_db.TableExists("x' or '1'='1"));
}

TEST_F(SqliteDatabaseTest, SchemaBuildersQuoteNamesSoNoNameRunsAsSql) {
  ASSERT_TRUE(m_db.Exec("create table list(a)"));
  const std::string hostile = "x\"(a); drop table list; --";
  std::vector<SqliteColumnDef> columns = {
      {"id", kSqliteTypeInteger, 0, kSqlitePrimaryKey | kSqliteAutoIncrement, "", ""},
      {"名称", kSqliteTypeVarChar, 255, kSqliteNotNull, "''", "length(\"名称\") < 300"},
  };
  std::string error;
  ASSERT_TRUE(m_db.CreateTable(hostile, columns, &error)) << error;
  EXPECT_TRUE(m_db.TableExists("list"));
  EXPECT_TRUE(m_db.TableExists(hostile));
  EXPECT_TRUE(m_db.CreateIndex("idx 1", hostile, "\"名称\"", true));
  EXPECT_TRUE(m_db.RenameTable(hostile, "新表"));
  EXPECT_TRUE(m_db.AddColumn("新表", {"size", kSqliteTypeBigInt, 0, 0, "0", ""}));
  EXPECT_TRUE(m_db.Exec("insert into 新表(名称) values('a')"));
  SqliteStatement indexes = m_db.QueryIndexes("新表", false);
  ASSERT_TRUE(indexes.Step());
  EXPECT_EQ(indexes.ColumnText(0), "idx 1");
  indexes.Finalize();
  EXPECT_TRUE(m_db.DropTable("新表"));
  EXPECT_FALSE(m_db.TableExists("新表"));
  SqliteStatement tables = m_db.QueryTables();
  ASSERT_TRUE(tables.Step());
  EXPECT_EQ(tables.ColumnText(0), "list");
  EXPECT_FALSE(tables.Step());
  tables.Finalize();
}

TEST_F(SqliteDatabaseTest, AttachQuotesTheFileName) {
  std::filesystem::path other = m_folder.Path() / "it's.db";
  std::ofstream(other).close();
  std::string error;
  EXPECT_TRUE(m_db.Attach(Utf8ToCp936(other.string()), "其他", &error)) << error;
  EXPECT_TRUE(m_db.Exec("create table 其他.t(a)"));
  EXPECT_TRUE(m_db.Detach("其他", &error)) << error;
}

struct FunctionLog {
  int destroyed = 0;
};

void AddUserValue(sqlite3_context* context, int, sqlite3_value** arguments) {
  auto* record = static_cast<SqliteFunctionRecord*>(sqlite3_user_data(context));
  sqlite3_result_int64(context, sqlite3_value_int64(arguments[0]) + record->userValue);
}

FunctionLog g_functionLog;

void CountDestroy(std::intptr_t userValue) {
  g_functionLog.destroyed += static_cast<int>(userValue);
}

TEST_F(SqliteDatabaseTest, FunctionsGetTheirUserValueAndAreDestroyedWithTheConnection) {
  g_functionLog = {};
  ASSERT_TRUE(m_db.CreateFunction("加", 1, 40, &AddUserValue, &CountDestroy));
  bool prepared = false;
  SqliteStatement call = m_db.Prepare("select 加(2)", prepared);
  ASSERT_TRUE(prepared);
  EXPECT_EQ(call.StepColumnInt(), 42);
  call.Finalize();
  EXPECT_EQ(g_functionLog.destroyed, 0);
  m_db.CloseV2();
  EXPECT_EQ(g_functionLog.destroyed, 40);
}

TEST_F(SqliteDatabaseTest, BackupCopiesIntoAnotherConnection) {
  ASSERT_TRUE(m_db.Exec("create table t(a); insert into t values('复制')"));
  SqliteDatabase memory;
  ASSERT_TRUE(memory.Open(":memory:", SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE));
  EXPECT_TRUE(m_db.BackupTo(memory));
  bool prepared = false;
  SqliteStatement read = memory.Prepare("select a from t", prepared);
  EXPECT_EQ(read.StepColumnText(), "复制");
  read.Finalize();
  SqliteDatabase closed;
  EXPECT_FALSE(m_db.BackupTo(closed));
  memory.Close();
}

}  // namespace
