// The per-item apply on small listing caches, its requests going to the
// service emulator: the order of the rows, deletion by keyword, the number
// prefix per level, the escaped route, the status lines and the ends.

#include "jobs/apply_changes_per_item.h"

#include "apply_fixture.h"
#include "jobs/apply_changes_batch.h"
#include "jobs/rename_status_lines.h"

namespace {

using ::testing::Contains;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

class PerItemApplyTest : public ApplyTest {
 protected:
  void Apply() { ApplyChangesPerItem(GetAccountSession(), Run()); }
};

TEST_F(PerItemApplyTest, ContentsAreRenamedBeforeTheirFolder) {
  PrefixRule("P_");
  Arrange(RemoteTree::FromPaths({"/t/c.txt", "/t/f/a.txt", "/t/f/g/b.txt"}));
  Apply();
  EXPECT_EQ(Tree(), RemoteTree::FromPaths({"/t/P_c.txt", "/t/P_f/P_a.txt", "/t/P_f/P_g/P_b.txt"}));
  // Each entry is renamed before the folder that holds it.
  const std::string log = LogText(kLogRenamed);
  const auto at = [&log](const char* line) { return log.find(line); };
  EXPECT_LT(at("/t/f/g/b.txt---->P_b.txt\r\n"), at("/t/f/g---->P_g\r\n"));
  EXPECT_LT(at("/t/f/g---->P_g\r\n"), at("/t/f---->P_f\r\n"));
  EXPECT_LT(at("/t/f/a.txt---->P_a.txt\r\n"), at("/t/f---->P_f\r\n"));
  EXPECT_NE(at("/t/c.txt---->P_c.txt\r\n"), std::string::npos);
  EXPECT_EQ(g_processedCount.load(), 5);
}

TEST_F(PerItemApplyTest, TheNumberPrefixRunsPerLevel) {
  struct Row {
    const char* name;
    const char* start;
    bool filesOnly;
    RemoteTree after;
  };
  // Rows of a level come in id order (the tree's sorted paths): /t/a.txt,
  // /t/b junk.txt, /t/c.txt, /t/s; then /t/s/x.txt, /t/s/y.txt a level deeper.
  const Row rows[] = {
      {"two digits", "01", false,
       RemoteTree::FromPaths({"/t/01a.txt", "/t/02c.txt", "/t/03s/01x.txt", "/t/03s/02y.txt"})},
      {"empty starts at 000", "", false,
       RemoteTree::FromPaths(
           {"/t/000a.txt", "/t/001c.txt", "/t/002s/000x.txt", "/t/002s/001y.txt"})},
      {"99 is followed by 100", "99", false,
       RemoteTree::FromPaths({"/t/99a.txt", "/t/100c.txt", "/t/101s/99x.txt", "/t/101s/100y.txt"})},
      {"a folder left alone by the radios still takes its number", "1", true,
       RemoteTree::FromPaths({"/t/1a.txt", "/t/2c.txt", "/t/s/1x.txt", "/t/s/2y.txt"})},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Reset();
    ControlStore& store = GetControlStore();
    store.SetChecked(kModifyFilesOnlyRadio, row.filesOnly);
    store.SetChecked(kModifyAllRadio, !row.filesOnly);
    store.SetChecked(kNumberPrefixRuleBox, true);
    store.SetText(kNumberPrefixEdit, row.start);
    store.SetChecked(kDeleteFilesBox, true);
    store.SetText(kDeleteFilesKeywordsEdit, "junk");
    Arrange(RemoteTree::FromPaths(
        {"/t/a.txt", "/t/b junk.txt", "/t/c.txt", "/t/s/x.txt", "/t/s/y.txt"}));
    Apply();
    EXPECT_EQ(Tree(), row.after);
  }
}

TEST_F(PerItemApplyTest, TenRowsOfALevelStepFrom09To10) {
  GetControlStore().SetChecked(kNumberPrefixRuleBox, true);
  GetControlStore().SetText(kNumberPrefixEdit, "01");
  RemoteTree tree;
  RemoteTree expected;
  for (char name = 'a'; name <= 'j'; ++name) {
    tree.AddFile(std::string("/t/") + name, 0);
    const int number = name - 'a' + 1;
    expected.AddFile("/t/" + std::string(number < 10 ? "0" : "") + std::to_string(number) + name,
                     0);
  }
  Arrange(tree);
  Apply();
  EXPECT_EQ(Tree(), expected);
}

TEST_F(PerItemApplyTest, AChangedStartBoxCountsFromTheNextLevel) {
  GetControlStore().SetChecked(kNumberPrefixRuleBox, true);
  GetControlStore().SetText(kNumberPrefixEdit, "1");
  Arrange(RemoteTree::FromPaths({"/t/a.txt", "/t/b.txt", "/t/s/x.txt", "/t/s/y.txt"}));
  // Changed while the deeper level's first rename is under way.
  Service().SetHook([](const RecordedRequest&) -> std::optional<FakeReply> {
    GetControlStore().SetText(kNumberPrefixEdit, "7");
    return std::nullopt;
  });
  Apply();
  EXPECT_EQ(Tree(),
            RemoteTree::FromPaths({"/t/7a.txt", "/t/8b.txt", "/t/9s/1x.txt", "/t/9s/2y.txt"}));
}

TEST_F(PerItemApplyTest, DeleteKeywordsOfEachKind) {
  struct Row {
    const char* name;
    const char* files;
    const char* folders;
    RemoteTree after;
  };
  const Row rows[] = {
      {"a file keyword deletes files only", "old", "",
       RemoteTree::FromPaths({"/t/P_keep.txt", "/t/P_old/P_x.txt"})},
      {"a folder keyword deletes folders only", "", "old",
       RemoteTree::FromPaths({"/t/P_keep.txt", "/t/P_old.txt"})},
      {"upper case finds no lower case", "OLD", "OLD",
       RemoteTree::FromPaths({"/t/P_keep.txt", "/t/P_old.txt", "/t/P_old/P_x.txt"})},
      {"a leading comma adds no empty keyword", ",old", "",
       RemoteTree::FromPaths({"/t/P_keep.txt", "/t/P_old/P_x.txt"})},
      {"a digit of an entity finds nothing", "1", "",
       RemoteTree::FromPaths({"/t/P_keep.txt", "/t/P_old.txt", "/t/P_old/P_x.txt"})},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Reset();
    PrefixRule("P_");
    ControlStore& store = GetControlStore();
    store.SetChecked(kDeleteFilesBox, true);
    store.SetText(kDeleteFilesKeywordsEdit, row.files);
    store.SetChecked(kDeleteFoldersBox, true);
    store.SetText(kDeleteFoldersKeywordsEdit, row.folders);
    Arrange(RemoteTree::FromPaths({"/t/keep.txt", "/t/old.txt", "/t/old/x.txt"}));
    Apply();
    EXPECT_EQ(Tree(), row.after);
  }
}

TEST_F(PerItemApplyTest, ADashInAParentFolderChoosesTheEscapedForm) {
  // A change of case only: the escaped route compares without case and sends
  // nothing, the plain route sends it.
  GetControlStore().SetChecked(kReplaceRuleBox, true);
  {
    std::lock_guard lock(g_keywordRulesLock);
    g_keywordReplaceMode = kNormalReplaceMode;
    g_replaceKeywords = {"ABC"};
    g_replacementWords = {"abc"};
  }
  Arrange(RemoteTree::FromPaths({U8(u8"/t/目录-1/ABC.txt"), U8(u8"/t/目录/ABC.txt")}));
  Apply();
  EXPECT_EQ(Tree(), RemoteTree::FromPaths({U8(u8"/t/目录-1/ABC.txt"), U8(u8"/t/目录/abc.txt")}));
  EXPECT_EQ(RenameBodies().size(), 1u);
  EXPECT_EQ(LogText(kLogRenamed), "/t/目录/ABC.txt---->abc.txt\r\n");
}

TEST_F(PerItemApplyTest, ProgressCountsAgainstTheCollectedTotal) {
  PrefixRule("P_");
  RemoteTree tree;
  for (int i = 0; i < 7; ++i) {
    tree.AddFile("/t/f" + std::to_string(i), 0);
  }
  Arrange(tree);
  g_collectedTotal = 120;
  Apply();
  const std::vector<std::string> lines = StatusLines();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[lines.size() - 2].rfind("处理进度：7/120  修改成功数：6   ", 0), 0u)
      << lines[lines.size() - 2];
  EXPECT_EQ(lines.back(), PerItemSummaryLine());
  EXPECT_EQ(
      lines.back(),
      "修改完成。    修改成功数：7     修改失败/同名数：0     修改无变化数：0     频繁/等待数：0"
      "     跳过不修改数：0     删除成功：0     删除失败：0");
}

TEST_F(PerItemApplyTest, AnEmptyCacheShowsTheSummaryAndEndsTheCache) {
  g_renamedCount = 3;
  Arrange(RemoteTree::FromPaths({"/x.txt"}));
  Apply();
  EXPECT_EQ(StatusLines(), std::vector<std::string>{PerItemSummaryLine()});
  EXPECT_THAT(StatusLines().back(), HasSubstr("修改成功数：3 "));
  EXPECT_EQ(m_ui.desktop.StatusText(kBatchStatusPanel), "");
  EXPECT_FALSE(CacheOpen());
  EXPECT_FALSE(GetControlStore().Enabled(kStartRenameButton));
  EXPECT_THAT(Service().Requests(), IsEmpty());
}

TEST_F(PerItemApplyTest, TheCacheIsEndedWhateverThePrefetchBoxShows) {
  GetControlStore().SetChecked(kPrefetchBox, false);
  Arrange(RemoteTree::FromPaths({"/t/a.txt"}));
  Apply();
  EXPECT_FALSE(CacheOpen());
  EXPECT_FALSE(PrefetchRunLive(Run()));
}

TEST_F(PerItemApplyTest, AQueryThatCannotBePreparedShowsTheBox) {
  Arrange(RemoteTree::FromPaths({"/t/a.txt"}));
  {
    std::lock_guard lock(g_cacheDbLock);
    std::string error;
    ASSERT_TRUE(RunSqlStatement(g_cacheDb, "DROP TABLE list", error)) << error;
  }
  m_ui.desktop.AnswerNext(kBoxResultOk);
  Apply();
  ASSERT_EQ(m_ui.desktop.Boxes().size(), 1u);
  EXPECT_EQ(m_ui.desktop.Boxes()[0].text, "查询采集结果数据库失败。");
  EXPECT_EQ(m_ui.desktop.Boxes()[0].caption, "信息：");
  EXPECT_TRUE(StatusLines().empty());
  EXPECT_TRUE(PrefetchRunLive(Run()));
  EXPECT_FALSE(GetControlStore().Enabled(kStartRenameButton));
}

TEST_F(PerItemApplyTest, AStopBeforeARowLeavesTheCacheToTheStopButton) {
  PrefixRule("P_");
  Arrange(RemoteTree::FromPaths({"/t/a.txt", "/t/b.txt"}));
  Service().SetHook([](const RecordedRequest&) -> std::optional<FakeReply> {
    g_renameStopRequested = 1;
    return std::nullopt;
  });
  Apply();
  EXPECT_EQ(RenameBodies().size(), 1u);
  EXPECT_EQ(m_ui.desktop.StatusText(1), "已手动停止");
  EXPECT_TRUE(PrefetchRunLive(Run()));
}

// Both engines take a cached name exactly as listed: decoded once from the
// cache's encoding and never unescaped again.
TEST_F(PerItemApplyTest, BothEnginesDecodeANameOnce) {
  struct Engine {
    const char* name;
    void (*apply)(const AccountSession&, int);
  };
  const Engine engines[] = {{"per item", ApplyChangesPerItem}, {"batch", ApplyChangesBatch}};
  for (const Engine& engine : engines) {
    SCOPED_TRACE(engine.name);
    Reset();
    PrefixRule("new_");
    GetControlStore().SetChecked(kDeleteFilesBox, true);
    GetControlStore().SetText(kDeleteFilesKeywordsEdit, "A.txt");
    // "a-b" puts its file on the escaped route, where "%20" stays three characters.
    Arrange(RemoteTree::FromPaths(
        {"/t/Tom &amp; Jerry.mp4", "/t/x%2541.txt", "/t/[1].txt", "/t/a-b/x%20y.txt"}));
    engine.apply(GetAccountSession(), Run());
    EXPECT_EQ(Tree(), RemoteTree::FromPaths({"/t/new_Tom &amp; Jerry.mp4", "/t/new_x%2541.txt",
                                             "/t/new_[1].txt", "/t/new_a-b/new_x%20y.txt"}));
    EXPECT_EQ(g_deletedCount.load(), 0);
  }
}

}  // namespace
