#include "jobs/archive_requests.h"

#include "foundation/error_log.h"
#include "foundation/url_encoding.h"
#include "foundation/waits.h"
#include "web/http_request.h"
#include "web/service_conventions.h"
#include "web/service_text.h"

namespace {

constexpr int kCreateAttempts = 10;
constexpr int kCreateRetryWaitMs = 500;
constexpr int kMovePasses = 20;
constexpr int kMoveSends = 10;
constexpr int kMovePolls = 25;
constexpr int kMovePollWaitMs = 1000;
constexpr int kBusyWaitMs = 15000;

constexpr const char* kMoveItemTemplate =
    "[{\"path\":\"原路径\",\"dest\":\"目标路径\",\"newname\":\"文件名\"}]";

bool HoldsEither(const std::string& reply, const char* first, const char* second) {
  return ReplyHolds(reply, first) || ReplyHolds(reply, second);
}

bool ConfirmsNewFolder(const std::string& reply) {
  return HoldsEither(reply, "\"errno\":0,", "\"errno\":0}") &&
         HoldsEither(reply, "\"isdir\":1,", "\"isdir\":1}");
}

// The service is busy with another operation of the account, as a whole or
// for the item.
bool SaysBusy(const std::string& reply) {
  return HoldsEither(reply, "{\"errno\":31034,", "{\"errno\":111,") ||
         HoldsEither(reply, "\"info\":[{\"errno\":31034,", "\"info\":[{\"errno\":111,");
}

std::string SubmitMove(const AccountSession& session, const std::string& body) {
  const std::string url =
      ServiceUrl("/api/filemanager?async=2&onnest=fail&opera=move&bdstoken=" + session.bdstoken +
                 "&clienttype=0&app_id=250528&web=1");
  std::string reply;
  for (int send = 1; send <= kMoveSends && reply.empty(); ++send) {
    std::string cookies = session.cookies;
    reply = SendHttpRequest(url, {.method = kHttpPost, .body = body, .cookies = &cookies});
    if (reply.empty()) {
      PumpMessages();
    }
  }
  return reply;
}

enum class PollEnd { kDone, kInvalidCookies, kUndecided };

PollEnd PollMove(const AccountSession& session, const std::string& taskId, std::string& reply) {
  const std::string url =
      ServiceUrl("/share/taskquery?taskid=" + taskId + "&clienttype=0&app_id=250528&web=1");
  for (int poll = 1; poll <= kMovePolls; ++poll) {
    std::string cookies = session.cookies;
    reply = SendHttpRequest(url, {.cookies = &cookies});
    if (ReplyHolds(reply, "task_errno\":0,\"status\":\"success")) {
      return PollEnd::kDone;
    }
    if (ReplyHolds(reply, "{\"errno\":-6,\"request_id")) {
      return PollEnd::kInvalidCookies;
    }
    WaitPumpingMessages(kMovePollWaitMs);
  }
  return PollEnd::kUndecided;
}

}  // namespace

bool CreateRemoteFolder(const AccountSession& session, const std::string& encodedFolder) {
  const std::string url = ServiceUrl(
      "/api/create?a=commit&channel=chunlei&web=1&app_id=250528&bdstoken=" + session.bdstoken +
      "&logid=" + MakeLogIdFromCookies(session.cookies) + "&clienttype=0");
  const std::string body = "path=" + encodedFolder + "&isdir=1&block_list=%5B%5D";
  std::string reply;
  for (int attempt = 1; attempt <= kCreateAttempts; ++attempt) {
    std::string cookies = session.cookies;
    reply = SendHttpRequest(url, {.method = kHttpPost, .body = body, .cookies = &cookies});
    if (ConfirmsNewFolder(reply)) {
      return true;
    }
    WaitPumpingMessages(kCreateRetryWaitMs);
  }
  return false;
}

std::string BuildMoveBody(const std::string& encodedSource, const std::string& encodedTargetFolder,
                          const std::string& encodedName) {
  std::string body = UrlEncodeText(kMoveItemTemplate);
  body = ReplaceAllText(body, UrlEncodeText("原路径"), encodedSource);
  body = ReplaceAllText(body, UrlEncodeText("目标路径"), encodedTargetFolder);
  body = ReplaceAllText(body, UrlEncodeText("文件名"), encodedName);
  return "filelist=" + body;
}

bool MoveRemoteFile(const AccountSession& session, const std::string& encodedSource,
                    const std::string& encodedTargetFolder, const std::string& encodedName) {
  const std::string body = BuildMoveBody(encodedSource, encodedTargetFolder, encodedName);
  std::string reply;
  std::string taskId;  // the last one the service gave
  for (int pass = 1; pass <= kMovePasses; ++pass) {
    reply = SubmitMove(session, body);
    const std::string passTaskId = CutTaskId(reply);
    if (!passTaskId.empty()) {
      taskId = passTaskId;
      const PollEnd end = PollMove(session, taskId, reply);
      if (end == PollEnd::kDone) {
        return true;
      }
      if (end == PollEnd::kInvalidCookies) {
        break;
      }
      continue;
    }
    if (ReplyHolds(reply, "{\"errno\":0,")) {
      return true;
    }
    if (SaysBusy(reply)) {
      WaitPumpingMessages(kBusyWaitMs);
    } else {
      PumpMessages();
    }
  }
  AppendErrorLogLine("移动失败2：" + encodedSource + "---->名：" + encodedName + "----->到：" +
                     encodedTargetFolder + "----->taskid:" + taskId + "  ret：" + reply);
  return false;
}
