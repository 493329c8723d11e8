#include "web/rename_task_state.h"

std::atomic<int> g_renameStopRequested{0};
std::string g_renameTaskStamp;

bool RenameStopRequested() {
  return g_renameStopRequested.load() != 0;
}
