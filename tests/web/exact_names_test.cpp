// Names reach the service exactly as they are stored: each path and name is
// decoded once from its own notation (plain text or backslash-u) to UTF-8 and
// percent-encoded once, so Hangul, emoji, "%" and "+" arrive as themselves,
// an apostrophe as itself beside its U+2019 twin, and a real backslash before
// "u" as itself.

#include "support/service_test_fixture.h"
#include "web/delete_paths.h"
#include "web/folder_listing.h"
#include "web/main_window_controls.h"
#include "web/remote_name_text.h"
#include "web/rename_batch.h"
#include "web/rename_item.h"

namespace {

using ::testing::HasSubstr;
using ::testing::IsEmpty;

class ExactNamesTest : public ServiceTest {};

struct NameRow {
  const char* name;
  std::string stored;   // the remote path before, UTF-8
  std::string path;     // the path as the program holds it
  std::string newName;  // as the program holds it
  std::string renamed;  // the remote path after, UTF-8
  std::string entry;    // the "_修改成功_" entry
};

std::vector<NameRow> NameRows() {
  return {
      {"Hangul folder", U8(u8"/한국/a-b.txt"), "/\\uD55C\\uAD6D/a-b.txt", "c.txt",
       U8(u8"/한국/c.txt"), "/\\uD55C\\uAD6D/a-b.txt---->c.txt"},
      {"emoji folder", U8(u8"/😀dir/a.txt"), "/\\uD83D\\uDE00dir/a.txt", "b.txt",
       U8(u8"/😀dir/b.txt"), "/\\uD83D\\uDE00dir/a.txt---->b.txt"},
      {"%20 in the old name", "/d/x%20y.txt", "/d/x%20y.txt", "n.txt", "/d/n.txt",
       "/d/x%20y.txt---->n.txt"},
      {"%26 in the old name", "/d/a%26b.txt", "/d/a%26b.txt", "n.txt", "/d/n.txt",
       "/d/a%26b.txt---->n.txt"},
      {"%41 in the old name", "/d/c%41.txt", "/d/c%41.txt", "n.txt", "/d/n.txt",
       "/d/c%41.txt---->n.txt"},
      {"plus in the old name", "/d/a+b.txt", "/d/a+b.txt", "n.txt", "/d/n.txt",
       "/d/a+b.txt---->n.txt"},
      {"percent and plus in the new name", "/d/p.txt", "/d/p.txt", "q%26r+s%2B.txt",
       "/d/q%26r+s%2B.txt", "/d/p.txt---->q%26r+s%2B.txt"},
      {"%2B in a backslash-u path", U8(u8"/中%2B/a.txt"), "/\\u4e2d%2B/a.txt", "n.txt",
       U8(u8"/中%2B/n.txt"), "/中%2B/a.txt---->n.txt"},
      {"apostrophe in the old path", "/d/it's.txt", "/d/it's.txt", "n.txt", "/d/n.txt",
       "/d/it's.txt---->n.txt"},
      {"U+2019 in the old path", U8(u8"/d/it’s.txt"), "/d/it’s.txt", "n.txt", "/d/n.txt",
       "/d/it’s.txt---->n.txt"},
      {"a real backslash before u", "/d/a\\u0041.txt", "/d/a\\u005Cu0041.txt", "n.txt", "/d/n.txt",
       "/d/a\\u0041.txt---->n.txt"},
  };
}

// A row's item beside its apostrophe twins and the name that a backslash-u
// reading of "a\u0041.txt" would give.
RemoteTree TreeWithTwins(const std::string& stored) {
  return RemoteTree::FromPaths(
      {stored, "/d/keep.txt", "/d/it's.txt", U8(u8"/d/it’s.txt"), "/d/aA.txt"});
}

TEST_F(ExactNamesTest, RenameSendsEachNameExactlyInBothModes) {
  for (const char* mode : {kRenameSyncRadio, kRenameAsyncRadio}) {
    for (const NameRow& row : NameRows()) {
      SCOPED_TRACE(std::string(mode) + ": " + row.name);
      Reset();
      GetControlStore().SetChecked(mode, true);
      UseTree(TreeWithTwins(row.stored));
      const RemoteTree before = Tree();
      std::string path = row.path;
      std::string newName = row.newName;
      EXPECT_TRUE(RenameRemoteItem(path, newName, false, ""));
      EXPECT_EQ(path, row.path);
      EXPECT_NE(Tree().Find(row.renamed), nullptr) << Tree().Print();
      EXPECT_EQ(Tree().Find(row.stored), nullptr);
      EXPECT_EQ(Tree().FsId(row.renamed), before.FsId(row.stored));
      EXPECT_EQ(LogText(kLogRenamed), row.entry + "\r\n");
      EXPECT_EQ(g_renameFailedCount.load(), 0);
      EXPECT_EQ(RequestsTo("/api/filemanager").size(), 1u);
    }
  }
}

TEST_F(ExactNamesTest, BatchItemsCarryEachNameExactly) {
  for (const char* mode : {kRenameSyncRadio, kRenameAsyncRadio}) {
    for (const NameRow& row : NameRows()) {
      SCOPED_TRACE(std::string(mode) + ": " + row.name);
      Reset();
      GetControlStore().SetChecked(mode, true);
      UseTree(TreeWithTwins(row.stored));
      const RemoteTree before = Tree();
      SubmitRenameBatch(
          MakeRenameBatchItem(std::to_string(*Tree().FsId(row.stored)), row.path, row.newName));
      EXPECT_NE(Tree().Find(row.renamed), nullptr) << Tree().Print();
      EXPECT_EQ(Tree().FsId(row.renamed), before.FsId(row.stored));
      EXPECT_EQ(LogText(kLogRenamed), row.entry + "\r\n\r\n");
      EXPECT_EQ(g_renamedCount.load(), 1);
      EXPECT_THAT(Service().Model().Notes(), IsEmpty());
    }
  }
}

TEST_F(ExactNamesTest, FoldersAreListedByTheirExactName) {
  struct Row {
    const char* name;
    std::string stored;  // a file inside the folder, UTF-8
    std::string folder;  // as the program holds it
    size_t requests;
  };
  const Row rows[] = {
      {"Hangul", U8(u8"/한국/in.txt"), "/\\uD55C\\uAD6D", 1},
      {"emoji", U8(u8"/😀dir/in.txt"), "/\\uD83D\\uDE00dir", 1},
      {"percent", "/x%20y/in.txt", "/x%20y", 1},
      {"plus", "/a+b/in.txt", "/a+b", 1},
      {"apostrophe beside its U+2019 twin", "/it's/in.txt", "/it's", 1},
      {"U+2019 beside its apostrophe twin", U8(u8"/it’s/in.txt"), "/it’s", 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Reset();
    UseTree(RemoteTree::FromPaths({row.stored, "/it's/twin.txt", U8(u8"/it’s/twin.txt")}));
    EXPECT_THAT(FetchFolderListPage(row.folder, 0, 1), HasSubstr("\"in.txt\""));
    EXPECT_EQ(RequestsTo("/api/list").size(), row.requests);
    EXPECT_THAT(m_ui.desktop.Boxes(), IsEmpty());
  }
}

TEST_F(ExactNamesTest, DeletedPathsAreLoggedWithoutLosingCharacters) {
  UseTree(RemoteTree::FromPaths({U8(u8"/한국/a.txt"), "/d/x%20y.txt", "/d/keep.txt"}));
  DeleteRemotePaths({EncodeRemoteJsonText("/\\uD55C\\uAD6D/a.txt", false),
                     EncodeRemoteJsonText("/d/x%20y.txt", false)});
  EXPECT_EQ(Tree(), RemoteTree::FromPaths({U8(u8"/한국/"), "/d/keep.txt"}));
  EXPECT_EQ(LogText(kLogDeleted), "/\\uD55C\\uAD6D/a.txt\r\n/d/x%20y.txt\r\n");
}

}  // namespace
