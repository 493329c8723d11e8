// The folder tree model: stable indices, removal of a folder's entries, check
// states, the current item and the change listeners; the icon table and the
// remote path of an item.

#include "web/folder_tree_model.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "foundation/text_encodings.h"
#include "web/remote_name_text.h"
#include "web/remote_tree_paths.h"

namespace {

std::string U16(const char* text) {
  return TextToUtf16(text, true);
}

// root
//   电影 (1)        folder
//     2020 (2)      folder
//       a b.mp4 (3) file
//     x.txt (4)     file
//   docs (5)        folder
class FolderTreeModelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_tree.Clear();
    m_tree.Add(-1, U16("demo的网盘"), kRootImage, kRootItemData);
    m_tree.Add(0, U16("电影"), kFolderImage, kFolderItemData);
    m_tree.Add(1, U16("2020"), kFolderImage, kFolderItemData);
    m_tree.Add(2, U16("a b.mp4"), 1, kFileItemData);
    m_tree.Add(1, U16("x.txt"), 13, kFileItemData);
    m_tree.Add(0, U16("docs"), kFolderImage, kFolderItemData);
  }
  FolderTreeModel m_tree;
};

TEST_F(FolderTreeModelTest, RemovingAFoldersEntriesKeepsEveryOtherIndex) {
  ASSERT_TRUE(m_tree.SetChecked(3, true));
  m_tree.SetCurrent(3);
  EXPECT_TRUE(m_tree.RemoveChildren(1));

  EXPECT_TRUE(m_tree.Exists(1));
  for (int gone : {2, 3, 4}) {
    EXPECT_FALSE(m_tree.Exists(gone)) << gone;
    EXPECT_FALSE(m_tree.SetChecked(gone, true)) << gone;
    EXPECT_FALSE(m_tree.IsChecked(gone)) << gone;
  }
  EXPECT_EQ(m_tree.Current(), -1);  // the current item went with them
  EXPECT_EQ(m_tree.Children(0), (std::vector<int>{1, 5}));
  EXPECT_TRUE(m_tree.Children(1).empty());
  EXPECT_EQ(Utf16ToText(m_tree.Item(5).textUtf16), "docs");
  EXPECT_EQ(m_tree.Item(3).textUtf16, "");  // a default item

  // A fresh listing appends after the last index ever used.
  EXPECT_EQ(m_tree.Add(1, U16("new.txt"), 13, kFileItemData), 6);
  EXPECT_EQ(m_tree.Children(1), (std::vector<int>{6}));
  EXPECT_FALSE(m_tree.RemoveChildren(3));
}

TEST_F(FolderTreeModelTest, CheckStatesOfOneItemOfItsDescendantsAndOfAll) {
  EXPECT_TRUE(m_tree.SetDescendantsChecked(1, true));
  std::vector<bool> checked;
  for (int i = 0; i <= 5; ++i) {
    checked.push_back(m_tree.IsChecked(i));
  }
  EXPECT_EQ(checked, (std::vector<bool>{false, false, true, true, true, false}));
  m_tree.SetChecked(0, true);
  m_tree.UncheckAll();
  for (int i = 0; i <= 5; ++i) {
    EXPECT_FALSE(m_tree.IsChecked(i)) << i;
  }
}

TEST_F(FolderTreeModelTest, CurrentItemIsNoneForAMissingIndexAndAfterClear) {
  m_tree.SetCurrent(4);
  EXPECT_EQ(m_tree.Current(), 4);
  m_tree.SetCurrent(99);
  EXPECT_EQ(m_tree.Current(), -1);
  m_tree.SetCurrent(2);
  const int generation = m_tree.Snapshot().generation;
  m_tree.Clear();
  EXPECT_EQ(m_tree.Current(), -1);
  EXPECT_EQ(m_tree.Snapshot().generation, generation + 1);
  EXPECT_EQ(m_tree.Add(-1, U16("root"), kRootImage, kRootItemData), 0);
}

TEST_F(FolderTreeModelTest, ListenersHearEveryChangeOnTheChangingThreadOutsideTheLock) {
  std::atomic<int> calls{0};
  // Reading the model from the listener would deadlock if the lock were held.
  const int id = m_tree.AddChangeListener([this, &calls] {
    (void)m_tree.Snapshot();
    ++calls;
  });
  std::thread worker([this] {
    m_tree.Add(5, U16("b.pdf"), 10, kFileItemData);
    m_tree.SetChecked(5, true);
    m_tree.SetChecked(5, true);  // no change, no call
    m_tree.Expand(5);
    m_tree.RemoveChildren(5);
  });
  worker.join();
  EXPECT_EQ(calls.load(), 4);
  m_tree.RemoveChangeListener(id);
  m_tree.Clear();
  EXPECT_EQ(calls.load(), 4);
}

TEST(FileIconIndexTest, ExtensionTable) {
  struct Row {
    const char* name;
    int image;
  };
  const Row rows[] = {
      {"a b.TXT", 13},     {"photo.jpeg", 9}, {"photo.JPGE", 7}, {"README", 0},
      {"x.tar.gz", 9},     {"movie.MP4", 1},  {"a.7z", 2},       {"app.apk", 3},
      {"song.m4a", 8},     {"book.pdf", 10},  {"setup.exe", 11}, {"page.HTML", 12},
      {"letter.docx", 14}, {"data.csv", 15},  {"talk.pptx", 16}, {"目录.版本 2", 0},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(GetFileIconIndex(row.name), row.image) << row.name;
  }
  EXPECT_EQ(FileIconIndexOf("a.zip"), 2);  // the root listing uses the same table
}

TEST(RemoteTreeNodePathTest, PathsAndFolderFlags) {
  FolderTreeModel& tree = GetFolderTree();
  tree.Clear();
  tree.Add(-1, U16("demo的网盘"), kRootImage, kRootItemData);
  tree.Add(0, U16("电影"), kFolderImage, kFolderItemData);
  tree.Add(1, U16("2020"), kFolderImage, kFolderItemData);
  tree.Add(2, U16("a b.mp4"), 1, kFileItemData);
  // A character code page 936 lacks is kept in backslash-u notation, and so is
  // a backslash that notation would read as the start of an escape.
  tree.Add(1, TextToUtf16("x", true) + std::string("\x3C\xD8\x89\xDF", 4), 0, kFileItemData);
  tree.Add(1, U16("a\\u0041\\b"), 0, kFileItemData);
  struct Row {
    int current;
    int index;
    const char* path;
    int isFolder;
  };
  const Row rows[] = {
      {0, 0, "/", 1},
      {3, 0, "/电影/2020/a b.mp4", 0},
      {-1, 2, "/电影/2020", 1},
      {-1, 3, "/电影/2020/a b.mp4", 0},
      {-1, 4, "/电影/x\\uD83C\\uDF89", 0},
      {-1, 5, "/电影/a\\u005Cu0041\\b", 0},
      {-1, 0, "", 0},
      {-1, 9, "", 0},
  };
  for (const Row& row : rows) {
    tree.SetCurrent(row.current);
    int isFolder = -5;
    const std::string path = GetRemoteTreeNodePath(isFolder, row.index);
    EXPECT_EQ(path, row.path) << row.index;
    EXPECT_EQ(isFolder, row.isFolder) << row.index;
    EXPECT_EQ(RemoteNameUtf8(path), GetRemoteTreeNodePathUtf8(isFolder, row.index)) << row.index;
  }
  tree.Clear();
}

}  // namespace
