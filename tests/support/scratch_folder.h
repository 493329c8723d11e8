#pragma once
// A fresh empty folder per test under $QUILLMERE_TEST_TMP (or the system's
// temporary folder), removed again when the test ends. Paths are UTF-8.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

class ScratchFolder {
 public:
  ScratchFolder() {
    static std::atomic<int> s_counter{0};
    const char* base = std::getenv("QUILLMERE_TEST_TMP");
    std::filesystem::path root = base != nullptr && *base != '\0'
                                     ? std::filesystem::path(base)
                                     : std::filesystem::temp_directory_path();
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = test != nullptr ? std::string(test->test_suite_name()) + "." + test->name()
                                       : std::string("scratch");
    for (char& c : name) {
      if (c == '/') {
        c = '_';
      }
    }
    m_path = root / (name + "." + std::to_string(getpid()) + "." + std::to_string(++s_counter));
    std::filesystem::remove_all(m_path);
    std::filesystem::create_directories(m_path);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::filesystem::path& Path() const { return m_path; }
  // UTF-8 path of `name` inside the folder.
  std::string Utf8(const std::string& name = {}) const {
    return name.empty() ? m_path.string() : (m_path / name).string();
  }

 private:
  std::filesystem::path m_path;
};
