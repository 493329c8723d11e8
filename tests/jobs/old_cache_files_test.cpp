// Removal of leftover listing-cache files from the program's folder.

#include "jobs/old_cache_files.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "support/scoped_environment.h"
#include "support/scratch_folder.h"

namespace {

namespace fs = std::filesystem;

class OldCacheFilesTest : public ::testing::Test {
 protected:
  fs::path Path(const std::string& name) const { return m_folder.Path() / name; }
  void Touch(const std::string& name) const { std::ofstream(Path(name)) << "x"; }

  ScratchFolder m_folder;
  ScopedEnvironment m_home{"QUILLMERE_HOME", m_folder.Utf8()};
};

TEST_F(OldCacheFilesTest, OnlyCacheFilesOfTheProgramFolderGo) {
  struct Row {
    const char* name;
    bool deleted;
  };
  const Row rows[] = {
      {"folderlist_re_1765300000.db", true},
      {"folderlist_re_1765300001.db-journal", true},
      {"FOLDERLIST_RE_1.DB", true},  // names match without regard to ASCII case
      {"folderlist_re_", true},
      {"old_folderlist_re_1.db", false},
      {"folderlist_1.db", false},
      {"err.txt", false},
  };
  for (const Row& row : rows) {
    Touch(row.name);
  }
  fs::create_directories(Path("sub"));
  Touch("sub/folderlist_re_1765300002.db");
  fs::create_directories(Path("folderlist_re_dir.d"));

  DeleteOldCacheFiles();

  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(fs::exists(Path(row.name)), !row.deleted);
  }
  EXPECT_TRUE(fs::exists(Path("sub/folderlist_re_1765300002.db")));
  EXPECT_TRUE(fs::is_directory(Path("folderlist_re_dir.d")));
}

TEST_F(OldCacheFilesTest, TheCacheOfARunUnderWayStays) {
  std::ofstream open(Path("folderlist_re_1765300003.db"));
  open << "in use";
  open.flush();
  Touch("folderlist_re_1765300000.db");

  DeleteOldCacheFiles();

  EXPECT_TRUE(fs::exists(Path("folderlist_re_1765300003.db")));
  EXPECT_FALSE(fs::exists(Path("folderlist_re_1765300000.db")));
}

}  // namespace
