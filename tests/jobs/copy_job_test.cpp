// The copy job against the service emulator: the start handler's checks and
// questions, the three modes end to end, the quota question, one repeat of a
// failed task, stop, and the account snapshot.

#include "jobs/copy_job.h"

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

#include "copy_job_fixture.h"
#include "foundation/date_time.h"
#include "foundation/url_encoding.h"
#include "foundation/wait_until.h"
#include "jobs/copy_request.h"
#include "jobs/rename_rule_options.h"
#include "web/service_text.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::SizeIs;

const char* const kNotice =
    "复制过程中遇到操作频繁或有队列任务时，会循环等待，程序会出现卡住一直不动。最长会等待10分钟左右"
    "。";

class CopyJobRunTest : public CopyJobTest {
 protected:
  void SetUp() override {
    CopyJobTest::SetUp();
    Arrange({"/a/x.txt:10", "/b/y/z.txt:5", "/d/"});
  }
  void Arrange(std::initializer_list<std::string> tree) {
    UseTree(RemoteTree::FromPaths(tree));
    Service().ClearRequests();
    ControlStore& store = GetControlStore();
    store.SetText(kCopySourcesEdit, "[\"/a/x.txt\",\"/b/y\"]");
    store.SetText(kCopyDestinationEdit, "/d");
    store.SetChecked(kCopyDestinationOnlyRadio, true);
  }
  // Presses the start button, answering the notice (and the boxes given), and
  // waits for the job to end with its box "复制任务完成。".
  void StartAndFinish(std::vector<int> answers = {}) {
    m_boxMark = m_ui.desktop.Boxes().size();
    m_ui.desktop.AnswerNext(kBoxResultOk);  // the notice
    for (int answer : answers) {
      m_ui.desktop.AnswerNext(answer);
    }
    m_ui.desktop.AnswerNext(kBoxResultOk);  // "复制任务完成。"
    ThreadHandle job = OnStartCopyClicked();
    ASSERT_NE(job, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return IsThreadRunning(job) == 0; }, 30000));
    const RecordedBox last = m_ui.desktop.Boxes().back();
    EXPECT_EQ(last.text, "复制任务完成。");
    EXPECT_EQ(last.caption, "信息：");
    EXPECT_TRUE(GetControlStore().Enabled(kStartCopyButton));
    EXPECT_EQ(m_ui.desktop.StatusText(1),
              "复制成功：" + std::to_string(g_copiedCount.load()) + "  失败数：" +
                  std::to_string(g_copyFailedCount.load()) + "  重命名数：" +
                  std::to_string(g_copySameNameCount.load()) + "  复制任务已完成！！！");
  }
  // The boxes of the last StartAndFinish.
  std::vector<RecordedBox> Boxes() const {
    const std::vector<RecordedBox> all = m_ui.desktop.Boxes();
    return std::vector<RecordedBox>(all.begin() + static_cast<std::ptrdiff_t>(m_boxMark),
                                    all.end());
  }
  std::vector<std::string> BoxTexts() const {
    std::vector<std::string> texts;
    for (const RecordedBox& box : Boxes()) {
      texts.push_back(box.text);
    }
    return texts;
  }
  std::vector<RecordedRequest> Posts() const { return RequestsTo("/api/filemanager"); }
  // /a/x.txt copied into each first-level folder of /D: s1, s2 and s3.
  void ArrangeOneFileIntoThreeFolders() {
    Arrange({"/a/x.txt:10", "/D/s1/", "/D/s2/", "/D/s3/"});
    GetControlStore().SetChecked(kCopyDestinationOnlyRadio, false);
    GetControlStore().SetChecked(kCopyFirstLevelRadio, true);
    GetControlStore().SetText(kCopySourcesEdit, "/a/x.txt");
    GetControlStore().SetText(kCopyDestinationEdit, "/D");
  }

  size_t m_boxMark = 0;
};

TEST_F(CopyJobRunTest, StartChecksInOrder) {
  struct Row {
    const char* name;
    std::function<void()> arrange;
    const char* refusal;  // nullptr: the job starts
  };
  const Row rows[] = {
      {"no sources", [] { GetControlStore().SetText(kCopySourcesEdit, ""); },
       "没有设置被复制的目标，请选中后右键单击设置。"},
      {"only commas", [] { GetControlStore().SetText(kCopySourcesEdit, ",,"); },
       "处理待复制的文件时失败。"},
      {"an empty list", [] { GetControlStore().SetText(kCopySourcesEdit, "[]"); },
       "处理待复制的文件时失败。"},
      {"no destination", [] { GetControlStore().SetText(kCopyDestinationEdit, ""); },
       "没有设置复制到目标的目录位置，请选中后右键单击设置。"},
      {"no account", [] { SetAccountSession({}); },
       "没有设置被操作的百度帐号cookies，双击百度帐号cookies列表即可切换当前操作的百度cookies"},
      {"sources equal to the destination",
       [] { GetControlStore().SetText(kCopySourcesEdit, "/d"); }, "被复制对象不能与目标目录相同。"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Reset();
    ResetCopyState();
    Arrange({"/a/x.txt"});
    row.arrange();
    const size_t before = m_ui.desktop.Boxes().size();
    m_ui.desktop.AnswerNext(kBoxResultOk);
    EXPECT_EQ(OnStartCopyClicked(), nullptr);
    const std::vector<RecordedBox> boxes = m_ui.desktop.Boxes();
    ASSERT_EQ(boxes.size(), before + 1);
    EXPECT_EQ(boxes.back().text, row.refusal);
    EXPECT_EQ(boxes.back().caption, "提示：");
    EXPECT_EQ(boxes.back().type, 64);
    EXPECT_EQ(boxes.back().timeoutMs, 0);
    EXPECT_TRUE(GetControlStore().Enabled(kStartCopyButton));
    EXPECT_THAT(RequestsTo("/api/quota"), IsEmpty());
  }
}

TEST_F(CopyJobRunTest, SourceTextsAsJsonOrCommas) {
  struct Row {
    std::string text;
    TextArray sources;
  };
  const Row rows[] = {
      {"[\"/a/x.txt\",\"/b/y\"]", {"/a/x.txt", "/b/y"}},
      {"/a/x.txt,/b/y", {"/a/x.txt", "/b/y"}},
      {"/a/x.txt,,/b/y,", {"/a/x.txt", "/b/y"}},
      {"[\"/d\"]", {"/d"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    EXPECT_EQ(ReadCopySourceList(row.text), row.sources);
  }
}

TEST_F(CopyJobRunTest, AListHoldingTheDestinationIsNotRefused) {
  GetControlStore().SetText(kCopySourcesEdit, "[\"/d\"]");
  StartAndFinish();
  EXPECT_THAT(BoxTexts(), ElementsAre(kNotice, "复制任务完成。"));
  EXPECT_THAT(Posts(), SizeIs(1));
}

TEST_F(CopyJobRunTest, DestinationOnlyCopiesEverySourceInOneRequest) {
  GetControlStore().SetCaption(kCopyPauseButton, "继续");
  g_copiedCount = 7;
  StartAndFinish();
  EXPECT_THAT(BoxTexts(), ElementsAre(kNotice, "复制任务完成。"));
  const RecordedBox notice = Boxes()[0];
  EXPECT_EQ(notice.caption, "提示：");
  EXPECT_EQ(notice.type, 64);
  EXPECT_EQ(notice.timeoutMs, 0);
  EXPECT_EQ(GetControlStore().Caption(kCopyPauseButton), "暂停");
  EXPECT_EQ(g_copySources, (TextArray{"/a/x.txt", "/b/y"}));
  EXPECT_THAT(Posts(), SizeIs(1));
  Counts(1, 0, 0);
  EXPECT_EQ(Tree(),
            RemoteTree::FromPaths({"/a/x.txt:10", "/b/y/z.txt:5", "/d/x.txt:10", "/d/y/z.txt:5"}));
  std::vector<std::string> statuses;
  for (const RecordedStatus& status : m_ui.desktop.StatusHistory()) {
    statuses.push_back(status.text);
  }
  EXPECT_THAT(statuses, ElementsAre("复制成功：0  失败数：0  重命名数：0  正复制到：/d",
                                    "复制成功：1  失败数：0  重命名数：0  正复制到：/d",
                                    "复制成功：1  失败数：0  重命名数：0  复制任务已完成！！！"));
  // The job's stamp names its logs.
  EXPECT_NE(CopyLog(kLogCopied, MakeLocalStampText()), "");
}

TEST_F(CopyJobRunTest, SubfolderModesCopyIntoEachKeptFolder) {
  struct Row {
    const char* name;
    const char* radio;  // nullptr: none selected
    std::vector<int> answers;
    std::function<void()> arrange;
    std::vector<std::string> copies;  // folders that receive x.txt
  };
  const Row rows[] = {
      {"first level", kCopyFirstLevelRadio, {}, [] {}, {"/D/s1", "/D/s2"}},
      {"all levels, confirmed",
       kCopyAllLevelsRadio,
       {kBoxResultYes},
       [] {},
       {"/D/s1", "/D/s2", "/D/s1/x"}},
      {"no mode: all levels without a question", nullptr, {}, [] {}, {"/D/s1", "/D/s2", "/D/s1/x"}},
      {"exclude filter",
       nullptr,
       {},
       [] {
         GetControlStore().SetChecked(kExcludeRuleBox, true);
         GetControlStore().SetText(kExcludeKeywordsEdit, "2,x");
       },
       {"/D/s1"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Reset();
    ResetCopyState();
    Arrange({"/a/x.txt:10", "/D/s1/x/", "/D/s2/", "/D/src/"});
    GetControlStore().SetChecked(kCopyDestinationOnlyRadio, false);
    if (row.radio != nullptr) {
      GetControlStore().SetChecked(row.radio, true);
    }
    GetControlStore().SetText(kCopySourcesEdit, "[\"/a/x.txt\",\"/D/src\"]");
    GetControlStore().SetText(kCopyDestinationEdit, "/D");
    row.arrange();
    StartAndFinish(row.answers);
    if (!row.answers.empty()) {
      EXPECT_EQ(
          Boxes()[1].text,
          "确定将 2 个文件/夹：\r\n[\"/a/x.txt\",\"/D/src\"]\r\n\r\n复制到(包含所有子目录下)："
          "\r\n/D");
      EXPECT_EQ(Boxes()[1].type, 36);
    } else {
      EXPECT_THAT(Boxes(), SizeIs(2));
    }
    Counts(static_cast<int>(row.copies.size()), 0, 0);
    for (const std::string& folder : row.copies) {
      EXPECT_NE(Tree().Find(folder + "/x.txt"), nullptr) << folder;
      EXPECT_NE(Tree().Find(folder + "/src"), nullptr) << folder;
    }
    EXPECT_EQ(Tree().Find("/D/x.txt"), nullptr) << "the destination itself receives nothing";
    EXPECT_EQ(Tree().Find("/D/src/x.txt"), nullptr) << "a source is never a target";
  }
}

TEST_F(CopyJobRunTest, AllLevelsAskedAndDeclinedStartsNothing) {
  GetControlStore().SetChecked(kCopyDestinationOnlyRadio, false);
  GetControlStore().SetChecked(kCopyAllLevelsRadio, true);
  m_ui.desktop.AnswerNext(kBoxResultOk);
  m_ui.desktop.AnswerNext(kBoxResultNo);
  EXPECT_EQ(OnStartCopyClicked(), nullptr);
  EXPECT_TRUE(GetControlStore().Enabled(kStartCopyButton));
  EXPECT_THAT(Service().Requests(), IsEmpty());
}

TEST_F(CopyJobRunTest, AFullDriveAsksFirst) {
  struct Row {
    const char* name;
    int answer;
    int posts;
  };
  const Row rows[] = {{"No ends the job", kBoxResultNo, 0}, {"Yes goes on", kBoxResultYes, 1}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Reset();
    ResetCopyState();
    Arrange({"/a/x.txt:10", "/b/y/z.txt:5", "/d/"});
    FakeAccount account = *Service().Model().Account("demo");
    account.quotaTotal = 15;
    Service().Model().AddAccount(account);
    StartAndFinish({row.answer});
    const RecordedBox question = Boxes()[1];
    EXPECT_EQ(question.text,
              "当前空间已满，复制可能不成功！\r\n\r\n已使用：15b\r\n总容量：15b\r\n\r\n是否继续？");
    EXPECT_EQ(question.type, 52);
    EXPECT_EQ(question.timeoutMs, 30000);
    EXPECT_THAT(Posts(), SizeIs(row.posts));
  }
}

TEST_F(CopyJobRunTest, AFailedQuotaQueryDoesNotStopTheJob) {
  Fault("invalid", "/api/quota", "", FakeReply::Json(InvalidReply()));
  StartAndFinish({kBoxResultOk});
  EXPECT_EQ(Boxes()[1].text, "查询网盘容量时：cookies已失效，请重新登陆后操作。");
  Counts(1, 0, 0);
}

TEST_F(CopyJobRunTest, AFailedTaskIsRepeatedOnceAndCountedOnce) {
  Fault("failed task", "/share/taskquery", "", FakeReply::Json(TaskFailListReply({})));
  const std::string stamp = MakeLocalStampText();
  StartAndFinish();
  EXPECT_THAT(Posts(), SizeIs(2));
  Counts(0, 1, 0);
  EXPECT_EQ(CountTextOccurrences(CopyLog(kLogCopyFailed, stamp), "复制失败3："), 1);
  EXPECT_EQ(CountTextOccurrences(CopyLog(kLogCopyFailed, stamp), "复制失败"), 1);
}

TEST_F(CopyJobRunTest, StopDuringTheCopiesKeepsTheCountsSoFar) {
  ArrangeOneFileIntoThreeFolders();
  // The first target's task ends; the stop comes while the second target's
  // task is polled, and its slow reply never arrives: that copy is not booked.
  auto polls = std::make_shared<std::atomic<int>>(0);
  Service().SetHook([polls](const RecordedRequest& request) -> std::optional<FakeReply> {
    if (request.Path() != "/share/taskquery" || ++*polls < 2) {
      return std::nullopt;
    }
    g_copyStopRequested = true;
    return FakeReply::Slow(30000, *Service().Model().Handle(request));
  });
  StartAndFinish();
  Counts(1, 0, 0);
  EXPECT_THAT(Posts(), SizeIs(2));
}

TEST_F(CopyJobRunTest, StopWhileTheTargetsAreCollectedCopiesNothing) {
  Arrange({"/a/x.txt:10", "/D/s1/", "/D/s2/", "/D/s3/"});
  GetControlStore().SetChecked(kCopyDestinationOnlyRadio, false);
  GetControlStore().SetChecked(kCopyFirstLevelRadio, true);
  GetControlStore().SetText(kCopyDestinationEdit, "/D");
  m_ui.clock.SetSleepHook([](std::int64_t) { g_copyStopRequested = true; });
  StartAndFinish();
  m_ui.clock.SetSleepHook({});
  Counts(0, 0, 0);
  EXPECT_THAT(Posts(), IsEmpty());
}

// A pause that comes while one folder's copy is polled holds the job before
// the next folder: its progress line is not shown yet and nothing more is
// submitted until the pause ends.
TEST_F(CopyJobRunTest, APauseHoldsTheJobBeforeTheNextFolder) {
  ArrangeOneFileIntoThreeFolders();
  auto pausedOnce = std::make_shared<std::atomic<bool>>(false);
  Service().SetHook([pausedOnce](const RecordedRequest& request) -> std::optional<FakeReply> {
    if (request.Path() == "/share/taskquery" && !pausedOnce->exchange(true)) {
      g_copyPaused = true;
    }
    return std::nullopt;
  });
  std::mutex mutex;
  std::vector<std::pair<size_t, std::string>> atPauseSteps;  // posts so far, progress line
  m_ui.clock.SetSleepHook([&](std::int64_t ms) {
    if (ms != 1000) {
      return;
    }
    std::lock_guard lock(mutex);
    atPauseSteps.emplace_back(Posts().size(), m_ui.desktop.StatusText(1));
    if (atPauseSteps.size() == 2) {
      g_copyPaused = false;
    }
  });
  StartAndFinish();
  m_ui.clock.SetSleepHook({});
  Counts(3, 0, 0);
  std::lock_guard lock(mutex);
  const auto heldAfterTheFirst = ::testing::Pair(1u, ::testing::StartsWith("进度：1/3 "));
  EXPECT_THAT(atPauseSteps, ElementsAre(heldAfterTheFirst, heldAfterTheFirst));
}

TEST_F(CopyJobRunTest, SwitchingAccountsMidJobDoesNotRedirectIt) {
  Arrange({"/a/x.txt:10", "/b/y/z.txt:5", "/d/x.txt:1"});
  GetControlStore().SetChecked(kCopyKeepBothBox, true);
  const FakeAccount other = FakeAccount::Make("other", RemoteTree::FromPaths({"/d/"}));
  Service().Model().AddAccount(other);
  Service().SetHook([other](const RecordedRequest& request) -> std::optional<FakeReply> {
    if (request.Path() == "/share/taskquery") {
      SetAccountSession({"other", other.CookieText(), other.bdstoken});
    }
    return std::nullopt;
  });
  StartAndFinish();
  Counts(1, 0, 0);
  ASSERT_THAT(Posts(), SizeIs(2));
  for (const RecordedRequest& request : Service().Requests()) {
    EXPECT_EQ(request.Header("Cookie"), Account().CookieText()) << request.target;
    if (request.RawQueryValue("bdstoken")) {
      EXPECT_EQ(request.RawQueryValue("bdstoken"), Account().bdstoken) << request.target;
    }
  }
  EXPECT_EQ(Service().Model().Tree("other"), RemoteTree::FromPaths({"/d/"}));
}

}  // namespace
