// The batch apply on small listing caches, its requests going to the service
// emulator: which rows the keyword conditions select, how the deletions and
// renames are grouped, the status lines and the end of the run.

#include "jobs/apply_changes_batch.h"

#include "apply_fixture.h"

namespace {

using ::testing::Contains;
using ::testing::HasSubstr;
using ::testing::Not;

class BatchApplyTest : public ApplyTest {
 protected:
  void Apply() { ApplyChangesBatch(GetAccountSession(), Run()); }
  static int Items(const std::string& body) {
    int items = 0;
    for (int at = FindText(body, "%22newname%22"); at != -1;
         at = FindText(body, "%22newname%22", at + 1)) {
      ++items;
    }
    return items;
  }
  std::vector<int> ItemsPerRename() const {
    std::vector<int> items;
    for (const std::string& body : RenameBodies()) {
      items.push_back(Items(body));
    }
    return items;
  }
  static RemoteTree Files(const std::string& folder, int count, const std::string& prefix = "") {
    RemoteTree tree;
    for (int i = 0; i < count; ++i) {
      tree.AddFile(folder + "/" + prefix + "f" + std::to_string(100 + i) + ".txt", 1);
    }
    return tree;
  }
};

TEST_F(BatchApplyTest, DeleteKeywordsSelectByTheNameItself) {
  struct Row {
    const char* name;
    const char* keywords;
    RemoteTree left;
  };
  const RemoteTree all = RemoteTree::FromPaths(
      {"/t/[a].txt", "/t/it's.txt", "/t/Tom & Jerry.txt", "/t/abc.txt", "/t/x,y.txt", "/t/q.txt"});
  const Row rows[] = {
      {"a digit of an entity finds nothing", "1", all},
      {"a comma's entity number finds nothing", "44", all},
      {"an apostrophe", "'",
       RemoteTree::FromPaths(
           {"/t/[a].txt", "/t/Tom & Jerry.txt", "/t/abc.txt", "/t/x,y.txt", "/t/q.txt"})},
      {"an ampersand", "&",
       RemoteTree::FromPaths(
           {"/t/[a].txt", "/t/it's.txt", "/t/abc.txt", "/t/x,y.txt", "/t/q.txt"})},
      {"empty parts between keywords are dropped", "q,,J",
       RemoteTree::FromPaths({"/t/[a].txt", "/t/it's.txt", "/t/abc.txt", "/t/x,y.txt"})},
      {"upper case finds no lower case", "ABC", all},
      {"a leading comma adds no empty keyword", ",a",
       RemoteTree::FromPaths({"/t/it's.txt", "/t/Tom & Jerry.txt", "/t/x,y.txt", "/t/q.txt"})},
      {"only commas select nothing", ",,", all},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Reset();
    GetControlStore().SetChecked(kDeleteFilesBox, true);
    GetControlStore().SetText(kDeleteFilesKeywordsEdit, row.keywords);
    Arrange(all);
    Apply();
    EXPECT_EQ(Tree(), row.left);
    EXPECT_THAT(RenameBodies(), ::testing::IsEmpty());
  }
}

TEST_F(BatchApplyTest, TheDeleteConditionIsShownInItsCacheForm) {
  GetControlStore().SetChecked(kDeleteFilesBox, true);
  GetControlStore().SetText(kDeleteFilesKeywordsEdit, "a',b");
  Arrange(RemoteTree::FromPaths({"/t/q.txt"}));
  Apply();
  EXPECT_THAT(
      StatusLines(),
      Contains("正在查询需要删除的文件： instr(other_1,'a&apos;')>0 or  instr(other_1,'b')>0 "));
}

TEST_F(BatchApplyTest, ReplaceKeywordsPickTheRowsOfAKeywordOnlyPass) {
  struct Row {
    const char* name;
    std::vector<std::string> specified;
    RemoteTree after;
    int failed;
  };
  const Row rows[] = {
      {"a line without its marker selects nothing more",
       {"abc---->xyz", "nomarker"},
       RemoteTree::FromPaths({"/t/xyz.txt", "/t/q.txt", "/t/Abc.txt"}),
       0},
      {"no keyword left selects nothing",
       {"nomarker"},
       RemoteTree::FromPaths({"/t/abc.txt", "/t/q.txt", "/t/Abc.txt"}),
       0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Reset();
    GetControlStore().SetChecked(kReplaceRuleBox, true);
    {
      std::lock_guard lock(g_keywordRulesLock);
      g_keywordReplaceMode = kSpecifiedReplaceMode;
      g_specifiedReplacements = row.specified;
    }
    Arrange(RemoteTree::FromPaths({"/t/abc.txt", "/t/q.txt", "/t/Abc.txt"}));
    Apply();
    EXPECT_EQ(Tree(), row.after);
    EXPECT_EQ(g_renameFailedCount.load(), row.failed);
    EXPECT_FALSE(LogExists(kLogRenameFailed));
  }
}

TEST_F(BatchApplyTest, TheExcludeBoxIsOneKeywordInTheQuery) {
  // The query leaves out only the name holding the whole box text; the rules
  // then leave the names holding one of its keywords unchanged.
  PrefixRule("P_");
  GetControlStore().SetChecked(kExcludeRuleBox, true);
  GetControlStore().SetText(kExcludeKeywordsEdit, "a,b");
  Arrange(RemoteTree::FromPaths({"/t/a.txt", "/t/b.txt", "/t/a,b.txt", "/t/c.txt"}));
  Apply();
  EXPECT_EQ(Tree(), RemoteTree::FromPaths({"/t/a.txt", "/t/b.txt", "/t/a,b.txt", "/t/P_c.txt"}));
  EXPECT_EQ(g_renameFailedCount.load(), 2);
  const std::string reason = "   失败原因：新文件名替换后为空或无变化，跳过修改。\r\n\r\n";
  EXPECT_EQ(LogText(kLogRenameFailed),
            "/t/a.txt---->a.txt" + reason + "/t/b.txt---->b.txt" + reason);
}

TEST_F(BatchApplyTest, TheBatchSizeBoxSetsTheItemsPerRequest) {
  struct Row {
    const char* size;
    int files;
    std::vector<int> items;
  };
  const Row rows[] = {
      {"0", 120, {50, 50, 20}}, {"-1", 120, {50, 50, 20}}, {"abc", 120, {50, 50, 20}},
      {"", 120, {50, 50, 20}},  {"1", 3, {1, 1, 1}},       {"150", 120, {100, 20}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.size);
    Reset();
    PrefixRule("P_");
    GetControlStore().SetText(kBatchSizeEdit, row.size);
    Arrange(Files("/t", row.files));
    Apply();
    EXPECT_EQ(ItemsPerRename(), row.items);
    EXPECT_EQ(Tree(), Files("/t", row.files, "P_"));
    EXPECT_EQ(g_renamedCount.load(), row.files);
  }
}

TEST_F(BatchApplyTest, DeletionsGoOutInGroupsOfTheBatchSize) {
  GetControlStore().SetChecked(kDeleteFilesBox, true);
  GetControlStore().SetText(kDeleteFilesKeywordsEdit, "f");
  GetControlStore().SetText(kBatchSizeEdit, "2");
  Arrange(Files("/t", 5));
  Apply();
  ASSERT_EQ(DeleteBodies().size(), 3u);
  EXPECT_EQ(Tree(), RemoteTree::FromPaths({"/t/"}));
  EXPECT_EQ(g_deletedCount.load(), 5);
}

TEST_F(BatchApplyTest, EscapedNamesCompareWithoutCasePlainNamesExactly) {
  // The "-" in a parent folder's name puts its file on the escaped route.
  GetControlStore().SetChecked(kReplaceRuleBox, true);
  {
    std::lock_guard lock(g_keywordRulesLock);
    g_keywordReplaceMode = kNormalReplaceMode;
    g_replaceKeywords = {"ABC"};
    g_replacementWords = {"abc"};
  }
  Arrange(RemoteTree::FromPaths({"/t/d-1/ABC.txt", "/t/d/ABC.txt"}));
  Apply();
  EXPECT_EQ(Tree(), RemoteTree::FromPaths({"/t/d-1/ABC.txt", "/t/d/abc.txt"}));
  EXPECT_EQ(ItemsPerRename(), std::vector<int>{1});
  EXPECT_EQ(g_renameFailedCount.load(), 0);
}

TEST_F(BatchApplyTest, AFileWithADeleteKeywordIsNeverRenamed) {
  PrefixRule("P_");
  GetControlStore().SetChecked(kDeleteFilesBox, true);
  GetControlStore().SetText(kDeleteFilesKeywordsEdit, "junk");
  GetControlStore().SetChecked(kDeleteFoldersBox, true);
  GetControlStore().SetText(kDeleteFoldersKeywordsEdit, "old");
  Arrange(RemoteTree::FromPaths({"/t/junk.txt", "/t/a.txt", "/t/s/b junk.txt", "/t/old/"}));
  Apply();
  EXPECT_EQ(Tree(), RemoteTree::FromPaths({"/t/P_a.txt", "/t/P_s/"}));
  for (const std::string& body : RenameBodies()) {
    EXPECT_THAT(body, Not(HasSubstr("junk")));
    EXPECT_THAT(body, Not(HasSubstr("old")));
  }
  EXPECT_EQ(g_deletedCount.load(), 3);
}

TEST_F(BatchApplyTest, WithOnlyDeleteBoxesThePassesStepOverTheirRows) {
  GetControlStore().SetChecked(kDeleteFilesBox, true);
  GetControlStore().SetText(kDeleteFilesKeywordsEdit, "junk");
  Arrange(RemoteTree::FromPaths({"/t/junk.txt", "/t/a.txt", "/t/s/"}));
  Apply();
  EXPECT_EQ(Tree(), RemoteTree::FromPaths({"/t/a.txt", "/t/s/"}));
  const std::string end =
      "处理进度：执行完成！   修改成功：0   修改失败：0   删除成功：1   删除失败：0   未知状态：0";
  const std::vector<std::string> lines = StatusLines();
  EXPECT_EQ(std::count(lines.begin(), lines.end(), end), 2);
  for (const std::string& line : lines) {
    EXPECT_THAT(line, Not(HasSubstr("正在提交修改")));
  }
}

TEST_F(BatchApplyTest, OnlyFileNamesSkipsTheFolderPass) {
  PrefixRule("P_");
  GetControlStore().SetChecked(kModifyFilesOnlyRadio, true);
  Arrange(RemoteTree::FromPaths({"/t/a.txt", "/t/s/b.txt"}));
  Apply();
  EXPECT_EQ(Tree(), RemoteTree::FromPaths({"/t/P_a.txt", "/t/s/P_b.txt"}));
  for (const std::string& line : StatusLines()) {
    EXPECT_THAT(line, Not(HasSubstr("正在提交修改文件夹")));
  }
}

TEST_F(BatchApplyTest, StatusLinesAndTheEnd) {
  PrefixRule("P_");
  GetControlStore().SetChecked(kDeleteFilesBox, true);
  GetControlStore().SetText(kDeleteFilesKeywordsEdit, "junk");
  Arrange(RemoteTree::FromPaths({"/t/junk.txt", "/t/a.txt", "/t/s/"}));
  Apply();
  const std::string counts0 =
      "   修改成功：0   修改失败：0   删除成功：0   删除失败：0   未知状态：0";
  const std::string counts1 =
      "   修改成功：0   修改失败：0   删除成功：1   删除失败：0   未知状态：0";
  const std::string counts2 =
      "   修改成功：1   修改失败：0   删除成功：1   删除失败：0   未知状态：0";
  const std::string counts3 =
      "   修改成功：2   修改失败：0   删除成功：1   删除失败：0   未知状态：0";
  EXPECT_EQ(StatusLines(), (std::vector<std::string>{
                               "正在查询需要删除的文件： instr(other_1,'junk')>0 ",
                               "处理进度：正在提交删除文件：1/ 1" + counts0,
                               "正在查询需要修改的文件：",
                               "处理进度：正在提交修改文件：1/ 1" + counts1,
                               "处理进度：执行完成！" + counts2,
                               "正在查询需要修改的文件：",
                               "处理进度：正在提交修改文件夹：1/ 1" + counts2,
                               "处理进度：执行完成！" + counts3,
                           }));
  EXPECT_EQ(m_ui.desktop.StatusText(kBatchStatusPanel), "");
  EXPECT_FALSE(CacheOpen());
  EXPECT_FALSE(PrefetchRunLive(Run()));
  EXPECT_FALSE(GetControlStore().Enabled(kStartRenameButton));
}

TEST_F(BatchApplyTest, AStopAtARowLeavesTheCacheToTheStopButton) {
  GetControlStore().SetChecked(kDeleteFilesBox, true);
  GetControlStore().SetText(kDeleteFilesKeywordsEdit, "f");
  GetControlStore().SetText(kBatchSizeEdit, "1");
  Arrange(Files("/t", 3));
  Service().SetHook([](const RecordedRequest&) -> std::optional<FakeReply> {
    g_renameStopRequested = 1;
    return std::nullopt;
  });
  Apply();
  EXPECT_EQ(DeleteBodies().size(), 1u);
  EXPECT_EQ(m_ui.desktop.StatusText(1), "已手动停止");
  EXPECT_TRUE(PrefetchRunLive(Run()));
  EXPECT_FALSE(GetControlStore().Enabled(kStartRenameButton));
}

TEST_F(BatchApplyTest, ARunThatEndedDoesNothing) {
  PrefixRule("P_");
  Arrange(RemoteTree::FromPaths({"/t/a.txt"}));
  EndPrefetchCache();
  const size_t lines = StatusLines().size();
  Apply();
  EXPECT_EQ(Tree(), RemoteTree::FromPaths({"/t/a.txt"}));
  EXPECT_EQ(StatusLines().size(), lines);
}

}  // namespace
