#pragma once
// The status-line texts of a rename run that are made from RenameCounters.
// Numbers are plain decimal. Read the counters while g_counterLock is held
// when the line must match the counts of one instant.

#include <string>

// The traversal's progress line: "处理进度：" + processed + "  修改成功数：" ...
// + "   删除失败：" + delete failures.
std::string TraversalProgressLine();

// The per-item apply's rename progress: "处理进度：" + processed + "/" +
// collected total, then the traversal line's counts from "  修改成功数：" on.
std::string CollectedProgressLine();

// The per-item apply's summary: "修改完成。    修改成功数：" + renamed, then
// every further label after five blanks, up to "     删除失败：" + failures.
std::string PerItemSummaryLine();

// Summary S of the task's ends: "修改完成。    修改成功数：" ... + "   删除失败：" +
// delete failures.
std::string RenameSummaryLine();

// The counts box of a first run: "已完成。总检测文件数：" + processed ...
std::string RenameCountsBoxText();
