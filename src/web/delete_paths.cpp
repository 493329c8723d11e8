#include "web/delete_paths.h"

#include "foundation/message_box.h"
#include "foundation/shared_locks.h"
#include "foundation/text_search.h"
#include "foundation/url_encoding.h"
#include "foundation/waits.h"
#include "web/account_session.h"
#include "web/http_request.h"
#include "web/remote_name_text.h"
#include "web/rename_counters.h"
#include "web/rename_task_state.h"
#include "web/result_log.h"
#include "web/service_config.h"
#include "web/service_conventions.h"

namespace {

constexpr int kDeleteAttempts = 50;
constexpr int kDeleteTimeoutSeconds = 5;
constexpr int kBusyWaitMs = 1000;

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

void BookDeletion(const AccountSession& session, const std::vector<std::string>& paths,
                  const std::string& reply) {
  std::lock_guard lock(g_counterLock);
  const bool deleted = FindText(reply, "\"errno\":0,\"info\":[],\"request_id") != -1;
  std::string reason = "   失败原因：";
  if (!deleted && FindText(reply, "{\"errno\":132,\"info") != -1) {
    reason = "   失败原因：删除文件需要验证您的身份。教程：" + IdentityCheckTutorialUrl() + "   ";
  }
  if (deleted) {
    g_deletedCount += static_cast<int>(paths.size());
  } else {
    ++g_deleteFailedCount;
  }
  ResultLog log(session.user, deleted ? kLogDeleted : kLogDeleteFailed);
  for (const std::string& path : paths) {
    log.Append(deleted ? RemoteNameFromEncoded(path)
                       : RemoteNameFromEncoded(path) + reason + reply);
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
  BookDeletion(session, encodedPaths, reply);
}
