// Deleting remote paths against the service emulator: the request as sent,
// the busy retries, and the outcome booked per path.

#include "web/delete_paths.h"

#include <algorithm>

#include "foundation/url_encoding.h"
#include "support/service_test_fixture.h"

namespace {

using ::testing::HasSubstr;
using ::testing::IsEmpty;

class DeletePathsTest : public ServiceTest {
 protected:
  void SetUp() override {
    ServiceTest::SetUp();
    UseTree(RemoteTree::FromPaths({"/a/x.txt", "/a/y z.txt", U8(u8"/a/中文.txt"), "/a/keep.txt"}));
  }
  static std::vector<std::string> Encoded(const std::vector<std::string>& paths) {
    std::vector<std::string> encoded;
    for (const std::string& path : paths) {
      encoded.push_back(UrlEncodeText(path));
    }
    return encoded;
  }
  std::vector<RecordedRequest> Posts() const { return RequestsTo("/api/filemanager"); }
};

TEST_F(DeletePathsTest, OnePathGoesOutInTheGoldenForm) {
  DeleteRemotePaths(Encoded({"/a/x.txt"}));
  const std::vector<RecordedRequest> posts = Posts();
  ASSERT_EQ(posts.size(), 1u);
  EXPECT_TRUE(posts[0].tls);
  EXPECT_EQ(posts[0].target,
            "/api/filemanager?opera=delete&async=2&onnest=fail&channel=chunlei&web=1&app_id=250528"
            "&bdstoken=" +
                Account().bdstoken + "&logid=" + MakeLogIdFromBaiduId() + "&clienttype=0");
  EXPECT_EQ(posts[0].body, "filelist=%5B\"%2Fa%2Fx.txt\"%5D");
  EXPECT_EQ(posts[0].Header("User-Agent"), std::string(kDefaultHttpHeaderLine).substr(12));
  EXPECT_EQ(posts[0].Header("X-Requested-With"), std::nullopt);
  EXPECT_EQ(Tree().Find("/a/x.txt"), nullptr);
  EXPECT_EQ(g_deletedCount.load(), 1);
  EXPECT_EQ(LogText(kLogDeleted), "/a/x.txt\r\n");
}

TEST_F(DeletePathsTest, ThreePathsAreOneRequestAndThreeEntries) {
  DeleteRemotePaths(Encoded({"/a/x.txt", "/a/y z.txt", "/a/中文.txt"}));
  ASSERT_EQ(Posts().size(), 1u);
  EXPECT_EQ(
      Posts()[0].body,
      "filelist=%5B\"%2Fa%2Fx.txt\"%2C\"%2Fa%2Fy+z.txt\"%2C\"%2Fa%2F%E4%B8%AD%E6%96%87.txt\"%5D");
  EXPECT_EQ(g_deletedCount.load(), 3);
  EXPECT_EQ(g_deleteFailedCount.load(), 0);
  EXPECT_EQ(LogText(kLogDeleted), "/a/x.txt\r\n/a/y z.txt\r\n/a/中文.txt\r\n");
  EXPECT_EQ(Tree(), RemoteTree::FromPaths({"/a/keep.txt"}));
}

TEST_F(DeletePathsTest, WithoutBaiduIdTheLogIdIsEmpty) {
  AccountSession session = GetAccountSession();
  session.cookies = "BDUSS=" + Account().bduss + "; STOKEN=" + Account().stoken;
  SetAccountSession(session);
  DeleteRemotePaths(Encoded({"/a/x.txt"}));
  ASSERT_EQ(Posts().size(), 1u);
  EXPECT_THAT(Posts()[0].target, HasSubstr("&logid=&clienttype=0"));
  EXPECT_EQ(g_deletedCount.load(), 1);
}

TEST_F(DeletePathsTest, ReplyBranchesBookTheirOutcome) {
  struct Row {
    const char* name;
    FakeReply reply;
    int times;
    int posts;
    std::vector<std::int64_t> waits;
    bool deleted;
    std::string reason;  // the failure entry after the path; "" for a success
  };
  const std::string busy = ItemReply(111, "/a/x.txt");
  const std::string identity = IdentityReply();
  const std::string emptyBusyPath = ItemReply(111, "");
  const std::string missing = ItemReply(-9, "/a/x.txt");
  const Row rows[] = {
      {"busy twice, then deleted", FakeReply::Json(busy), 2, 3, {1000, 1000}, true, ""},
      {"empty replies retry at once",
       FakeReply::Fault(ReplyFault::kCloseWithoutReply),
       3,
       4,
       {},
       true,
       ""},
      {"identity check",
       FakeReply::Json(identity),
       -1,
       1,
       {},
       false,
       "   失败原因：删除文件需要验证您的身份。教程：" + IdentityCheckTutorialUrl() + "   " +
           identity},
      {"busy without a path is no busy answer",
       FakeReply::Json(emptyBusyPath),
       -1,
       1,
       {},
       false,
       "   失败原因：" + emptyBusyPath},
      {"busy fifty times", FakeReply::Json(busy), -1, 50, std::vector<std::int64_t>(50, 1000),
       false, "   失败原因：" + busy},
      {"missing path", FakeReply::Json(missing), -1, 1, {}, false, "   失败原因：" + missing},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Reset();
    UseTree(RemoteTree::FromPaths({"/a/x.txt", "/a/keep.txt"}));
    Service().ClearRequests();
    Fault(row.name, "/api/filemanager", "opera=delete", row.reply, 1, row.times);
    DeleteRemotePaths(Encoded({"/a/x.txt"}));
    EXPECT_EQ(static_cast<int>(Posts().size()), row.posts);
    EXPECT_EQ(Waits(), row.waits);
    EXPECT_EQ(g_deletedCount.load(), row.deleted ? 1 : 0);
    EXPECT_EQ(g_deleteFailedCount.load(), row.deleted ? 0 : 1);
    EXPECT_EQ(LogText(kLogDeleted), row.deleted ? "/a/x.txt\r\n" : "");
    EXPECT_EQ(LogText(kLogDeleteFailed), row.deleted ? "" : "/a/x.txt" + row.reason + "\r\n");
    EXPECT_EQ(Tree().Find("/a/x.txt") == nullptr, row.deleted);
  }
}

// The service answers an asynchronous delete with a task id before the task
// ran; the outcome is the one the task reports.
TEST_F(DeletePathsTest, TheTaskIsFollowedToItsOutcome) {
  struct Row {
    const char* name;
    int runningPolls;
    bool failXInTask;     // the emulator fails "/a/x.txt" inside the task
    bool taskFaultReply;  // every task query answers the whole-failure reply
    bool neverFinishes;
    int polls;
    std::vector<std::string> deleted;  // the paths booked deleted
    bool failed;                       // a failure booked for "/a/x.txt"
  };
  const Row rows[] = {
      {"runs twice, then succeeds", 2, false, false, false, 3, {"/a/x.txt", "/a/y z.txt"}, false},
      {"one item fails in the task", 0, true, false, false, 1, {"/a/y z.txt"}, true},
      {"the task fails as a whole", 0, false, true, false, 1, {}, true},
      {"the task never ends", 0, false, false, true, 200, {}, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Reset();
    UseTree(RemoteTree::FromPaths({"/a/x.txt", "/a/y z.txt", "/a/keep.txt"}));
    Service().ClearRequests();
    ModelOptions options;
    options.taskRunningPolls = row.runningPolls;
    options.deleteFailsInTask = true;
    options.tasksNeverFinish = row.neverFinishes;
    Service().Model().SetOptions(options);
    if (row.failXInTask) {
      Service().Model().FailItem("/a/x.txt", -9);
    }
    if (row.taskFaultReply) {
      Fault("whole failure", "/share/taskquery", "", FakeReply::Json(TaskFailReply()));
    }
    DeleteRemotePaths(Encoded({"/a/x.txt", "/a/y z.txt"}));
    ASSERT_EQ(Posts().size(), 1u);
    const std::vector<RecordedRequest> polls = RequestsTo("/share/taskquery");
    ASSERT_EQ(static_cast<int>(polls.size()), row.polls);
    EXPECT_TRUE(polls[0].tls);
    EXPECT_EQ(polls[0].Header("Cookie"), Account().CookieText());
    EXPECT_EQ(Waits(), std::vector<std::int64_t>(static_cast<size_t>(row.polls - 1), 300));
    std::string deletedLog;
    for (const std::string& path : row.deleted) {
      deletedLog += path + "\r\n";
    }
    EXPECT_EQ(LogText(kLogDeleted), deletedLog);
    EXPECT_EQ(g_deletedCount.load(), static_cast<int>(row.deleted.size()));
    EXPECT_EQ(g_deleteFailedCount.load(), row.failed ? 1 : 0);
    const std::string failedLog = LogText(kLogDeleteFailed);
    EXPECT_EQ(failedLog.find("/a/x.txt   失败原因："), row.failed ? 0 : std::string::npos);
    if (row.failed) {
      EXPECT_THAT(failedLog, HasSubstr("\"status\":"));
    }
  }
}

// A failed delete task lists only the paths that failed: a path it does not
// name was deleted, and is booked as a deleted path is.
TEST_F(DeletePathsTest, AFailedTaskNamesOnlyItsFailuresAndTheOtherPathsWereDeleted) {
  struct Row {
    const char* name;
    std::vector<std::string> paths;
    std::vector<std::string> deleted;
    std::string missing;
  };
  const Row rows[] = {
      {"[ok, missing]", {"/a/x.txt", "/a/gone.txt"}, {"/a/x.txt"}, "/a/gone.txt"},
      {"[missing, ok, ok]",
       {"/a/gone.txt", "/a/x.txt", "/a/y z.txt"},
       {"/a/x.txt", "/a/y z.txt"},
       "/a/gone.txt"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Reset();
    UseTree(RemoteTree::FromPaths({"/a/x.txt", "/a/y z.txt", "/a/keep.txt"}));
    ModelOptions options;
    options.deleteFailsInTask = true;
    Service().Model().SetOptions(options);
    DeleteRemotePaths(Encoded(row.paths));

    ASSERT_EQ(Posts().size(), 1u);
    ASSERT_EQ(RequestsTo("/share/taskquery").size(), 1u);
    std::string deletedLog;
    for (const std::string& path : row.deleted) {
      deletedLog += path + "\r\n";
      EXPECT_EQ(Tree().Find(path), nullptr);
    }
    EXPECT_EQ(LogText(kLogDeleted), deletedLog);
    EXPECT_EQ(g_deletedCount.load(), static_cast<int>(row.deleted.size()));
    EXPECT_EQ(g_deleteFailedCount.load(), 1);
    const std::string failedLog = LogText(kLogDeleteFailed);
    EXPECT_EQ(failedLog.find(row.missing + "   失败原因：{\"errno\":0,"), 0u);
    EXPECT_THAT(failedLog, HasSubstr("\"status\":\"failed\",\"list\":[{\"error_code\":-9,"));
    EXPECT_EQ(std::count(failedLog.begin(), failedLog.end(), '\n'), 1);
    EXPECT_NE(Tree().Find("/a/keep.txt"), nullptr);
  }
}

TEST_F(DeletePathsTest, AStopDuringTheTaskPollBooksNothing) {
  ModelOptions options;
  options.tasksNeverFinish = true;
  Service().Model().SetOptions(options);
  Service().SetHook([](const RecordedRequest& request) -> std::optional<FakeReply> {
    if (request.Path() == "/share/taskquery") {
      g_renameStopRequested = 1;
    }
    return std::nullopt;
  });
  DeleteRemotePaths(Encoded({"/a/x.txt"}));
  EXPECT_EQ(RequestsTo("/share/taskquery").size(), 1u);
  EXPECT_EQ(g_deletedCount.load() + g_deleteFailedCount.load(), 0);
  EXPECT_FALSE(LogExists(kLogDeleted));
  EXPECT_FALSE(LogExists(kLogDeleteFailed));
}

TEST_F(DeletePathsTest, NothingHappensForNoPathsOrAStoppedTask) {
  DeleteRemotePaths({});
  g_renameStopRequested = 1;
  DeleteRemotePaths(Encoded({"/a/x.txt"}));
  EXPECT_THAT(Posts(), IsEmpty());
  EXPECT_EQ(g_deletedCount.load() + g_deleteFailedCount.load(), 0);
  EXPECT_EQ(LogText(kLogDeleteFailed), "");
}

}  // namespace
