#include "platform/staged_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;

class StagedFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/staged-file-test-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    m_folder = pattern;
  }
  void TearDown() override { fs::remove_all(m_folder); }

  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  std::size_t EntryCount() const {
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator(m_folder), fs::directory_iterator()));
  }

  std::string m_folder;
};

TEST_F(StagedFileTest, ReplacesTheFileWholeWithTheModeAskedFor) {
  const std::string target = m_folder + "/baiduset.ini";
  std::ofstream(target) << "old";
  ASSERT_TRUE(WriteFileReplacing(target, std::string("new\0text", 8), 0600));
  EXPECT_EQ(Read(target), std::string("new\0text", 8));
  struct stat info {};
  ASSERT_EQ(::stat(target.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  EXPECT_EQ(EntryCount(), 1u);
}

TEST_F(StagedFileTest, TheOldFileStaysUntilCommitAndAnUncommittedWriteLeavesNothing) {
  const std::string target = m_folder + "/keyreplace.ini";
  std::ofstream(target) << "old";
  {
    StagedFile file;
    ASSERT_TRUE(file.Write(target, "new"));
    EXPECT_EQ(Read(target), "old");
    EXPECT_EQ(EntryCount(), 2u);
  }
  EXPECT_EQ(Read(target), "old");
  EXPECT_EQ(EntryCount(), 1u);
}

TEST_F(StagedFileTest, AFolderThatCannotBeWrittenChangesNothing) {
  const std::string missing = m_folder + "/no-such-folder/settings.ini";
  EXPECT_FALSE(WriteFileReplacing(missing, "x"));
  StagedFile file;
  EXPECT_FALSE(file.Commit());
  // A target that is a folder cannot be replaced by a file.
  fs::create_directory(m_folder + "/taken");
  EXPECT_FALSE(WriteFileReplacing(m_folder + "/taken", "x"));
  EXPECT_TRUE(fs::is_directory(m_folder + "/taken"));
  EXPECT_EQ(EntryCount(), 1u);
}

TEST_F(StagedFileTest, CommittingWithoutReplacingNeverTouchesAnExistingEntry) {
  struct Row {
    const char* name;
    const char* existing;  // null: nothing, "link": a dangling link, else a file's content
    bool committed;
  };
  const Row rows[] = {
      {"no entry: the file appears", nullptr, true},
      {"a file: kept as it was", "foreign", false},
      {"a dangling link: kept, nothing written through it", "link", false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string target = m_folder + "/WebView2_Caller.dll";
    const std::string elsewhere = m_folder + "/elsewhere";
    fs::remove(target);
    if (row.existing != nullptr && std::string(row.existing) == "link") {
      fs::create_symlink(elsewhere, target);
    } else if (row.existing != nullptr) {
      std::ofstream(target) << row.existing;
    }
    StagedFile file;
    ASSERT_TRUE(file.Write(target, "image", 0755));
    EXPECT_EQ(file.CommitWithoutReplacing(), row.committed);
    if (row.existing == nullptr) {
      EXPECT_EQ(Read(target), "image");
    } else if (std::string(row.existing) == "link") {
      EXPECT_TRUE(fs::is_symlink(target));
      EXPECT_FALSE(fs::exists(elsewhere));
    } else {
      EXPECT_EQ(Read(target), row.existing);
    }
  }
  EXPECT_EQ(EntryCount(), 1u) << "a staged file was left behind";
}

}  // namespace
