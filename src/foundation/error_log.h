#pragma once
// "err.txt" in the program's folder: lines of failures that the jobs gave up
// on, appended and never read back by the program.

#include <string>

// Appends `line` + CR LF to "err.txt" under g_logFileLock (the file is made
// when missing). False when the file cannot be opened or written.
bool AppendErrorLogLine(const std::string& line);
