// The copy request against the service emulator: the body as sent, each
// outcome of the task with its counters and log entries, the keep-both
// resubmission, the waits, stop and pause, and the quota check.

#include "jobs/copy_request.h"

#include <atomic>
#include <functional>
#include <memory>

#include "copy_job_fixture.h"
#include "foundation/url_encoding.h"

namespace {

using ::testing::Each;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::SizeIs;
using ::testing::StartsWith;

const std::string kDest = "%2Fd";
// The decoded body of the sources /a/x.txt and /b/y into /d.
const std::string kDecodedBody =
    "filelist=[{\"path\":\"/a/x.txt\",\"dest\":\"/d\",\"newname\":\"x.txt\"},"
    "{\"path\":\"/b/y\",\"dest\":\"/d\",\"newname\":\"y\"}]";
const std::string kDecodedKeepBothBody =
    "filelist=[{\"path\":\"/a/x.txt\",\"dest\":\"/d\",\"newname\":\"x.txt\",\"ondup\":\"newcopy\"},"
    "{\"path\":\"/b/y\",\"dest\":\"/d\",\"newname\":\"y\",\"ondup\":\"newcopy\"}]";

class CopyRequestTest : public CopyJobTest {
 public:  // the table rows arrange through the fixture
  void SetUp() override {
    CopyJobTest::SetUp();
    Arrange();
  }
  void Arrange(std::initializer_list<std::string> tree = {"/a/x.txt:10", "/b/y/z.txt:5", "/d/"}) {
    Reset();
    ResetCopyState();
    ClearReplies();
    UseTree(RemoteTree::FromPaths(tree));
    g_copySources = {"/a/x.txt", "/b/y"};
    Service().ClearRequests();
    RecordReplies();
  }
  std::vector<RecordedRequest> Posts() const { return RequestsTo("/api/filemanager"); }
  std::vector<RecordedRequest> Polls() const { return RequestsTo("/share/taskquery"); }
  std::string Copy(int retryFlag = 0) {
    return Canonical(CopyIntoFolder(GetAccountSession(), kDest, kStamp, retryFlag));
  }
  std::string Failed(const std::string& head, const std::string& body, const std::string& reply,
                     bool blankLines) {
    return head + body + "----->到：" + kDest + "----->ret：" + reply +
           (blankLines ? "\r\n\r\n" : "") + "\r\n";
  }
};

TEST_F(CopyRequestTest, GoldenBodies) {
  EXPECT_EQ(BuildCopyBody({"/a/x.txt", "/b/y"}, kDest, false),
            "filelist=%5B%7B%22path%22%3A%22%2Fa%2Fx.txt%22%2C%22dest%22%3A%22%2Fd%22%2C%22newname"
            "%22%3A%22x.txt%22%7D%2C%7B%22path%22%3A%22%2Fb%2Fy%22%2C%22dest%22%3A%22%2Fd%22%2C%22"
            "newname%22%3A%22y%22%7D%5D");
  EXPECT_EQ(UrlDecodeText(BuildCopyBody({"/a/x.txt", "/b/y"}, kDest, true)), kDecodedKeepBothBody);
  struct Row {
    const char* name;
    std::string source;
    std::string destination;
    std::string decoded;
  };
  const Row rows[] = {
      {"double quote removed", "/a/\"q\".txt", kDest,
       "filelist=[{\"path\":\"/a/q.txt\",\"dest\":\"/d\",\"newname\":\"q.txt\"}]"},
      {"doubled slash made single", "//a//x.txt", "%2F%2Fd",
       "filelist=[{\"path\":\"/a/x.txt\",\"dest\":\"/d\",\"newname\":\"x.txt\"}]"},
      {"space and Chinese in the destination", "/a/x.txt", UrlEncodeText("/我的 资料"),
       "filelist=[{\"path\":\"/a/x.txt\",\"dest\":\"/我的 资料\",\"newname\":\"x.txt\"}]"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(UrlDecodeText(BuildCopyBody({row.source}, row.destination, false)), row.decoded);
  }
  EXPECT_EQ(BuildCopyBody({"/a/x.txt"}, UrlEncodeText("/我的 资料"), false),
            "filelist=%5B%7B%22path%22%3A%22%2Fa%2Fx.txt%22%2C%22dest%22%3A%22%2F%E6%88%91%E7%9A"
            "%84+%E8%B5%84%E6%96%99%22%2C%22newname%22%3A%22x.txt%22%7D%5D");
}

TEST_F(CopyRequestTest, ACopyIsOneRequestAndOnePollInTheServicesForm) {
  EXPECT_EQ(Copy(), kCopyDoneResult2);
  ASSERT_THAT(Posts(), SizeIs(1));
  EXPECT_EQ(Posts()[0].target,
            "/api/filemanager?opera=copy&async=2&onnest=fail&channel=chunlei&web=1&app_id=250528"
            "&bdstoken=" +
                Account().bdstoken + "&logid=" + MakeLogIdFromBaiduId() + "&clienttype=0");
  EXPECT_EQ(Posts()[0].body, BuildCopyBody(g_copySources, kDest, false));
  EXPECT_EQ(Posts()[0].Header("Content-Length"), std::to_string(Posts()[0].body.size()));
  EXPECT_EQ(Posts()[0].Header("Cookie"), Account().CookieText());
  ASSERT_THAT(Polls(), SizeIs(1));
  EXPECT_THAT(Polls()[0].target, StartsWith("/share/taskquery?taskid="));
  EXPECT_THAT(Polls()[0].target, ::testing::MatchesRegex(".*&clienttype=0&app_id=250528&web=1"
                                                         "&dp-logid=[0-9]{16}"));
  EXPECT_TRUE(Polls()[0].tls);
  EXPECT_EQ(Tree(),
            RemoteTree::FromPaths({"/a/x.txt:10", "/b/y/z.txt:5", "/d/x.txt:10", "/d/y/z.txt:5"}));
  Counts(1, 0, 0);
  EXPECT_EQ(CopyLog(kLogCopied), kDecodedBody + "\r\n\r\n");
  EXPECT_FALSE(LogExists(kLogCopied));  // the rename task's stamp names no copy log
}

TEST_F(CopyRequestTest, OutcomesAreCountedAndLoggedOnce) {
  struct Row {
    const char* name;
    std::function<void(CopyRequestTest&)> arrange;
    std::string result;  // followed by the last poll reply when withReply
    bool withReply;
    int copied, failed, sameName;
    std::function<std::string(CopyRequestTest&, const std::string& reply)> successLog;
    std::function<std::string(CopyRequestTest&, const std::string& reply)> failureLog;
    int polls;
    std::vector<std::int64_t> waits;
  };
  const auto none = [](CopyRequestTest&, const std::string&) { return std::string(); };
  const auto done = [](CopyRequestTest&, const std::string&) { return kDecodedBody + "\r\n\r\n"; };
  const Row rows[] = {
      {"success", [](CopyRequestTest&) {}, kCopyDoneResult2, false, 1, 0, 0, done, none, 1, {}},
      {"running, then success",
       [](CopyRequestTest&) {
         ModelOptions options;
         options.taskRunningPolls = 1;
         Service().Model().SetOptions(options);
       },
       kCopyDoneResult2,
       false,
       1,
       0,
       0,
       done,
       none,
       2,
       {2000, 1000}},
      {"bad path (-7)",
       [](CopyRequestTest&) { Service().Model().FailItem("/a/x.txt", -7); },
       kCopyBadPathResult,
       true,
       0,
       1,
       0,
       none,
       [](CopyRequestTest& t, const std::string& reply) {
         return t.Failed("要复制的路径错误：", kDecodedBody, reply, true);
       },
       1,
       {}},
      {"bad path named by path",
       [](CopyRequestTest&) {
         Fault("path form", "/share/taskquery", "",
               FakeReply::Json("{\"errno\":0,\"task_errno\":4,\"status\":\"failed\",\"list\":[{"
                               "\"error_code\":-7,\"path\":\"/a/x.txt\"}]}"));
       },
       kCopyBadPathResult,
       true,
       0,
       1,
       0,
       none,
       [](CopyRequestTest& t, const std::string& reply) {
         return t.Failed("要复制的路径错误：", kDecodedBody, reply, true);
       },
       1,
       {}},
      {"source missing (-9) is a failure",
       [](CopyRequestTest&) { Service().Model().FailItem("/a/x.txt", -9); },
       kCopyMissingResult,
       true,
       0,
       1,
       0,
       none,
       [](CopyRequestTest& t, const std::string& reply) {
         return t.Failed("被复制文件不存在：", kDecodedBody, reply, false);
       },
       1,
       {}},
      {"same name, keep-both unticked",
       [](CopyRequestTest& t) {
         t.Arrange({"/a/x.txt:10", "/b/y/z.txt:5", "/d/x.txt:1"});
       },
       kCopySameNameResult,
       true,
       0,
       0,
       1,
       none,
       [](CopyRequestTest& t, const std::string& reply) {
         return t.Failed("复制同名失败111：", kDecodedBody, reply, false);
       },
       1,
       {}},
      {"same name, keep-both ticked: the new task is polled",
       [](CopyRequestTest& t) {
         t.Arrange({"/a/x.txt:10", "/b/y/z.txt:5", "/d/x.txt:1"});
         GetControlStore().SetChecked(kCopyKeepBothBox, true);
       },
       kCopyKeepBothDoneResult,
       false,
       1,
       0,
       0,
       [](CopyRequestTest&, const std::string&) { return kDecodedKeepBothBody + "\r\n\r\n"; },
       none,
       2,
       {}},
      {"same name, keep-both ticked, the new task fails",
       [](CopyRequestTest& t) {
         t.Arrange({"/a/x.txt:10", "/b/y/z.txt:5", "/d/x.txt:1"});
         GetControlStore().SetChecked(kCopyKeepBothBox, true);
         Fault("second task fails", "/share/taskquery", "",
               FakeReply::Json(TaskFailListReply({{-7, "/a/x.txt", "/d/x.txt"}})), 2);
       },
       kCopyBadPathResult,
       true,
       0,
       1,
       0,
       none,
       [](CopyRequestTest& t, const std::string& reply) {
         return t.Failed("要复制的路径错误：", kDecodedKeepBothBody, reply, true);
       },
       2,
       {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Arrange();
    row.arrange(*this);
    const std::string result = Copy();
    const std::string reply = LastReply("/share/taskquery");
    EXPECT_EQ(result, row.result + (row.withReply ? reply : ""));
    Counts(row.copied, row.failed, row.sameName);
    EXPECT_EQ(Canonical(CopyLog(kLogCopied)), row.successLog(*this, reply));
    EXPECT_EQ(Canonical(CopyLog(kLogCopyFailed)), row.failureLog(*this, reply));
    EXPECT_THAT(Polls(), SizeIs(row.polls));
    EXPECT_EQ(Waits(), row.waits);
  }
}

TEST_F(CopyRequestTest, AFailedTaskIsRepeatedOnceAndCountedOnce) {
  Fault("failed task", "/share/taskquery", "", FakeReply::Json(TaskFailListReply({})));
  const std::string first = Copy(0);
  EXPECT_TRUE(CopyResultAsksRepeat(first));
  EXPECT_EQ(first, LastReply("/share/taskquery"));
  Counts(0, 0, 0);
  EXPECT_EQ(CopyLog(kLogCopyFailed), "");
  EXPECT_THAT(Polls(), SizeIs(300));
  EXPECT_EQ(Waits(), std::vector<std::int64_t>(300, 1000));

  const std::string repeat = Copy(1);
  const std::string reply = LastReply("/share/taskquery");
  EXPECT_EQ(repeat, reply);
  Counts(0, 1, 0);
  EXPECT_EQ(Canonical(CopyLog(kLogCopyFailed)), Failed("复制失败3：", kDecodedBody, reply, true));
  EXPECT_THAT(Posts(), SizeIs(2));
}

TEST_F(CopyRequestTest, AFailureWithoutTheFailedTaskStateIsBookedAtOnce) {
  Fault("whole failure", "/share/taskquery", "", FakeReply::Json(TaskFailReply()));
  const std::string result = Copy(0);
  EXPECT_FALSE(CopyResultAsksRepeat(result));
  Counts(0, 1, 0);
  EXPECT_EQ(Canonical(CopyLog(kLogCopyFailed)),
            Failed("复制失败2：", kDecodedBody, LastReply("/share/taskquery"), true));
}

TEST_F(CopyRequestTest, NamedFailuresAreNotRepeated) {
  for (const std::string& result :
       {std::string(kCopyBadPathResult) + TaskFailListReply({{-7, "/a", "/d/a"}}),
        std::string(kCopyMissingResult) + TaskFailListReply({{-9, "/a", "/d/a"}}),
        std::string(kCopyNoTaskResult) + TaskFailListReply({})}) {
    EXPECT_FALSE(CopyResultAsksRepeat(result)) << result;
  }
  EXPECT_TRUE(CopyResultAsksRepeat(TaskFailListReply({{-1, "/a", "/d/a"}})));
}

TEST_F(CopyRequestTest, NoTaskIn100Submissions) {
  struct Row {
    const char* name;
    FakeReply reply;
    std::vector<std::int64_t> waitsPerAttempt;
  };
  const Row rows[] = {
      {"item errors", FakeReply::Json(ItemReply(111, "/a/x.txt")), {2000, 800}},
      {"no reply", FakeReply::Fault(ReplyFault::kCloseWithoutReply), {800}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Arrange();
    Fault(row.name, "/api/filemanager", "opera=copy", row.reply);
    const std::string result = Copy();
    const std::string reply = LastReply("/api/filemanager");
    EXPECT_EQ(result, kCopyNoTaskResult + reply);
    EXPECT_THAT(Posts(), SizeIs(100));
    EXPECT_THAT(Polls(), IsEmpty());
    std::vector<std::int64_t> waits;
    for (int i = 0; i < 100; ++i) {
      waits.insert(waits.end(), row.waitsPerAttempt.begin(), row.waitsPerAttempt.end());
    }
    EXPECT_EQ(Waits(), waits);
    Counts(0, 1, 0);
    EXPECT_EQ(Canonical(CopyLog(kLogCopyFailed)),
              "复制失败1：" + kDecodedBody + "----->ret：" + reply + "\r\n\r\n\r\n");
  }
}

TEST_F(CopyRequestTest, StopEndsTheCallAtEachLoopHeadWithoutBooking) {
  struct Row {
    const char* name;
    std::function<void(CopyRequestTest&)> arrange;
    int stopAtWait;  // the wait during which stop is pressed; 0: before the call
    int posts;
    int polls;
  };
  const Row rows[] = {
      {"before the first submission", [](CopyRequestTest&) {}, 0, 0, 0},
      {"between submissions",
       [](CopyRequestTest&) {
         Fault("busy", "/api/filemanager", "", FakeReply::Json(ItemReply(111, "/a/x.txt")));
       },
       2, 1, 0},
      {"between polls",
       [](CopyRequestTest&) {
         ModelOptions options;
         options.tasksNeverFinish = true;
         Service().Model().SetOptions(options);
       },
       3, 1, 2},
      {"between keep-both submissions",
       [](CopyRequestTest& t) {
         t.Arrange({"/a/x.txt:10", "/b/y/z.txt:5", "/d/x.txt:1"});
         GetControlStore().SetChecked(kCopyKeepBothBox, true);
         Fault("busy", "/api/filemanager", "", FakeReply::Json(UnchangedReply()), 2);
       },
       1, 2, 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Arrange();
    row.arrange(*this);
    int waits = 0;
    m_ui.clock.SetSleepHook([&](std::int64_t) {
      if (++waits == row.stopAtWait) {
        g_copyStopRequested = true;
      }
    });
    g_copyStopRequested = row.stopAtWait == 0;
    EXPECT_EQ(Copy(), kCopyStoppedResult);
    m_ui.clock.SetSleepHook({});
    g_copyStopRequested = false;
    EXPECT_THAT(Posts(), SizeIs(row.posts));
    EXPECT_THAT(Polls(), SizeIs(row.polls));
    Counts(0, 0, 0);
    EXPECT_EQ(CopyLog(kLogCopied) + CopyLog(kLogCopyFailed), "");
  }
}

TEST_F(CopyRequestTest, PauseHoldsEachLoopHeadInOneSecondSteps) {
  g_copyPaused = true;
  int waits = 0;
  m_ui.clock.SetSleepHook([&](std::int64_t) {
    if (++waits == 3) {
      g_copyPaused = false;
    }
  });
  EXPECT_EQ(Copy(), kCopyDoneResult2);
  m_ui.clock.SetSleepHook({});
  EXPECT_EQ(Waits(), std::vector<std::int64_t>(3, 1000));
  Counts(1, 0, 0);
}

// A pause that comes while the first task is polled holds the keep-both
// submission that follows it.
TEST_F(CopyRequestTest, APauseHoldsTheKeepBothSubmission) {
  Arrange({"/a/x.txt:10", "/b/y/z.txt:5", "/d/x.txt:1"});
  GetControlStore().SetChecked(kCopyKeepBothBox, true);
  auto pausedOnce = std::make_shared<std::atomic<bool>>(false);
  Service().SetHook([pausedOnce](const RecordedRequest& request) -> std::optional<FakeReply> {
    if (request.Path() == "/share/taskquery" && !pausedOnce->exchange(true)) {
      g_copyPaused = true;
    }
    return std::nullopt;
  });
  std::vector<size_t> postsAtPauseSteps;
  m_ui.clock.SetSleepHook([&](std::int64_t ms) {
    if (ms == 1000) {
      postsAtPauseSteps.push_back(Posts().size());
      if (postsAtPauseSteps.size() == 2) {
        g_copyPaused = false;
      }
    }
  });
  EXPECT_EQ(Copy(), kCopyKeepBothDoneResult);
  m_ui.clock.SetSleepHook({});
  EXPECT_EQ(postsAtPauseSteps, (std::vector<size_t>{1, 1}));
  EXPECT_THAT(Posts(), SizeIs(2));
}

TEST_F(CopyRequestTest, AnEmptyDestinationSendsNothing) {
  EXPECT_EQ(CopyIntoFolder(GetAccountSession(), "", kStamp, 0), kCopyNoDestinationResult);
  EXPECT_THAT(Posts(), IsEmpty());
  Counts(0, 0, 0);
}

TEST_F(CopyRequestTest, Quota) {
  struct Row {
    const char* name;
    std::optional<FakeReply> reply;  // nullopt: the model's answer
    int64_t used;
    bool answered;
    int full;
    const char* box;  // nullptr: no box
  };
  const int64_t total = 2199023255552;
  const Row rows[] = {
      {"used equal to total is full", std::nullopt, total, true, 1, nullptr},
      {"one byte less is not", std::nullopt, total - 1, true, 0, nullptr},
      {"cookies no longer valid", FakeReply::Json(InvalidReply()), 0, false, 0,
       "查询网盘容量时：cookies已失效，请重新登陆后操作。"},
      {"no total", FakeReply::Json("{\"errno\":0,\"used\":5,\"request_id\":1}"), 0, false, 0,
       "查询网盘容量时：查询失败，请重试。"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Arrange();
    FakeAccount account = *Service().Model().Account("demo");
    account.quotaUsed = row.used;
    Service().Model().AddAccount(account);
    if (row.reply) {
      Fault(row.name, "/api/quota", "", *row.reply);
    }
    if (row.box != nullptr) {
      m_ui.desktop.AnswerNext(kBoxResultOk);
    }
    const size_t boxes = m_ui.desktop.Boxes().size();
    DriveQuota quota;
    int full = 0;
    EXPECT_EQ(QueryDriveQuota(Account().CookieText(), quota, full), row.answered);
    EXPECT_EQ(full, row.full);
    ASSERT_THAT(RequestsTo("/api/quota"), SizeIs(1));
    EXPECT_THAT(RequestsTo("/api/quota")[0].target,
                ::testing::MatchesRegex("/api/quota\\?clienttype=0&app_id=250528&web=1&dp-logid="
                                        "[0-9]{16}"));
    const std::vector<RecordedBox> shown = m_ui.desktop.Boxes();
    if (row.box == nullptr) {
      EXPECT_EQ(shown.size(), boxes);
      EXPECT_EQ(quota.totalBytes, std::to_string(total));
      EXPECT_EQ(quota.usedBytes, std::to_string(row.used));
      EXPECT_EQ(quota.totalSize, "2tb");
    } else {
      ASSERT_EQ(shown.size(), boxes + 1);
      EXPECT_EQ(shown.back().text, row.box);
      EXPECT_EQ(shown.back().caption, "提示：");
      EXPECT_EQ(shown.back().timeoutMs, 15000);
      EXPECT_EQ(shown.back().type, 64);
    }
  }
}

}  // namespace
