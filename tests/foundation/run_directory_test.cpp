// The run directory: $QUILLMERE_HOME first, created when missing.

#include "foundation/run_directory.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "foundation/file_system_path.h"
#include "foundation/files_and_paths.h"
#include "platform/code_page_codec.h"
#include "support/scoped_environment.h"
#include "support/scratch_folder.h"

namespace {

namespace fs = std::filesystem;

class RunDirectoryTest : public ::testing::Test {
 protected:
  ScratchFolder m_folder;
  ScopedEnvironment m_home{"QUILLMERE_HOME"};
};

TEST_F(RunDirectoryTest, HomeVariableWinsAndIsCreated) {
  fs::path home = m_folder.Path() / reinterpret_cast<const char*>(u8"程序目录");
  setenv("QUILLMERE_HOME", (home.string() + "/").c_str(), 1);
  std::string expected = Utf8ToCp936(home.string());
  EXPECT_EQ(GetRunDirectory(), expected);
  EXPECT_TRUE(fs::is_directory(home));
  EXPECT_EQ(RunDirectoryPath("err.txt"), expected + "/err.txt");
}

TEST_F(RunDirectoryTest, EnteringMakesItTheWorkingDirectory) {
  fs::path old = fs::current_path();
  setenv("QUILLMERE_HOME", m_folder.Utf8().c_str(), 1);
  ASSERT_TRUE(EnterRunDirectory());
  EXPECT_EQ(fs::current_path(), fs::canonical(m_folder.Path()));
  fs::current_path(old);
}

// A folder whose name code page 936 cannot hold is still the folder asked
// for: files named on the run directory land in it, never in a "bj?rn".
TEST_F(RunDirectoryTest, FolderWithCharactersOutsideTheCodePageStaysExact) {
  for (const char* name :
       {reinterpret_cast<const char*>(u8"björn"), reinterpret_cast<const char*>(u8"한글 폴더")}) {
    SCOPED_TRACE(name);
    fs::path home = m_folder.Path() / name;
    setenv("QUILLMERE_HOME", home.string().c_str(), 1);
    EXPECT_EQ(RunDirectoryFileSystemPath(), home.string());
    EXPECT_TRUE(fs::is_directory(home));

    const std::string errFile = RunDirectoryPath("err.txt");
    EXPECT_EQ(FileSystemPathFromText(errFile), (home / "err.txt").string());
    { std::ofstream(FileSystemPathFromText(errFile)) << "x"; }
    EXPECT_TRUE(fs::exists(home / "err.txt"));
    EXPECT_TRUE(FileExists(errFile));
    EXPECT_TRUE(DirectoryExists(GetRunDirectory()));

    ASSERT_TRUE(CreateDirectoryPath(RunDirectoryPath("sub\\level")));
    EXPECT_TRUE(fs::is_directory(home / "sub" / "level"));
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(m_folder.Path()), fs::directory_iterator()), 2);
}

// A relative $QUILLMERE_HOME is taken against the working directory once;
// entering the folder does not make it nest in itself.
TEST_F(RunDirectoryTest, RelativeHomeIsResolvedOnceToAnAbsoluteFolder) {
  fs::path old = fs::current_path();
  fs::current_path(m_folder.Path());
  setenv("QUILLMERE_HOME", "relhome", 1);
  ASSERT_TRUE(EnterRunDirectory());
  const fs::path expected = fs::absolute(m_folder.Path() / "relhome");
  EXPECT_EQ(fs::current_path(), fs::canonical(expected));
  EXPECT_EQ(RunDirectoryFileSystemPath(), expected.string());
  EXPECT_EQ(FileSystemPathFromText(RunDirectoryPath("err.txt")), (expected / "err.txt").string());
  EXPECT_FALSE(fs::exists(expected / "relhome"));
  fs::current_path(old);
}

TEST_F(RunDirectoryTest, WithoutHomeVariableTheFolderIsAWritableAbsolutePath) {
  unsetenv("QUILLMERE_HOME");
  std::string folder = GetRunDirectory();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder[0], '/');
  EXPECT_TRUE(fs::is_directory(Cp936ToUtf8(folder)));
}

}  // namespace
