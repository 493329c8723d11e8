// The run directory: $QUILLMERE_HOME first, created when missing.

#include "foundation/run_directory.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

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

TEST_F(RunDirectoryTest, WithoutHomeVariableTheFolderIsAWritableAbsolutePath) {
  unsetenv("QUILLMERE_HOME");
  std::string folder = GetRunDirectory();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder[0], '/');
  EXPECT_TRUE(fs::is_directory(Cp936ToUtf8(folder)));
}

}  // namespace
