// The run directory: $QUILLMERE_HOME first, created when missing.

#include "foundation/run_directory.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/code_page_codec.h"
#include "support/scratch_folder.h"

namespace {

namespace fs = std::filesystem;

class RunDirectoryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* old = std::getenv("QUILLMERE_HOME");
    m_hadHome = old != nullptr;
    m_oldHome = old != nullptr ? old : "";
  }
  void TearDown() override {
    if (m_hadHome) {
      setenv("QUILLMERE_HOME", m_oldHome.c_str(), 1);
    } else {
      unsetenv("QUILLMERE_HOME");
    }
  }

  ScratchFolder m_folder;
  bool m_hadHome = false;
  std::string m_oldHome;
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
