#include "platform/staged_file.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>
#include <thread>
#include <vector>

#include "platform/memory_files.h"
#include "platform/private_profile.h"

// The file-mode mask is the whole process's. This test program stands in for
// the C library's umask so that a writer which opens the mask wide, however
// briefly, is held there until another thread has created a file: the race
// then shows at its first chance instead of once in a few hundred thousand.
namespace {

struct MaskWindow {
  std::mutex mutex;
  std::condition_variable changed;
  bool watching = false;  // only while a test asks for it
  int openings = 0;       // masks set without the group and other write bits
  int filesMadeWhileOpen = 0;
};

MaskWindow& Window() {
  static MaskWindow window;
  return window;
}

// Bounds every wait of the threads below: a party that never comes leaves
// the race unshown or the test failed, never hung.
constexpr auto kHandOverBound = std::chrono::seconds(5);

}  // namespace

extern "C" mode_t umask(mode_t mask) {
  using Umask = mode_t (*)(mode_t);
  static const auto real = reinterpret_cast<Umask>(::dlsym(RTLD_NEXT, "umask"));
  const mode_t previous = real(mask);
  MaskWindow& window = Window();
  std::unique_lock lock(window.mutex);
  if (window.watching && (mask & 022) != 022) {
    const int opening = ++window.openings;
    window.changed.notify_all();
    window.changed.wait_for(lock, kHandOverBound,
                            [&] { return window.filesMadeWhileOpen >= opening; });
  }
  return previous;
}

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

// With memory files installed a save keeps the promises it keeps on the disk
// (nothing visible before the commit, an existing entry never replaced when
// asked not to) and touches no disk file.
TEST_F(StagedFileTest, MemoryFilesKeepThePromisesOfTheDisk) {
  MemoryFiles memory;
  InstallMemoryFiles(&memory);
  struct Uninstall {
    ~Uninstall() { InstallMemoryFiles(nullptr); }
  } uninstall;
  const std::string target = m_folder + "/baiduset.ini";
  memory.Write(target, "old");
  {
    StagedFile file;
    ASSERT_TRUE(file.Write(target, "new"));
    EXPECT_EQ(memory.Read(target), "old");
    ASSERT_TRUE(file.Commit());
  }
  EXPECT_EQ(memory.Read(target), "new");
  {
    StagedFile file;
    ASSERT_TRUE(file.Write(target, "image"));
    EXPECT_FALSE(file.CommitWithoutReplacing());
  }
  EXPECT_EQ(memory.Read(target), "new");
  {
    StagedFile file;
    ASSERT_TRUE(file.Write(target, "never committed"));
  }
  EXPECT_EQ(memory.Read(target), "new");
  const std::string settings = m_folder + "/setsoft.ini";
  ProfileFile profile;
  ASSERT_TRUE(profile.Load(settings));
  ASSERT_TRUE(profile.Write("s", "k", "v"));
  ASSERT_TRUE(profile.Save(settings));
  ProfileFile loaded;
  ASSERT_TRUE(loaded.Load(settings));
  EXPECT_EQ(loaded.Read("s", "k"), "v");
  EXPECT_EQ(memory.Read(settings), profile.Bytes());
  EXPECT_EQ(EntryCount(), 0u);
}

TEST_F(StagedFileTest, SavingLeavesTheMaskOfFilesOtherThreadsCreateAlone) {
  const mode_t startMask = ::umask(022);
  MaskWindow& window = Window();
  int requested = 0;
  int served = 0;
  bool saving = true;
  {
    std::lock_guard lock(window.mutex);
    window.watching = true;
  }
  // Another thread of the program makes its files (a result log, "err.txt")
  // with the usual 0666 less the mask: one after each save, and one whenever
  // the mask is opened.
  std::vector<std::string> created;
  std::thread creator([&] {
    std::unique_lock lock(window.mutex);
    while (true) {
      const bool due = window.changed.wait_for(lock, kHandOverBound, [&] {
        return window.openings > window.filesMadeWhileOpen || requested > served || !saving;
      });
      if (!due || (!saving && requested == served)) {
        return;
      }
      const std::string path = m_folder + "/log" + std::to_string(created.size()) + ".txt";
      const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0666);
      if (fd >= 0) {
        ::close(fd);
      }
      created.push_back(path);
      if (window.openings > window.filesMadeWhileOpen) {
        ++window.filesMadeWhileOpen;
      } else {
        ++served;
      }
      window.changed.notify_all();
    }
  });
  const std::string target = m_folder + "/baiduset.ini";
  for (int i = 0; i < 50; ++i) {
    EXPECT_TRUE(WriteFileReplacing(target, "{}", 0600));
    std::unique_lock lock(window.mutex);
    ++requested;
    window.changed.notify_all();
    window.changed.wait_for(lock, kHandOverBound, [&] { return served >= requested; });
  }
  {
    std::lock_guard lock(window.mutex);
    saving = false;
    window.watching = false;
    window.changed.notify_all();
  }
  creator.join();
  ::umask(startMask);

  EXPECT_EQ(served, 50);
  std::vector<std::string> writableByOthers;
  for (const std::string& path : created) {
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0) << path;
    if ((info.st_mode & 022) != 0) {
      writableByOthers.push_back(path);
    }
  }
  EXPECT_TRUE(writableByOthers.empty())
      << writableByOthers.size() << " of " << created.size()
      << " files are writable by group or others, the first " << writableByOthers.front();
  struct stat info {};
  ASSERT_EQ(::stat(target.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
}

}  // namespace
