#include "web/rename_item.h"

#include "data/program_wide_objects.h"
#include "foundation/blank_lines.h"
#include "foundation/message_box.h"
#include "foundation/random_values.h"
#include "foundation/shared_locks.h"
#include "foundation/text_search.h"
#include "foundation/waits.h"
#include "platform/control_store.h"
#include "web/account_session.h"
#include "web/daily_pause.h"
#include "web/http_request.h"
#include "web/item_request_hold.h"
#include "web/main_window_controls.h"
#include "web/remote_name_text.h"
#include "web/rename_counters.h"
#include "web/rename_task_state.h"
#include "web/result_log.h"
#include "web/service_conventions.h"
#include "web/service_text.h"

namespace {

constexpr int kRenameAttempts = 30;
constexpr int kSendsPerAttempt = 5;
constexpr int kRenameTimeoutSeconds = 60;
constexpr int kTaskPolls = 200;
constexpr int kPollWaitMs = 300;
constexpr int kBusyWaitMs = 5000;
constexpr int kItemBusyWaitMs = 2000;

constexpr const char* kUnchangedMarker = "{\"errno\":12,\"info\":[],\"request_id\"";

enum class Verdict { kSuccess, kFailure, kUnchanged, kRetry };

bool Busy(const std::string& reply) {
  return ReplyHolds(reply, "info\":[{\"errno\":31034,\"") ||
         ReplyHolds(reply, "info\":[{\"errno\":111,\"");
}

// A task that failed with a list of its items' errors.
bool FailedTaskWithList(const std::string& reply) {
  return ReplyHolds(reply, "\"status\":\"failed\",\"list\":[", true);
}

// The error code of the item: the synchronous reply's info errno, else the
// failed task's error_code.
std::string ItemErrorCode(const std::string& reply) {
  const std::string code = TextBetweenMarkers(reply, "\"info\":[{\"errno\":", ",\"");
  return code.empty() ? TextBetweenMarkers(reply, "\"error_code\":", ",") : code;
}

struct RenameRequest {
  AccountSession session;
  std::string async;
  std::string body;
};

// Sends the body up to five times until a reply comes, then follows its task;
// `reply` is the reply to judge. False when the stop flag ended the attempt.
bool SendAndFollow(const RenameRequest& request, std::string& reply) {
  reply.clear();
  const std::string url =
      ServiceUrl("/api/filemanager?async=" + request.async +
                 "&onnest=fail&opera=rename&bdstoken=" + request.session.bdstoken +
                 "&clienttype=0&app_id=250528&web=1&dp-logid=" + MakeRandomLogId());
  for (int send = 1; send <= kSendsPerAttempt && reply.empty(); ++send) {
    if (RenameStopRequested()) {
      return false;
    }
    std::string cookies = request.session.cookies;
    std::string headers = FillRequestHeaderTemplate(request.body.size());
    reply = SendHttpRequest(url, {.method = kHttpPost,
                                  .body = request.body,
                                  .cookies = &cookies,
                                  .headers = &headers,
                                  .timeoutSeconds = kRenameTimeoutSeconds,
                                  .stopFlag = &g_renameStopRequested});
    if (reply.empty()) {
      PumpMessages();
    }
  }
  const std::string taskId = CutTaskId(reply);
  if (taskId.empty()) {
    return true;
  }
  for (int poll = 1; poll <= kTaskPolls; ++poll) {
    if (RenameStopRequested()) {
      return false;
    }
    std::string cookies = request.session.cookies;
    reply = SendHttpRequest(RenameTaskQueryUrl(taskId), {.cookies = &cookies,
                                                         .timeoutSeconds = kRenameTimeoutSeconds,
                                                         .stopFlag = &g_renameStopRequested});
    if ((!reply.empty() && !ReplyHolds(reply, "task_errno\":0,\"")) ||
        ReplyHolds(reply, kRenameTaskSuccessMarker)) {
      break;
    }
    WaitPumpingMessages(kPollWaitMs, kWaitMilliseconds, RenameStopRequested);
    PumpMessages();
  }
  return true;
}

Verdict Judge(const std::string& reply) {
  if (ReplyHolds(reply, "errno\":0,\"info\":[{\"errno\":0,\"path") ||
      ReplyHolds(reply, kRenameTaskSuccessMarker)) {
    return Verdict::kSuccess;
  }
  if (FailedTaskWithList(reply) || ReplyHolds(reply, "info\":[{\"errno\":-7,\"") ||
      ReplyHolds(reply, "info\":[{\"errno\":-8,\"") ||
      ReplyHolds(reply, "info\":[{\"errno\":-9,\"")) {
    return Verdict::kFailure;
  }
  if (Busy(reply)) {
    WaitPumpingMessages(kBusyWaitMs, kWaitMilliseconds, RenameStopRequested);
    PumpMessages();
    return Verdict::kRetry;
  }
  if (ReplyHolds(reply, "{\"errno\":12,\"info\":[{\"errno\":")) {
    WaitPumpingMessages(kItemBusyWaitMs, kWaitMilliseconds, RenameStopRequested);
    PumpMessages();
  }
  if (ReplyHolds(reply, kUnchangedMarker)) {
    return Verdict::kUnchanged;
  }
  PumpMessages();
  return Verdict::kRetry;
}

// An item without an id never takes part in the skip rule: every such item
// would share the one empty key.
bool AlreadyRenamed(const std::string& fsId) {
  if (fsId.empty()) {
    return false;
  }
  std::lock_guard lock(g_counterLock);
  const auto found = g_renamedPaths.find(fsId);
  return found != g_renamedPaths.end() && found->second == kRenamedMark;
}

void BookSuccess(const AccountSession& session, const std::string& fsId,
                 const std::string& decodedOld, const std::string& decodedNew) {
  {
    std::lock_guard lock(g_counterLock);
    ++g_renamedCount;
    AppendResultLogEntry(session.user, kLogRenamed, decodedOld + "---->" + decodedNew);
    if (!fsId.empty()) {
      g_renamedPaths[fsId] = kRenamedMark;
    }
    ++g_dailyRenamedCount;
  }
  RunDailyPauseCheck();
}

}  // namespace

std::string RenameListEntry(const std::string& fsId, const std::string& path,
                            const std::string& newName) {
  const std::string id = fsId.empty() ? "" : "%22id%22%3A" + fsId + "%2C";
  return "%7B" + id + "%22path%22%3A%22" + EncodeRemoteJsonText(path, false) +
         "%22%2C%22newname%22%3A%22" + EncodeRemoteJsonText(newName, !IsUnicodeNotation(newName)) +
         "%22%7D";
}

std::string BuildRenameBody(const std::string& path, const std::string& newName,
                            const std::string& fsId) {
  return "filelist=%5B" + RenameListEntry(fsId, path, newName) + "%5D";
}

std::string RenameFailureReason(const std::string& reply) {
  const std::string code = ItemErrorCode(reply);
  if (code == "-7") {
    return "文件或目录名错误或无权访问";
  }
  if (code == "-8") {
    return "该目录下已存在此文件";
  }
  if (code == "-9") {
    return "文件被所有者删除，操作失败";
  }
  if (code == "-30") {
    return "文件已存在。" + reply;
  }
  return code.empty() ? "ret：" + reply : code;
}

bool RenameRemoteItem(std::string& path, std::string& newName, bool isFolder,
                      const std::string& fsId) {
  return RenameRemoteItem(GetAccountSession(), path, newName, isFolder, fsId);
}

bool RenameRemoteItem(const AccountSession& session, std::string& path, std::string& newName,
                      bool isFolder, const std::string& fsId) {
  const ItemRequestScope underWay;
  (void)isFolder;
  if (GetControlStore().Checked(kSkipRenamedCheckBox) && AlreadyRenamed(fsId)) {
    ++g_skippedCount;
    return false;
  }
  const std::string decodedOld = RemoteNameForDisplay(path);
  const std::string decodedNew = RemoteNameForDisplay(newName);
  const std::string lastPart = TextRightOfMarker(path, "/");
  if (lastPart == newName ||
      (!newName.empty() && RemoteNameUtf8(lastPart) == RemoteNameUtf8(newName))) {
    return false;
  }
  RenameRequest request{session, ReadRenameAsyncMode(), {}};
  if (newName.empty()) {
    std::lock_guard lock(g_counterLock);
    ++g_renameFailedCount;
    AppendResultLogEntry(
        request.session.user, kLogRenameFailed,
        decodedOld + "---->" + newName + "   失败原因：新文件名替换后为空或无变化，跳过修改。\r\n");
    return false;
  }
  request.body = BuildRenameBody(path, newName, fsId);
  std::string reply;
  Verdict verdict = Verdict::kRetry;
  for (int attempt = 1; attempt <= kRenameAttempts; ++attempt) {
    if (RenameStopRequested()) {
      return false;
    }
    if (!SendAndFollow(request, reply)) {
      return false;
    }
    verdict = Judge(reply);
    if (verdict == Verdict::kSuccess) {
      BookSuccess(request.session, fsId, decodedOld, decodedNew);
      return true;
    }
    if (verdict == Verdict::kUnchanged) {
      std::lock_guard lock(g_counterLock);
      ++g_unchangedCount;
      AppendResultLogEntry(request.session.user, kLogUnchanged,
                           decodedOld + "---->" + decodedNew + "\r\n\r\n");
      return false;
    }
    if (verdict == Verdict::kFailure) {
      break;
    }
  }
  // A stop that cut the last wait short books nothing; a failure the service
  // answered is booked regardless.
  if (verdict != Verdict::kFailure && RenameStopRequested()) {
    return false;
  }
  std::lock_guard lock(g_counterLock);
  // A rename given up while the service kept answering busy is counted as
  // waiting, so the task can warn that nothing was renamed.
  ++(Busy(reply) ? g_waitCount : g_renameFailedCount);
  AppendResultLogEntry(request.session.user, kLogRenameFailed,
                       decodedOld + "---->" + (decodedNew.empty() ? newName : decodedNew) +
                           "   失败原因：" + RemoveBlankLines(RenameFailureReason(reply)) +
                           "\r\n\r\n");
  return false;
}
