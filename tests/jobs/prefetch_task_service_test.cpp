// Whole rename tasks in prefetch mode against the service emulator, once with
// each apply engine: the ticked folder collected into the listing cache
// through the worker pool, then deleted by keyword and renamed; the remote
// tree and the result logs compared with what the run must leave.

#include <algorithm>

#include "foundation/text_arrays.h"
#include "foundation/thread_pool.h"
#include "jobs/prefetch_run.h"
#include "jobs/prefetch_run_hooks.h"
#include "jobs/rename_rule_options.h"
#include "jobs/rename_task.h"
#include "jobs/rename_task_controls.h"
#include "rename_task_harness.h"
#include "support/service_test_fixture.h"
#include "web/main_window_controls.h"

namespace {

class PrefetchTaskTest : public ServiceTest {
 protected:
  void SetUp() override {
    ServiceTest::SetUp();
    g_threadPool = ThreadPool::Create(1, 10);
    ASSERT_NE(g_threadPool, nullptr);
    InstallPrefetchRoutines();
    g_runCollectedCount = 0;
  }
  void TearDown() override {
    EndPrefetchCache();
    ThreadPool::Shutdown(g_threadPool);
    g_threadPool = nullptr;
    InstallPrefetchRun({}, {});
    ServiceTest::TearDown();
    GetFolderTree().Clear();
  }
  static void Options(bool batch) {
    ControlStore& store = GetControlStore();
    store.SetChecked(kModifyAllRadio, true);
    store.SetChecked(kRenameSyncRadio, true);
    store.SetChecked(kSortNameAscRadio, true);
    store.SetChecked(kIncludeSubfoldersRadio, true);
    store.SetChecked(kPrefetchBox, true);
    store.SetChecked(kFastModeBox, batch);
    store.SetChecked(kPrefixRuleBox, true);
    store.SetText(kPrefixEdit, "P_");
    store.SetChecked(kDeleteFilesBox, true);
    store.SetText(kDeleteFilesKeywordsEdit, "junk");
    store.SetChecked(kDeleteFoldersBox, true);
    store.SetText(kDeleteFoldersKeywordsEdit, "trash");
  }
  // The entries of a result log, sorted: the pool lists sibling folders in
  // no fixed order, so rows of one level reach the log in any order.
  static std::vector<std::string> SortedEntries(const char* kind) {
    std::vector<std::string> entries;
    for (const std::string& line : SplitText(LogText(kind), "\r\n")) {
      if (!line.empty()) {
        entries.push_back(line);
      }
    }
    std::sort(entries.begin(), entries.end());
    return entries;
  }
};

TEST_F(PrefetchTaskTest, EachEngineDeletesAndRenamesTheTickedFolder) {
  const char* const engines[] = {"per item", "batch"};
  for (const char* engine : engines) {
    SCOPED_TRACE(engine);
    const bool batch = engine == engines[1];
    Reset();
    Options(batch);
    UseTree(RemoteTree::FromPaths({"/docs/a.txt", "/docs/junk.txt", "/docs/sub/b.txt",
                                   "/docs/sub/c junk.txt", "/docs/trash/", "/other/x.txt"}));
    GetFolderTree().Clear();
    AddTreeRoot();
    Tick(AddTreePath("/docs/"));
    AddTreePath("/other/");
    m_ui.desktop.AnswerNext(kBoxResultYes);  // the confirmation
    m_ui.desktop.AnswerNext(kBoxResultOk);   // the counts box
    GetControlStore().SetEnabled(kStartRenameButton, false);
    RunRenameTask(kRenameFirstRun);

    EXPECT_TRUE(GetControlStore().Enabled(kStartRenameButton));
    EXPECT_EQ(Tree(),
              RemoteTree::FromPaths({"/docs/P_a.txt", "/docs/P_sub/P_b.txt", "/other/x.txt"}));
    EXPECT_EQ(SortedEntries(kLogRenamed),
              (std::vector<std::string>{"/docs/a.txt---->P_a.txt", "/docs/sub---->P_sub",
                                        "/docs/sub/b.txt---->P_b.txt"}));
    EXPECT_EQ(SortedEntries(kLogDeleted),
              (std::vector<std::string>{"/docs/junk.txt", "/docs/sub/c junk.txt", "/docs/trash"}));
    EXPECT_FALSE(LogExists(kLogRenameFailed));
    EXPECT_EQ(g_runCollectedCount.load(), 6);
    EXPECT_EQ(m_ui.desktop.Boxes().back().text.rfind("已完成。", 0), 0u);
    EXPECT_EQ(g_cacheDb.GetHandle(), nullptr);
  }
}

}  // namespace
