#pragma once
// The rename task: started by `按钮_开始改名`, it checks that the options fit
// together, loads the keyword rules, resets the state of a rename run and
// works in one of three run modes:
// - A (`单选框_只修改单选中`): every ticked item of the remote folder tree is
//   renamed directly, one request each;
// - B: for each ticked folder the folder traversal runs on a worker thread;
// - C (`选择框_启用预读取模式`): for each ticked folder the prefetch run
//   (jobs/prefetch_run_hooks.h) runs on a worker thread.
// At the end it shows a summary, and in loop mode it counts down and starts
// itself again.
//
// Only one task runs at a time. The start button is the running state: it is
// disabled from the click until the task's very end, also between the folders,
// while the loop counts down (the restarted task takes over without a gap) and
// until the worker of a stopped run has ended. The stop flag (and unticking the
// loop box) also ends a countdown.
//
// The task takes the working account once when it starts; every request of
// the run, on every thread it starts, uses that snapshot.

#include <atomic>
#include <string>

#include "foundation/thread_start.h"

// The traversal or prefetch thread the task waits for. Written and read by the
// task's own thread only.
extern ThreadHandle g_workerThread;

// The depth of a prefetch run's collection, set right before run mode C:
// 0 with `单选框_选中目录包含子夹`, 1 with `单选框_不修改子目录`.
extern std::atomic<int> g_collectDepth;

// Arguments of RunRenameTask.
inline constexpr int kRenameFirstRun = 0;  // confirmations and the counts box
inline constexpr int kRenameLoopRestart =
    1;  // no confirmation (but the root question of run mode A)
inline constexpr int kRenameFirstLoopRun = 2;  // confirmations, no counts box

// Click handler of `按钮_开始改名`: refused while a task runs (the button is
// disabled); otherwise disables the button and starts the task on a thread of
// its own, with kRenameFirstLoopRun when `选择框_循环执行改名任务` is ticked.
void OnStartRenameClicked();

// True when no task thread started by the start button (or by a loop
// restart) is still running, its end steps included. Any thread.
bool RenameTaskThreadsEnded();

// Thread routine: RunRenameTask(argument).
void RenameTaskThreadEntry(int argument);

// The task. Enables the start button at its end, unless it handed over to a
// restarted task.
void RunRenameTask(int argument);

// Left-click handler of `透明标签11`: opens the rename tutorial page.
void OnRenameTutorialLinkClicked();

// The rename tutorial page, on the maker's update host.
std::string RenameTutorialUrl();
