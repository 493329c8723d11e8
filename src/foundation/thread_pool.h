#pragma once
// The worker pool: short tasks (a routine and two integers) run on a set of
// worker threads. A few permanent workers live as long as the pool; a manager
// thread adds workers while queued plus running tasks outnumber the live
// threads, up to a maximum that can be raised later, and every added worker
// leaves after an idle time-out without work (measured on the installed
// Clock). The program's pool is g_threadPool (1 to 10 threads; the folder
// collection raises the maximum to 18).
//
// Operations are static and take the pool handle, which may be null: a null
// pool posts nothing, counts 0 and is idle.
//
// Any thread may post and read the counters; counters are read without a lock
// and may be stale by the time the caller acts on them. Task routines run on
// pool threads and do their own locking.
//
// Worker stack sizes are settled and kept as asked, but the threads run with
// the system's default stack: std::thread offers no stack reservation.

#include <cstdint>
#include <memory>

using PoolTaskRoutine = void (*)(int a, int b);

class ThreadPool {
 public:
  // Returns the new pool, or null when no worker could be started. Settling:
  // minimum below 1 -> 1; maximum below the minimum -> the minimum; idle
  // time-out below 100 -> 100 ms; stack size 0 stays 0 (default), below 8192
  // -> 8192, else rounded down to a multiple of 4096. Waits until the
  // permanent workers have checked in; pumps UI events meanwhile when asked.
  static ThreadPool* Create(int minThreads = 5, int maxThreads = 20, int idleTimeoutMs = 10000,
                            bool pumpMessages = false, int stackSize = 0);

  // Queues routine(a, b). Returns 1 when queued, 0 for a null pool, a pool
  // that is not running, or a null routine (counters unchanged then).
  static int Post(ThreadPool* pool, PoolTaskRoutine routine, int a = 0, int b = 0);

  // Sets the maximum (below 1 -> 1; not held at the minimum or the live
  // count) and lets the manager grow the pool to it when tasks wait.
  static void SetMaxThreads(ThreadPool* pool, int count);

  static int QueuedCount(const ThreadPool* pool);  // posted, not yet started
  static int BusyCount(const ThreadPool* pool);    // running now
  static bool IsIdle(const ThreadPool* pool);      // null, or nothing queued or running
  static int State(const ThreadPool* pool);        // 1 while running, else 0
  static int LiveCount(const ThreadPool* pool);    // worker threads alive
  static int MaxThreads(const ThreadPool* pool);
  static int MinThreads(const ThreadPool* pool);
  static int IdleTimeoutMs(const ThreadPool* pool);
  static int StackSize(const ThreadPool* pool);

  // Stops the pool: no new posts, queued tasks are dropped, running tasks
  // finish; blocks until every pool thread has ended, then frees the pool.
  // The program never shuts g_threadPool down; tests do (before they remove a
  // test clock the pool's added workers may be reading). Never from a task.
  static void Shutdown(ThreadPool* pool);

  struct Core;  // shared by the pool's threads; the last one to leave frees it

 private:
  static void ManagerThread(std::shared_ptr<Core> core);
  static void Worker(std::shared_ptr<Core> core);
  static void ExtraWorker(std::shared_ptr<Core> core);
  static void RunTask(PoolTaskRoutine routine, int a, int b);
  static bool StartThread(const std::shared_ptr<Core>& core, void (*body)(std::shared_ptr<Core>));
  static void WorkerLoop(const std::shared_ptr<Core>& core, bool extra);
  static void ApplyWakeRule(Core& core);

  explicit ThreadPool(std::shared_ptr<Core> core) : m_core(std::move(core)) {}
  std::shared_ptr<Core> m_core;
};

// The program's pool; created by the main window at start-up, never freed.
extern ThreadPool* g_threadPool;

// Processes the calling thread's pending user-interface events once.
void PumpMessagesOnce();
