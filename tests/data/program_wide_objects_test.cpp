// The program-wide objects: their empty start-up state, and a process end while
// a worker still uses them.

#include "data/program_wide_objects.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <thread>

namespace {

// Constructed before the program-wide objects (this file links first), so
// destroyed after them: in the exiting child it keeps the process alive for a
// moment after the static destructors ran, while the worker goes on.
struct LingerAfterStaticDestructors {
  std::atomic<bool> linger{false};
  ~LingerAfterStaticDestructors() {
    if (linger) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }
};
LingerAfterStaticDestructors s_linger;

void FillEverything() {
  ASSERT_TRUE(g_cacheDb.Open(":memory:", 6));
  g_renamedPaths["123"] = "已修改过";
  g_jobQueue.PushText("1-|||||-/a-|||||-1-|||||-0");
  g_copySources = {"/a.txt"};
}

TEST(ProgramWideObjects, ResetLeavesEveryObjectEmpty) {
  FillEverything();
  sqlite3* open = g_cacheDb.GetHandle();
  ResetSharedDataObjects();
  EXPECT_EQ(g_cacheDb.GetHandle(), nullptr);
  EXPECT_TRUE(g_renamedPaths.empty());
  EXPECT_EQ(g_jobQueue.Count(), 0);
  EXPECT_TRUE(g_copySources.empty());
  EXPECT_FALSE(g_keywordEditDropTarget.IsRegistered());
  EXPECT_FALSE(g_keywordLabelDropTarget.IsRegistered());
  // The connection itself was not closed by the reset: whoever opened it
  // closes it.
  SqliteDatabase(open).Close();
}

// A worker that keeps using the shared objects as the rename and collection
// workers do, until the process is gone.
void BusyWorker(std::atomic<bool>& started) {
  for (unsigned i = 0;; ++i) {
    g_copySources.push_back("/复制/源.txt");
    if (g_copySources.size() > 64) {
      g_copySources.clear();
    }
    g_renamedPaths[std::to_string(i % 128)] = "已修改过";
    g_jobQueue.PushText("1-|||||-/folder-|||||-1-|||||-0");
    std::string item;
    g_jobQueue.PopText(item);
    started = true;
  }
}

TEST(ProgramWideObjectsDeathTest, ExitWhileAWorkerStillRunsEndsCleanly) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        std::atomic<bool> started{false};
        std::thread(BusyWorker, std::ref(started)).detach();
        while (!started) {
          std::this_thread::yield();
        }
        s_linger.linger = true;
        // exit() runs the static destructors while the worker goes on.
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
