#include "foundation/shared_locks.h"

#include <new>

std::recursive_mutex g_viewLock;
std::recursive_mutex g_counterLock;
std::recursive_mutex g_logFileLock;
std::recursive_mutex g_statusLock;
std::recursive_mutex g_cacheDbLock;
std::recursive_mutex g_jobQueueLock;

LockHandle CreateLock() {
  return new (std::nothrow) std::recursive_mutex;
}

int EnterLock(LockHandle lock) {
  if (lock == nullptr)
    return 0;
  lock->lock();
  return 1;
}

int LeaveLock(LockHandle lock) {
  if (lock == nullptr)
    return 0;
  lock->unlock();
  return 1;
}
