// The collection's races, made to happen on purpose: folder rows inserted
// after the dispatcher's select, and a stop during slow listings followed at
// once by the next run.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "collection_fixture.h"
#include "web/http_request_internal.h"
#include "web/rename_task_state.h"

namespace {

using ::testing::IsEmpty;
using ::testing::SizeIs;

// Polls `done` in real time; false after a generous time-out.
template <typename Done>
bool WaitFor(Done done) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!done()) {
    if (std::chrono::steady_clock::now() > until) {
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

std::vector<std::string> SortedPaths(const std::vector<CachedRow>& rows) {
  std::vector<std::string> paths;
  for (const CachedRow& row : rows) {
    paths.push_back(row.TreePath());
  }
  std::sort(paths.begin(), paths.end());
  return paths;
}

// The dispatcher queues the 18 folders of the ticked folder in one cycle (its
// most). While it pauses after the last of them, every pool task lists its
// folder and adds a sub-folder row, and the pool goes idle, all after the
// cycle's select. Those rows are still listed.
TEST_F(CollectionTest, FolderRowsAddedAfterTheSelectOfACycleAreStillListed) {
  RemoteTree tree;
  for (int i = 0; i < 18; ++i) {
    tree.AddFile("/top/f" + std::to_string(i) + "/deep/x.txt", 1);
  }
  UseTree(std::move(tree));
  std::atomic<std::thread::id> dispatcher{};
  std::atomic<int> queuedPauses{0};
  std::atomic<bool> waitedOut{true};
  const std::thread::id self = std::this_thread::get_id();
  m_ui.clock.SetSleepHook([&](std::int64_t ms) {
    const std::thread::id thread = std::this_thread::get_id();
    if (ms == 20 && thread != self) {
      dispatcher = thread;  // only the dispatcher waits 20 ms between cycles
    }
    if (ms == 5 && thread == dispatcher.load() && ++queuedPauses == 18) {
      const int run = CurrentPrefetchRunNumber();
      waitedOut = WaitFor(
          [run] { return PendingListingTasks(run) == 0 && ThreadPool::IsIdle(g_threadPool); });
    }
  });
  const std::vector<CachedRow> rows = Collect("/top");
  m_ui.clock.SetSleepHook({});
  ASSERT_TRUE(waitedOut.load());
  ASSERT_GE(queuedPauses.load(), 18);
  EXPECT_EQ(SortedPaths(rows), TreeBelow("/top"));
  EXPECT_THAT(rows, SizeIs(18 * 3));
}

// The listing folders the program asked for, in order, as it sent them.
std::mutex s_sentMutex;
std::vector<std::string> s_sentListings;

void RecordListing(const std::string& url, const HttpRequestArgs&) {
  RecordedRequest request;
  request.target = url.substr(url.find('/', url.find("://") + 3));
  if (request.Path() == "/api/list") {
    std::lock_guard lock(s_sentMutex);
    s_sentListings.push_back(request.QueryValue("dir").value_or(""));
  }
}

size_t SentListingCount() {
  std::lock_guard lock(s_sentMutex);
  return s_sentListings.size();
}

// Stop while the sub-folders of the first run answer slowly, then start the
// next run at once: the first run returns only after all of its tasks, no
// request of it follows, and the second cache holds only its own rows.
//
// Requests are counted where the program sends them: a request a stopped task
// sent just before it returned may reach the emulator only during the next
// run, so the emulator's own record cannot say which run it came from. For
// the same reason only a request of the first run stops the task.
TEST_F(CollectionTest, AStoppedRunLeavesNothingForTheNextOne) {
  RemoteTree tree;
  for (int i = 0; i < 12; ++i) {
    tree.AddFile("/one/f" + std::to_string(i) + "/x.txt", 1);
    tree.AddFile("/one/f" + std::to_string(i) + "/y.txt", 1);
  }
  for (int i = 0; i < 3; ++i) {
    tree.AddFile("/two/g" + std::to_string(i) + "/z.txt", 1);
  }
  UseTree(std::move(tree));
  {
    std::lock_guard lock(s_sentMutex);
    s_sentListings.clear();
  }
  SetHttpRequestObserverForTesting(RecordListing);
  std::mutex runMutex;
  bool firstRun = true;  // under runMutex, as the stop flag it guards
  std::atomic<int> slowReplies{0};
  Service().SetHook([&](const RecordedRequest& request) -> std::optional<FakeReply> {
    if (request.QueryValue("dir").value_or("").rfind("/one/", 0) != 0) {
      return std::nullopt;
    }
    {
      std::lock_guard lock(runMutex);
      if (firstRun) {
        ++slowReplies;
        g_renameStopRequested = true;
      }
    }
    std::optional<FakeReply> reply = Service().Model().Handle(request);
    return FakeReply::Slow(20000, reply.value_or(FakeReply::Json("{\"errno\":-1}")));
  });
  EXPECT_THAT(Collect("/one"), IsEmpty());
  EXPECT_THAT(Applied(), IsEmpty());  // a stopped run has no apply phase
  EXPECT_GE(slowReplies.load(), 1);
  const int first = CurrentPrefetchRunNumber();
  EXPECT_EQ(PendingListingTasks(first), 0);

  {
    std::lock_guard lock(runMutex);
    firstRun = false;
    g_renameStopRequested = false;
  }
  const size_t before = SentListingCount();
  const std::vector<CachedRow> rows = Collect("/two");
  SetHttpRequestObserverForTesting(nullptr);
  EXPECT_EQ(SortedPaths(rows), TreeBelow("/two"));
  std::lock_guard lock(s_sentMutex);
  ASSERT_GT(s_sentListings.size(), before);
  for (size_t i = before; i < s_sentListings.size(); ++i) {
    EXPECT_EQ(s_sentListings[i].rfind("/two", 0), 0u) << s_sentListings[i];
  }
}

// Pool tasks that hold their worker until the gate opens.
std::mutex s_gateMutex;
std::condition_variable s_gateChanged;
bool s_gateOpen = false;

void HeldTask(int, int) {
  std::unique_lock lock(s_gateMutex);
  s_gateChanged.wait(lock, [] { return s_gateOpen; });
}

void SetGate(bool open) {
  {
    std::lock_guard lock(s_gateMutex);
    s_gateOpen = open;
  }
  s_gateChanged.notify_all();
}

// The dispatcher selects no folder row while 20 or more tasks wait in the
// pool; with 19 waiting it goes on queuing.
TEST_F(CollectionTest, NoSelectRunsWhileTwentyTasksWait) {
  const struct {
    const char* name;
    int waiting;
    bool queuedMeanwhile;  // folder rows marked queued while the tasks wait
  } rows[] = {{"20 waiting", 20, false}, {"19 waiting", 19, true}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Reset();
    // A pool of the row's own, with its one lasting worker alive and no other
    // coming: a worker added in an earlier row could leave on its idle
    // time-out, or one still being started check in, after the count below,
    // and the number of waiting tasks would be off by one for good.
    ThreadPool::Shutdown(g_threadPool);
    g_threadPool = ThreadPool::Create(1, 10);
    ASSERT_NE(g_threadPool, nullptr);
    UseTree(RemoteTree::FromPaths({"/top/a/x.txt", "/top/b/y.txt", "/top/c/z.txt"}));
    SetGate(false);
    std::atomic<std::thread::id> dispatcher{};
    std::atomic<int> cycles{0};
    std::atomic<bool> held{false};
    std::vector<std::string> queriedMeanwhile;
    const std::thread::id self = std::this_thread::get_id();
    m_ui.clock.SetSleepHook([&](std::int64_t ms) {
      const std::thread::id thread = std::this_thread::get_id();
      if (ms != 20 || thread == self) {
        return;
      }
      dispatcher = thread;  // only the dispatcher waits 20 ms between cycles
      const int cycle = ++cycles;
      if (cycle == 1) {
        // No new workers; the one worker gets a held task, and the rest wait.
        ThreadPool::SetMaxThreads(g_threadPool, 1);
        for (int i = 0; i < 1 + row.waiting; ++i) {
          ThreadPool::Post(g_threadPool, HeldTask);
        }
        held = WaitFor([&] { return ThreadPool::QueuedCount(g_threadPool) == row.waiting; });
      } else if (cycle == 5) {
        for (const CachedRow& cached : ReadCacheRows()) {
          if (cached.type == "1") {
            queriedMeanwhile.push_back(cached.queried);
          }
        }
        ThreadPool::SetMaxThreads(g_threadPool, 18);
        SetGate(true);
      }
    });
    const std::vector<CachedRow> collected = Collect("/top");
    m_ui.clock.SetSleepHook({});
    SetGate(true);
    // Every held task runs out before the next row closes the gate again; a
    // straggler would hold that row's only worker for good.
    ASSERT_TRUE(WaitFor([] { return ThreadPool::IsIdle(g_threadPool); }));
    ASSERT_TRUE(held.load());
    EXPECT_EQ(queriedMeanwhile, std::vector<std::string>(3, row.queuedMeanwhile ? "1" : "0"));
    EXPECT_EQ(SortedPaths(collected), TreeBelow("/top"));  // listed once the tasks went
  }
}

}  // namespace
