#pragma once
// The program-wide objects shared across subsystems. They exist (empty) from
// before main() to the process end and are never destroyed, so a worker still
// running while the process ends never touches freed memory.
// CreateGlobalObjects (ui/global_objects.h) makes them empty again at start-up;
// their users fill them.
//
// The keyword lists, the first three objects of the start-up table, are the
// jobs' own (jobs/keyword_replacement_lists.h).
//
// Locks: g_renamedPaths is used under g_counterLock;
// g_cacheDb under g_cacheDbLock; g_jobQueue under g_jobQueueLock (plus its own
// lock); g_copySources by the copy job's thread; the drop targets on the
// user-interface thread.

#include <string>
#include <unordered_map>
#include <vector>

#include "data/sqlite_database.h"
#include "foundation/file_drop_target.h"
#include "foundation/locked_queue.h"

// The listing cache's one connection; no connection between collection runs.
extern SqliteDatabase& g_cacheDb;
// fs_id -> "已修改过" for every item renamed since start-up.
extern std::unordered_map<std::string, std::string>& g_renamedPaths;
// ListingTask texts from the collection dispatcher to the pooled listing tasks.
extern LockedQueue& g_jobQueue;
// The remote paths the copy job copies.
extern std::vector<std::string>& g_copySources;
// The keyword-rules window's edit box `编辑框2`, and its labels `透明标签7` and
// `透明标签2`.
extern FileDropTarget& g_keywordEditDropTarget;
extern FileDropTarget& g_keywordLabelDropTarget;

// Makes objects 4 to 9 of the start-up table empty, in their order (g_cacheDb
// without connection, g_renamedPaths, g_jobQueue
// re-initialised, g_copySources, the two drop targets unregistered). Called by
// CreateGlobalObjects on the user-interface thread before any worker starts.
void ResetSharedDataObjects();
