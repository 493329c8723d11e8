#include "jobs/copy_job.h"

#include <mutex>

#include "data/program_wide_objects.h"
#include "foundation/date_time.h"
#include "foundation/message_box.h"
#include "foundation/shared_locks.h"
#include "foundation/text_encodings.h"
#include "foundation/text_search.h"
#include "foundation/unicode_notation.h"
#include "foundation/url_encoding.h"
#include "foundation/waits.h"
#include "jobs/copy_job_state.h"
#include "jobs/copy_request.h"
#include "jobs/copy_targets.h"
#include "platform/code_page_codec.h"
#include "platform/control_store.h"
#include "platform/desktop.h"
#include "web/item_request_hold.h"
#include "web/remote_name_text.h"

namespace {

constexpr int kFullDriveQuestionTimeoutMs = 30000;
constexpr int kCopyWaitMs = 10;

void Notice(const std::string& text) {
  ShowTimedMessageBox("提示：", text, 0, kBoxIconInformation);
}

std::string Counts(const char* copied, const char* failed) {
  return copied + std::to_string(g_copiedCount.load()) + failed +
         std::to_string(g_copyFailedCount.load()) + "  重命名数：" +
         std::to_string(g_copySameNameCount.load());
}

// A status line made of the counters and a tail, under the counter lock.
void ShowCopyStatus(const std::string& head, const char* copied, const char* failed,
                    const std::string& tail) {
  std::lock_guard lock(g_counterLock);
  ShowStatusText(head + Counts(copied, failed) + tail);
}

// The same line ending in "  正复制到：" and the folder, every character of
// its name shown.
void ShowCopyingInto(const std::string& head, const char* copied, const char* failed,
                     const std::string& encodedFolder) {
  std::lock_guard lock(g_counterLock);
  ShowStatusText({}, TextToUtf16(head + Counts(copied, failed) + "  正复制到：", true) +
                         Utf8TextToUtf16(UrlDecodeText(encodedFolder, false)));
}

// Copies into one folder, and once more when the result asks for it.
void CopyWithRepeat(const AccountSession& session, const std::string& encodedFolder,
                    const std::string& stamp) {
  const ItemRequestScope underWay;
  if (CopyResultAsksRepeat(CopyIntoFolder(session, encodedFolder, stamp, 0))) {
    CopyIntoFolder(session, encodedFolder, stamp, 1);
  }
}

bool DriveFullAndDeclined(const AccountSession& session) {
  DriveQuota quota;
  int full = 0;
  QueryDriveQuota(session.cookies, quota, full);
  if (full != 1) {
    return false;
  }
  const int answer =
      ShowTimedMessageBox("提示：",
                          "当前空间已满，复制可能不成功！\r\n\r\n已使用：" + quota.usedSize +
                              "\r\n总容量：" + quota.totalSize + "\r\n\r\n是否继续？",
                          kFullDriveQuestionTimeoutMs, kBoxYesNo | kBoxIconWarning);
  return answer != kBoxResultYes;
}

void CopyIntoSubfolders(const AccountSession& session, const std::string& encodedDestination,
                        const std::string& stamp) {
  ShowStatusText("正在初始化子目录数据");
  std::vector<CopyTarget> targets;
  CollectCopyTargets(session, g_copySources, encodedDestination, stamp, targets);
  std::vector<CopyTarget> kept;
  for (const CopyTarget& target : targets) {
    if (CopyStopRequested()) {
      return;
    }
    WaitWhileCopyPaused();
    if (PassesCopyKeywordFilter(TextRightOfMarker(UrlDecodeText(target.path), "/"))) {
      kept.push_back(target);
    }
  }
  for (size_t j = 0; j < kept.size(); ++j) {
    if (CopyStopRequested()) {
      return;
    }
    WaitWhileCopyPaused();
    ShowCopyingInto("进度：" + std::to_string(j + 1) + "/" + std::to_string(kept.size()), " 成功：",
                    "  失败：", kept[j].path);
    CopyWithRepeat(session, kept[j].path, stamp);
    WaitPumpingMessages(kCopyWaitMs, kWaitMilliseconds, CopyStopRequested);
  }
}

void FinishCopyJob() {
  GetControlStore().SetEnabled(kStartCopyButton, true);
  ShowCopyStatus("", "复制成功：", "  失败数：", "  复制任务已完成！！！");
  ShowPlainMessageBox("复制任务完成。");
}

}  // namespace

ThreadHandle OnStartCopyClicked() {
  ControlStore& store = GetControlStore();
  if (!store.Enabled(kStartCopyButton)) {
    return nullptr;
  }
  const std::string sourceText = store.Text(kCopySourcesEdit);
  if (sourceText.empty()) {
    Notice("没有设置被复制的目标，请选中后右键单击设置。");
    return nullptr;
  }
  g_copySources = ReadCopySourceList(sourceText);
  if (g_copySources.empty()) {
    Notice("处理待复制的文件时失败。");
    return nullptr;
  }
  const std::string destination = store.Text(kCopyDestinationEdit);
  if (destination.empty()) {
    Notice("没有设置复制到目标的目录位置，请选中后右键单击设置。");
    return nullptr;
  }
  const AccountSession session = GetAccountSession();
  if (session.cookies.empty()) {
    Notice("没有设置被操作的百度帐号cookies，双击百度帐号cookies列表即可切换当前操作的百度cookies");
    return nullptr;
  }
  if (!CanSendFileOperations(session)) {
    Notice(kSignInAgainNotice);
    return nullptr;
  }
  if (sourceText == destination) {
    Notice("被复制对象不能与目标目录相同。");
    return nullptr;
  }
  Notice(
      "复制过程中遇到操作频繁或有队列任务时，会循环等待，程序会出现卡住一直不动。最长会等待10分"
      "钟左右。");
  if (store.Checked(kCopyAllLevelsRadio)) {
    // The boxes' texts with every character of their names shown.
    const std::u16string question =
        DecodeToUtf16("确定将 " + std::to_string(g_copySources.size()) + " 个文件/夹：\r\n",
                      kCodePageLocal) +
        DecodeEscapesBeyondCodePage(sourceText) +
        DecodeToUtf16("\r\n\r\n复制到(包含所有子目录下)：\r\n", kCodePageLocal) +
        DecodeEscapesBeyondCodePage(destination);
    const int answer = ShowTimedMessageBoxUtf16("提示：", Utf16ToLeBytes(question), 0,
                                                kBoxYesNo | kBoxIconQuestion);
    if (answer != kBoxResultYes) {
      return nullptr;
    }
  }
  store.SetEnabled(kStartCopyButton, false);
  ZeroCopyJobState();
  store.SetCaption(kCopyPauseButton, "暂停");
  ThreadHandle job = StartThreadWithTexts(
      [session](int, const std::string& target, const std::string&, const std::string&,
                const std::string&) {
        RunCopyJob(session, target);
        FinishCopyJob();
      },
      0, destination);
  if (job == nullptr) {
    FinishCopyJob();
  }
  return job;
}

void RunCopyJob(const AccountSession& session, const std::string& destination) {
  if (DriveFullAndDeclined(session)) {
    return;
  }
  const std::string encodedDestination = EncodeRemoteQueryValue(destination);
  const std::string stamp = MakeLocalStampText();
  const ControlStore& store = GetControlStore();
  if (!store.Checked(kCopyDestinationOnlyRadio)) {
    CopyIntoSubfolders(session, encodedDestination, stamp);
    return;
  }
  ShowCopyingInto("", "复制成功：", "  失败数：", encodedDestination);
  CopyWithRepeat(session, encodedDestination, stamp);
  ShowCopyingInto("", "复制成功：", "  失败数：", encodedDestination);
}
