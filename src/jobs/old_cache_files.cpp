#include "jobs/old_cache_files.h"

#include <string>
#include <vector>

#include "foundation/file_deletion.h"
#include "foundation/files_and_paths.h"
#include "foundation/run_directory.h"
#include "foundation/thread_pool.h"

void DeleteOldCacheFiles() {
  std::vector<std::string> paths;
  FindFilesRecursive(GetRunDirectory(), kCacheFilePattern, paths, /*fullPath=*/true);
  for (const std::string& path : paths) {
    // A cache still open here belongs to a run under way: its name must stay.
    DeleteFileUnlessOpen(path);
    PumpMessagesOnce();
  }
}
