// Batch rename against the service emulator: the request as sent, the task
// followed to its end, and every item booked by its exact path.

#include "web/rename_batch.h"

#include "foundation/text_encodings.h"
#include "foundation/url_encoding.h"
#include "support/service_test_fixture.h"
#include "web/main_window_controls.h"
#include "web/service_text.h"

namespace {

using ::testing::HasSubstr;
using ::testing::IsEmpty;

// One item as the apply phase writes it.
std::string Item(const std::string& fsId, const std::string& path, const std::string& newName) {
  const auto encode = [](const std::string& text) {
    return ReplaceAllText(ReplaceAllText(UrlEncodeText(text), "+", "%20"), "'", "%E2%80%99");
  };
  return "%7B%22id%22%3A" + fsId + "%2C%22path%22%3A%22" + encode(path) +
         "%22%2C%22newname%22%3A%22" + encode(newName) + "%22%7D%2C";
}

class RenameBatchTest : public ServiceTest {
 protected:
  void SetUp() override {
    ServiceTest::SetUp();
    UseTree(RemoteTree::FromPaths({"/d/a", "/d/a.txt", "/d/b c.txt"}));
  }
  std::string Id(const std::string& path) const { return std::to_string(*Tree().FsId(path)); }
  std::string TwoItems() const {
    return Item(Id("/d/a"), "/d/a", "x") + Item(Id("/d/a.txt"), "/d/a.txt", "y.txt");
  }
  std::vector<RecordedRequest> Posts() const { return RequestsTo("/api/filemanager"); }
  std::vector<RecordedRequest> Polls() const { return RequestsTo("/share/taskquery"); }
  static void TaskReplies(FakeReply reply, int times = -1) {
    Fault("task", "/share/taskquery", "", std::move(reply), 1, times);
  }
};

TEST_F(RenameBatchTest, AsynchronousBatchIsFollowedAndBookedRenamed) {
  ModelOptions options;
  options.taskRunningPolls = 2;
  Service().Model().SetOptions(options);
  const std::string items = TwoItems();
  SubmitRenameBatch(items);

  const std::vector<RecordedRequest> posts = Posts();
  ASSERT_EQ(posts.size(), 1u);
  const std::string body = "filelist=%5B" + items.substr(0, items.size() - 3) + "%5D";
  EXPECT_EQ(posts[0].body, body);
  EXPECT_THAT(posts[0].target,
              HasSubstr("?async=2&onnest=fail&opera=rename&bdstoken=" + Account().bdstoken +
                        "&clienttype=0&app_id=250528&web="
                        "1&dp-logid="));
  EXPECT_EQ(posts[0].Header("Content-Length"), std::to_string(body.size()));
  EXPECT_EQ(posts[0].Header("X-Requested-With"), "XMLHttpRequest");
  ASSERT_EQ(Polls().size(), 3u);
  EXPECT_TRUE(Polls()[0].tls);
  EXPECT_EQ(Waits(), (std::vector<std::int64_t>{1500, 1500}));

  EXPECT_EQ(Tree(), RemoteTree::FromPaths({"/d/x", "/d/y.txt", "/d/b c.txt"}));
  EXPECT_EQ(g_renamedCount.load(), 2);
  EXPECT_EQ(g_dailyRenamedCount.load(), 2);
  EXPECT_EQ(LogText(kLogRenamed), "/d/a---->x\r\n\r\n/d/a.txt---->y.txt\r\n\r\n");
  EXPECT_EQ(m_ui.desktop.StatusText(kBatchStatusPanel), "本次提交进度：%");
}

TEST_F(RenameBatchTest, SynchronousSuccessEndsTheAttempts) {
  GetControlStore().SetChecked(kRenameSyncRadio, true);
  SubmitRenameBatch(TwoItems() + Item(Id("/d/b c.txt"), "/d/b c.txt", "b d's.txt"));
  ASSERT_EQ(Posts().size(), 1u);
  EXPECT_THAT(Posts()[0].target, HasSubstr("?async=0&"));
  EXPECT_THAT(Polls(), IsEmpty());
  EXPECT_EQ(g_renamedCount.load(), 3);
  EXPECT_EQ(g_unknownStateCount.load(), 0);
  EXPECT_NE(Tree().Find(U8(u8"/d/b d\u2019s.txt")), nullptr);
  EXPECT_EQ(LogText(kLogRenamed),
            "/d/a---->x\r\n\r\n/d/a.txt---->y.txt\r\n\r\n/d/b c.txt---->b d’s.txt\r\n\r\n");
  EXPECT_EQ(m_ui.desktop.StatusText(kBatchStatusPanel), "正在提交：1：1");
}

TEST_F(RenameBatchTest, ListedFailuresAreMatchedByTheirExactPath) {
  // The failed task names only "/d/a"; "/d/a.txt", which it does not name,
  // was renamed.
  TaskReplies(FakeReply::Json(TaskFailListReply({{-8, "/d/a", "/d/x"}})));
  SubmitRenameBatch(TwoItems());
  EXPECT_EQ(Posts().size(), 1u);
  EXPECT_EQ(g_renameFailedCount.load(), 1);
  EXPECT_EQ(g_renamedCount.load(), 1);
  EXPECT_EQ(LogText(kLogRenameFailed), "/d/a---->x   失败原因：-8\r\n\r\n");
  EXPECT_EQ(LogText(kLogRenamed), "/d/a.txt---->y.txt\r\n\r\n");
  EXPECT_EQ(g_dailyRenamedCount.load(), 1);
}

// The service's failed task lists only the items that failed: every item it
// does not name was renamed, and is booked as a renamed item is.
TEST_F(RenameBatchTest, AFailedTaskNamesOnlyItsFailuresAndTheOtherItemsWereRenamed) {
  struct Row {
    const char* name;
    std::vector<int> errnos;  // the service's answer per item of "/d/f0" ... ; 0 renamed
  };
  const Row rows[] = {
      {"[ok, -8, ok]", {0, -8, 0}},
      {"[-9, ok, -7, ok]", {-9, 0, -7, 0}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Reset();
    std::vector<std::string> paths;
    for (size_t i = 0; i < row.errnos.size(); ++i) {
      paths.push_back("/d/f" + std::to_string(i));
    }
    RemoteTree tree;
    for (const std::string& path : paths) {
      tree.AddFile(path, 0);
    }
    UseTree(std::move(tree));
    g_dailyRenamedCount = 7;
    GetControlStore().SetChecked(kRenameAsyncRadio, true);
    std::string items;
    std::string renamedLog;
    std::string failedLog;
    RemoteTree after;
    int renamed = 0;
    for (size_t i = 0; i < paths.size(); ++i) {
      const std::string newName = "n" + std::to_string(i);
      items += Item(Id(paths[i]), paths[i], newName);
      const int itemErrno = row.errnos[i];
      if (itemErrno != 0) {
        Service().Model().FailItem(paths[i], itemErrno);
      }
      if (itemErrno == 0) {
        renamedLog += paths[i] + "---->" + newName + "\r\n\r\n";
        after.AddFile("/d/" + newName, 0);
        ++renamed;
      } else {
        failedLog +=
            paths[i] + "---->" + newName + "   失败原因：" + std::to_string(itemErrno) + "\r\n\r\n";
        after.AddFile(paths[i], 0);
      }
    }
    SubmitRenameBatch(items);

    ASSERT_EQ(Posts().size(), 1u);
    EXPECT_EQ(Tree(), after);
    EXPECT_EQ(g_renamedCount.load(), renamed);
    EXPECT_EQ(g_renameFailedCount.load(), static_cast<int>(paths.size()) - renamed);
    EXPECT_EQ(g_unknownStateCount.load(), 0);
    EXPECT_EQ(g_dailyRenamedCount.load(), 7 + renamed);
    EXPECT_EQ(LogText(kLogRenamed), renamedLog);
    EXPECT_EQ(LogText(kLogRenameFailed), failedLog);
  }
}

TEST_F(RenameBatchTest, AListNamingEveryItemWithAnErrorBooksOnlyFailures) {
  Service().Model().FailItem("/d/a", -9);
  Service().Model().FailItem("/d/a.txt", -8);
  SubmitRenameBatch(TwoItems());
  EXPECT_EQ(g_renameFailedCount.load(), 2);
  EXPECT_EQ(g_renamedCount.load(), 0);
  EXPECT_EQ(LogText(kLogRenameFailed),
            "/d/a---->x   失败原因：-9\r\n\r\n/d/a.txt---->y.txt   失败原因：-8\r\n\r\n");
  EXPECT_FALSE(LogExists(kLogRenamed));
}

TEST_F(RenameBatchTest, TheServicesOwnListBooksEachItem) {
  UseTree(RemoteTree::FromPaths({"/d/a", "/d/a.txt", U8(u8"/d/中.txt")}));
  Service().Model().FailItem(U8(u8"/d/中.txt"), -7);
  SubmitRenameBatch(TwoItems() + Item(Id(U8(u8"/d/中.txt")), "/d/中.txt", "文.txt"));
  EXPECT_EQ(g_renameFailedCount.load(), 1);
  EXPECT_EQ(g_renamedCount.load(), 2);
  EXPECT_EQ(LogText(kLogRenameFailed), "/d/中.txt---->文.txt   失败原因：-7\r\n\r\n");
  EXPECT_EQ(LogText(kLogRenamed), "/d/a---->x\r\n\r\n/d/a.txt---->y.txt\r\n\r\n");
  EXPECT_EQ(Tree(), RemoteTree::FromPaths({"/d/x", "/d/y.txt", U8(u8"/d/中.txt")}));
}

// A failed task names the items that failed, by "from" or by "path"; the
// others were renamed; what was renamed counts towards the day's limit, also
// in a partly failed batch.
TEST_F(RenameBatchTest, PartlyFailedBatchesBookWhatEachEntrySays) {
  struct Row {
    const char* name;
    const char* mode;
    std::string taskReply;  // empty: the service's own replies
    bool failA;             // the service fails "/d/a.txt" with -8
    int renamed;
    int failed;
    std::string renamedLog;
    std::string failedLog;
  };
  const Row rows[] = {
      {"failed task naming its item by path", kRenameAsyncRadio,
       "{\"errno\":0,\"request_id\":1,\"task_errno\":4,\"status\":\"failed\",\"list\":[{"
       "\"error_code\":-7,\"path\":\"\\/d\\/a.txt\"}]}",
       false, 1, 1, "/d/a---->x\r\n\r\n", "/d/a.txt---->y.txt   失败原因：-7\r\n\r\n"},
      {"partly failed task", kRenameAsyncRadio, "", true, 1, 1, "/d/a---->x\r\n\r\n",
       "/d/a.txt---->y.txt   失败原因：-8\r\n\r\n"},
      {"partly failed synchronous batch", kRenameSyncRadio, "", true, 1, 1, "/d/a---->x\r\n\r\n",
       "/d/a.txt---->y.txt   失败原因：-8\r\n\r\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Reset();
    UseTree(RemoteTree::FromPaths({"/d/a", "/d/a.txt", "/d/b c.txt"}));
    g_dailyRenamedCount = 7;
    GetControlStore().SetChecked(row.mode, true);
    if (!row.taskReply.empty()) {
      TaskReplies(FakeReply::Json(row.taskReply));
    }
    if (row.failA) {
      Service().Model().FailItem("/d/a.txt", -8);
    }
    SubmitRenameBatch(TwoItems());
    EXPECT_EQ(Posts().size(), 1u);
    EXPECT_EQ(g_renamedCount.load(), row.renamed);
    EXPECT_EQ(g_renameFailedCount.load(), row.failed);
    EXPECT_EQ(g_unknownStateCount.load(), 0);
    EXPECT_EQ(g_dailyRenamedCount.load(), 7 + row.renamed);
    EXPECT_EQ(LogText(kLogRenamed), row.renamedLog);
    EXPECT_EQ(LogText(kLogRenameFailed), row.failedLog);
  }
}

TEST_F(RenameBatchTest, AWholeFailureIsSubmittedFiveTimesThenBookedFailed) {
  TaskReplies(FakeReply::Json(TaskFailReply()));
  SubmitRenameBatch(TwoItems());
  EXPECT_EQ(Posts().size(), 5u);
  EXPECT_EQ(Polls().size(), 5u);
  EXPECT_EQ(Waits(), (std::vector<std::int64_t>{3000, 3000, 3000, 3000}));
  EXPECT_EQ(g_renameFailedCount.load(), 2);
  EXPECT_EQ(LogText(kLogRenameFailed),
            "/d/a---->x   失败原因：\"task_errno\":4,\"status\":\"failed\"}\r\n\r\n"
            "/d/a.txt---->y.txt   失败原因：\"task_errno\":4,\"status\":\"failed\"}\r\n\r\n");
}

TEST_F(RenameBatchTest, ATaskThatNeverFinishesIsResubmittedOnceThenUnknown) {
  ModelOptions options;
  options.tasksNeverFinish = true;
  Service().Model().SetOptions(options);
  SubmitRenameBatch(TwoItems());
  // Per submission: nine polls below 100 percent, then twenty at 100.
  EXPECT_EQ(Posts().size(), 2u);
  EXPECT_EQ(Polls().size(), 58u);
  EXPECT_EQ(g_unknownStateCount.load(), 2);
  EXPECT_EQ(g_renamedCount.load() + g_renameFailedCount.load(), 0);
  const std::string log = LogText(kLogUnknownState);
  EXPECT_THAT(log, HasSubstr("/d/a---->x 原因：{\"errno\":0,"));
  EXPECT_THAT(log, HasSubstr("\"progress\":100}\r\n\r\n/d/a.txt---->y.txt 原因："));
  EXPECT_EQ(m_ui.desktop.StatusText(kBatchStatusPanel), "本次提交进度：100%");
}

TEST_F(RenameBatchTest, BusyAndEmptyRepliesWaitThenTheTaskDecides) {
  struct Row {
    const char* name;
    FakeReply reply;
    std::vector<std::int64_t> waits;
  };
  const Row rows[] = {
      {"busy 111 waits 4 s", FakeReply::Json(TopBusyReply(111)), {4000, 4000}},
      {"busy 31034 is not recognised", FakeReply::Json(TopBusyReply(31034)), {1000, 1000}},
      {"empty replies wait 1 s", FakeReply::Fault(ReplyFault::kCloseWithoutReply), {1000, 1000}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Reset();
    UseTree(RemoteTree::FromPaths({"/d/a", "/d/a.txt"}));
    Service().ClearRequests();
    Fault(row.name, "/api/filemanager", "opera=rename", row.reply, 1, 2);
    SubmitRenameBatch(TwoItems());
    EXPECT_EQ(Posts().size(), 3u);
    EXPECT_EQ(Waits(), row.waits);
    EXPECT_EQ(g_renamedCount.load(), 2);
    EXPECT_EQ(Tree(), RemoteTree::FromPaths({"/d/x", "/d/y.txt"}));
  }
}

TEST_F(RenameBatchTest, UndecidedRepliesEndUnknownAfterOneResubmission) {
  struct Row {
    const char* name;
    std::string reply;
    size_t posts;
    std::vector<std::int64_t> waits;
  };
  const std::string unchanged = UnchangedReply();
  const std::string invalid = InvalidReply();
  std::vector<std::int64_t> tenAttempts(9, 1000);
  std::vector<std::int64_t> twice = tenAttempts;
  twice.insert(twice.end(), tenAttempts.begin(), tenAttempts.end());
  const Row rows[] = {
      {"unchanged ends the attempts", unchanged, 2, {}},
      {"invalid cookies use up the attempts", invalid, 20, twice},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Reset();
    UseTree(RemoteTree::FromPaths({"/d/a", "/d/a.txt"}));
    Service().ClearRequests();
    Fault(row.name, "/api/filemanager", "opera=rename", FakeReply::Json(row.reply));
    SubmitRenameBatch(TwoItems());
    EXPECT_EQ(Posts().size(), row.posts);
    EXPECT_EQ(Waits(), row.waits);
    EXPECT_EQ(g_unknownStateCount.load(), 2);
    EXPECT_EQ(LogText(kLogUnknownState), "/d/a---->x 原因：" + row.reply +
                                             "\r\n\r\n/d/a.txt---->y.txt 原因：" + row.reply +
                                             "\r\n\r\n");
  }
}

TEST_F(RenameBatchTest, NoReplyAtAllEndsUnknownWithAnEmptyReason) {
  Fault("down", "/api/filemanager", "opera=rename",
        FakeReply::Fault(ReplyFault::kCloseWithoutReply));
  SubmitRenameBatch(TwoItems());
  EXPECT_EQ(Posts().size(), 100u);  // 5 cycles of 10, and the resubmission
  EXPECT_EQ(g_unknownStateCount.load(), 2);
  EXPECT_EQ(LogText(kLogUnknownState),
            "/d/a---->x 原因：\r\n\r\n/d/a.txt---->y.txt 原因：\r\n\r\n");
}

TEST_F(RenameBatchTest, NothingIsSentOrBookedWithoutItemsOrAfterAStop) {
  SubmitRenameBatch("");
  SubmitRenameBatch("%7B%22path%22%3A%22%2Fd%2Fa%22%7D");
  EXPECT_THAT(Posts(), IsEmpty());

  TaskReplies(FakeReply::Json(TaskRunningReply(50)));
  m_ui.clock.SetSleepHook([](std::int64_t) { g_renameStopRequested = 1; });
  SubmitRenameBatch(TwoItems());
  EXPECT_EQ(Posts().size(), 1u);
  EXPECT_EQ(Polls().size(), 1u);
  EXPECT_EQ(g_renamedCount.load() + g_renameFailedCount.load() + g_unknownStateCount.load(), 0);
  EXPECT_EQ(LogText(kLogRenamed) + LogText(kLogRenameFailed) + LogText(kLogUnknownState), "");
}

TEST_F(RenameBatchTest, BodyDropsOnlyTheLastComma) {
  EXPECT_EQ(BuildBatchBody("%7B%22id%22%3A1%7D%2C"), "filelist=%5B%7B%22id%22%3A1%7D%5D");
  EXPECT_EQ(BuildBatchBody("%7B%22id%22%3A1%7D%2c"), "filelist=%5B%7B%22id%22%3A1%7D%5D");
  EXPECT_EQ(BuildBatchBody("%7B%22id%22%3A1%7D"), "filelist=%5B%7B%22id%22%3A1%7D%5D");
}

TEST_F(RenameBatchTest, EachItemIsSentOnceExactlyAsListed) {
  const struct {
    const char* name;
    std::string path;  // UTF-8
    std::string twin;  // UTF-8: the same name with the other kind of apostrophe
    int renamed;
    int failed;
  } rows[] = {
      {"an apostrophe beside its U+2019 twin", "/d/it's.txt", U8(u8"/d/it’s.txt"), 2, 0},
      {"a U+2019 beside its apostrophe twin", U8(u8"/d/it’s.txt"), "/d/it's.txt", 2, 0},
      {"missing: only its twin is there", "/d/gone's.txt", U8(u8"/d/gone’s.txt"), 1, 1},
  };
  for (const bool sync : {false, true}) {
    for (const auto& row : rows) {
      SCOPED_TRACE(std::string(row.name) + (sync ? ", synchronous" : ", as a task"));
      Reset();
      GetControlStore().SetChecked(kRenameSyncRadio, sync);
      RemoteTree start = RemoteTree::FromPaths({row.twin, "/d/a.txt"});
      if (row.failed == 0) {
        start.AddFile(row.path, 0);
      }
      UseTree(start);
      const RemoteTree before = Tree();
      const std::string id = Tree().FsId(row.path) ? Id(row.path) : "9";
      Service().Model().ClearTouched();
      SubmitRenameBatch(MakeRenameBatchItem(id, DecodeUtf8Text(row.path), "n.txt") +
                        MakeRenameBatchItem(Id("/d/a.txt"), "/d/a.txt", "b.txt"));

      ASSERT_EQ(Posts().size(), 1u);
      const std::vector<TouchedItems> touched = Service().Model().Touched();
      ASSERT_EQ(touched.size(), 1u);
      EXPECT_EQ(touched[0].fsIds, (std::vector<int64_t>{before.FsId(row.path).value_or(0),
                                                        *before.FsId("/d/a.txt")}));
      EXPECT_EQ(Tree().FsId(row.twin), before.FsId(row.twin));
      EXPECT_EQ(Tree().Find("/d/n.txt") != nullptr, row.renamed == 2);
      EXPECT_EQ(g_renamedCount.load(), row.renamed);
      EXPECT_EQ(g_renameFailedCount.load(), row.failed);
      EXPECT_EQ(CountTextOccurrences(LogText(kLogRenameFailed), "---->"), row.failed);
    }
  }
}

}  // namespace
