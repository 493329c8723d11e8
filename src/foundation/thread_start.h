#pragma once
// Starting a routine on a thread of its own with one integer and up to four
// texts, and polling whether that thread still runs. Every long action of the
// program runs this way or on the worker pool (thread_pool.h); nobody joins
// such a thread: a waiting thread polls IsThreadRunning between short waits.
//
//   ThreadHandle h = StartThreadWithTexts(RunRenameTask, 0, folder);
//   while (IsThreadRunning(h) == 1)
//     WaitPumpingMessages(100);

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <thread>

// A started routine: the integer and the four texts (empty when absent). The
// texts are the thread's own copies, valid until the routine returns.
using ThreadRoutine =
    std::function<void(int value, const std::string& text1, const std::string& text2,
                       const std::string& text3, const std::string& text4)>;

// Shared between a started thread and everybody polling it.
struct ThreadRecord {
  std::thread::id id;
  std::atomic<bool> finished{false};
};

// The handle of a started thread; null when starting failed. Copies share the
// record; a handle stays valid after its thread has ended.
using ThreadHandle = std::shared_ptr<ThreadRecord>;

// What the started thread owns: the routine, its integer and its text copies.
struct ThreadTextBlock {
  ThreadRoutine routine;
  int value = 0;
  std::string texts[4];
};

// Starts routine on a new detached thread with copies of the texts. Stores the
// new thread's id in *threadId when given. Returns the handle, or null when
// the thread could not be started (the routine is then not run).
ThreadHandle StartThreadWithTexts(ThreadRoutine routine, int value = 0, std::string_view text1 = {},
                                  std::string_view text2 = {}, std::string_view text3 = {},
                                  std::string_view text4 = {}, std::thread::id* threadId = nullptr);

// 1 while the thread runs, 0 once its routine has returned and its texts are
// freed, -1 for a null handle. Never waits. Any thread.
int IsThreadRunning(const ThreadHandle& handle);

// Calls routine with the block's integer and texts; does nothing and returns 0
// for an empty routine, 1 otherwise.
int CallIfValidCode(const ThreadRoutine& routine, int value, const std::string& text1,
                    const std::string& text2, const std::string& text3, const std::string& text4);

// The body of every thread started by StartThreadWithTexts: runs the routine
// (through CallIfValidCode), frees the block, then marks the thread finished.
// Returns the exit code 0.
int ThreadEntryWithTexts(std::unique_ptr<ThreadTextBlock> block, ThreadHandle record);
