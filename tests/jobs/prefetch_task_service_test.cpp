// Whole rename tasks in prefetch mode against the service emulator, once with
// each apply engine: the ticked folder collected into the listing cache
// through the worker pool, then deleted by keyword and renamed; the remote
// tree and the result logs compared with what the run must leave.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string_view>

#include "foundation/text_arrays.h"
#include "foundation/text_encodings.h"
#include "foundation/thread_pool.h"
#include "jobs/keyword_replacement_lists.h"
#include "jobs/keyword_rules_file.h"
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

// The names that take the program's special routes, all in one folder.
const std::u8string_view kRealNames[] = {
    u8"a%20b.txt",     u8"x%41y.txt",   u8"100%.txt",   u8"it's.txt",
    u8"O'Brien's.txt", u8"Don’t.mp3",   u8"한국어.txt", u8"😀.txt",
    u8"tab&amp;.txt",  u8"中文 名.txt", u8"a+b.txt",    u8"[x],y~.txt",
};

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

// The folder of real names with `prefix` before each (a new name's apostrophe
// is stored as U+2019), without the names that hold `without`.
RemoteTree RealNamesTree(const std::string& prefix, const std::string& without) {
  RemoteTree tree = RemoteTree::FromPaths({"/f/"});
  for (const std::u8string_view name : kRealNames) {
    const std::string stored = U8(name);
    if (without.empty() || stored.find(without) == std::string::npos) {
      tree.AddFile("/f/" + (prefix.empty() ? stored : prefix + Replaced(stored, "'", U8(u8"’"))),
                   1);
    }
  }
  return tree;
}

std::vector<std::string> Sorted(std::vector<std::string> entries) {
  std::sort(entries.begin(), entries.end());
  return entries;
}

TEST_F(PrefetchTaskTest, RealNamesComeOutTheSameInEveryMode) {
  enum class Mode { kTraversal, kPerItem, kBatch };
  const struct {
    const char* name;
    Mode mode;
  } modes[] = {{"mode B", Mode::kTraversal},
               {"mode C per item", Mode::kPerItem},
               {"mode C batch", Mode::kBatch}};
  // Result-log names (code page 936; characters it lacks in backslash-u notation).
  const std::vector<std::string> logNames = {"a%20b.txt",
                                             "x%41y.txt",
                                             "100%.txt",
                                             "it's.txt",
                                             "O'Brien's.txt",
                                             "Don’t.mp3",
                                             "\\uD55C\\uAD6D\\uC5B4.txt",
                                             "\\uD83D\\uDE00.txt",
                                             "tab&amp;.txt",
                                             "中文 名.txt",
                                             "a+b.txt",
                                             "[x],y~.txt"};
  std::vector<std::string> renamed;
  for (const std::string& name : logNames) {
    renamed.push_back("/f/" + name + "---->P_" + Replaced(name, "'", "’"));
  }
  const struct {
    const char* name;
    const char* prefix;         // the prefix rule's text; none when empty
    const char* deleteKeyword;  // the file delete keyword; none when empty
    std::string without;        // the names the run deletes hold this
    std::vector<std::string> renamed;
    std::vector<std::string> deleted;
  } cases[] = {
      {"prefix P_", "P_", "", "", renamed, {}},
      {"delete keyword A deletes nothing", "", "A", "", {}, {}},
      {"delete keyword % deletes the three names holding it",
       "",
       "%",
       "%",
       {},
       {"/f/100%.txt", "/f/a%20b.txt", "/f/x%41y.txt"}},
  };
  for (const auto& mode : modes) {
    for (const auto& row : cases) {
      SCOPED_TRACE(std::string(mode.name) + ": " + row.name);
      Reset();
      Options(mode.mode == Mode::kBatch);
      ControlStore& store = GetControlStore();
      store.SetChecked(kPrefetchBox, mode.mode != Mode::kTraversal);
      store.SetChecked(kPrefixRuleBox, *row.prefix != '\0');
      store.SetText(kPrefixEdit, row.prefix);
      store.SetChecked(kDeleteFilesBox, *row.deleteKeyword != '\0');
      store.SetText(kDeleteFilesKeywordsEdit, row.deleteKeyword);
      store.SetChecked(kDeleteFoldersBox, false);
      UseTree(RealNamesTree("", ""));
      GetFolderTree().Clear();
      AddTreeRoot();
      Tick(AddTreePath("/f/"));
      m_ui.desktop.AnswerNext(kBoxResultYes);
      m_ui.desktop.AnswerNext(kBoxResultOk);
      GetControlStore().SetEnabled(kStartRenameButton, false);
      RunRenameTask(kRenameFirstRun);

      EXPECT_FALSE(LogExists(kLogRenameFailed)) << LogText(kLogRenameFailed);
      EXPECT_EQ(SortedEntries(kLogDeleted), Sorted(row.deleted));
      if (!row.renamed.empty()) {
        EXPECT_EQ(Tree(), RealNamesTree(row.prefix, row.without));
        EXPECT_EQ(SortedEntries(kLogRenamed), Sorted(row.renamed));
      } else {
        // Without a rename rule no name changes, an apostrophe included.
        EXPECT_EQ(Tree(), RealNamesTree("", row.without));
        EXPECT_FALSE(LogExists(kLogRenamed)) << LogText(kLogRenamed);
      }
    }
  }
}

TEST_F(PrefetchTaskTest, TwoTickedFoldersEachStartAFreshCacheAndTheCountsAddUp) {
  const char* const engines[] = {"per item", "batch"};
  for (const char* engine : engines) {
    SCOPED_TRACE(engine);
    Reset();
    Options(engine == engines[1]);
    UseTree(RemoteTree::FromPaths(
        {"/a/x.txt", "/a/y.txt", "/a/s/z.txt", "/b/u.txt", "/b/v.txt", "/c/w.txt"}));
    GetFolderTree().Clear();
    AddTreeRoot();
    Tick(AddTreePath("/a/"));
    Tick(AddTreePath("/b/"));
    AddTreePath("/c/");
    m_ui.desktop.AnswerNext(kBoxResultYes);
    m_ui.desktop.AnswerNext(kBoxResultOk);
    GetControlStore().SetEnabled(kStartRenameButton, false);
    RunRenameTask(kRenameFirstRun);

    EXPECT_EQ(Tree(), RemoteTree::FromPaths({"/a/P_x.txt", "/a/P_y.txt", "/a/P_s/P_z.txt",
                                             "/b/P_u.txt", "/b/P_v.txt", "/c/w.txt"}));
    // Each item once: the second folder's run saw none of the first's rows.
    EXPECT_EQ(SortedEntries(kLogRenamed),
              (std::vector<std::string>{"/a/s---->P_s", "/a/s/z.txt---->P_z.txt",
                                        "/a/x.txt---->P_x.txt", "/a/y.txt---->P_y.txt",
                                        "/b/u.txt---->P_u.txt", "/b/v.txt---->P_v.txt"}));
    EXPECT_FALSE(LogExists(kLogRenameFailed));
    EXPECT_EQ(g_runCollectedCount.load(), 2);
    EXPECT_EQ(g_collectedTotal.load(), 6);
    EXPECT_EQ(m_ui.desktop.Boxes().back().text,
              "已完成。总检测文件数：6\r\n\r\n 修改成功数：6   修改失败/同名数：0   删除成功文件：0"
              "\r\n\r\n修改结果看下方提示，或点击 刷新根目录按钮 或查看日志文件。");
    size_t caches = 0;
    for (const auto& entry : std::filesystem::directory_iterator(m_folder.Path())) {
      caches += entry.path().filename().string().rfind("folderlist_re_", 0) == 0 ? 1 : 0;
    }
    EXPECT_EQ(caches, 1u);
    EXPECT_EQ(g_cacheDb.GetHandle(), nullptr);
  }
}

TEST_F(PrefetchTaskTest, EachRunModeAnnouncesItsItemsByTheirDecodedNames) {
  const std::u16string folder = u"中文😀%41's";
  const struct {
    const char* name;
    bool tickedOnly;
    bool prefetch;
    std::u16string line;
  } rows[] = {
      {"mode A", true, false, u"开始修改： 目录/" + folder},
      {"mode B", false, false, u"开始修改： /" + folder},
      {"mode C", false, true, u"开始修改： /" + folder},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Reset();
    Options(false);
    GetControlStore().SetChecked(kPrefetchBox, row.prefetch);
    GetControlStore().SetChecked(kTickedItemsOnlyRadio, row.tickedOnly);
    UseTree(RemoteTree::FromPaths({U8(u8"/中文😀%41's/x.txt")}));
    GetFolderTree().Clear();
    Tick(AddTreeItem(AddTreeRoot(), folder, 1));
    m_ui.desktop.AnswerNext(kBoxResultYes);
    m_ui.desktop.AnswerNext(kBoxResultOk);
    GetControlStore().SetEnabled(kStartRenameButton, false);
    const size_t mark = m_ui.desktop.StatusHistory().size();
    RunRenameTask(kRenameFirstRun);

    std::vector<std::u16string> announced;
    const std::vector<RecordedStatus> history = m_ui.desktop.StatusHistory();
    for (size_t i = mark; i < history.size(); ++i) {
      if (history[i].unicode.rfind(u"开始修改：", 0) == 0) {
        announced.push_back(history[i].unicode);
      }
    }
    EXPECT_EQ(announced, std::vector<std::u16string>{row.line});
  }
}

// Which remote item each request acted on, by fs_id: every ticked item (mode
// A) or every item below a ticked folder (modes B and C) renamed exactly once,
// nothing else listed, renamed or deleted. Twins that differ only in the
// kind of apostrophe, and a name holding a real backslash before "u" beside
// the name that backslash-u notation would read it as.
TEST_F(PrefetchTaskTest, EveryRequestActsOnTheItemTheUserChose) {
  enum class Mode { kTicked, kTraversal, kPerItem, kBatch };
  const struct {
    const char* name;
    Mode mode;
  } modes[] = {{"mode A", Mode::kTicked},
               {"mode B", Mode::kTraversal},
               {"mode C per item", Mode::kPerItem},
               {"mode C batch", Mode::kBatch}};
  const struct {
    const char* name;
    const char* radio;
  } replies[] = {{"sync replies", kRenameSyncRadio}, {"task replies", kRenameAsyncRadio}};
  const std::vector<std::string> fileTwins = {"/tw/it's.txt", U8(u8"/tw/it’s.txt"),
                                              U8(u8"/tw/Don’t.mp3"), "/keep/it's.txt",
                                              U8(u8"/keep/it’s.txt")};
  const std::vector<std::string> folderTwins = {"/it's/a.txt", U8(u8"/it’s/b.txt"), "/keep/c.txt"};
  const struct {
    const char* name;
    std::vector<std::string> tree;
    std::vector<std::string> tickedItems;    // mode A: these items
    std::vector<std::string> tickedFolders;  // modes B and C: these folders
    bool renames;  // the replacement rule below; else only a delete box that matches nothing
    bool boxNamesEach = true;  // mode A's confirmation names each ticked item once
  } rows[] = {
      {"file twins, both ticked",
       fileTwins,
       {"/tw/it's.txt", U8(u8"/tw/it’s.txt"), U8(u8"/tw/Don’t.mp3")},
       {"/tw"},
       true},
      {"file twins, the apostrophe one ticked", fileTwins, {"/tw/it's.txt"}, {"/tw"}, true},
      {"folder twins, both ticked",
       folderTwins,
       {"/it's", U8(u8"/it’s")},
       {"/it's", U8(u8"/it’s")},
       true},
      {"folder twins, the apostrophe one ticked", folderTwins, {"/it's"}, {"/it's"}, true},
      {"folder twins under a ticked folder",
       {"/fb/it's/a.txt", U8(u8"/fb/it’s/b.txt"), "/keep/c.txt"},
       {"/fb/it's"},
       {"/fb"},
       true},
      {"a delete box alone renames nothing",
       fileTwins,
       {"/tw/it's.txt", U8(u8"/tw/it’s.txt"), U8(u8"/tw/Don’t.mp3")},
       {"/tw"},
       false},
      {"a real backslash before u beside the name it would read as",
       {"/ln/a\\u0041.txt", "/ln/aA.txt", "/keep/a\\u0041.txt"},
       {"/ln/a\\u0041.txt", "/ln/aA.txt"},
       {"/ln"},
       true,
       true},
  };
  for (const auto& mode : modes) {
    for (const auto& reply : replies) {
      for (const auto& row : rows) {
        SCOPED_TRACE(std::string(mode.name) + ", " + reply.name + ": " + row.name);
        Reset();
        Options(mode.mode == Mode::kBatch);
        ControlStore& store = GetControlStore();
        store.SetChecked(kRenameSyncRadio, false);
        store.SetChecked(reply.radio, true);
        store.SetChecked(kTickedItemsOnlyRadio, mode.mode == Mode::kTicked);
        store.SetChecked(kIncludeSubfoldersRadio, mode.mode != Mode::kTicked);
        store.SetChecked(kPrefetchBox, mode.mode == Mode::kPerItem || mode.mode == Mode::kBatch);
        store.SetChecked(kPrefixRuleBox, false);
        // Each kind of apostrophe its own letter, so twins never meet in one name.
        store.SetChecked(kReplaceRuleBox, row.renames);
        std::ofstream(m_folder.Path() / kKeywordRulesFileName, std::ios::binary)
            << KeywordRulesFileText(
                   {kSpecifiedReplaceMode, "", "", "'---->A\r\n’---->B\r\n.txt---->.dat"});
        store.SetText(kDeleteFilesKeywordsEdit, "zzz");
        store.SetChecked(kDeleteFoldersBox, false);
        RemoteTree start;
        for (const std::string& line : row.tree) {
          start.AddPathLine(line);
        }
        UseTree(start);
        // Every item's path ("/a/" a folder; Paths() writes a file's size after ":").
        std::vector<std::string> items;
        for (const std::string& line : start.Paths()) {
          items.push_back(line.back() == '/' ? line : line.substr(0, line.rfind(':')));
        }
        GetFolderTree().Clear();
        AddTreeRoot();
        const std::vector<std::string> ticked =
            mode.mode == Mode::kTicked ? row.tickedItems : row.tickedFolders;
        for (const std::string& path : items) {
          AddTreePath(DecodeUtf8Text(path));
        }
        for (const std::string& path : ticked) {
          Tick(AddTreePath(DecodeUtf8Text(path) + (start.Find(path)->isDir ? "/" : "")));
        }
        // The items to be renamed: the ticked ones, or those in a ticked folder.
        const auto below = [&ticked](const std::string& item) {
          return std::any_of(ticked.begin(), ticked.end(), [&item](const std::string& folder) {
            return item.rfind(folder + "/", 0) == 0;
          });
        };
        std::map<int64_t, std::string> chosen;
        for (const std::string& path : items) {
          const std::string item = RemoteTree::Normalise(path);
          const bool inTicked = mode.mode == Mode::kTicked
                                    ? std::find(ticked.begin(), ticked.end(), item) != ticked.end()
                                    : below(item);
          if (inTicked && row.renames) {
            chosen[*start.FsId(item)] = item;
          }
        }
        Service().Model().ClearTouched();
        m_ui.desktop.AnswerNext(kBoxResultYes);
        m_ui.desktop.AnswerNext(kBoxResultOk);
        store.SetEnabled(kStartRenameButton, false);
        const size_t boxMark = m_ui.desktop.Boxes().size();
        RunRenameTask(kRenameFirstRun);

        std::multiset<int64_t> renamedIds;
        std::multiset<int64_t> listedIds;
        for (const TouchedItems& request : Service().Model().Touched()) {
          EXPECT_NE(request.operation, "delete");
          for (const int64_t id : request.fsIds) {
            (request.operation == "rename" ? renamedIds : listedIds).insert(id);
          }
        }
        std::multiset<int64_t> chosenIds;
        for (const auto& [id, path] : chosen) {
          chosenIds.insert(id);
        }
        EXPECT_EQ(renamedIds, chosenIds);
        for (const int64_t id : listedIds) {
          const std::string listed = start.PathOf(id).value_or("?");
          EXPECT_TRUE(std::find(ticked.begin(), ticked.end(), listed) != ticked.end() ||
                      below(listed))
              << "listed " << listed;
        }
        const RemoteTree end = Tree();
        for (const std::string& path : items) {
          const std::string item = RemoteTree::Normalise(path);
          const int64_t id = *start.FsId(item);
          const std::string now = end.PathOf(id).value_or("(gone)");
          const std::string name = item.substr(item.rfind('/') + 1);
          const std::string nowName = now.substr(now.rfind('/') + 1);
          EXPECT_EQ(nowName, chosen.count(id) == 0
                                 ? name
                                 : Replaced(Replaced(Replaced(name, "'", "A"), U8(u8"’"), "B"),
                                            ".txt", ".dat"))
              << item;
        }
        EXPECT_FALSE(LogExists(kLogRenameFailed)) << LogText(kLogRenameFailed);
        EXPECT_EQ(SortedEntries(kLogRenamed).size(), chosen.size());
        if (mode.mode == Mode::kTicked && row.boxNamesEach) {
          ASSERT_GT(m_ui.desktop.Boxes().size(), boxMark);
          const std::string confirmation = m_ui.desktop.Boxes()[boxMark].text;
          std::vector<std::string> lines;
          for (const std::string& line : SplitText(confirmation, "\r\n")) {
            if (line.find("：") != std::string::npos) {
              lines.push_back(line);
            }
          }
          std::sort(lines.begin(), lines.end());
          EXPECT_EQ(std::adjacent_find(lines.begin(), lines.end()), lines.end()) << confirmation;
        }
      }
    }
  }
}

}  // namespace
