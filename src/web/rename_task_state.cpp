#include "web/rename_task_state.h"

std::atomic<bool> g_renameStopRequested{false};
std::string g_renameTaskStamp;

bool RenameStopRequested() {
  return g_renameStopRequested.load();
}
