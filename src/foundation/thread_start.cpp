#include "foundation/thread_start.h"

#include <new>
#include <system_error>

ThreadHandle StartThreadWithTexts(ThreadRoutine routine, int value, std::string_view text1,
                                  std::string_view text2, std::string_view text3,
                                  std::string_view text4, std::thread::id* threadId) {
  // Copies are made here, on the caller's thread, so the caller's buffers may
  // go away as soon as this returns.
  auto block = std::unique_ptr<ThreadTextBlock>(new (std::nothrow) ThreadTextBlock);
  auto record = std::shared_ptr<ThreadRecord>(new (std::nothrow) ThreadRecord);
  if (!block || !record)
    return nullptr;
  try {
    block->routine = std::move(routine);
    block->value = value;
    block->texts[0] = text1;
    block->texts[1] = text2;
    block->texts[2] = text3;
    block->texts[3] = text4;
    std::thread thread(ThreadEntryWithTexts, std::move(block), record);
    record->id = thread.get_id();
    thread.detach();
  } catch (const std::exception&) {  // std::system_error or std::bad_alloc
    return nullptr;
  }
  if (threadId)
    *threadId = record->id;
  return record;
}

int ThreadEntryWithTexts(std::unique_ptr<ThreadTextBlock> block, ThreadHandle record) {
  CallIfValidCode(block->routine, block->value, block->texts[0], block->texts[1], block->texts[2],
                  block->texts[3]);
  block.reset();
  record->finished.store(true, std::memory_order_release);
  return 0;
}

int CallIfValidCode(const ThreadRoutine& routine, int value, const std::string& text1,
                    const std::string& text2, const std::string& text3, const std::string& text4) {
  if (!routine)
    return 0;
  routine(value, text1, text2, text3, text4);
  return 1;
}

int IsThreadRunning(const ThreadHandle& handle) {
  if (!handle)
    return -1;
  return handle->finished.load(std::memory_order_acquire) ? 0 : 1;
}
