#pragma once
// A first-in first-out queue of byte items shared by several threads. Items lie
// one after another in one growable buffer, each as a 32-bit little-endian
// length followed by its bytes (a text's bytes without terminator; an integer
// as 4 bytes). Pushes append at the write end, pops take from the read end;
// the spent front is reclaimed lazily: before the buffer grows, and when the
// read offset passes the grow step (the buffer then shrinks to the unread
// bytes plus one grow step). The program's queue is g_jobQueue, carrying
// listing-task texts from the collection dispatcher to the pooled listing
// tasks.
//
// Every operation except Count holds the queue's own lock (users of g_jobQueue
// also hold g_jobQueueLock around it, taken first). Count reads without the
// lock. A copy has its own buffer and lock.

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

class LockedQueue {
 public:
  static constexpr std::size_t kDefaultGrowStep = 1048576;
  static constexpr std::size_t kMinGrowStep = 1024;

  LockedQueue();  // as after Init
  ~LockedQueue();
  // Takes the other queue's items and settings under its lock.
  LockedQueue(const LockedQueue& other);
  LockedQueue& operator=(const LockedQueue&) = delete;

  // (Re)initialises: grow step 1,048,576, an empty zeroed buffer of that size,
  // offsets and count 0. Returns false when the buffer cannot be allocated.
  bool Init();
  // Frees the buffer and drops every item (a later push makes a new buffer).
  void Destroy();
  void FreeMembers() { Destroy(); }

  // Append one item. unique: refuse an item equal to one already queued
  // (same length and bytes; for integers the same value among 4-byte items).
  // Return false when refused or when no room could be made (queue unchanged).
  bool PushBytes(std::string_view bytes, bool unique = false);
  bool PushText(std::string_view text, bool unique = false);
  bool PushInt(std::int32_t value, bool unique = false);

  // Remove the oldest item into out and return true; on an empty queue set out
  // empty (0) and return false. PopInt reads the first 4 bytes of the item
  // (0 when it is shorter).
  bool PopBytes(std::string& out);
  bool PopText(std::string& out);
  bool PopInt(std::int32_t& out);

  int Count() const { return m_count.load(std::memory_order_relaxed); }
  // Drops every item; the buffer shrinks to the grow step. No-op when empty.
  void Clear();
  // At least 1024; 1,048,576 when called without argument. The buffer is not
  // resized.
  void SetGrowStep(std::size_t bytes = kDefaultGrowStep);

  // Inspection for tests and diagnostics.
  std::size_t Capacity() const;
  std::size_t ReadOffset() const;
  std::size_t WriteOffset() const;
  std::size_t GrowStep() const;
  std::string BufferBytes() const;  // the buffer from its start to the write offset

 private:
  bool Push(std::string_view payload, bool unique, bool asInt);
  bool Pop(std::string& payload);
  bool EnsureRoom(std::size_t bytesNeeded);  // lock held
  void Compact();                            // lock held

  mutable std::mutex m_lock;
  std::vector<char> m_buffer;  // size() is the capacity
  std::size_t m_growStep = kDefaultGrowStep;
  std::size_t m_writeOffset = 0;
  std::size_t m_readOffset = 0;
  std::atomic<int> m_count{0};
};
