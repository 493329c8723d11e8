#include "data/program_wide_objects.h"

#include "foundation/never_destroyed.h"

namespace {

NeverDestroyed<SqliteDatabase> s_cacheDb;
NeverDestroyed<std::unordered_map<std::string, std::string>> s_renamedPaths;
NeverDestroyed<LockedQueue> s_jobQueue;
NeverDestroyed<std::vector<std::string>> s_copySources;
NeverDestroyed<FileDropTarget> s_keywordEditDropTarget;
NeverDestroyed<FileDropTarget> s_keywordLabelDropTarget;

}  // namespace

SqliteDatabase& g_cacheDb = s_cacheDb.Get();
std::unordered_map<std::string, std::string>& g_renamedPaths = s_renamedPaths.Get();
LockedQueue& g_jobQueue = s_jobQueue.Get();
std::vector<std::string>& g_copySources = s_copySources.Get();
FileDropTarget& g_keywordEditDropTarget = s_keywordEditDropTarget.Get();
FileDropTarget& g_keywordLabelDropTarget = s_keywordLabelDropTarget.Get();

void ResetSharedDataObjects() {
  g_cacheDb.SetHandle(nullptr);
  g_renamedPaths.clear();
  g_jobQueue.Init();
  g_copySources.clear();
  g_keywordEditDropTarget.Unregister();
  g_keywordLabelDropTarget.Unregister();
}
