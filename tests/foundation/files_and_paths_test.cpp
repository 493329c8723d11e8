// Files and paths on the real file system, in a scratch folder per test.
// Narrow literals are code page 936; the folder's own path is ASCII.

#include "foundation/files_and_paths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "foundation/file_name_pattern.h"
#include "platform/code_page_codec.h"
#include "support/scratch_folder.h"

namespace {

namespace fs = std::filesystem;

// The on-disk (UTF-8) path of a code page 936 path text.
fs::path OnDisk(const std::string& text) {
  return fs::path(Cp936ToUtf8(text));
}

void WriteFile(const std::string& text, const std::string& content) {
  std::ofstream(OnDisk(text), std::ios::binary) << content;
}

std::string ReadFile(const std::string& text) {
  std::ifstream in(OnDisk(text), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string Wide(const std::string& text) {
  return Utf16ToLeBytes(DecodeToUtf16(text, kCodePageLocal)) + std::string(2, '\0');
}

class FilesTest : public ::testing::Test {
 protected:
  std::string In(const std::string& name) { return m_folder.Utf8() + "/" + name; }
  ScratchFolder m_folder;
};

TEST(PathExtension, TakesTheLastDotOfTheLastPart) {
  struct Row {
    const char* name;
    std::string path;
    std::string extension;
  };
  const Row rows[] = {
      {"two dots", "a.b.txt", ".txt"},
      {"dot in a folder name", "dir.x/name", ""},
      {"dot in a folder name, backslash", "dir.x\\name", ""},
      {"no dot", "name", ""},
      {"blank after the dot", "a.b c", ""},
      {"Chinese name", "/资料/报告.文档", ".文档"},
      // 0x81 0x5C is one double-byte character whose trail byte equals "\".
      {"trail byte equal to backslash", "a.\x81\x5C", ".\x81\x5C"},
      {"dot alone at the end", "name.", "."},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(GetPathExtension(row.path), row.extension);
  }
}

TEST(TargetPath, AcceptsAbsoluteLinuxPathsWithLegalNames) {
  struct Row {
    const char* name;
    std::string path;
    bool extensionOptional;
    bool accepted;
  };
  const Row rows[] = {
      {"absolute path", "/home/u/baiduset_备份_2026年1月2日.ini", true, true},
      {"backslash separators", "/home/u\\renset\\f.ini", true, true},
      {"relative path", "renset/f.ini", true, false},
      {"Windows drive path", "C:\\x\\f.ini", true, false},
      {"ends with a separator", "/home/u/", true, false},
      {"star in the name", "/home/u/a*.ini", true, false},
      {"double quote in the name", "/home/u/a\".ini", true, false},
      {"colon in the name", "/home/u/a:b", true, false},
      {"trail byte equal to bar is not a bar", "/home/u/\x81\x7C.ini", true, true},
      {"extension required: dot first", "/home/u/.ini", false, false},
      {"extension required: dot last", "/home/u/f.", false, false},
      {"extension required: no dot", "/home/u/f", false, false},
      {"extension required: f.ini", "/home/u/f.ini", false, true},
      {"extension optional: no dot", "/home/u/f", true, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(IsValidTargetPath(row.path, row.extensionOptional), row.accepted);
  }
}

TEST_F(FilesTest, MoveNeverReplacesAnExistingTarget) {
  WriteFile(In("baiduset.ini"), "new");
  WriteFile(In("baiduset_备份_1.ini"), "old backup");
  EXPECT_FALSE(MoveFileChecked(In("baiduset.ini"), In("baiduset_备份_1.ini")));
  EXPECT_EQ(ReadFile(In("baiduset.ini")), "new");
  EXPECT_EQ(ReadFile(In("baiduset_备份_1.ini")), "old backup");

  EXPECT_TRUE(MoveFileChecked(In("baiduset.ini"), In("baiduset_备份_2.ini")));
  EXPECT_FALSE(fs::exists(OnDisk(In("baiduset.ini"))));
  EXPECT_EQ(ReadFile(In("baiduset_备份_2.ini")), "new");
  // Refused targets and missing sources leave everything alone.
  EXPECT_FALSE(MoveFileChecked(In("baiduset_备份_2.ini"), "relative.ini"));
  EXPECT_FALSE(MoveFileChecked(In("missing.ini"), In("other.ini")));
  EXPECT_EQ(ReadFile(In("baiduset_备份_2.ini")), "new");
}

TEST_F(FilesTest, DirectoriesAreCreatedLevelByLevel) {
  std::string deep = In("缓存/一/二");
  EXPECT_FALSE(DirectoryExists(deep));
  EXPECT_TRUE(CreateDirectoryPath(deep));
  EXPECT_TRUE(fs::is_directory(OnDisk(deep)));
  EXPECT_TRUE(DirectoryExists(deep));
  EXPECT_TRUE(DirectoryExistsWide(Wide(deep)));
  // Written with backslashes, as a Windows-minded caller would.
  EXPECT_TRUE(CreateDirectoryPath(m_folder.Utf8() + "\\renset\\子"));
  EXPECT_TRUE(fs::is_directory(OnDisk(In("renset/子"))));
  // Existing levels: true, nothing changes.
  EXPECT_TRUE(CreateDirectoryPath(deep));
  // A file in the way: false.
  WriteFile(In("文件"), "x");
  EXPECT_FALSE(CreateDirectoryPath(In("文件/子")));
  EXPECT_FALSE(DirectoryExists(In("文件")));
}

TEST_F(FilesTest, ShortPathsCreateNothing) {
  fs::path old = fs::current_path();
  fs::current_path(m_folder.Path());
  CreateDirectoryLevels(Wide("ab"));
  EXPECT_FALSE(fs::exists("ab"));
  CreateDirectoryLevels(Wide("abc"));
  EXPECT_TRUE(fs::is_directory("abc"));
  fs::current_path(old);
}

TEST_F(FilesTest, FileExistsIsFalseForDirectoriesAndFollowsPatterns) {
  WriteFile(In("中文名.txt"), "x");
  CreateDirectoryPath(In("folder.dir"));
  EXPECT_TRUE(FileExists(In("中文名.txt")));
  EXPECT_TRUE(FileExistsWide(Wide(In("中文名.txt"))));
  EXPECT_FALSE(FileExists(In("folder.dir")));
  EXPECT_FALSE(FileExists(In("missing.txt")));
  EXPECT_TRUE(FileExists(In("中文*.TXT")));
  // The first match in name order is the folder.
  EXPECT_FALSE(FileExists(In("f*")));
}

TEST_F(FilesTest, FindFilesListsPatternByPatternAndSkipsFolders) {
  for (const char* name :
       {"folderlist_re_1700000001.db", "folderlist_re_1700000000.db",
        "folderlist_re_1700000000.db-journal", "err.txt", "结果_修改成功_.txt"}) {
    WriteFile(In(name), "");
  }
  CreateDirectoryPath(In("folderlist_re_dir"));
  std::vector<std::string> results = {"stale"};
  EXPECT_EQ(FindFilesRecursive(m_folder.Utf8(), "folderlist_re_*.*", results, true), 3);
  EXPECT_EQ(results, (std::vector<std::string>{In("folderlist_re_1700000000.db"),
                                               In("folderlist_re_1700000000.db-journal"),
                                               In("folderlist_re_1700000001.db")}));

  EXPECT_EQ(FindFilesRecursive(m_folder.Utf8() + "/", "*.txt||folderlist_re_1700000001.*", results),
            3);
  EXPECT_EQ(results, (std::vector<std::string>{"err.txt", "结果_修改成功_.txt",
                                               "folderlist_re_1700000001.db"}));

  EXPECT_EQ(FindFilesRecursive(m_folder.Utf8(), "*.txt|err.*", results, false, true), 3);
  EXPECT_EQ(results, (std::vector<std::string>{"err.txt", "err.txt", "结果_修改成功_.txt"}));
}

// "東" is 0x96 0x7C in code page 936: its trail byte is a "|".
TEST_F(FilesTest, FindFilesSplitsPatternsOnlyAtRealBars) {
  WriteFile(In("東.txt"), "");
  WriteFile(In("x.ini"), "");
  std::vector<std::string> results;
  EXPECT_EQ(FindFilesRecursive(m_folder.Utf8(), "東.txt|*.ini", results), 2);
  EXPECT_EQ(results, (std::vector<std::string>{"東.txt", "x.ini"}));
}

TEST_F(FilesTest, FindFilesRecursesWithoutFollowingLinks) {
  CreateDirectoryPath(In("tree/子目录"));
  CreateDirectoryPath(In("outside"));
  WriteFile(In("tree/a.ini"), "");
  WriteFile(In("tree/子目录/b.ini"), "");
  WriteFile(In("outside/c.ini"), "");
  fs::create_directory_symlink(OnDisk(In("outside")), OnDisk(In("tree/link")));
  fs::create_directory_symlink(OnDisk(In("tree")), OnDisk(In("tree/子目录/loop")));
  std::vector<std::string> results;
  EXPECT_EQ(FindFilesRecursive(In("tree"), "*.ini", results, true, false, true), 2);
  EXPECT_EQ(results, (std::vector<std::string>{In("tree/a.ini"), In("tree/子目录/b.ini")}));
}

TEST(FileNamePattern, MatchesLikeTheProgramsPatterns) {
  struct Row {
    const char* name;
    std::string file;
    std::string pattern;
    bool matches;
  };
  const Row rows[] = {
      {"star dot star matches a name without dot", "README", "*.*", true},
      {"prefix and any extension", "folderlist_re_1.db", "folderlist_re_*.*", true},
      {"other prefix", "folderlist_1.db", "folderlist_re_*.*", false},
      {"case of ASCII letters ignored", "ERR.TXT", "err.txt", true},
      {"question mark takes one double-byte character", "中.txt", "?.txt", true},
      {"question mark takes exactly one", "中文.txt", "?.txt", false},
      {"empty pattern matches nothing", "a", "", false},
      {"star in the middle backtracks", "a.b.c.txt", "a*.txt", true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(MatchesFileNamePattern(row.file, row.pattern), row.matches);
  }
}

}  // namespace
