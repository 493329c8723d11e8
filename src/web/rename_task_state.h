#pragma once
// The state of the running rename task that the service requests read: its
// stop flag and its start stamp (part of every rename and delete result-log
// file name).

#include <atomic>
#include <string>

// False while a rename task may go on; set by the task's stop button. Requests
// read it before every attempt, send and task poll and return at once,
// booking nothing, when it is set; a transfer in flight ends within about a
// second. Cleared when a task starts.
extern std::atomic<bool> g_renameStopRequested;

// The task's start as local date-time text. Written when a task starts and
// read by the result logs, both while g_counterLock is held.
extern std::string g_renameTaskStamp;

// True when the stop flag is set; a ready-made stop condition for waits.
bool RenameStopRequested();
