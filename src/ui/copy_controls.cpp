#include "ui/copy_controls.h"

#include <string>

#include "foundation/message_box.h"
#include "foundation/waits.h"
#include "jobs/copy_job_state.h"
#include "platform/control_store.h"
#include "platform/desktop.h"

namespace {

bool CopyJobRuns(const ControlStore& store) {
  return !store.Enabled(kStartCopyButton);
}

}  // namespace

void StopCopyJob() {
  ControlStore& store = GetControlStore();
  if (!CopyJobRuns(store)) {
    return;
  }
  if (ShowTimedMessageBox("提示", "确定停止复制广告文件任务？", 15000,
                          kBoxYesNo | kBoxIconQuestion) != kBoxResultYes) {
    return;
  }
  store.SetEnabled(kCopyStopButton, false);
  g_copyStopRequested = true;
  g_copyPaused = false;
  WaitPumpingMessages(2000);
  store.SetEnabled(kCopyStopButton, true);
}

void ToggleCopyPause() {
  ControlStore& store = GetControlStore();
  if (!CopyJobRuns(store)) {
    return;
  }
  const std::string caption = store.Caption(kCopyPauseButton);
  bool pause = false;
  const char* next = nullptr;
  if (caption == "暂停") {
    pause = true;
    next = "继续";
  } else if (caption == "继续") {
    next = "暂停";
  } else {
    return;
  }
  store.SetEnabled(kCopyPauseButton, false);
  g_copyPaused = pause;
  WaitPumpingMessages(1000);
  store.SetEnabled(kCopyPauseButton, true);
  store.SetCaption(kCopyPauseButton, next);
}
