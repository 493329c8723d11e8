// Result logs that cannot be written, against the service emulator: the
// requests still run and are counted, and the failure is reported once per
// run on the status line and in "err.txt".

#include "web/result_log.h"

#include <functional>

#include "support/service_test_fixture.h"
#include "web/delete_paths.h"
#include "web/remote_name_text.h"
#include "web/rename_batch.h"
#include "web/rename_item.h"

namespace {

namespace fs = std::filesystem;

class ResultLogTest : public ServiceTest {
 protected:
  void SetUp() override {
    ServiceTest::SetUp();
    UseTree(RemoteTree::FromPaths({"/d/a.txt", "/d/b.txt", "/d/c.txt", "/d/keep.txt"}));
  }

  void UseStamp(const std::string& stamp) {
    std::lock_guard lock(g_counterLock);
    g_renameTaskStamp = stamp;
  }

  // A folder where the log of `kind` would be, so that it cannot be opened.
  static std::string BlockLog(const char* kind) {
    std::string path;
    {
      std::lock_guard lock(g_counterLock);
      path = ResultLogPath("demo", kind);
    }
    fs::create_directories(FileSystemPathFromText(path));
    return path;
  }

  std::string ErrorLogText() const {
    std::ifstream in(m_folder.Path() / "err.txt", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  int StatusLinesShowing(const std::string& text) const {
    int count = 0;
    for (const RecordedStatus& status : m_ui.desktop.StatusHistory()) {
      count += status.panel == 1 && status.text == text ? 1 : 0;
    }
    return count;
  }
};

void RenameTo(const std::string& from, const std::string& to) {
  std::string path = from;
  std::string name = to;
  RenameRemoteItem(path, name, false, "");
}

std::string BatchItem(const RemoteTree& tree, const std::string& path, const std::string& name) {
  return MakeRenameBatchItem(std::to_string(*tree.FsId(path)), path, name);
}

TEST_F(ResultLogTest, AFailedWriteIsReportedOncePerRunAndTheRunGoesOn) {
  struct Row {
    const char* name;
    const char* kind;                            // the log that cannot be written
    std::function<void(const RemoteTree&)> run;  // given the tree before
    std::function<int()> booked;                 // the counter the requests raise
    RemoteTree remaining;                        // the remote tree afterwards
  };
  const Row rows[] = {
      {"delete", kLogDeleted,
       [](const RemoteTree&) {
         DeleteRemotePaths({EncodeRemoteJsonText("/d/a.txt", false)});
         DeleteRemotePaths(
             {EncodeRemoteJsonText("/d/b.txt", false), EncodeRemoteJsonText("/d/c.txt", false)});
       },
       [] { return g_deletedCount.load(); }, RemoteTree::FromPaths({"/d/keep.txt"})},
      {"single rename", kLogRenamed,
       [](const RemoteTree&) {
         RenameTo("/d/a.txt", "x.txt");
         RenameTo("/d/b.txt", "y.txt");
         RenameTo("/d/c.txt", "z.txt");
       },
       [] { return g_renamedCount.load(); },
       RemoteTree::FromPaths({"/d/x.txt", "/d/y.txt", "/d/z.txt", "/d/keep.txt"})},
      {"batch rename", kLogRenamed,
       [](const RemoteTree& tree) {
         SubmitRenameBatch(BatchItem(tree, "/d/a.txt", "x.txt") +
                           BatchItem(tree, "/d/b.txt", "y.txt") +
                           BatchItem(tree, "/d/c.txt", "z.txt"));
       },
       [] { return g_renamedCount.load(); },
       RemoteTree::FromPaths({"/d/x.txt", "/d/y.txt", "/d/z.txt", "/d/keep.txt"})},
  };
  int run = 0;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Reset();
    UseTree(RemoteTree::FromPaths({"/d/a.txt", "/d/b.txt", "/d/c.txt", "/d/keep.txt"}));
    // Each row is a run of its own, so an earlier row's report does not count here.
    UseStamp("2025年7月10日9时" + std::to_string(++run) + "分");
    const std::string text = ResultLogFailureText(BlockLog(row.kind));
    const size_t statusMark = m_ui.desktop.StatusHistory().size();

    row.run(Tree());

    EXPECT_EQ(row.booked(), 3);
    EXPECT_EQ(Tree(), row.remaining);
    EXPECT_EQ(ErrorLogText(), text + "\r\n");
    EXPECT_EQ(StatusLinesShowing(text), 1);
    EXPECT_GT(m_ui.desktop.StatusHistory().size(), statusMark);
  }
}

TEST_F(ResultLogTest, ANewRunReportsAgainAndAWritableLogIsNoFailure) {
  const std::string first = ResultLogFailureText(BlockLog(kLogDeleted));
  DeleteRemotePaths({EncodeRemoteJsonText("/d/a.txt", false)});
  DeleteRemotePaths({EncodeRemoteJsonText("/d/b.txt", false)});
  ASSERT_EQ(ErrorLogText(), first + "\r\n");

  UseStamp("2025年7月9日14时0分");
  const std::string second = ResultLogFailureText(BlockLog(kLogDeleted));
  DeleteRemotePaths({EncodeRemoteJsonText("/d/c.txt", false)});
  EXPECT_EQ(ErrorLogText(), first + "\r\n" + second + "\r\n");
  EXPECT_EQ(StatusLinesShowing(second), 1);

  // The failure log of the same run is writable: nothing more is reported.
  DeleteRemotePaths({EncodeRemoteJsonText("/d/gone.txt", false)});
  EXPECT_EQ(g_deleteFailedCount.load(), 1);
  EXPECT_THAT(LogText(kLogDeleteFailed), ::testing::StartsWith("/d/gone.txt   失败原因："));
  EXPECT_EQ(ErrorLogText(), first + "\r\n" + second + "\r\n");
}

}  // namespace
