#include "foundation/thread_pool.h"

#include "platform/clock.h"
#include "platform/desktop.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <new>
#include <thread>

ThreadPool* g_threadPool = nullptr;

namespace {

struct Task {
  PoolTaskRoutine routine;
  int a;
  int b;
};

// Consecutive failures to start a thread after which the pool stops trying.
constexpr int kMaxStartFailures = 5;
// How often an idle added worker looks at a test clock (real milliseconds).
constexpr int kFakeClockPollMs = 5;

}  // namespace

struct ThreadPool::Core {
  std::atomic<int> state{0};
  std::atomic<int> running{0};
  std::atomic<int> live{0};
  std::atomic<int> busy{0};
  std::atomic<int> queued{0};
  std::atomic<int> maximum{0};
  int minimum = 0;
  int idleTimeoutMs = 0;
  int stackSize = 0;
  bool pump = false;

  std::mutex mutex;
  std::deque<Task> tasks;    // under mutex
  bool wakePending = false;  // under mutex; an auto-reset wake for the manager
  int threads = 0;           // pool threads alive, manager included; under mutex
  std::condition_variable taskReady;
  std::condition_variable wake;
  std::condition_variable started;  // a worker checked in
  std::condition_variable threadsGone;
};

ThreadPool* ThreadPool::Create(int minThreads, int maxThreads, int idleTimeoutMs, bool pumpMessages,
                               int stackSize) {
  std::shared_ptr<Core> core(new (std::nothrow) Core);
  if (!core)
    return nullptr;
  core->minimum = std::max(minThreads, 1);
  core->maximum = std::max(maxThreads, core->minimum);
  core->idleTimeoutMs = std::max(idleTimeoutMs, 100);
  core->stackSize = stackSize <= 0 ? 0 : stackSize < 8192 ? 8192 : stackSize / 4096 * 4096;
  core->pump = pumpMessages;

  core->running = 1;
  if (!StartThread(core, ManagerThread))
    return nullptr;

  int startedCount = 0;
  for (int i = 0, failures = 0; i < core->minimum && failures < kMaxStartFailures; ++i) {
    if (StartThread(core, Worker)) {
      ++startedCount;
      failures = 0;
    } else {
      ++failures;
    }
    if (core->pump)
      PumpMessagesOnce();
  }

  if (startedCount > 0) {
    const auto timeout = std::chrono::milliseconds(2 * startedCount + 1000);
    std::unique_lock lock(core->mutex);
    while (core->live < startedCount) {
      if (core->pump) {
        lock.unlock();
        PumpMessagesOnce();
        lock.lock();
      }
      if (!core->started.wait_for(lock, timeout, [&] { return core->live >= startedCount; }))
        break;
    }
  }

  if (core->live > 0) {
    core->state = 1;
    auto* pool = new (std::nothrow) ThreadPool(core);
    if (pool)
      return pool;
  }
  // Nothing checked in: the threads that did start see the pool stopped and
  // end; the last of them frees the core.
  {
    std::lock_guard lock(core->mutex);
    core->state = 0;
    core->running = 0;
    core->wakePending = true;
  }
  core->wake.notify_all();
  core->taskReady.notify_all();
  return nullptr;
}

bool ThreadPool::StartThread(const std::shared_ptr<Core>& core,
                             void (*body)(std::shared_ptr<Core>)) {
  {
    std::lock_guard lock(core->mutex);
    ++core->threads;
  }
  try {
    std::thread(body, core).detach();
    return true;
  } catch (const std::exception&) {
    std::lock_guard lock(core->mutex);
    --core->threads;
    core->threadsGone.notify_all();
    return false;
  }
}

void ThreadPool::ManagerThread(std::shared_ptr<Core> core) {
  std::unique_lock lock(core->mutex);
  int failures = 0;
  for (;;) {
    core->wake.wait(lock, [&] { return core->wakePending || core->running == 0; });
    core->wakePending = false;
    // Add one worker per pass while the wake rule holds.
    while (core->state == 1) {
      const int live = core->live;
      if (live >= core->maximum || core->busy + core->queued <= live)
        break;
      lock.unlock();
      const bool ok = StartThread(core, ExtraWorker);
      lock.lock();
      if (ok) {
        failures = 0;
        core->started.wait_for(lock, std::chrono::milliseconds(2 * live + 1000),
                               [&] { return core->live > live || core->state != 1; });
      } else if (++failures >= kMaxStartFailures) {
        core->maximum = live;
        failures = 0;
      }
    }
    if (core->running == 0)
      break;
  }
  --core->threads;
  core->threadsGone.notify_all();
}

void ThreadPool::Worker(std::shared_ptr<Core> core) {
  WorkerLoop(core, false);
}

void ThreadPool::ExtraWorker(std::shared_ptr<Core> core) {
  WorkerLoop(core, true);
}

void ThreadPool::WorkerLoop(const std::shared_ptr<Core>& core, bool extra) {
  std::unique_lock lock(core->mutex);
  ++core->live;
  core->started.notify_all();
  for (;;) {
    const auto ready = [&] { return !core->tasks.empty() || core->running != 1; };
    if (!extra) {
      core->taskReady.wait(lock, ready);
    } else {
      // The idle time-out runs on the installed clock, looked up on every
      // pass: a test may install its clock after the pool started.
      const Clock* measuredOn = &GetClock();
      std::int64_t due = measuredOn->SteadyMs() + core->idleTimeoutMs;
      while (!ready()) {
        Clock& clock = GetClock();
        if (&clock != measuredOn) {
          measuredOn = &clock;
          due = clock.SteadyMs() + core->idleTimeoutMs;
        }
        const std::int64_t left = due - clock.SteadyMs();
        if (left <= 0)
          break;
        const std::int64_t slice =
            clock.IsReal() ? left : std::min<std::int64_t>(left, kFakeClockPollMs);
        core->taskReady.wait_for(lock, std::chrono::milliseconds(slice));
      }
    }
    if (core->running != 1 || core->tasks.empty())
      break;  // stopped, or an added worker's idle time-out ran out
    const Task task = core->tasks.front();
    core->tasks.pop_front();
    ++core->busy;  // before the queued decrement, so busy + queued never dips
    --core->queued;
    lock.unlock();
    RunTask(task.routine, task.a, task.b);
    lock.lock();
    --core->busy;
  }
  --core->live;
  --core->threads;
  core->threadsGone.notify_all();
}

void ThreadPool::RunTask(PoolTaskRoutine routine, int a, int b) {
  routine(a, b);
}

void ThreadPool::ApplyWakeRule(Core& core) {
  // Called with core.mutex held.
  if (core.live < core.maximum && core.busy + core.queued > core.live) {
    core.wakePending = true;
    core.wake.notify_one();
  }
}

int ThreadPool::Post(ThreadPool* pool, PoolTaskRoutine routine, int a, int b) {
  if (pool == nullptr || routine == nullptr || pool->m_core->state != 1)
    return 0;
  Core& core = *pool->m_core;
  {
    std::lock_guard lock(core.mutex);
    if (core.state != 1)
      return 0;
    try {
      core.tasks.push_back(Task{routine, a, b});
    } catch (const std::exception&) {
      return 0;
    }
    ++core.queued;
    ApplyWakeRule(core);
  }
  core.taskReady.notify_one();
  return 1;
}

void ThreadPool::SetMaxThreads(ThreadPool* pool, int count) {
  if (pool == nullptr || pool->m_core->state != 1)
    return;
  Core& core = *pool->m_core;
  std::lock_guard lock(core.mutex);
  core.maximum = std::max(count, 1);
  ApplyWakeRule(core);
}

int ThreadPool::QueuedCount(const ThreadPool* pool) {
  return pool ? pool->m_core->queued.load() : 0;
}

int ThreadPool::BusyCount(const ThreadPool* pool) {
  return pool ? pool->m_core->busy.load() : 0;
}

bool ThreadPool::IsIdle(const ThreadPool* pool) {
  return pool == nullptr || (pool->m_core->queued == 0 && pool->m_core->busy == 0);
}

int ThreadPool::State(const ThreadPool* pool) {
  return pool ? pool->m_core->state.load() : 0;
}

int ThreadPool::LiveCount(const ThreadPool* pool) {
  return pool ? pool->m_core->live.load() : 0;
}

int ThreadPool::MaxThreads(const ThreadPool* pool) {
  return pool ? pool->m_core->maximum.load() : 0;
}

int ThreadPool::MinThreads(const ThreadPool* pool) {
  return pool ? pool->m_core->minimum : 0;
}

int ThreadPool::IdleTimeoutMs(const ThreadPool* pool) {
  return pool ? pool->m_core->idleTimeoutMs : 0;
}

int ThreadPool::StackSize(const ThreadPool* pool) {
  return pool ? pool->m_core->stackSize : 0;
}

void ThreadPool::Shutdown(ThreadPool* pool) {
  if (pool == nullptr)
    return;
  std::shared_ptr<Core> core = pool->m_core;
  delete pool;
  std::unique_lock lock(core->mutex);
  core->state = 0;
  core->running = 0;
  core->queued -= static_cast<int>(core->tasks.size());
  core->tasks.clear();
  core->wakePending = true;
  core->wake.notify_all();
  core->taskReady.notify_all();
  core->threadsGone.wait(lock, [&] { return core->threads == 0; });
}

void PumpMessagesOnce() {
  GetDesktop().PumpEvents();
}
