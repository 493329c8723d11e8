// The selection of a rename task from the ticked items of the folder tree:
// paths in backslash-u notation, the confirmation's 20 lines, repeated entries
// and the root item.

#include "jobs/rename_selection.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "foundation/text_arrays.h"
#include "rename_task_harness.h"

namespace {

class RenameSelectionTest : public ::testing::Test {
 protected:
  void SetUp() override { m_root = AddTreeRoot(); }
  void TearDown() override { GetFolderTree().Clear(); }
  static RenameSelection Collect(bool tickedItems) {
    return CollectRenameSelection(GetFolderTree().Items(), tickedItems);
  }
  int m_root = 0;
};

TEST_F(RenameSelectionTest, TwentyFiveFoldersListTwentyLinesAndTwentyFiveEntries) {
  for (int i = 1; i <= 25; ++i) {
    Tick(AddTreePath("/d" + std::to_string(i) + "/"));
  }
  const RenameSelection selection = Collect(false);
  ASSERT_EQ(selection.entries.size(), 25u);
  EXPECT_EQ(selection.entries.front(), "/d1");
  EXPECT_EQ(selection.entries.back(), "/d25");
  const std::u16string& lines = selection.confirmation;
  EXPECT_EQ(std::count(lines.begin(), lines.end(), u'\n'), 20) << "20 lines, each ended by CR LF";
  EXPECT_EQ(lines.substr(0, 14), u"目录：d1\r\n目录：d2\r\n");
  EXPECT_NE(lines.find(u"目录：d20\r\n"), std::u16string::npos);
  EXPECT_EQ(lines.find(u"d21"), std::u16string::npos);
}

TEST_F(RenameSelectionTest, EachModeTakesItsKindsOfItems) {
  const int folder = AddTreePath("/a b/");
  Tick(folder);
  Tick(AddTreePath("/a b/x.txt"));
  Tick(AddTreeItem(folder, u"한국-1", 1));
  AddTreePath("/unticked/");

  const RenameSelection folders = Collect(false);
  EXPECT_EQ(folders.entries, (TextArray{"/a b", "/a b/\\uD55C\\uAD6D-1"}));
  EXPECT_EQ(folders.confirmation, u"目录：a b\r\n目录：한국-1\r\n");

  const RenameSelection items = Collect(true);
  EXPECT_EQ(items.entries, (TextArray{"目录/a b", "文件/a b/x.txt", "目录/a b/\\uD55C\\uAD6D-1"}));
  EXPECT_EQ(items.confirmation, u"目录：a b\r\n文件：x.txt\r\n目录：한국-1\r\n");
  EXPECT_FALSE(items.rootTicked);
}

TEST_F(RenameSelectionTest, AFolderListedTwiceRunsOnce) {
  Tick(AddTreeItem(m_root, u"twin", 1));
  Tick(AddTreeItem(m_root, u"twin", 1));
  EXPECT_EQ(Collect(false).entries, (TextArray{"/twin"}));
}

TEST_F(RenameSelectionTest, OnlyFilesTickedGiveNoFolderEntry) {
  Tick(AddTreePath("/a/x.txt"));
  EXPECT_TRUE(Collect(false).entries.empty());
  EXPECT_EQ(Collect(true).entries, (TextArray{"文件/a/x.txt"}));
}

TEST_F(RenameSelectionTest, TheRootIsMarkedButNeverAnEntry) {
  Tick(m_root);
  Tick(AddTreePath("/a.txt"));
  const RenameSelection selection = Collect(true);
  EXPECT_TRUE(selection.rootTicked);
  EXPECT_EQ(selection.entries, (TextArray{"文件/a.txt"}));
  EXPECT_EQ(selection.confirmation, u"文件：a.txt\r\n");
}

TEST_F(RenameSelectionTest, RemovedItemsAreNotSelected) {
  const int folder = AddTreePath("/a/");
  Tick(AddTreePath("/a/b/"));
  GetFolderTree().RemoveChildren(folder);
  EXPECT_TRUE(Collect(false).entries.empty());
}

}  // namespace
