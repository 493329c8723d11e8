#pragma once
// The archive job: every file directly in one remote folder is moved into a
// sub-folder of that folder named after the part of its name before the
// first dot (a.part1.rar and a.txt both go to a/); missing sub-folders are
// made. Folders inside the folder, and files with nothing before their first
// dot, stay where they are. `按钮9` is disabled while the job runs; the job
// has no stop or pause, reports on the status line and ends with a summary
// box; moves that fail for good go to "err.txt".

#include <string>

#include "foundation/thread_start.h"
#include "web/account_session.h"

// The click of `按钮9`: the tree's current item must be a folder (the root
// counts as one); after the confirmation the job starts on a thread of its
// own for that folder. Returns the thread's handle, null when nothing
// started.
ThreadHandle OnArchiveClicked();

// The job for the remote folder `folder` (a path as GetRemoteTreeNodePath
// gives it: plain text, or backslash-u notation for characters code page 936
// lacks; "/" for the root),
// every request with `session`. Reads every page of the folder first, then
// archives file by file. Enables `按钮9` on every way out.
void RunArchiveJob(const AccountSession& session, const std::string& folder);

// The thread of the last root-folder reload the job started when its folder
// had vanished (null before the first).
ThreadHandle LastArchiveRootReload();
