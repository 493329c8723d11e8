#include "foundation/error_log.h"

#include <cstdio>
#include <mutex>

#include "foundation/file_system_path.h"
#include "foundation/run_directory.h"
#include "foundation/shared_locks.h"

bool AppendErrorLogLine(const std::string& line) {
  std::lock_guard lock(g_logFileLock);
  std::FILE* file = std::fopen(FileSystemPathFromText(RunDirectoryPath("err.txt")).c_str(), "ab");
  if (file == nullptr) {
    return false;
  }
  const std::string text = line + "\r\n";
  const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  return std::fclose(file) == 0 && written;
}
