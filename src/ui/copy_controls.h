#pragma once
// The stop and pause buttons of the copy job. Both do nothing unless a copy
// job runs (its start button is disabled). User-interface thread.

// Asks "确定停止复制广告文件任务？" (15 s); on Yes sets the stop flag, clears
// the pause flag and holds the stop button disabled for two seconds.
void StopCopyJob();

// The caption decides: "暂停" pauses, "继续" resumes, anything else does
// nothing. The button is disabled for one second, then gets the other caption.
void ToggleCopyPause();
