// Removing folder trees without following links, and deleting files only when
// this process does not hold them open.

#include "foundation/file_deletion.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/code_page_codec.h"
#include "support/scratch_folder.h"

namespace {

namespace fs = std::filesystem;

class FileDeletionTest : public ::testing::Test {
 protected:
  // Code page 936 path text and its on-disk form.
  std::string In(const std::string& name) { return m_folder.Utf8() + "/" + name; }
  fs::path Disk(const std::string& name) { return fs::path(Cp936ToUtf8(In(name))); }
  void Touch(const std::string& name) { std::ofstream(Disk(name)) << "x"; }

  ScratchFolder m_folder;
};

TEST_F(FileDeletionTest, TreeRemovalLeavesTheTargetsOfLinksAlone) {
  fs::create_directories(Disk("cache/EBWebView/深层"));
  fs::create_directories(Disk("keep/内层"));
  Touch("keep/内层/留下.txt");
  Touch("keep/file.txt");
  Touch("cache/EBWebView/深层/a.bin");
  fs::create_directory_symlink(Disk("keep"), Disk("cache/EBWebView/dir-link"));
  fs::create_symlink(Disk("keep/file.txt"), Disk("cache/EBWebView/深层/file-link"));
  fs::permissions(Disk("cache/EBWebView/深层/a.bin"), fs::perms::owner_read);

  EXPECT_TRUE(RemoveDirectoryTree(In("cache/EBWebView")));
  EXPECT_FALSE(fs::exists(Disk("cache/EBWebView")));
  EXPECT_TRUE(fs::exists(Disk("cache")));
  EXPECT_TRUE(fs::exists(Disk("keep/内层/留下.txt")));
  EXPECT_TRUE(fs::exists(Disk("keep/file.txt")));
}

TEST_F(FileDeletionTest, FoldersGoWhateverTheirPermissionBits) {
  fs::create_directories(Disk("tree/locked/inner"));
  fs::create_directories(Disk("tree/unreadable"));
  Touch("tree/locked/inner/a.txt");
  Touch("tree/locked/b.txt");
  Touch("tree/unreadable/c.txt");
  fs::permissions(Disk("tree/locked/inner"), fs::perms::owner_read | fs::perms::owner_exec);
  fs::permissions(Disk("tree/locked"), fs::perms::owner_read | fs::perms::owner_exec);
  fs::permissions(Disk("tree/unreadable"), fs::perms::owner_write);
  fs::permissions(Disk("tree"), fs::perms::owner_read | fs::perms::owner_exec);

  EXPECT_TRUE(RemoveDirectoryTree(In("tree")));
  EXPECT_FALSE(fs::exists(Disk("tree")));
}

TEST_F(FileDeletionTest, ALinkGivenAsTheFolderIsRemovedAsALink) {
  fs::create_directories(Disk("target"));
  Touch("target/a.txt");
  fs::create_directory_symlink(Disk("target"), Disk("link"));
  EXPECT_TRUE(RemoveDirectoryTree(In("link")));
  EXPECT_FALSE(fs::exists(fs::symlink_status(Disk("link"))));
  EXPECT_TRUE(fs::exists(Disk("target/a.txt")));
}

TEST_F(FileDeletionTest, TreeRemovalRefusesRootEmptyAndMissing) {
  EXPECT_FALSE(RemoveDirectoryTree(""));
  EXPECT_FALSE(RemoveDirectoryTree("/"));
  EXPECT_FALSE(RemoveDirectoryTree("//"));
  EXPECT_FALSE(RemoveDirectoryTree(In("missing")));
  Touch("plain.txt");
  EXPECT_FALSE(RemoveDirectoryTree(In("plain.txt")));
  EXPECT_TRUE(fs::exists(Disk("plain.txt")));
}

TEST_F(FileDeletionTest, AFileThisProcessHoldsOpenIsNotDeleted) {
  Touch("folderlist_re_1700000000.db");
  int fd = open(Disk("folderlist_re_1700000000.db").c_str(), O_RDWR);
  ASSERT_GE(fd, 0);
  EXPECT_TRUE(IsFileOpenInThisProcess(In("folderlist_re_1700000000.db")));
  EXPECT_FALSE(DeleteFileUnlessOpen(In("folderlist_re_1700000000.db")));
  EXPECT_TRUE(fs::exists(Disk("folderlist_re_1700000000.db")));
  close(fd);
  EXPECT_FALSE(IsFileOpenInThisProcess(In("folderlist_re_1700000000.db")));
  EXPECT_TRUE(DeleteFileUnlessOpen(In("folderlist_re_1700000000.db")));
  EXPECT_FALSE(fs::exists(Disk("folderlist_re_1700000000.db")));
}

TEST_F(FileDeletionTest, FileDeletionNeverTakesFoldersOrLinkTargets) {
  fs::create_directories(Disk("目录"));
  EXPECT_FALSE(DeleteFileUnlessOpen(In("目录")));
  EXPECT_TRUE(fs::is_directory(Disk("目录")));
  Touch("real.txt");
  fs::create_symlink(Disk("real.txt"), Disk("link.txt"));
  EXPECT_TRUE(DeleteFileUnlessOpen(In("link.txt")));
  EXPECT_TRUE(fs::exists(Disk("real.txt")));
}

}  // namespace
