#pragma once
// Marks for ThreadSanitizer where one thread hands work to another through a
// queue it cannot see (a queue in a library built without the tool, such as
// Qt's event queue, whose locks are raw futexes). Without the marks the tool
// takes everything the receiver reads of what the sender wrote for a race.
// The sender marks the hand-over once the last of its writes is done; the
// receiver marks it before its first read. Both name the same address, one
// per hand-over. In any other build the marks cost nothing.

#include <utility>

#if defined(__SANITIZE_THREAD__)
#define QUILLMERE_THREAD_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define QUILLMERE_THREAD_SANITIZER 1
#endif
#endif

#if defined(QUILLMERE_THREAD_SANITIZER)
#include <sanitizer/tsan_interface.h>
#endif

// Everything this thread wrote before is visible to a thread that later calls
// MarkHandOverReceived with the same `token`.
inline void MarkHandOverSent(const void* token) {
#if defined(QUILLMERE_THREAD_SANITIZER)
  __tsan_release(const_cast<void*>(token));
#else
  (void)token;
#endif
}

inline void MarkHandOverReceived(const void* token) {
#if defined(QUILLMERE_THREAD_SANITIZER)
  __tsan_acquire(const_cast<void*>(token));
#else
  (void)token;
#endif
}

// A call posted to another thread's queue. The queue moves it into its own
// storage, where it stays until it runs: each construction marks the hand-over
// on the object's own address, so the last one (in place, on the sending
// thread) covers every write of the sender, those of the move included. The
// call and the destruction (on the receiving thread, or wherever the queue
// drops the call unrun) mark it received before they touch what it holds.
template <typename Function>
class HandedOverCall {
 public:
  explicit HandedOverCall(Function function) : m_function(std::move(function)) {
    MarkHandOverSent(this);
  }
  HandedOverCall(HandedOverCall&& other) : m_function(std::move(other.m_function)) {
    MarkHandOverSent(this);
  }
  HandedOverCall(const HandedOverCall& other) : m_function(other.m_function) {
    MarkHandOverSent(this);
  }
  HandedOverCall& operator=(const HandedOverCall&) = delete;
  HandedOverCall& operator=(HandedOverCall&&) = delete;
  ~HandedOverCall() { MarkHandOverReceived(this); }

  void operator()() {
    MarkHandOverReceived(this);
    m_function();
  }

 private:
  Function m_function;
};
