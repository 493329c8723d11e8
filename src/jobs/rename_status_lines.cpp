#include "jobs/rename_status_lines.h"

#include "web/rename_counters.h"

namespace {

std::string Number(const std::atomic<int>& counter) {
  return std::to_string(counter.load());
}

// The part both lines end with.
std::string CountersTail() {
  return "   频繁/等待数：" + Number(g_waitCount) + "   跳过不修改数：" + Number(g_skippedCount) +
         "   删除成功：" + Number(g_deletedCount) + "   删除失败：" + Number(g_deleteFailedCount);
}

// The progress lines after "处理进度：" and the processed count.
std::string ProgressCounts() {
  return "  修改成功数：" + Number(g_renamedCount) + "   修改失败/同名数：" +
         Number(g_renameFailedCount) + "   修改无变化数：" + Number(g_unchangedCount) +
         CountersTail();
}

}  // namespace

std::string TraversalProgressLine() {
  return "处理进度：" + Number(g_processedCount) + ProgressCounts();
}

std::string CollectedProgressLine() {
  return "处理进度：" + Number(g_processedCount) + "/" + Number(g_collectedTotal) +
         ProgressCounts();
}

std::string PerItemSummaryLine() {
  return "修改完成。    修改成功数：" + Number(g_renamedCount) + "     修改失败/同名数：" +
         Number(g_renameFailedCount) + "     修改无变化数：" + Number(g_unchangedCount) +
         "     频繁/等待数：" + Number(g_waitCount) + "     跳过不修改数：" +
         Number(g_skippedCount) + "     删除成功：" + Number(g_deletedCount) + "     删除失败：" +
         Number(g_deleteFailedCount);
}

std::string RenameSummaryLine() {
  return "修改完成。    修改成功数：" + Number(g_renamedCount) + "    修改失败/同名数：" +
         Number(g_renameFailedCount) + "    修改无变化数：" + Number(g_unchangedCount) +
         CountersTail();
}

std::string RenameCountsBoxText() {
  return "已完成。总检测文件数：" + Number(g_processedCount) + "\r\n\r\n 修改成功数：" +
         Number(g_renamedCount) + "   修改失败/同名数：" + Number(g_renameFailedCount) +
         "   删除成功文件：" + Number(g_deletedCount) +
         "\r\n\r\n修改结果看下方提示，或点击 刷新根目录按钮 或查看日志文件。";
}
