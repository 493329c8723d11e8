#include "foundation/thread_start.h"

#include "wait_until.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>

namespace {

// Holds started routines until the test opens it.
class Gate {
 public:
  void Open() {
    std::lock_guard lock(m_mutex);
    m_open = true;
    m_changed.notify_all();
  }
  void Pass() {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [&] { return m_open; });
  }

 private:
  std::mutex m_mutex;
  std::condition_variable m_changed;
  bool m_open = false;
};

struct Seen {
  std::mutex mutex;
  int value = -1;
  std::string texts[4];
  std::thread::id thread;
};

TEST(StartThreadWithTexts, RoutineGetsCopiesThatOutliveTheCallersBuffers) {
  struct Row {
    const char* name;
    int value;
    std::string texts[4];
  } rows[] = {
      {"no texts", 0, {"", "", "", ""}},
      {"first empty, second ab", 3, {"", "ab", "", ""}},
      {"all four, chinese and long", -7, {"文件夹", std::string(5000, 'x'), "c", "末尾"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Gate gate;
    Seen seen;
    std::thread::id reportedId;
    ThreadHandle handle;
    {
      std::string buffers[4] = {row.texts[0], row.texts[1], row.texts[2], row.texts[3]};
      handle = StartThreadWithTexts(
          [&](int v, const std::string& a, const std::string& b, const std::string& c,
              const std::string& d) {
            gate.Pass();
            std::lock_guard lock(seen.mutex);
            seen.value = v;
            seen.texts[0] = a;
            seen.texts[1] = b;
            seen.texts[2] = c;
            seen.texts[3] = d;
            seen.thread = std::this_thread::get_id();
          },
          row.value, buffers[0], buffers[1], buffers[2], buffers[3], &reportedId);
      for (std::string& b : buffers)
        b.assign(b.size(), '#');  // the caller reuses its buffers at once
    }
    ASSERT_TRUE(handle);
    EXPECT_EQ(IsThreadRunning(handle), 1);
    gate.Open();
    ASSERT_TRUE(WaitUntil([&] { return IsThreadRunning(handle) == 0; }));
    std::lock_guard lock(seen.mutex);
    EXPECT_EQ(seen.value, row.value);
    for (int i = 0; i < 4; ++i)
      EXPECT_EQ(seen.texts[i], row.texts[i]) << "text " << i + 1;
    EXPECT_EQ(seen.thread, reportedId);
    EXPECT_NE(seen.thread, std::this_thread::get_id());
  }
}

TEST(IsThreadRunning, NullHandleIsMinusOneAndAnEndedThreadStaysZero) {
  EXPECT_EQ(IsThreadRunning(nullptr), -1);
  int result = 0;
  ThreadHandle handle =
      StartThreadWithTexts([&](int v, const std::string&, const std::string&, const std::string&,
                               const std::string&) { result = v * 2; },
                           21);
  ASSERT_TRUE(WaitUntil([&] { return IsThreadRunning(handle) == 0; }));
  EXPECT_EQ(result, 42) << "what the routine wrote is visible once it reads as ended";
  EXPECT_EQ(IsThreadRunning(handle), 0);
}

TEST(StartThreadWithTexts, EmptyRoutineIsNotCalledAndTheThreadStillEnds) {
  ThreadHandle handle = StartThreadWithTexts(ThreadRoutine{}, 1, "x");
  ASSERT_TRUE(handle);
  EXPECT_TRUE(WaitUntil([&] { return IsThreadRunning(handle) == 0; }));
  EXPECT_EQ(CallIfValidCode(ThreadRoutine{}, 0, "", "", "", ""), 0);
}

}  // namespace
