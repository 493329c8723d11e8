#pragma once
// Starting another program that outlives this one: the updater takes over
// after the program has ended.

#include <string>

// Starts the program at `path` (a file-system path, UTF-8) without arguments,
// in `folder`, in a session of its own, and does not wait for it. The image
// is executed directly: a file that is no executable fails, and is never run
// by a shell instead. True when the program was started. Any thread.
bool StartDetachedProcess(const std::string& path, const std::string& folder);
