#include "foundation/shared_locks.h"

#include <gtest/gtest.h>

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
  EXPECT_EQ(EnterLock(lock), 1);
  EXPECT_EQ(EnterLock(lock), 1);
  EXPECT_FALSE(OtherThreadCanTake(*lock));
  LeaveLock(lock);
  EXPECT_FALSE(OtherThreadCanTake(*lock)) << "entered twice, left once: still held";
  LeaveLock(lock);
  EXPECT_TRUE(OtherThreadCanTake(*lock));
}

TEST(Locks, SharedLocksNestInTheirOrderAndReenter) {
  std::recursive_mutex* locks[] = {&g_viewLock,   &g_counterLock, &g_logFileLock,
                                   &g_statusLock, &g_cacheDbLock, &g_jobQueueLock};
  for (std::recursive_mutex* lock : locks) {
    std::lock_guard outer(*lock);
    std::lock_guard inner(*lock);
    EXPECT_FALSE(OtherThreadCanTake(*lock));
  }
  std::lock_guard counters(g_counterLock);
  std::lock_guard status(g_statusLock);
  EXPECT_FALSE(OtherThreadCanTake(g_statusLock));
}

}  // namespace
