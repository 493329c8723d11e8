#include "foundation/shared_locks.h"

#include <gtest/gtest.h>

#include <memory>
#include <thread>

namespace {

bool OtherThreadCanTake(std::recursive_mutex& lock) {
  bool taken = false;
  std::thread([&] {
    taken = lock.try_lock();
    if (taken)
      lock.unlock();
  }).join();
  return taken;
}

TEST(Locks, NullHandleDoesNothing) {
  EXPECT_EQ(EnterLock(nullptr), 0);
  EXPECT_EQ(LeaveLock(nullptr), 0);
}

TEST(Locks, CreatedLockIsReentrantAndExcludesOtherThreads) {
  LockHandle lock = CreateLock();
  ASSERT_NE(lock, nullptr);
  // The program never frees its locks; the test does.
  std::unique_ptr<std::recursive_mutex> owned(lock);
  EXPECT_EQ(EnterLock(lock), 1);
  EXPECT_EQ(EnterLock(lock), 1);
  EXPECT_FALSE(OtherThreadCanTake(*lock));
  LeaveLock(lock);
  EXPECT_FALSE(OtherThreadCanTake(*lock)) << "entered twice, left once: still held";
  LeaveLock(lock);
  EXPECT_TRUE(OtherThreadCanTake(*lock));
}

// Six separate locks: holding one never keeps another thread from any other.
TEST(Locks, TheSixSharedLocksAreSeparate) {
  std::recursive_mutex* locks[] = {&g_viewLock,   &g_counterLock, &g_logFileLock,
                                   &g_statusLock, &g_cacheDbLock, &g_jobQueueLock};
  for (std::recursive_mutex* held : locks) {
    std::lock_guard hold(*held);
    for (std::recursive_mutex* other : locks) {
      EXPECT_EQ(OtherThreadCanTake(*other), other != held);
    }
  }
}

}  // namespace
