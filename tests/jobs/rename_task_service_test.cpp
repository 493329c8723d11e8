// Whole rename tasks against the service emulator: run modes A and B from the
// ticked tree items to the remote tree, the result logs, the status line and
// the end boxes, and the account snapshot every request carries.

#include "jobs/rename_task.h"

#include <atomic>

#include "foundation/wait_until.h"
#include "jobs/jobs_at_exit.h"

#include "jobs/rename_rule_options.h"
#include "jobs/rename_task_controls.h"
#include "platform/code_page_codec.h"
#include "rename_task_harness.h"
#include "support/service_test_fixture.h"
#include "web/item_request_hold.h"
#include "web/main_window_controls.h"

namespace {

constexpr const char* kDoneBox = "修改完成，请点击 刷新根目录 按钮进行查看结果。";
constexpr const char* kNoSuccessText =
    "没有修改成功，请注意是否爆盘，或在网页上测试修改是否能成功。";

std::string Summary(int renamed, int failed = 0, int deleted = 0) {
  return "修改完成。    修改成功数：" + std::to_string(renamed) + "    修改失败/同名数：" +
         std::to_string(failed) +
         "    修改无变化数：0   频繁/等待数：0   跳过不修改数：0   删除成功：" +
         std::to_string(deleted) + "   删除失败：0";
}

class RenameTaskServiceTest : public ServiceTest {
 protected:
  void SetUp() override {
    ServiceTest::SetUp();
    Arrange();
  }
  void TearDown() override {
    ServiceTest::TearDown();
    GetFolderTree().Clear();
  }
  void Arrange() {
    ControlStore& store = GetControlStore();
    store.SetChecked(kModifyAllRadio, true);
    store.SetChecked(kRenameSyncRadio, true);
    store.SetChecked(kSortNameAscRadio, true);
    store.SetChecked(kIncludeSubfoldersRadio, true);
    store.SetChecked(kPrefixRuleBox, true);
    store.SetText(kPrefixEdit, "P_");
    m_root = AddTreeRoot();
  }
  void RunTask(int argument) {
    GetControlStore().SetEnabled(kStartRenameButton, false);
    RunRenameTask(argument);
    EXPECT_TRUE(GetControlStore().Enabled(kStartRenameButton));
  }
  std::vector<std::string> BoxTexts() const { return ::BoxTexts(m_ui.desktop); }
  int m_root = 0;
};

TEST_F(RenameTaskServiceTest, TickedItemsModeRenamesTheTickedFilesAndFoldersInSequence) {
  ControlStore& store = GetControlStore();
  store.SetChecked(kTickedItemsOnlyRadio, true);
  store.SetChecked(kPrefixRuleBox, false);
  store.SetChecked(kNumberPrefixRuleBox, true);
  UseTree(RemoteTree::FromPaths({"/docs/old.txt", "/docs/sub/in.txt", "/docs/keep.txt"}));
  Tick(AddTreePath("/docs/old.txt"));
  Tick(AddTreePath("/docs/sub/"));
  AddTreePath("/docs/keep.txt");
  m_ui.desktop.AnswerNext(kBoxResultYes);
  m_ui.desktop.AnswerNext(kBoxResultOk);
  RunTask(kRenameFirstRun);

  EXPECT_EQ(Tree(),
            RemoteTree::FromPaths({"/docs/001old.txt", "/docs/002sub/in.txt", "/docs/keep.txt"}));
  EXPECT_EQ(
      BoxTexts(),
      (std::vector<std::string>{
          "确定针对勾选的：\r\n\r\n文件：old.txt\r\n目录：sub\r\n\r\n\r\n 进行操作？", kDoneBox}));
  EXPECT_EQ(m_ui.desktop.StatusText(1), Summary(2));
  EXPECT_EQ(LogText(kLogRenamed), "/docs/old.txt---->001old.txt\r\n/docs/sub---->002sub\r\n");
  EXPECT_EQ(LogText(kLogRenamed).empty(), false);
  EXPECT_EQ(RequestsTo("/api/list").size(), 0u);
}

TEST_F(RenameTaskServiceTest, TickedItemsModeLeavesTheTickedRootOut) {
  GetControlStore().SetChecked(kTickedItemsOnlyRadio, true);
  UseTree(RemoteTree::FromPaths({"/a.txt", "/b.txt"}));
  Tick(m_root);
  Tick(AddTreePath("/a.txt"));
  AddTreePath("/b.txt");
  m_ui.desktop.AnswerNext(kBoxResultYes);  // the root question
  m_ui.desktop.AnswerNext(kBoxResultYes);  // the confirmation
  m_ui.desktop.AnswerNext(kBoxResultOk);
  RunTask(kRenameFirstRun);
  EXPECT_EQ(Tree(), RemoteTree::FromPaths({"/P_a.txt", "/b.txt"}));
  ASSERT_EQ(BoxTexts().size(), 3u);
  EXPECT_EQ(BoxTexts()[1], "确定针对勾选的：\r\n\r\n文件：a.txt\r\n\r\n\r\n 进行操作？");

  Reset();
  Arrange();
  GetControlStore().SetChecked(kTickedItemsOnlyRadio, true);
  Tick(m_root);
  m_ui.desktop.AnswerNext(kBoxResultYes);
  m_ui.desktop.AnswerNext(kBoxResultOk);
  RunTask(kRenameFirstRun);
  EXPECT_EQ(BoxTexts().back(), "没有勾选要修改的项目。");
  EXPECT_TRUE(Service().Requests().empty());
}

TEST_F(RenameTaskServiceTest, TheTickedItemsBoxListsTheNamesAsTheServiceHoldsThem) {
  struct Row {
    std::u16string name;
    int data;  // 1 folder, 0 file
  };
  const Row rows[] = {
      {u"%41.txt", 0}, {u"a%20b.txt", 0}, {u"it\u2019s.txt", 0}, {u"한국어.txt", 0}, {u"😀 夹", 1},
  };
  for (const Row& row : rows) {
    const std::string name = EncodeFromUtf16(row.name, kCodePageUtf8);
    SCOPED_TRACE(name);
    Reset();
    Arrange();
    GetControlStore().SetChecked(kTickedItemsOnlyRadio, true);
    const std::string item = "/m/" + name + (row.data == 1 ? "/x.txt" : "");
    // Beside it the names a decoded or code page 936 form would turn it into.
    UseTree(RemoteTree::FromPaths({item, "/m/A.txt", "/m/a b.txt", "/m/it's.txt"}));
    const int folder = AddTreeItem(m_root, u"m", 1);
    Tick(AddTreeItem(folder, row.name, row.data));
    for (const char16_t* other : {u"A.txt", u"a b.txt", u"it's.txt"}) {
      AddTreeItem(folder, other, 0);
    }
    const size_t mark = m_ui.desktop.Boxes().size();
    m_ui.desktop.AnswerNext(kBoxResultYes);
    m_ui.desktop.AnswerNext(kBoxResultOk);
    RunTask(kRenameFirstRun);
    ASSERT_GT(m_ui.desktop.Boxes().size(), mark);
    const std::u16string kind = row.data == 1 ? u"目录：" : u"文件：";
    EXPECT_EQ(m_ui.desktop.Boxes()[mark].unicode,
              u"确定针对勾选的：\r\n\r\n" + kind + row.name + u"\r\n\r\n\r\n 进行操作？");
    const std::string renamed = "/m/P_" + name + (row.data == 1 ? "/x.txt" : "");
    EXPECT_EQ(Tree(), RemoteTree::FromPaths({renamed, "/m/A.txt", "/m/a b.txt", "/m/it's.txt"}));
  }
}

TEST_F(RenameTaskServiceTest, TraversalModeRenamesTheTickedFoldersContents) {
  UseTree(RemoteTree::FromPaths({"/docs/old.txt", "/docs/sub/in.txt", "/other/x.txt"}));
  Tick(AddTreePath("/docs/"));
  AddTreePath("/other/");
  m_ui.desktop.AnswerNext(kBoxResultYes);
  m_ui.desktop.AnswerNext(kBoxResultOk);
  RunTask(kRenameFirstRun);

  EXPECT_EQ(Tree(),
            RemoteTree::FromPaths({"/docs/P_old.txt", "/docs/P_sub/P_in.txt", "/other/x.txt"}));
  EXPECT_EQ(m_ui.desktop.StatusText(1), Summary(3));
  EXPECT_EQ(BoxTexts().back(),
            "已完成。总检测文件数：3\r\n\r\n 修改成功数：3   修改失败/同名数：0   删除成功文件：0"
            "\r\n\r\n修改结果看下方提示，或点击 刷新根目录按钮 或查看日志文件。");
  // Folders are listed first, and a folder is renamed after its contents.
  EXPECT_EQ(LogText(kLogRenamed),
            "/docs/sub/in.txt---->P_in.txt\r\n/docs/sub---->P_sub\r\n"
            "/docs/old.txt---->P_old.txt\r\n");
}

TEST_F(RenameTaskServiceTest, ARestartWithTheRootTickedTakesTheWholeDriveUnasked) {
  UseTree(RemoteTree::FromPaths({"/a/x.txt", "/y.txt"}));
  Tick(m_root);
  RunTask(kRenameLoopRestart);
  EXPECT_TRUE(BoxTexts().empty());
  EXPECT_EQ(Tree(), RemoteTree::FromPaths({"/a/P_x.txt", "/P_y.txt"}));
}

TEST_F(RenameTaskServiceTest, NoSuccessWithBusyAnswersEndsWithoutTheLoop) {
  GetControlStore().SetChecked(kLoopBox, true);
  UseTree(RemoteTree::FromPaths({"/docs/old.txt"}));
  Tick(AddTreePath("/docs/"));
  Fault("busy", "/api/filemanager", "opera=rename",
        FakeReply::Json("{\"errno\":12,\"info\":[{\"errno\":31034,\"path\":\"/docs/old.txt\"}],"
                        "\"request_id\":1}"));
  m_ui.desktop.AnswerNext(kBoxResultYes);
  m_ui.desktop.AnswerNext(kBoxResultOk);
  RunTask(kRenameFirstLoopRun);
  EXPECT_EQ(BoxTexts().back(), kNoSuccessText);
  EXPECT_EQ(m_ui.desktop.Boxes().back().timeoutMs, 0);
  const std::vector<std::int64_t> waits = Waits();
  EXPECT_EQ(std::count(waits.begin(), waits.end(), 10000), 0) << "no countdown";
}

TEST_F(RenameTaskServiceTest, EveryRequestCarriesTheAccountTheTaskStartedWith) {
  UseTree(RemoteTree::FromPaths({"/docs/a.txt", "/docs/b.txt", "/docs/s/c.txt"}));
  const std::string first = Account().CookieText();
  FakeAccount other = FakeAccount::Make("other", RemoteTree::FromPaths({"/docs/a.txt"}));
  Service().Model().AddAccount(other);
  Tick(AddTreePath("/docs/"));
  Service().SetHook([&](const RecordedRequest&) -> std::optional<FakeReply> {
    SetAccountSession({"other", other.CookieText(), other.bdstoken});
    return std::nullopt;
  });
  m_ui.desktop.AnswerNext(kBoxResultYes);
  m_ui.desktop.AnswerNext(kBoxResultOk);
  RunTask(kRenameFirstRun);
  Service().ClearHook();
  const std::vector<RecordedRequest> requests = Service().Requests();
  ASSERT_FALSE(requests.empty());
  for (const RecordedRequest& request : requests) {
    EXPECT_EQ(request.Header("Cookie"), first) << request.target;
  }
  EXPECT_EQ(Tree(), RemoteTree::FromPaths({"/docs/P_a.txt", "/docs/P_b.txt", "/docs/P_s/P_c.txt"}));
  EXPECT_FALSE(LogExists(kLogRenamed, "other"));
}

// The program ends while a run of mode B renames: the rename that has reached
// the service is booked before the end, and no further one is sent.
TEST_F(RenameTaskServiceTest, TheProgramsEndLetsTheRenameUnderWayBeBooked) {
  RemoteTree tree;
  for (int i = 0; i < 6; ++i) {
    tree.AddFile("/d/f" + std::to_string(i) + ".txt", 1);
  }
  UseTree(std::move(tree));
  Tick(AddTreePath("/d/"));
  // The service answers the third rename once the program's end has begun.
  std::atomic<int> renames{0};
  std::atomic<bool> thirdArrived{false};
  Service().SetHook([&](const RecordedRequest& request) -> std::optional<FakeReply> {
    if (request.Path() == "/api/filemanager" && ++renames == 3) {
      thirdArrived = true;
      WaitUntil([] { return ItemRequestsHeld(); }, 30000);
    }
    return std::nullopt;
  });
  m_ui.desktop.AnswerNext(kBoxResultYes);  // the confirmation
  m_ui.desktop.AnswerNext(kBoxResultOk);   // the counts box of the stopped run
  // Every wait blocks until its condition holds: the end's wait ends only
  // when the rename under way has been booked.
  m_ui.clock.SetAutoAdvance(false);
  OnStartRenameClicked();
  ASSERT_TRUE(WaitUntil([&] { return thirdArrived.load(); }, 30000));

  EXPECT_TRUE(StopJobsForExit());
  const std::string loggedAtTheEnd = LogText(kLogRenamed);
  m_ui.clock.SetAutoAdvance(true);
  m_ui.clock.Advance(kExitBookingWaitMs);  // wakes the task's own waits
  ReleaseItemRequests();
  ASSERT_TRUE(WaitForStartButton());

  EXPECT_EQ(loggedAtTheEnd,
            "/d/f0.txt---->P_f0.txt\r\n/d/f1.txt---->P_f1.txt\r\n/d/f2.txt---->P_f2.txt\r\n");
  EXPECT_EQ(RequestsTo("/api/filemanager").size(), 3u);
  EXPECT_EQ(Tree(), RemoteTree::FromPaths({"/d/P_f0.txt:1", "/d/P_f1.txt:1", "/d/P_f2.txt:1",
                                           "/d/f3.txt:1", "/d/f4.txt:1", "/d/f5.txt:1"}));
  EXPECT_EQ(LogText(kLogRenamed), loggedAtTheEnd);
}

}  // namespace
