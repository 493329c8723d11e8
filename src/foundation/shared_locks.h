#pragma once
// Locks: a lock handle that may be null ("no lock"), and the six program-wide
// locks that keep worker threads apart where they share the folder tree, the
// counters, the log files, the status line, the listing cache and the job queue.
//
// All are re-entrant: a thread that holds a lock may take it again (the
// program's routines re-enter them), and must leave it as often as it entered.
// Hold them only around short sections.
//
// Lock order (keep it; nothing else nests):
//   g_counterLock -> g_statusLock     a holder of the counter lock writes the status line
//   g_viewLock    -> g_statusLock     a holder of the view lock writes the status line
//   g_counterLock -> g_logFileLock -> g_statusLock
//                                     a result-log write that fails is reported
//                                     in "err.txt" and on the status line
//   g_jobQueueLock -> the queue's own lock (LockedQueue takes it inside every push/pop)
// No other shared lock is taken while one of the six is held. The user-interface
// thread never waits for a lock that a worker may hold across a network request
// or a message box.
//
// The six locks exist from program start to the process end (they are objects,
// not created on demand), so code running before the main window, and tests,
// always lock for real.

#include <mutex>

using LockHandle = std::recursive_mutex*;

// Folder tree `树型框1` and account list `超级列表框_百度帐号列表` changes from workers.
extern std::recursive_mutex g_viewLock;
// The rename counters, the copy job's counters and every append to a result log.
extern std::recursive_mutex g_counterLock;
// Appends to "err.txt", the copy job's logs and the rewrite of "keyreplace.ini".
extern std::recursive_mutex g_logFileLock;
// The status line (ShowStatusText).
extern std::recursive_mutex g_statusLock;
// Every statement on the listing-cache database.
extern std::recursive_mutex g_cacheDbLock;
// Pushes to and pops from g_jobQueue (held in addition to the queue's own lock).
extern std::recursive_mutex g_jobQueueLock;

// A new lock, never freed by the program (locks live to the process end).
// Returns null only when memory is exhausted; null is a valid "no lock".
LockHandle CreateLock();

// Enter or leave a lock; a null handle does nothing and gives 0, otherwise 1.
int EnterLock(LockHandle lock);
int LeaveLock(LockHandle lock);
