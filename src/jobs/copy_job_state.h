#pragma once
// The copy job's shared state: its three counters, its stop and pause flags,
// and the names of the main window's controls that the copy and archive jobs
// read and write through the control store.
//
// The counters are raised only by CopyIntoFolder (and by the target
// collection for a folder it cannot list), each while g_counterLock is held.
// The flags are written by the user-interface thread (start, stop and pause
// buttons) and polled by the job's worker at every loop head and during every
// wait. All are zeroed together when a job starts (ZeroCopyJobState) and keep
// their last values after it ends.

#include <atomic>

extern std::atomic<int> g_copiedCount;        // successful copy requests (one per folder)
extern std::atomic<int> g_copyFailedCount;    // failed copy requests and unreadable folders
extern std::atomic<int> g_copySameNameCount;  // copies refused by a same-named item

// Set by the stop button: the job ends at its next check, and a wait or a
// request in flight ends early.
extern std::atomic<bool> g_copyStopRequested;
// Toggled by the pause button, cleared by the stop button: while set, every
// loop head of the job waits in one-second steps.
extern std::atomic<bool> g_copyPaused;

// Zeroes the three counters and both flags, under g_counterLock.
void ZeroCopyJobState();

// True when the stop flag is set; a ready-made stop condition for waits.
bool CopyStopRequested();

// While the pause flag is set (and the stop flag is not), waits in steps of
// one second on the installed clock.
void WaitWhileCopyPaused();

// The controls of the copy job (group `分组框1`) and of the archive job.
inline constexpr const char* kCopySourcesEdit = "编辑框_被复制对象";
inline constexpr const char* kCopyDestinationEdit = "编辑框_复制到目标位置";
inline constexpr const char* kStartCopyButton = "按钮_开始复制文件";
inline constexpr const char* kCopyPauseButton = "按钮_复制文件暂停和继续";
inline constexpr const char* kCopyStopButton = "按钮_复制文件停止";
inline constexpr const char* kCopyDestinationOnlyRadio = "单选框_复制到指定目录_不含子夹";
inline constexpr const char* kCopyFirstLevelRadio = "单选框_复制到指定目录_包含一级子夹";
inline constexpr const char* kCopyAllLevelsRadio = "单选框_复制到指定目录_包括子目录";
inline constexpr const char* kCopyKeepBothBox = "选择框_复制时遇到同名文件则保留2份文件";
inline constexpr const char* kArchiveButton = "按钮9";
