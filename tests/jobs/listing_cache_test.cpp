// The listing cache: its text encoding, the empty image it is made from, the
// start of a run, the batch inserts and the one routine that ends it.

#include "jobs/listing_cache.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "data/program_wide_objects.h"
#include "foundation/date_time.h"
#include "foundation/run_directory.h"
#include "foundation/shared_locks.h"
#include "jobs/prefetch_run.h"
#include "platform/desktop.h"
#include "support/file_bytes.h"
#include "support/scoped_environment.h"
#include "support/scratch_folder.h"
#include "support/scripted_desktop_guard.h"
#include "web/rename_task_state.h"

namespace {

namespace fs = std::filesystem;

const std::string kTemplate(reinterpret_cast<const char*>(kCacheTemplateDb), kCacheTemplateDbSize);

TEST(CacheTextTest, EncodesAndDecodesEachSeparator) {
  struct Row {
    std::string plain;
    std::string encoded;
  };
  const Row rows[] = {
      {"", ""},
      {"plain name.txt", "plain name.txt"},
      {"&", "&amp;"},
      {"[", "&#91;"},
      {"]", "&#93;"},
      {",", "&#44;"},
      {"'", "&apos;"},
      {"\"", "&quot;"},
      {"~", "&#126;"},
      {"[a].txt", "&#91;a&#93;.txt"},
      {"Tom &amp; Jerry", "Tom &amp;amp; Jerry"},
      {"x&#126;y", "x&amp;#126;y"},
      {"it's~\"a\",b", "it&apos;s&#126;&quot;a&quot;&#44;b"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.plain);
    EXPECT_EQ(EncodeCacheText(row.plain), row.encoded);
    EXPECT_EQ(DecodeCacheText(row.encoded), row.plain);
  }
}

std::vector<std::string> QueryColumn(sqlite3* db, const std::string& sql, int column = 0) {
  std::vector<std::string> values;
  sqlite3_stmt* statement = nullptr;
  EXPECT_EQ(sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr), SQLITE_OK) << sql;
  while (sqlite3_step(statement) == SQLITE_ROW) {
    const unsigned char* text = sqlite3_column_text(statement, column);
    values.emplace_back(text == nullptr ? "" : reinterpret_cast<const char*>(text));
  }
  sqlite3_finalize(statement);
  return values;
}

TEST(CacheTemplateTest, IsTheEmptyListingDatabase) {
  ScratchFolder folder;
  const std::string path = (folder.Path() / "template.db").string();
  ASSERT_TRUE(WriteCacheTemplate(path));
  EXPECT_EQ(ReadFileBytes(path), kTemplate);
  ASSERT_EQ(kCacheTemplateDbSize, 15360u);
  EXPECT_EQ(kTemplate.substr(0, 16), std::string("SQLite format 3\0", 16));
  EXPECT_EQ(kTemplate[18], 1);  // rollback journal
  EXPECT_EQ(kTemplate[19], 1);

  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
  EXPECT_EQ(QueryColumn(db, "PRAGMA page_size"), std::vector<std::string>{"1024"});
  EXPECT_EQ(QueryColumn(db, "PRAGMA page_count"), std::vector<std::string>{"14"});
  EXPECT_EQ(QueryColumn(db, "PRAGMA freelist_count"), std::vector<std::string>{"9"});
  EXPECT_EQ(QueryColumn(db, "PRAGMA journal_mode"), std::vector<std::string>{"delete"});
  EXPECT_EQ(
      QueryColumn(db, "PRAGMA table_info(list)", 1),
      (std::vector<std::string>{"id", "folder", "filename", "order", "type", "time", "size",
                                "ordersign", "queried", "count", "lowernum", "target", "other_1"}));
  EXPECT_EQ(QueryColumn(db, "PRAGMA index_info(aaa)", 2),
            (std::vector<std::string>{"folder", "filename", "order", "type"}));
  EXPECT_EQ(QueryColumn(db, "SELECT name || ',' || seq FROM sqlite_sequence"),
            std::vector<std::string>{"list,0"});
  EXPECT_EQ(QueryColumn(db, "SELECT count(*) FROM list"), std::vector<std::string>{"0"});
  sqlite3_close(db);
}

CacheRow Row(const std::string& name) {
  CacheRow row;
  row.folder = EncodeCacheText("/a/" + name);
  row.filename = EncodeCacheText(name);
  row.order = "01";
  row.type = "0";
  row.time = "t";
  row.size = "5";
  row.ordersign = "001";
  row.count = "1";
  row.lowernum = "02";
  row.target = "77";
  row.other_1 = EncodeCacheText(name);
  return row;
}

std::vector<std::string> CachedIdsAndNames() {
  std::lock_guard lock(g_cacheDbLock);
  std::vector<std::string> rows;
  bool prepared = false;
  SqliteStatement statement = g_cacheDb.Prepare("SELECT id, other_1, queried FROM list", prepared);
  while (statement.Step()) {
    rows.push_back(statement.ColumnText(0) + ":" + DecodeCacheText(statement.ColumnText(1)) + ":" +
                   statement.ColumnText(2));
  }
  statement.Finalize();
  return rows;
}

class PrefetchRunCacheTest : public ::testing::Test {
 protected:
  ~PrefetchRunCacheTest() override { EndPrefetchCache(); }
  std::string CacheFile() const {
    return (m_folder.Path() / ("folderlist_re_" + MakeTimestamp(true) + ".db")).string();
  }
  // Without an account the collection only says so in a box: the cache
  // stays open and empty.
  void StartRun() {
    m_ui.desktop.AnswerNext(kBoxResultOk);
    StartPrefetchRun(AccountSession{}, "/a");
  }

  ScratchFolder m_folder;
  ScopedEnvironment m_home{"QUILLMERE_HOME", m_folder.Utf8()};
  ScriptedDesktopGuard m_ui;
};

TEST_F(PrefetchRunCacheTest, ARunEndsWithTheTemplateOnDiskAndReportsItsRollback) {
  StartRun();
  ASSERT_TRUE(fs::exists(CacheFile()));
  ASSERT_TRUE(ExecuteCacheBatch({Row("it's [x].txt"), Row("b~c")}));
  EXPECT_EQ(CachedIdsAndNames(), (std::vector<std::string>{"1:it's [x].txt:0", "2:b~c:0"}));
  EXPECT_EQ(m_ui.desktop.StatusText(1),
            "folderlist_re_" + MakeTimestamp(true) + ".db 处理完成，开始获取文件列表");

  const CacheEndReport first = EndPrefetchCache();
  EXPECT_TRUE(first.threadsEnded);
  EXPECT_TRUE(first.ended);
  EXPECT_EQ(first.rollbackResult, 0);
  EXPECT_EQ(g_cacheDb.GetHandle(), nullptr);
  EXPECT_EQ(ReadFileBytes(CacheFile()), kTemplate);
  const CacheEndReport again = EndPrefetchCache();
  EXPECT_TRUE(again.ended);
  EXPECT_EQ(again.rollbackResult, 0);
}

TEST_F(PrefetchRunCacheTest, TwoRunsInOneSecondStartAfresh) {
  StartRun();
  ASSERT_TRUE(ExecuteCacheBatch({Row("a"), Row("b"), Row("c")}));
  StartRun();  // same second on the test clock: same name
  ASSERT_TRUE(ExecuteCacheBatch({Row("d")}));
  EXPECT_EQ(CachedIdsAndNames(), std::vector<std::string>{"1:d:0"});
}

TEST_F(PrefetchRunCacheTest, ItsOwnThreadMayEndItAndOldTasksFindNothing) {
  StartRun();
  const int run = CurrentPrefetchRunNumber();
  {
    const RunThreadScope scope(run);
    ASSERT_TRUE(scope.Live());
    EXPECT_TRUE(EndPrefetchCache().threadsEnded);  // its own scope does not count
  }
  StartRun();
  const int second = CurrentPrefetchRunNumber();
  EXPECT_FALSE(RunThreadScope(run).Live());  // a task of the old run finds nothing
  std::thread other([second] {
    const RunThreadScope scope(second);
    ASSERT_TRUE(scope.Live());
    const CacheEndReport report = EndPrefetchCache();
    EXPECT_TRUE(report.threadsEnded);  // only this thread uses it
  });
  other.join();
  EXPECT_FALSE(PrefetchRunLive(second));
}

TEST_F(PrefetchRunCacheTest, AnotherThreadInTheRunHoldsOffTheEnd) {
  StartRun();
  const int run = CurrentPrefetchRunNumber();
  std::mutex gate;
  gate.lock();
  std::atomic<bool> entered{false};
  std::thread worker([&] {
    const RunThreadScope scope(run);
    entered = true;
    std::lock_guard wait(gate);
  });
  while (!entered) {
    std::this_thread::yield();
  }
  const CacheEndReport early = EndPrefetchCache();
  EXPECT_FALSE(early.threadsEnded);
  EXPECT_FALSE(early.ended);
  EXPECT_TRUE(PrefetchRunLive(run));
  gate.unlock();
  worker.join();
  const CacheEndReport late = EndPrefetchCache();
  EXPECT_TRUE(late.threadsEnded);
  EXPECT_TRUE(late.ended);
  EXPECT_EQ(late.rollbackResult, 0);
}

TEST_F(PrefetchRunCacheTest, ATemplateThatCannotBeWrittenIsReported) {
  // A folder in the way of this second's cache file.
  fs::create_directories(CacheFile());
  m_ui.desktop.AnswerNext(kBoxResultOk);
  StartPrefetchRun(AccountSession{}, "/a");
  const std::string name = "folderlist_re_" + MakeTimestamp(true) + ".db";
  const std::string text = "初始化文件 " + name + " 失败1，请重启软件，或手动强制删除文件：" + name;
  EXPECT_EQ(m_ui.desktop.StatusText(1), text);
  ASSERT_EQ(m_ui.desktop.Boxes().size(), 1u);
  EXPECT_EQ(m_ui.desktop.Boxes()[0].caption, "提示：");
  EXPECT_EQ(m_ui.desktop.Boxes()[0].text, text + "\r\n\r\n或关闭预读取模式后重新开始任务。");
  EXPECT_EQ(m_ui.desktop.Boxes()[0].type, 48);
  EXPECT_EQ(g_cacheDb.GetHandle(), nullptr);
  EXPECT_TRUE(ExecuteCacheBatch({}));
}

TEST_F(PrefetchRunCacheTest, TheStartWaitsOnlyForABusyDatabaseAndReportsWhatFailed) {
  enum class Hold { kNone, kFileGone, kBusyTwice, kBusyThroughout, kOwnTransaction, kBusyThenStop };
  const std::string name = "folderlist_re_" + MakeTimestamp(true) + ".db";
  const std::string tail = "\r\n\r\n或关闭预读取模式后重新开始任务。";
  const std::string notOpened = "连接 " + name + " 失败2，请重启软件，或手动强制删除文件：" + name;
  const auto notBegun = [](int code) {
    return "开启事务失败，原因：" + std::to_string(code) + "， 请重试。如一直不行，请重启软件。";
  };
  const char* const noAccount = "请选切换要操作的百度帐号。";
  const struct {
    const char* name;
    Hold hold;
    std::vector<std::int64_t> waits;
    std::vector<std::string> boxes;  // after the start
    bool open;                       // the cache is left open for a collection
  } rows[] = {
      {"the file gone before it opens", Hold::kFileGone, {}, {notOpened + tail}, false},
      {"busy twice, then begun", Hold::kBusyTwice, {50, 50}, {noAccount}, true},
      {"busy throughout: ten more tries",
       Hold::kBusyThroughout,
       std::vector<std::int64_t>(10, 50),
       {notBegun(5)},
       true},
      {"another failure is not waited for", Hold::kOwnTransaction, {}, {notBegun(1)}, true},
      {"a stop during the tries ends the start quietly", Hold::kBusyThenStop, {50}, {}, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    g_renameStopRequested = 0;
    const size_t boxMark = m_ui.desktop.Boxes().size();
    sqlite3* other = nullptr;
    const auto release = [&other] {
      if (other != nullptr) {
        sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(other);
        other = nullptr;
      }
    };
    m_ui.desktop.SetStatusHook([&](const RecordedStatus& status) {
      if (row.hold == Hold::kFileGone && status.text == "开始连接数据缓存文件：" + name) {
        fs::remove(CacheFile());
      } else if (status.text == name + " 连接完成，初始化事务中") {
        if (row.hold == Hold::kOwnTransaction) {
          std::string error;
          std::lock_guard lock(g_cacheDbLock);
          ASSERT_TRUE(RunSqlStatement(g_cacheDb, "BEGIN", error)) << error;
        } else if (row.hold != Hold::kFileGone) {
          ASSERT_EQ(sqlite3_open(CacheFile().c_str(), &other), SQLITE_OK);
          ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
        }
      }
    });
    int waits = 0;
    m_ui.clock.SetSleepHook([&](std::int64_t) {
      ++waits;
      if (row.hold == Hold::kBusyTwice && waits == 2) {
        release();
      } else if (row.hold == Hold::kBusyThenStop) {
        g_renameStopRequested = 1;
      }
    });
    const size_t waitMark = m_ui.clock.Sleeps().size();
    for (size_t i = 0; i < row.boxes.size(); ++i) {
      m_ui.desktop.AnswerNext(kBoxResultOk);
    }
    StartPrefetchRun(AccountSession{}, "/a");
    m_ui.desktop.SetStatusHook({});
    m_ui.clock.SetSleepHook({});
    release();

    const std::vector<std::int64_t> all = m_ui.clock.Sleeps();
    EXPECT_EQ(
        std::vector<std::int64_t>(all.begin() + static_cast<std::ptrdiff_t>(waitMark), all.end()),
        row.waits);
    std::vector<std::string> boxes;
    const std::vector<RecordedBox> shown = m_ui.desktop.Boxes();
    for (size_t i = boxMark; i < shown.size(); ++i) {
      const RecordedBox& box = shown[i];
      EXPECT_EQ(box.caption, "提示：");
      EXPECT_EQ(box.type, 48);
      boxes.push_back(box.text);
    }
    EXPECT_EQ(boxes, row.boxes);
    if (row.hold == Hold::kFileGone) {
      EXPECT_EQ(m_ui.desktop.StatusText(1), notOpened);
    }
    EXPECT_EQ(g_cacheDb.GetHandle() != nullptr, row.open);
    EndPrefetchCache();
  }
  g_renameStopRequested = 0;
}

TEST_F(PrefetchRunCacheTest, AFailedBatchIsTriedTenTimesApartAndNamesItsRows) {
  const struct {
    const char* name;
    int stopBeforeWait;  // the wait (1-based) during which stop is pressed; 0 never
    size_t tries;
    std::vector<std::int64_t> waits;
  } rows[] = {
      {"ten tries, 5 ms apart", 0, 10, std::vector<std::int64_t>(9, 5)},
      {"a stop during the third wait ends the tries", 3, 3, {5, 5, 5}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    g_renameStopRequested = 0;
    fs::remove(m_folder.Path() / "err.txt");
    StartRun();
    {
      std::lock_guard lock(g_cacheDbLock);
      std::string error;
      ASSERT_TRUE(RunSqlStatement(g_cacheDb, "DROP TABLE list", error)) << error;
    }
    const size_t mark = m_ui.clock.Sleeps().size();
    int waits = 0;
    m_ui.clock.SetSleepHook([&](std::int64_t) {
      if (++waits == row.stopBeforeWait) {
        g_renameStopRequested = 1;
      }
    });
    EXPECT_FALSE(ExecuteCacheBatch({Row("it's [x].txt"), Row("b%41~c")}));
    m_ui.clock.SetSleepHook({});
    const std::vector<std::int64_t> all = m_ui.clock.Sleeps();
    EXPECT_EQ(std::vector<std::int64_t>(all.begin() + static_cast<std::ptrdiff_t>(mark), all.end()),
              row.waits);

    std::ifstream log(m_folder.Path() / "err.txt", std::ios::binary);
    const std::string content((std::istreambuf_iterator<char>(log)),
                              std::istreambuf_iterator<char>());
    const std::string line = GetRunDirectory() + "\\folderlist_re_" + MakeTimestamp(true) +
                             ".db-->/a/it's [x].txt\r\n/a/b%41~c-->写入错误：no such table: list"
                             "\r\n\r\n\r\n";
    std::string expected;
    for (size_t i = 0; i < row.tries; ++i) {
      expected += line;
    }
    EXPECT_EQ(content, expected);
  }
  g_renameStopRequested = 0;
}

}  // namespace
