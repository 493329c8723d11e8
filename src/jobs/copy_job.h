#pragma once
// The copy job: copies the remote files and folders listed in the main
// window's box `编辑框_被复制对象` into the folder of `编辑框_复制到目标位置`
// (destination-only mode), into its first-level sub-folders, or into every
// folder below it. The handlers run on the user-interface thread and read
// the options through the control store; the job runs on a worker thread of
// its own with the account snapshot taken when it starts.
//
// `按钮_开始复制文件` is disabled exactly while a job runs; other parts of
// the program read that as "a copy job runs".

#include <string>

#include "foundation/text_arrays.h"
#include "foundation/thread_start.h"
#include "web/account_session.h"

// The source list of a box text: the elements of a JSON list, or, when the
// text holds no JSON list, its comma-separated entries (empty ones dropped).
// Each element comes out exactly: plain text when code page 936 holds it,
// else with the characters it lacks in backslash-u notation (as
// GetRemoteTreeNodePath writes a path).
TextArray ReadCopySourceList(const std::string& text);

// The pop-up menu entry "批量复制-选择此文件进行复制": appends the tree's
// current item (file or folder) to the source box, which is kept as a JSON
// list. Refused while a copy job runs; asks before adding to a box that is
// not empty; a path already listed is not added again. Characters that code
// page 936 lacks stand in the list as JSON escapes ("\uD83D\uDE00"), which
// the box shows as the characters themselves.
void OnAddCopySourceSelected();

// The click of `按钮_开始复制文件`: rebuilds g_copySources from the source
// box, checks the options in order (each refusal in a box), shows the
// notice, asks in the all-levels mode, then disables the button, zeroes the
// job's state and starts the job. When the job's thread ends it enables the
// button, writes the summary on the status line and shows "复制任务完成。".
// Returns the thread's handle, null when the start was refused.
ThreadHandle OnStartCopyClicked();

// The job (the thread's body): the quota check, then the copies of the
// selected mode into `destination` (a remote path in the program's text, read
// through RemoteNameUtf8), every request with
// `session`. Its results are the counters, the status line and the result
// logs.
void RunCopyJob(const AccountSession& session, const std::string& destination);
