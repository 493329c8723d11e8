#include "web/delete_paths.h"

#include <algorithm>

#include "foundation/message_box.h"
#include "foundation/shared_locks.h"
#include "foundation/text_search.h"
#include "foundation/url_encoding.h"
#include "foundation/waits.h"
#include "web/account_session.h"
#include "web/http_request.h"
#include "web/item_request_hold.h"
#include "web/remote_name_text.h"
#include "web/rename_counters.h"
#include "web/rename_task_state.h"
#include "web/result_log.h"
#include "web/service_config.h"
#include "web/service_conventions.h"
#include "web/task_list_entries.h"

namespace {

constexpr int kDeleteAttempts = 50;
constexpr int kDeleteTimeoutSeconds = 5;
constexpr int kBusyWaitMs = 1000;
constexpr int kTaskPolls = 200;
constexpr int kPollWaitMs = 300;

// A delete task's reply once the task has ended well.
constexpr const char* kTaskSuccessMarker = "\"task_errno\":0,\"status\":\"success\"";

std::string DeleteUrl(const AccountSession& session) {
  return ServiceUrl(
      "/api/filemanager?opera=delete&async=2&onnest=fail&channel=chunlei&web=1&app_id=250528"
      "&bdstoken=" +
      session.bdstoken + "&logid=" + MakeLogIdFromCookies(session.cookies) + "&clienttype=0");
}

bool BusyOnAPath(const std::string& reply) {
  return !TextBetweenMarkers(reply, "{\"errno\":12,\"info\":[{\"errno\":111,\"path\":\"", "\"")
              .empty();
}

// Follows the task of an asynchronous delete until it reports an end (or any
// reply that is not a running task's), at most kTaskPolls times; `reply`
// becomes the last poll's reply. False when the stop flag ended the polls.
bool FollowTask(const AccountSession& session, const std::string& taskId, std::string& reply) {
  for (int poll = 1; poll <= kTaskPolls; ++poll) {
    if (RenameStopRequested()) {
      return false;
    }
    std::string cookies = session.cookies;
    reply = SendHttpRequest(RenameTaskQueryUrl(taskId), {.cookies = &cookies,
                                                         .timeoutSeconds = kDeleteTimeoutSeconds,
                                                         .stopFlag = &g_renameStopRequested});
    if ((!reply.empty() && !ReplyHolds(reply, "task_errno\":0,\"")) ||
        ReplyHolds(reply, kTaskSuccessMarker)) {
      return true;
    }
    if (poll < kTaskPolls) {
      WaitPumpingMessages(kPollWaitMs, kWaitMilliseconds, RenameStopRequested);
      PumpMessages();
    }
  }
  return !RenameStopRequested();
}

// The paths a delete reply gives as deleted: every path on the success
// markers; on a task that ended with a list of entries, every path but those
// its entries name with an error (a failed task lists only the paths that
// failed, so a path no entry names was deleted); none otherwise.
std::vector<bool> DeletedPaths(const std::vector<std::string>& paths, const std::string& reply,
                               bool followedTask) {
  const bool allDeleted =
      followedTask ? ReplyHolds(reply, kTaskSuccessMarker) && !ReplyHolds(reply, "\"error_code\":")
                   : FindText(reply, "\"errno\":0,\"info\":[],\"request_id") != -1;
  std::vector<bool> deleted(paths.size(), allDeleted);
  if (allDeleted || !followedTask) {
    return deleted;
  }
  const std::vector<NamedOutcome> outcomes = ReadNamedOutcomes(reply);
  if (outcomes.empty()) {
    return deleted;
  }
  std::fill(deleted.begin(), deleted.end(), true);
  for (const NamedOutcome& outcome : outcomes) {
    if (outcome.error.empty()) {
      continue;
    }
    for (size_t i = 0; i < paths.size(); ++i) {
      if (deleted[i] && RemoteNameFromEncoded(paths[i]) == outcome.from) {
        deleted[i] = false;
        break;
      }
    }
  }
  return deleted;
}

void BookDeletion(const AccountSession& session, const std::vector<std::string>& paths,
                  const std::string& reply, bool followedTask) {
  std::lock_guard lock(g_counterLock);
  const std::vector<bool> deleted = DeletedPaths(paths, reply, followedTask);
  std::string reason = "   失败原因：";
  if (FindText(reply, "{\"errno\":132,\"info") != -1) {
    reason = "   失败原因：删除文件需要验证您的身份。教程：" + IdentityCheckTutorialUrl() + "   ";
  }
  const int deletedPaths = static_cast<int>(std::count(deleted.begin(), deleted.end(), true));
  g_deletedCount += deletedPaths;
  if (deletedPaths < static_cast<int>(paths.size())) {
    ++g_deleteFailedCount;
  }
  ResultLog deletedLog(session.user, kLogDeleted);
  ResultLog failedLog(session.user, kLogDeleteFailed);
  for (size_t i = 0; i < paths.size(); ++i) {
    if (deleted[i]) {
      deletedLog.Append(RemoteNameFromEncoded(paths[i]));
    } else {
      failedLog.Append(RemoteNameFromEncoded(paths[i]) + reason + reply);
    }
    PumpMessages();
  }
}

}  // namespace

std::string IdentityCheckTutorialUrl() {
  return "https://" + GetServiceConfig().updateHost + "/help/identity-check.html";
}

std::string BuildDeleteBody(const std::vector<std::string>& encodedPaths) {
  std::string body = "filelist=%5B";
  for (size_t i = 0; i < encodedPaths.size(); ++i) {
    body += (i == 0 ? "\"" : "%2C\"") + encodedPaths[i] + "\"";
  }
  return body + "%5D";
}

void DeleteRemotePaths(const std::vector<std::string>& encodedPaths) {
  DeleteRemotePaths(GetAccountSession(), encodedPaths);
}

void DeleteRemotePaths(const AccountSession& session,
                       const std::vector<std::string>& encodedPaths) {
  if (encodedPaths.empty()) {
    return;
  }
  const ItemRequestScope underWay;
  const std::string body = BuildDeleteBody(encodedPaths);
  std::string reply;
  for (int attempt = 1; attempt <= kDeleteAttempts; ++attempt) {
    if (RenameStopRequested()) {
      return;
    }
    std::string cookies = session.cookies;
    reply = SendHttpRequest(DeleteUrl(session), {.method = kHttpPost,
                                                 .body = body,
                                                 .cookies = &cookies,
                                                 .timeoutSeconds = kDeleteTimeoutSeconds,
                                                 .stopFlag = &g_renameStopRequested});
    if (BusyOnAPath(reply)) {
      WaitPumpingMessages(kBusyWaitMs, kWaitMilliseconds, RenameStopRequested);
      continue;
    }
    if (!reply.empty()) {
      break;
    }
    PumpMessages();
  }
  // The service answers before the task ran: its id says only that the
  // delete was taken on.
  const std::string taskId = CutTaskId(reply);
  if (!taskId.empty() && !FollowTask(session, taskId, reply)) {
    return;
  }
  BookDeletion(session, encodedPaths, reply, !taskId.empty());
}
