// The rename job's stop button during a prefetch run against the emulator:
// the sub-folders answer slowly, the stop comes while their listings are in
// flight, and the cache is ended only after the run's threads have let go; a
// rollback that fails at the stop is reported.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "data/program_wide_objects.h"
#include "foundation/date_time.h"
#include "foundation/shared_locks.h"
#include "foundation/thread_pool.h"
#include "jobs/listing_cache.h"
#include "jobs/prefetch_run.h"
#include "jobs/rename_task_controls.h"
#include "platform/control_store.h"
#include "support/file_bytes.h"
#include "support/service_test_fixture.h"
#include "ui/option_guards.h"
#include "web/main_window_controls.h"
#include "web/rename_task_state.h"

namespace {

class PrefetchStopTest : public ServiceTest {
 protected:
  void SetUp() override {
    ServiceTest::SetUp();
    g_threadPool = ThreadPool::Create(1, 10);
    ASSERT_NE(g_threadPool, nullptr);
  }
  void TearDown() override {
    EndPrefetchCache();
    ThreadPool::Shutdown(g_threadPool);
    g_threadPool = nullptr;
    ServiceTest::TearDown();
  }
};

TEST_F(PrefetchStopTest, TheStartButtonWaitsForTheRunThreadsThenTheCacheIsTheTemplateAgain) {
  RemoteTree tree;
  for (int i = 0; i < 8; ++i) {
    tree.AddFile("/top/slow" + std::to_string(i) + "/x.txt", 1);
    tree.AddFile("/top/fast" + std::to_string(i) + "/y.txt", 1);
  }
  UseTree(std::move(tree));
  std::atomic<int> slowListings{0};
  Service().SetHook([&](const RecordedRequest& request) -> std::optional<FakeReply> {
    if (request.QueryValue("dir").value_or("").rfind("/top/slow", 0) != 0) {
      return std::nullopt;
    }
    ++slowListings;
    return FakeReply::Slow(20000, Service().Model().Handle(request).value());
  });
  ControlStore& store = GetControlStore();
  store.SetChecked(kPrefetchBox, true);
  store.SetChecked(kLoopBox, true);
  store.SetEnabled(kStartRenameButton, false);  // the task runs

  // The rename task's worker: the prefetch run of the ticked folder.
  std::atomic<bool> runReturned{false};
  std::thread worker([&] {
    StartPrefetchRun(GetAccountSession(), "/top");
    runReturned = true;
  });
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (slowListings.load() == 0 && std::chrono::steady_clock::now() < until) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ASSERT_GT(slowListings.load(), 0);
  const std::string cacheFile = g_cachePath;

  // While the stop waits, the start button stays disabled as long as a thread
  // of the run uses the cache.
  std::atomic<bool> enabledTooEarly{false};
  std::atomic<int> waitsWhileRunning{0};
  const std::thread::id self = std::this_thread::get_id();
  m_ui.clock.SetSleepHook([&](std::int64_t) {
    if (std::this_thread::get_id() != self) {
      return;
    }
    if (!PrefetchThreadsEnded()) {
      ++waitsWhileRunning;
      if (store.Enabled(kStartRenameButton)) {
        enabledTooEarly = true;
      }
    }
  });
  m_ui.desktop.AnswerNext(kBoxResultYes);
  m_ui.desktop.AnswerNext(kBoxResultOk);
  StopRenameJob();
  m_ui.clock.SetSleepHook({});
  // By the time the button is enabled, the run has let go of its cache and the
  // cache is ended.
  EXPECT_TRUE(PrefetchThreadsEnded());
  EXPECT_EQ(g_cacheDb.GetHandle(), nullptr);
  worker.join();

  EXPECT_TRUE(g_renameStopRequested.load());
  EXPECT_FALSE(store.Checked(kLoopBox));
  EXPECT_FALSE(enabledTooEarly.load());
  EXPECT_GT(waitsWhileRunning.load(), 0);  // the stop did wait for the run
  EXPECT_TRUE(runReturned.load());
  EXPECT_TRUE(store.Enabled(kStartRenameButton));
  EXPECT_EQ(m_ui.desktop.StatusText(1), "已手动停止。");
  const auto boxes = m_ui.desktop.Boxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].text, "确定停止？");
  EXPECT_EQ(boxes[1].caption, "停止：");
  EXPECT_EQ(boxes[1].text, "停止成功");
  EXPECT_EQ(boxes[1].type, 64);

  // Ended once, by the stop: the file is the empty image again, and a later
  // end changes nothing.
  EXPECT_EQ(g_cacheDb.GetHandle(), nullptr);
  const std::string image(reinterpret_cast<const char*>(kCacheTemplateDb), kCacheTemplateDbSize);
  EXPECT_EQ(ReadFileBytes((m_folder.Path() / cacheFile).string()), image);
  const CacheEndReport again = EndPrefetchCache();
  EXPECT_TRUE(again.ended);
  EXPECT_EQ(again.rollbackResult, 0);
  // No insert met a closed connection.
  EXPECT_FALSE(std::filesystem::exists(m_folder.Path() / "err.txt"));
}

TEST_F(PrefetchStopTest, ARollbackThatFailsWhenTheRunStopsSaysSo) {
  ASSERT_NE(PreparePrefetchCache(), 0);
  {
    // The run's transaction is gone before the stop (as after a failed
    // write), so the stop's rollback has none to undo and fails.
    std::lock_guard lock(g_cacheDbLock);
    ASSERT_EQ(g_cacheDb.Rollback("", false), 0);
  }
  ControlStore& store = GetControlStore();
  store.SetChecked(kPrefetchBox, true);
  store.SetEnabled(kStartRenameButton, false);  // the task runs
  m_ui.desktop.AnswerNext(kBoxResultYes);
  m_ui.desktop.AnswerNext(kBoxResultOk);
  StopRenameJob();

  EXPECT_EQ(g_cacheDb.GetHandle(), nullptr);  // ended all the same
  EXPECT_TRUE(store.Enabled(kStartRenameButton));
  EXPECT_EQ(m_ui.desktop.StatusText(1), "已手动停止。");
  const auto boxes = m_ui.desktop.Boxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[1].caption, "停止：");
  EXPECT_EQ(boxes[1].text, "停止失败");
  EXPECT_EQ(boxes[1].type, 64);
  EXPECT_NE(EndPrefetchCache().rollbackResult, 0);  // a later end reports the same
}

}  // namespace
