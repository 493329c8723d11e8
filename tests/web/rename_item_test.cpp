// Renaming one remote item against the service emulator: the request as sent,
// every reply branch, the skip rule and the stop flag.

#include "web/rename_item.h"

#include "platform/control_store.h"
#include "support/service_test_fixture.h"
#include "web/main_window_controls.h"

namespace {

using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::MatchesRegex;

class RenameItemTest : public ServiceTest {
 protected:
  bool Rename(std::string path, std::string newName, const std::string& fsId = "") {
    return RenameRemoteItem(path, newName, false, fsId);
  }
  static void UseMode(const char* radio) { GetControlStore().SetChecked(radio, true); }
  std::string OldId() const { return std::to_string(*Tree().FsId("/docs/old.txt")); }
  std::vector<RecordedRequest> Posts() const { return RequestsTo("/api/filemanager"); }
};

TEST_F(RenameItemTest, SendsTheGoldenRequestAndBooksTheSuccess) {
  UseMode(kRenameSyncRadio);
  const std::string id = OldId();
  EXPECT_TRUE(Rename("/docs/old.txt", "new name+1's.txt", id));

  const std::vector<RecordedRequest> posts = Posts();
  ASSERT_EQ(posts.size(), 1u);
  const RecordedRequest& post = posts[0];
  EXPECT_TRUE(post.tls);
  EXPECT_EQ(post.method, "POST");
  EXPECT_THAT(
      post.target,
      MatchesRegex(
          "/api/filemanager\\?async=0&onnest=fail&opera=rename&bdstoken=" + Account().bdstoken +
          "&clienttype=0&app_id=250528&web=1&dp-logid=[1-9][0-9]{11}[1-9][0-9]{3}"));
  const std::string body = "filelist=%5B%7B%22id%22%3A" + id +
                           "%2C%22path%22%3A%22%2Fdocs%2Fold.txt%22%2C%22newname%22%3A%22new%20"
                           "name%2B1%E2%80%99s.txt%22%7D%5D";
  EXPECT_EQ(post.body, body);
  // The header block as the request-object back end sends it: the browser-like
  // block with the body's byte length, its keep-alive line left out.
  const std::string host = Service().Host();
  const HeaderList expected = {
      {"Host", host},
      {"Cookie", Account().CookieText()},
      {"Accept", "application/json, text/javascript, */*; q=0.01"},
      {"Accept-Encoding", "deflate, br"},
      {"Accept-Language", "zh-CN,zh;q=0.9"},
      {"Cache-Control", "no-cache"},
      {"Content-Length", std::to_string(body.size())},
      {"Content-Type", "application/x-www-form-urlencoded; charset=UTF-8"},
      {"Origin", "https://" + host},
      {"Pragma", "no-cache"},
      {"Referer", "https://" + host + "/disk/home"},
      {"Sec-Fetch-Dest", "empty"},
      {"Sec-Fetch-Mode", "cors"},
      {"Sec-Fetch-Site", "same-origin"},
      {"User-Agent",
       "Mozilla/5.0 (Windows NT 10.0; WOW64) AppleWebKit/537.36 (KHTML, like Gecko) "
       "Chrome/80.0.3987.87 Safari/537.36 SE 2.X MetaSr 1.0"},
      {"X-Requested-With", "XMLHttpRequest"},
  };
  EXPECT_EQ(post.headers, expected);

  EXPECT_NE(Tree().Find(U8(u8"/docs/new name+1\u2019s.txt")), nullptr);
  EXPECT_EQ(g_renamedCount.load(), 1);
  EXPECT_EQ(g_dailyRenamedCount.load(), 1);
  EXPECT_EQ(g_renamedPaths[id], kRenamedMark);
  EXPECT_EQ(LogText(kLogRenamed), "/docs/old.txt---->new name+1's.txt\r\n");
}

TEST_F(RenameItemTest, BothBackEndsCarryTheHeaderBlockAndTheCookies) {
  for (int useCurl : {0, 1}) {
    SCOPED_TRACE(useCurl);
    Reset();
    g_useCurl = useCurl;
    EXPECT_TRUE(Rename("/docs/old.txt", "b.txt"));
    ASSERT_EQ(Posts().size(), 1u);
    EXPECT_EQ(Posts()[0].Header("Content-Length"), std::to_string(Posts()[0].body.size()));
    EXPECT_EQ(Posts()[0].Header("X-Requested-With"), "XMLHttpRequest");
    EXPECT_EQ(Posts()[0].Header("Cookie"), Account().CookieText());
    EXPECT_TRUE(RequestsTo("/share/taskquery").at(0).tls);
    EXPECT_NE(Tree().Find("/docs/b.txt"), nullptr);
  }
  g_useCurl = 0;
}

TEST_F(RenameItemTest, NamesInBackslashUNotationTravelAsUtf8) {
  UseTree(RemoteTree::FromPaths({U8(u8"/docs/中文 %20.txt")}));
  UseMode(kRenameSyncRadio);
  EXPECT_TRUE(Rename("/docs/\\u4e2d\\u6587 %20.txt", "\\u65b0 %20.txt"));
  ASSERT_EQ(Posts().size(), 1u);
  EXPECT_EQ(
      Posts()[0].body,
      "filelist=%5B%7B%22path%22%3A%22%2Fdocs%2F%E4%B8%AD%E6%96%87%20%2520.txt%22%2C%22newname"
      "%22%3A%22%E6%96%B0%20%2520.txt%22%7D%5D");
  EXPECT_NE(Tree().Find(U8(u8"/docs/新 %20.txt")), nullptr);
  EXPECT_EQ(LogText(kLogRenamed), "/docs/中文 %20.txt---->新 %20.txt\r\n");
}

TEST_F(RenameItemTest, AsynchronousRenamePollsItsTaskOverHttps) {
  ModelOptions options;
  options.taskRunningPolls = 2;
  Service().Model().SetOptions(options);
  EXPECT_TRUE(Rename("/docs/old.txt", "b.txt"));
  ASSERT_EQ(Posts().size(), 1u);
  EXPECT_THAT(Posts()[0].target, HasSubstr("?async=2&"));
  const std::vector<RecordedRequest> polls = RequestsTo("/share/taskquery");
  ASSERT_EQ(polls.size(), 3u);
  for (const RecordedRequest& poll : polls) {
    EXPECT_TRUE(poll.tls);
    EXPECT_THAT(poll.target, MatchesRegex("/share/taskquery\\?taskid=[0-9]+&clienttype=0&app_id="
                                          "250528&web=1&dp-logid="));
    EXPECT_EQ(poll.Header("Cookie"), Account().CookieText());
  }
  EXPECT_EQ(Waits(), (std::vector<std::int64_t>{300, 300}));
  EXPECT_NE(Tree().Find("/docs/b.txt"), nullptr);
  EXPECT_EQ(g_renamedCount.load(), 1);
}

TEST_F(RenameItemTest, TaskRepliesDecideWhetherToPollOnOrSubmitAgain) {
  struct Row {
    const char* name;
    const char* path;  // the request the fault answers
    FakeReply reply;
    int times;
    size_t posts;
    size_t polls;
  };
  const Row rows[] = {
      {"empty poll replies keep polling", "/share/taskquery",
       FakeReply::Fault(ReplyFault::kCloseWithoutReply), 2, 1, 3},
      {"a failed task is submitted again", "/api/filemanager", FakeReply::Json(TaskReply(999)), 1,
       2, 2},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Reset();
    Fault(row.name, row.path, "", row.reply, 1, row.times);
    EXPECT_TRUE(Rename("/docs/old.txt", "b.txt"));
    EXPECT_EQ(Posts().size(), row.posts);
    EXPECT_EQ(RequestsTo("/share/taskquery").size(), row.polls);
    EXPECT_EQ(g_renamedCount.load(), 1);
    EXPECT_NE(Tree().Find("/docs/b.txt"), nullptr);
  }
}

TEST_F(RenameItemTest, ATaskStillRunningAfter200PollsIsSubmittedAgain) {
  // The first submission's task never ends; the second one is the service's own.
  Fault("lost task", "/api/filemanager", "opera=rename", FakeReply::Json(TaskReply(999)), 1, 1);
  Fault("running", "/share/taskquery", "taskid=999&", FakeReply::Json(TaskRunningReply(100)));
  EXPECT_TRUE(Rename("/docs/old.txt", "b.txt"));
  EXPECT_EQ(Posts().size(), 2u);
  const std::vector<RecordedRequest> polls = RequestsTo("/share/taskquery");
  ASSERT_EQ(polls.size(), 201u);
  EXPECT_THAT(polls[199].target, HasSubstr("taskid=999&"));
  EXPECT_THAT(polls[200].target, ::testing::Not(HasSubstr("taskid=999&")));
  EXPECT_EQ(Waits(), std::vector<std::int64_t>(200, 300));
  EXPECT_EQ(g_renamedCount.load(), 1);
  EXPECT_EQ(g_renameFailedCount.load(), 0);
  EXPECT_NE(Tree().Find("/docs/b.txt"), nullptr);
}

TEST_F(RenameItemTest, ModeRadiosChooseTheAsyncValue) {
  struct Row {
    const char* name;
    const char* radio;
    const char* async;
  };
  const Row rows[] = {
      {"sync", kRenameSyncRadio, "async=0"},
      {"async", kRenameAsyncRadio, "async=2"},
      {"auto", kRenameAutoRadio, "async=1"},
      {"none ticked", nullptr, "async=2"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    GetControlStore().Clear();
    if (row.radio != nullptr) {
      UseMode(row.radio);
    }
    UseTree(RemoteTree::FromPaths({"/docs/old.txt"}));
    Service().ClearRequests();
    EXPECT_TRUE(Rename("/docs/old.txt", "b.txt"));
    ASSERT_EQ(Posts().size(), 1u);
    EXPECT_THAT(Posts()[0].target, HasSubstr(std::string("?") + row.async + "&"));
  }
}

// One row per reply branch: the rename POST is answered by `reply` `times`
// times, then by the service itself.
TEST_F(RenameItemTest, ReplyBranchesBookTheirOutcome) {
  struct Row {
    const char* name;
    FakeReply reply;
    int times;
    bool renamed;
    int posts;
    std::vector<std::int64_t> waits;
    int failed;
    int waited;
    int unchanged;
    const char* log;
    std::string entry;
  };
  const std::string body = "/docs/old.txt---->b.txt   失败原因：";
  const Row rows[] = {
      {"-7 fails at once",
       FakeReply::Json(ItemReply(-7, "/docs/old.txt")),
       -1,
       false,
       1,
       {},
       1,
       0,
       0,
       kLogRenameFailed,
       body + "文件或目录名错误或无权访问\r\n\r\n\r\n"},
      {"-8 fails at once",
       FakeReply::Json(ItemReply(-8, "/docs/old.txt")),
       -1,
       false,
       1,
       {},
       1,
       0,
       0,
       kLogRenameFailed,
       body + "该目录下已存在此文件\r\n\r\n\r\n"},
      {"-9 fails at once",
       FakeReply::Json(ItemReply(-9, "/docs/old.txt")),
       -1,
       false,
       1,
       {},
       1,
       0,
       0,
       kLogRenameFailed,
       body + "文件被所有者删除，操作失败\r\n\r\n\r\n"},
      {"busy 111 twice, then renamed",
       FakeReply::Json(ItemReply(111, "/docs/old.txt")),
       2,
       true,
       3,
       {5000, 5000},
       0,
       0,
       0,
       kLogRenamed,
       "/docs/old.txt---->b.txt\r\n"},
      {"top-level busy is unknown: next attempt at once",
       FakeReply::Json(TopBusyReply(111)),
       1,
       true,
       2,
       {},
       0,
       0,
       0,
       kLogRenamed,
       "/docs/old.txt---->b.txt\r\n"},
      {"other item errno waits 2 s",
       FakeReply::Json(ItemReply(2, "/docs/old.txt")),
       1,
       true,
       2,
       {2000},
       0,
       0,
       0,
       kLogRenamed,
       "/docs/old.txt---->b.txt\r\n"},
      {"unchanged",
       FakeReply::Json(UnchangedReply()),
       -1,
       false,
       1,
       {},
       0,
       0,
       1,
       kLogUnchanged,
       "/docs/old.txt---->b.txt\r\n\r\n\r\n"},
      {"five empty replies make one attempt",
       FakeReply::Fault(ReplyFault::kCloseWithoutReply),
       7,
       true,
       8,
       {},
       0,
       0,
       0,
       kLogRenamed,
       "/docs/old.txt---->b.txt\r\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Reset();
    UseMode(kRenameSyncRadio);
    Fault(row.name, "/api/filemanager", "opera=rename", row.reply, 1, row.times);
    EXPECT_EQ(Rename("/docs/old.txt", "b.txt"), row.renamed);
    EXPECT_EQ(static_cast<int>(Posts().size()), row.posts);
    EXPECT_EQ(Waits(), row.waits);
    EXPECT_EQ(g_renamedCount.load(), row.renamed ? 1 : 0);
    EXPECT_EQ(g_renameFailedCount.load(), row.failed);
    EXPECT_EQ(g_waitCount.load(), row.waited);
    EXPECT_EQ(g_unchangedCount.load(), row.unchanged);
    EXPECT_EQ(LogText(row.log), row.entry);
    EXPECT_EQ(Tree().Find("/docs/b.txt") != nullptr, row.renamed);
  }
}

TEST_F(RenameItemTest, ThirtyAttemptsRunOutWithTheirReason) {
  struct Row {
    const char* name;
    std::string reply;
    std::int64_t wait;
    int failed;
    int waited;
    std::string reason;
  };
  const std::string same = ItemReply(-30, "/docs/old.txt");
  const std::string invalid = InvalidReply();
  const Row rows[] = {
      {"-30 waits 2 s each time", same, 2000, 1, 0, "文件已存在。" + same},
      {"busy to the end counts as waiting", ItemReply(31034, "/docs/old.txt"), 5000, 0, 1, "31034"},
      {"invalid cookie retries at once", invalid, 0, 1, 0, "ret：" + invalid},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Reset();
    UseMode(kRenameSyncRadio);
    Service().SetHook([&row](const RecordedRequest& request) -> std::optional<FakeReply> {
      if (request.Path() == "/api/filemanager") {
        return FakeReply::Json(row.reply);
      }
      return std::nullopt;
    });
    EXPECT_FALSE(Rename("/docs/old.txt", "b.txt"));
    EXPECT_EQ(Posts().size(), 30u);
    EXPECT_EQ(Waits(), std::vector<std::int64_t>(row.wait > 0 ? 30 : 0, row.wait));
    EXPECT_EQ(g_renameFailedCount.load(), row.failed);
    EXPECT_EQ(g_waitCount.load(), row.waited);
    EXPECT_EQ(LogText(kLogRenameFailed),
              "/docs/old.txt---->b.txt   失败原因：" + row.reason + "\r\n\r\n\r\n");
    EXPECT_NE(Tree().Find("/docs/old.txt"), nullptr);
  }
}

TEST_F(RenameItemTest, AnApostropheIsSentAsItselfAndMissingMeansGone) {
  const struct {
    const char* name;
    const char* path;  // the item renamed
    bool renamed;
  } rows[] = {
      {"beside its U+2019 twin", "/docs/it's.txt", true},
      {"gone, its twin still there", "/docs/gone's.txt", false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Reset();
    UseTree(RemoteTree::FromPaths(
        {"/docs/it's.txt", U8(u8"/docs/it’s.txt"), U8(u8"/docs/gone’s.txt")}));
    const RemoteTree before = Tree();
    EXPECT_EQ(Rename(row.path, "b.txt"), row.renamed);
    const std::vector<RecordedRequest> posts = Posts();
    ASSERT_EQ(posts.size(), 1u);
    EXPECT_THAT(posts[0].body, HasSubstr("%22path%22%3A%22%2Fdocs%2F"));
    EXPECT_EQ(posts[0].body.find("%E2%80%99"), std::string::npos);
    EXPECT_EQ(Tree().FsId("/docs/b.txt"), row.renamed ? before.FsId(row.path) : std::nullopt);
    EXPECT_EQ(Tree().FsId(U8(u8"/docs/it’s.txt")), before.FsId(U8(u8"/docs/it’s.txt")));
    EXPECT_EQ(Tree().FsId(U8(u8"/docs/gone’s.txt")), before.FsId(U8(u8"/docs/gone’s.txt")));
    EXPECT_EQ(g_renameFailedCount.load(), row.renamed ? 0 : 1);
  }
}

// A failed task ends the rename at once with the error's own reason.
TEST_F(RenameItemTest, AFailedTaskIsBookedWithItsErrorsReason) {
  struct Row {
    const char* code;
    const char* key;
    const char* reason;
  };
  const Row rows[] = {
      {"-7", "path", "文件或目录名错误或无权访问"},
      {"-8", "from", "该目录下已存在此文件"},
      {"-9", "path", "文件被所有者删除，操作失败"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.code);
    Reset();
    Fault("failed", "/share/taskquery", "",
          FakeReply::Json(std::string("{\"errno\":0,\"request_id\":5,\"task_errno\":4,\"status\":"
                                      "\"failed\",\"list\":[{\"error_code\":") +
                          row.code + ",\"" + row.key + "\":\"\\/docs\\/old.txt\"}]}"));
    EXPECT_FALSE(Rename("/docs/old.txt", "b.txt"));
    EXPECT_EQ(Posts().size(), 1u);
    EXPECT_EQ(g_renamedCount.load(), 0);
    EXPECT_EQ(g_renameFailedCount.load(), 1);
    EXPECT_EQ(LogText(kLogRenameFailed),
              std::string("/docs/old.txt---->b.txt   失败原因：") + row.reason + "\r\n\r\n\r\n");
    EXPECT_FALSE(LogExists(kLogRenamed));
  }
}

TEST_F(RenameItemTest, NothingIsSentForSkippedUnchangedOrEmptyNames) {
  GetControlStore().SetChecked(kSkipRenamedCheckBox, true);
  g_renamedPaths["412"] = kRenamedMark;
  EXPECT_FALSE(Rename("/docs/old.txt", "b.txt", "412"));
  EXPECT_EQ(g_skippedCount.load(), 1);

  EXPECT_FALSE(Rename("/docs/old.txt", "old.txt"));
  EXPECT_FALSE(Rename("/docs/\\u4e2d.txt", "中.txt"));

  EXPECT_FALSE(Rename("/docs/old.txt", ""));
  EXPECT_EQ(g_renameFailedCount.load(), 1);
  EXPECT_EQ(LogText(kLogRenameFailed),
            "/docs/old.txt---->   失败原因：新文件名替换后为空或无变化，跳过修改。\r\n\r\n");
  EXPECT_THAT(Posts(), IsEmpty());
  EXPECT_EQ(g_renamedCount.load() + g_unchangedCount.load(), 0);
}

TEST_F(RenameItemTest, SkipRuleLeavesItemsWithoutAnIdAlone) {
  GetControlStore().SetChecked(kSkipRenamedCheckBox, true);
  UseMode(kRenameSyncRadio);
  EXPECT_TRUE(Rename("/docs/old.txt", "a.txt"));
  EXPECT_TRUE(Rename("/docs/keep.txt", "b.txt"));
  EXPECT_EQ(g_renamedCount.load(), 2);
  EXPECT_EQ(g_skippedCount.load(), 0);
}

TEST_F(RenameItemTest, StopFlagEndsTheCallWithoutBooking) {
  UseMode(kRenameSyncRadio);
  Fault("busy", "/api/filemanager", "opera=rename",
        FakeReply::Json(ItemReply(111, "/docs/old.txt")));
  m_ui.clock.SetSleepHook([](std::int64_t) { g_renameStopRequested = 1; });
  EXPECT_FALSE(Rename("/docs/old.txt", "b.txt"));
  EXPECT_EQ(Posts().size(), 1u);
  EXPECT_EQ(g_renameFailedCount.load() + g_waitCount.load(), 0);
  EXPECT_EQ(LogText(kLogRenameFailed), "");
}

// The stop reaches the transfer, so a failure answered while the stop comes
// may be cut off or may arrive; either way the item is never booked renamed,
// and a failure that arrived is booked as one.
TEST_F(RenameItemTest, AFailureAnsweredTogetherWithAStopIsNeverARename) {
  UseMode(kRenameSyncRadio);
  Service().SetHook([](const RecordedRequest& request) -> std::optional<FakeReply> {
    if (request.Path() != "/api/filemanager") {
      return std::nullopt;
    }
    g_renameStopRequested = 1;
    return FakeReply::Json(ItemReply(-8, "/docs/old.txt"));
  });
  EXPECT_FALSE(Rename("/docs/old.txt", "b.txt"));
  EXPECT_EQ(Posts().size(), 1u);
  EXPECT_EQ(g_renamedCount.load(), 0);
  EXPECT_FALSE(LogExists(kLogRenamed));
  EXPECT_EQ(LogText(kLogRenameFailed),
            g_renameFailedCount.load() == 1
                ? "/docs/old.txt---->b.txt   失败原因：该目录下已存在此文件\r\n\r\n\r\n"
                : "");
}

}  // namespace
