#include "foundation/thread_pool.h"

#include "platform/fake_clock.h"
#include "wait_until.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

// Task routines take only two integers, so the blocking tasks share this.
struct Blocker {
  std::mutex mutex;
  std::condition_variable changed;
  bool released = false;
  std::atomic<int> started{0};
  std::atomic<int> finished{0};
  std::atomic<long> sum{0};
};
Blocker* s_blocker = nullptr;

void BlockingTask(int a, int b) {
  ++s_blocker->started;
  std::unique_lock lock(s_blocker->mutex);
  s_blocker->changed.wait(lock, [] { return s_blocker->released; });
  s_blocker->sum += a * 1000 + b;
  ++s_blocker->finished;
}

void QuickTask(int a, int b) {
  s_blocker->sum += a + b;
  ++s_blocker->finished;
}

class ThreadPoolTest : public ::testing::Test {
 protected:
  void SetUp() override { s_blocker = &m_blocker; }
  void TearDown() override {
    Release();
    ThreadPool::Shutdown(m_pool);
    s_blocker = nullptr;
  }
  void Release() {
    std::lock_guard lock(m_blocker.mutex);
    m_blocker.released = true;
    m_blocker.changed.notify_all();
  }

  Blocker m_blocker;
  ThreadPool* m_pool = nullptr;
};

TEST_F(ThreadPoolTest, CreateSettlesItsNumbers) {
  struct Row {
    const char* name;
    int min, max, idle, stack;
    int wantMin, wantMax, wantIdle, wantStack;
  } rows[] = {
      {"defaults", 5, 20, 10000, 0, 5, 20, 10000, 0},
      {"minimum 0 becomes 1", 0, 4, 10000, 0, 1, 4, 10000, 0},
      {"maximum below minimum is raised", 5, 3, 10000, 0, 5, 5, 10000, 0},
      {"idle time-out has a floor", 1, 2, 50, 0, 1, 2, 100, 0},
      {"small stack becomes 8192", 1, 1, 100, 5000, 1, 1, 100, 8192},
      {"page multiple kept", 1, 1, 100, 12288, 1, 1, 100, 12288},
      {"rounded down to a page", 1, 1, 100, 13000, 1, 1, 100, 12288},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ThreadPool* pool = ThreadPool::Create(row.min, row.max, row.idle, false, row.stack);
    ASSERT_NE(pool, nullptr);
    EXPECT_EQ(ThreadPool::State(pool), 1);
    EXPECT_EQ(ThreadPool::MinThreads(pool), row.wantMin);
    EXPECT_EQ(ThreadPool::MaxThreads(pool), row.wantMax);
    EXPECT_EQ(ThreadPool::IdleTimeoutMs(pool), row.wantIdle);
    EXPECT_EQ(ThreadPool::StackSize(pool), row.wantStack);
    EXPECT_EQ(ThreadPool::LiveCount(pool), row.wantMin) << "permanent workers checked in";
    ThreadPool::Shutdown(pool);
  }
  ThreadPool* defaults = ThreadPool::Create();
  EXPECT_EQ(ThreadPool::MinThreads(defaults), 5);
  EXPECT_EQ(ThreadPool::MaxThreads(defaults), 20);
  ThreadPool::Shutdown(defaults);
}

TEST_F(ThreadPoolTest, NullPoolAndNullRoutinePostNothing) {
  EXPECT_EQ(ThreadPool::Post(nullptr, QuickTask, 1, 2), 0);
  EXPECT_TRUE(ThreadPool::IsIdle(nullptr));
  EXPECT_EQ(ThreadPool::QueuedCount(nullptr), 0);
  EXPECT_EQ(ThreadPool::BusyCount(nullptr), 0);
  m_pool = ThreadPool::Create(1, 2);
  EXPECT_EQ(ThreadPool::Post(m_pool, nullptr, 1, 2), 0);
  EXPECT_EQ(ThreadPool::QueuedCount(m_pool), 0);
  EXPECT_TRUE(ThreadPool::IsIdle(m_pool));
  ThreadPool::SetMaxThreads(m_pool, 0);
  EXPECT_EQ(ThreadPool::MaxThreads(m_pool), 1);
}

TEST_F(ThreadPoolTest, GrowsToItsMaximumUnderBlockingTasksAndNeverBeyond) {
  m_pool = ThreadPool::Create(1, 10);
  for (int i = 0; i < 15; ++i)
    ASSERT_EQ(ThreadPool::Post(m_pool, BlockingTask, i, 1), 1);
  ASSERT_TRUE(WaitUntil([&] { return m_blocker.started == 10; }));
  EXPECT_FALSE(ThreadPool::IsIdle(m_pool));
  // Give the manager every chance to overshoot before looking.
  ThreadPool::Post(m_pool, BlockingTask, 15, 1);
  EXPECT_FALSE(WaitUntil([&] { return ThreadPool::LiveCount(m_pool) > 10; }, 50));
  EXPECT_EQ(ThreadPool::LiveCount(m_pool), 10);
  EXPECT_EQ(ThreadPool::BusyCount(m_pool), 10);
  EXPECT_EQ(ThreadPool::QueuedCount(m_pool), 6);

  ThreadPool::SetMaxThreads(m_pool, 18);  // the collection run's raise
  ASSERT_TRUE(WaitUntil([&] { return m_blocker.started == 16; }));
  EXPECT_EQ(ThreadPool::LiveCount(m_pool), 16) << "no more threads than tasks";
  EXPECT_EQ(ThreadPool::QueuedCount(m_pool), 0);

  Release();
  ASSERT_TRUE(WaitUntil([&] { return ThreadPool::IsIdle(m_pool); }));
  EXPECT_EQ(m_blocker.finished, 16);
  long expected = 0;
  for (int i = 0; i < 16; ++i)
    expected += i * 1000 + 1;
  EXPECT_EQ(m_blocker.sum, expected) << "every task ran once with its own integers";
}

TEST_F(ThreadPoolTest, AddedWorkersLeaveAfterTheIdleTimeOutOnTheClock) {
  FakeClock clock;
  ScopedClock useClock(clock);
  m_pool = ThreadPool::Create(1, 4, 10000);
  for (int i = 0; i < 4; ++i)
    ThreadPool::Post(m_pool, BlockingTask, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return m_blocker.started == 4; }));
  Release();
  ASSERT_TRUE(WaitUntil([&] { return ThreadPool::IsIdle(m_pool); }));
  EXPECT_EQ(ThreadPool::LiveCount(m_pool), 4);
  clock.Advance(9999);
  EXPECT_FALSE(WaitUntil([&] { return ThreadPool::LiveCount(m_pool) < 4; }, 30));
  clock.Advance(1);
  ASSERT_TRUE(WaitUntil([&] { return ThreadPool::LiveCount(m_pool) == 1; }));
  // The permanent worker still takes work.
  ThreadPool::Post(m_pool, QuickTask, 2, 3);
  ASSERT_TRUE(WaitUntil([&] { return m_blocker.finished == 5; }));
  ThreadPool::Shutdown(m_pool);  // before the clock goes away
  m_pool = nullptr;
}

// Shutdown lets the running task finish and returns only once every pool
// thread has ended.
TEST_F(ThreadPoolTest, ShutdownWaitsForTheRunningTaskAndEndsEveryThread) {
  m_pool = ThreadPool::Create(1, 1);
  ThreadPool::Post(m_pool, BlockingTask, 4, 2);
  ASSERT_TRUE(WaitUntil([&] { return m_blocker.started == 1; }));
  std::atomic<bool> returned{false};
  std::thread stopper([&] {
    ThreadPool::Shutdown(m_pool);
    returned = true;
  });
  EXPECT_FALSE(returned) << "Shutdown returned while a task still ran";
  Release();
  stopper.join();
  m_pool = nullptr;
  EXPECT_TRUE(returned);
  EXPECT_EQ(m_blocker.finished, 1);
  EXPECT_EQ(m_blocker.sum, 4002);
}

}  // namespace
