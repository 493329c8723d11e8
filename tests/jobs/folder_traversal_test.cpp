// The folder traversal against the service emulator: each test arranges a
// remote tree, runs ProcessRemoteFolder with the options it needs and compares
// the remote tree, the request log and the result logs with what it expects.

#include "jobs/folder_traversal.h"

#include "jobs/keyword_replacement_lists.h"
#include "jobs/rename_rule_options.h"
#include "jobs/rename_task_controls.h"
#include "support/service_test_fixture.h"
#include "web/main_window_controls.h"
#include "web/rename_item.h"

namespace {

using ::testing::HasSubstr;

class FolderTraversalTest : public ServiceTest {
 protected:
  void SetUp() override {
    ServiceTest::SetUp();
    Options();
  }
  void TearDown() override {
    ServiceTest::TearDown();
    std::lock_guard lock(g_keywordRulesLock);
    g_replaceKeywords.clear();
    g_replacementWords.clear();
  }
  // Renames of every kind, synchronous, and the prefix rule "P_".
  static void Options() {
    ControlStore& store = GetControlStore();
    store.SetChecked(kModifyAllRadio, true);
    store.SetChecked(kRenameSyncRadio, true);
    store.SetChecked(kSortNameAscRadio, true);
    store.SetChecked(kPrefixRuleBox, true);
    store.SetText(kPrefixEdit, "P_");
  }
  static void Traverse(const std::string& folder) {
    ProcessRemoteFolder(GetAccountSession(), folder);
  }
  size_t ListingRequests() const { return RequestsTo("/api/list").size(); }
  size_t RenameRequests() const { return RequestsTo("/api/filemanager").size(); }
  static int CountFiles(const RemoteTree& tree) {
    int files = 0;
    for (const std::string& path : tree.Paths()) {
      files += path.back() == '/' ? 0 : 1;
    }
    return files;
  }
};

TEST_F(FolderTraversalTest, AnEmptyPathSendsNothing) {
  Traverse("");
  EXPECT_TRUE(Service().Requests().empty());
}

TEST_F(FolderTraversalTest, A200EntryPageAsksForAnotherPage) {
  for (int count : {199, 200}) {
    SCOPED_TRACE(count);
    Reset();
    Options();
    RemoteTree tree;
    RemoteTree expected;
    for (int i = 0; i < count; ++i) {
      tree.AddFile("/big/f" + std::to_string(1000 + i) + ".txt", 1);
      expected.AddFile("/big/P_f" + std::to_string(1000 + i) + ".txt", 1);
    }
    UseTree(tree);
    Service().ClearRequests();
    Traverse("/big");
    EXPECT_EQ(ListingRequests(), count == 200 ? 2u : 1u);
    EXPECT_EQ(Tree(), expected);
    EXPECT_EQ(g_processedCount.load(), count);
    EXPECT_EQ(g_renamedCount.load(), count);
  }
}

TEST_F(FolderTraversalTest, NumbersRestartPerFolderAndKind) {
  struct Row {
    const char* start;
    std::vector<std::string> numbers;  // of the first, second and third file
  };
  const Row rows[] = {
      {"", {"001", "002", "003"}}, {"7", {"8", "9", "10"}}, {"0099", {"0100", "0101", "0102"}}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.start);
    Reset();
    ControlStore& store = GetControlStore();
    store.SetChecked(kModifyFilesOnlyRadio, true);  // folders keep their names but take numbers
    store.SetChecked(kRenameSyncRadio, true);
    store.SetChecked(kSortNameAscRadio, true);
    store.SetChecked(kNumberPrefixRuleBox, true);
    store.SetText(kNumberPrefixEdit, row.start);
    store.SetChecked(kDeleteFilesBox, true);
    store.SetText(kDeleteFilesKeywordsEdit, "junk");
    UseTree(RemoteTree::FromPaths({"/n/a.txt", "/n/b junk.txt", "/n/c.txt", "/n/d.txt",
                                   "/n/s1/x.txt", "/n/s2/y.txt", "/n/s2/z.txt"}));
    Traverse("/n");
    const std::vector<std::string>& n = row.numbers;
    EXPECT_EQ(Tree(),
              RemoteTree::FromPaths({"/n/" + n[0] + "a.txt", "/n/" + n[1] + "c.txt",
                                     "/n/" + n[2] + "d.txt", "/n/s1/" + n[0] + "x.txt",
                                     "/n/s2/" + n[0] + "y.txt", "/n/s2/" + n[1] + "z.txt"}));
    EXPECT_EQ(g_deletedCount.load(), 1);
    EXPECT_EQ(g_processedCount.load(), 9) << "every entry, the deleted one too";
  }
}

TEST_F(FolderTraversalTest, TheRootKeepsItsFirstLevelFoldersUnlessNotEntered) {
  struct Row {
    bool noSubfolders;
    RemoteTree expected;
  };
  const Row rows[] = {
      {false, RemoteTree::FromPaths({"/P_top.txt", "/a/P_in.txt", "/a/P_b/P_deep.txt"})},
      {true, RemoteTree::FromPaths({"/P_top.txt", "/P_a/in.txt", "/P_a/b/deep.txt"})},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.noSubfolders);
    Reset();
    Options();
    GetControlStore().SetChecked(kNoSubfoldersRadio, row.noSubfolders);
    UseTree(RemoteTree::FromPaths({"/top.txt", "/a/in.txt", "/a/b/deep.txt"}));
    Traverse("/");
    EXPECT_EQ(Tree(), row.expected);
  }
}

TEST_F(FolderTraversalTest, ADashInAParentFolderChoosesTheEscapedForm) {
  // Keyword replacement that changes only the case: the escaped form compares
  // names without case and sends nothing; the plain form sends it. The names
  // are Chinese, so the raw path is in backslash-u notation.
  ControlStore& store = GetControlStore();
  store.SetChecked(kPrefixRuleBox, false);
  store.SetChecked(kReplaceRuleBox, true);
  {
    std::lock_guard lock(g_keywordRulesLock);
    g_keywordReplaceMode = kNormalReplaceMode;
    g_replaceKeywords = {"ABC"};
    g_replacementWords = {"abc"};
  }
  UseTree(RemoteTree::FromPaths({U8(u8"/目录-1/ABC.txt"), U8(u8"/目录/ABC.txt")}));
  Traverse("/");
  EXPECT_EQ(Tree(), RemoteTree::FromPaths({U8(u8"/目录-1/ABC.txt"), U8(u8"/目录/abc.txt")}));
  EXPECT_EQ(RenameRequests(), 1u);
  EXPECT_EQ(LogText(kLogRenamed), "/目录/ABC.txt---->abc.txt\r\n");
}

TEST_F(FolderTraversalTest, NamesOutsideCodePage936TravelWhole) {
  UseTree(RemoteTree::FromPaths({U8(u8"/한국/파일.txt"), U8(u8"/목록-1/中文.txt")}));
  Traverse("/");
  EXPECT_EQ(Tree(), RemoteTree::FromPaths({U8(u8"/한국/P_파일.txt"), U8(u8"/목록-1/P_中文.txt")}));
}

TEST_F(FolderTraversalTest, RenameListedItemDropsRenamesThatChangeNothing) {
  struct Row {
    const char* oldPath;
    const char* newName;
    size_t requests;
  };
  const Row rows[] = {
      {"/docs/old.txt", "old.txt", 0},
      {"/docs/old.txt", "OLD.txt", 1},
      {"/\\u0064ocs/old.txt", "OLD.txt", 0},
      {"/\\u0064ocs/old.txt", "new.txt", 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.oldPath) + " " + row.newName);
    Reset();
    Options();
    RenameListedItem(GetAccountSession(), row.oldPath, row.newName, 0, "");
    EXPECT_EQ(RenameRequests(), row.requests);
  }
}

TEST_F(FolderTraversalTest, ModifyObjectRadiosDecideWhatIsSent) {
  struct Row {
    const char* radio;
    RemoteTree expected;
  };
  const Row rows[] = {
      {kModifyAllRadio, RemoteTree::FromPaths({"/d/P_s/P_f.txt"})},
      {kModifyFoldersOnlyRadio, RemoteTree::FromPaths({"/d/P_s/f.txt"})},
      {kModifyFilesOnlyRadio, RemoteTree::FromPaths({"/d/s/P_f.txt"})},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.radio);
    Reset();
    Options();
    GetControlStore().SetChecked(kModifyAllRadio, false);
    GetControlStore().SetChecked(row.radio, true);
    UseTree(RemoteTree::FromPaths({"/d/s/f.txt"}));
    Traverse("/d");
    EXPECT_EQ(Tree(), row.expected);
  }
}

TEST_F(FolderTraversalTest, FoldersOnlyCountsFilesAndStillDeletesThem) {
  ControlStore& store = GetControlStore();
  store.SetChecked(kModifyAllRadio, false);
  store.SetChecked(kModifyFoldersOnlyRadio, true);
  store.SetChecked(kDeleteFilesBox, true);
  store.SetText(kDeleteFilesKeywordsEdit, "tmp");
  UseTree(RemoteTree::FromPaths({"/d/a.txt", "/d/b.tmp", "/d/s/"}));
  Traverse("/d");
  EXPECT_EQ(Tree(), RemoteTree::FromPaths({"/d/a.txt", "/d/P_s/"}));
  EXPECT_EQ(g_processedCount.load(), 3);
  std::vector<std::string> progress;
  for (const RecordedStatus& status : m_ui.desktop.StatusHistory()) {
    if (status.text.rfind("处理进度：", 0) == 0) {
      progress.push_back(status.text);
    }
  }
  const std::string tail = "   修改无变化数：0   频繁/等待数：0   跳过不修改数：0   删除成功：";
  // Folders come first; each line shows the counts before the entry's request.
  EXPECT_EQ(progress,
            (std::vector<std::string>{
                "处理进度：1  修改成功数：0   修改失败/同名数：0" + tail + "0   删除失败：0",
                "处理进度：2  修改成功数：1   修改失败/同名数：0" + tail + "0   删除失败：0",
                "处理进度：3  修改成功数：1   修改失败/同名数：0" + tail + "0   删除失败：0"}));
}

TEST_F(FolderTraversalTest, DeleteKeywordsAreExactNonEmptyAndSearchedInTheNameOnly) {
  // Deletion alone, so the tree shows exactly what was deleted. The name
  // "x%2541.txt" is searched as listed: it holds no "A".
  const RemoteTree all = RemoteTree::FromPaths({"/k/Bee.txt", "/k/x%2541.txt", "/k/ABC.txt"});
  struct Row {
    const char* keywords;
    RemoteTree expected;
  };
  const Row rows[] = {
      {",a", all},
      {"a,,b", all},
      {"A", RemoteTree::FromPaths({"/k/Bee.txt", "/k/x%2541.txt"})},
      {"k", all},
      {"x%25", RemoteTree::FromPaths({"/k/Bee.txt", "/k/ABC.txt"})},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.keywords);
    Reset();
    Options();
    GetControlStore().SetChecked(kPrefixRuleBox, false);
    GetControlStore().SetChecked(kDeleteFilesBox, true);
    GetControlStore().SetText(kDeleteFilesKeywordsEdit, row.keywords);
    UseTree(all);
    Traverse("/k");
    EXPECT_EQ(Tree(), row.expected);
    EXPECT_EQ(RenameRequests(), static_cast<size_t>(3 - CountFiles(row.expected)));
  }
}

TEST_F(FolderTraversalTest, AFolderIsReadWholeBeforeAnyEntryChanges) {
  // 450 entries in name order: deleting and renaming while paging would move
  // later entries onto pages already read.
  RemoteTree tree;
  RemoteTree expected;
  for (int i = 0; i < 450; ++i) {
    const std::string name = "e" + std::to_string(1000 + i) + (i % 3 == 0 ? "_del" : "") + ".txt";
    tree.AddFile("/big/" + name, 1);
    if (i % 3 != 0) {
      expected.AddFile("/big/P_" + name, 1);
    }
  }
  expected.AddFolder("/big");
  UseTree(tree);
  GetControlStore().SetChecked(kDeleteFilesBox, true);
  GetControlStore().SetText(kDeleteFilesKeywordsEdit, "_del");
  GetControlStore().SetChecked(kSortNameAscRadio, true);
  Service().ClearRequests();
  Traverse("/big");
  EXPECT_EQ(Tree(), expected);
  EXPECT_EQ(ListingRequests(), 3u);
  EXPECT_EQ(g_deletedCount.load(), 150);
  EXPECT_EQ(g_renamedCount.load(), 300);
  EXPECT_EQ(RenameRequests(), 450u) << "one request per entry, deletions included";
}

TEST_F(FolderTraversalTest, AFolderIsListedOnlyAfterTheDeleteBeforeItHasEnded) {
  // The service changes the tree only some requests after it took a delete
  // on. The walk follows each delete's task to its end, books it by that
  // outcome, and only then lists the next folder.
  ModelOptions options;
  options.taskDelayRequests = 3;
  Service().Model().SetOptions(options);
  UseTree(RemoteTree::FromPaths({"/t/a_del/x.txt", "/t/sub/d.txt", "/t/b.txt"}));
  ControlStore& store = GetControlStore();
  store.SetChecked(kModifyAllRadio, false);
  store.SetChecked(kModifyFilesOnlyRadio, true);
  store.SetChecked(kDeleteFoldersBox, true);
  store.SetText(kDeleteFoldersKeywordsEdit, "_del");
  Service().ClearRequests();
  Traverse("/t");
  EXPECT_EQ(Tree(), RemoteTree::FromPaths({"/t/sub/P_d.txt", "/t/P_b.txt"}));
  EXPECT_EQ(g_deletedCount.load(), 1);
  EXPECT_EQ(g_renamedCount.load(), 2);
  EXPECT_EQ(g_renameFailedCount.load() + g_deleteFailedCount.load(), 0);
  EXPECT_THAT(LogText(kLogDeleted), HasSubstr("/t/a_del"));
  std::vector<std::string> order;
  for (const RecordedRequest& request : Service().Requests()) {
    const std::string path = request.Path();
    order.push_back(path == "/api/list" ? "list " + request.QueryValue("dir").value_or("")
                                        : path + " " + request.QueryValue("opera").value_or(""));
  }
  EXPECT_EQ(order,
            (std::vector<std::string>{"list /t", "/api/filemanager delete", "/share/taskquery ",
                                      "/share/taskquery ", "/share/taskquery ", "list /t/sub",
                                      "/api/filemanager rename", "/api/filemanager rename"}));
}

TEST_F(FolderTraversalTest, AFailingSecondPageEndsTheListingAfterOneRound) {
  RemoteTree tree;
  for (int i = 0; i < 250; ++i) {
    tree.AddFile("/big/f" + std::to_string(1000 + i) + ".txt", 1);
  }
  UseTree(tree);
  Fault("page 2", "/api/list", "page=2&", FakeReply::Json("{\"errno\":2}"));
  m_ui.desktop.AnswerNext(kBoxResultTimedOut);  // "连续5次获取失败..."
  Service().ClearRequests();
  Traverse("/big");
  const std::vector<RecordedRequest> pages = RequestsTo("/api/list");
  EXPECT_EQ(pages.size(), 6u) << "page 1 once, page 2 five times, no page 3";
  for (const RecordedRequest& page : pages) {
    EXPECT_THAT(page.target, ::testing::Not(HasSubstr("page=3&")));
  }
  EXPECT_EQ(g_renamedCount.load(), 200);
  EXPECT_EQ(RenameRequests(), 200u);
}

TEST_F(FolderTraversalTest, StopBeforeAPageSendsNothingMore) {
  g_renameStopRequested = true;
  Traverse("/docs");
  EXPECT_TRUE(Service().Requests().empty());
}

}  // namespace
