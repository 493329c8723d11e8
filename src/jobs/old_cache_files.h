#pragma once
// Leftover listing-cache files: every prefetch run makes a new
// "folderlist_re_" + stamp + ".db" in the program's folder, and an ended or
// cut-off run leaves its file behind. They are removed at start-up (on a
// thread of their own) and before each new prefetch run.

// The names of the listing-cache files.
inline constexpr const char* kCacheFilePattern = "folderlist_re_*.*";

// Deletes every file of the program's folder (not its sub-folders) whose name
// matches kCacheFilePattern, handling the calling thread's pending window
// events after each file. A file that cannot be deleted, or that this process
// holds open (the cache of a run under way), is left; nothing is reported.
// Any thread.
void DeleteOldCacheFiles();
