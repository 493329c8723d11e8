#include "jobs/copy_request.h"

#include <mutex>
#include <optional>

#include "data/program_wide_objects.h"
#include "foundation/blank_lines.h"
#include "foundation/random_values.h"
#include "foundation/shared_locks.h"
#include "foundation/text_search.h"
#include "foundation/url_encoding.h"
#include "foundation/waits.h"
#include "jobs/copy_job_state.h"
#include "platform/control_store.h"
#include "web/http_request.h"
#include "web/result_log.h"
#include "web/service_conventions.h"
#include "web/service_text.h"

namespace {

constexpr int kSubmissions = 100;
constexpr int kPolls = 300;
constexpr int kKeepBothSubmissions = 300;
constexpr int kTimeoutSeconds = 5;
constexpr int kSubmissionWaitMs = 800;
constexpr int kItemErrorsWaitMs = 2000;
constexpr int kPollWaitMs = 1000;
constexpr int kRunningWaitMs = 2000;

// Poll reply markers, tested in this order.
constexpr const char* kSuccessLooseMarker = "task_errno: 0, status: \"success\"";
constexpr const char* kSuccessMarker = "task_errno\":0,\"status\":\"success\",\"list";
constexpr const char* kBadPathFromMarker = "{\"error_code\":-7,\"from\"";
constexpr const char* kBadPathPathMarker = "{\"error_code\":-7,\"path\"";
constexpr const char* kSameNameMarker = "\"task_errno\":-30,\"status\":\"failed\",\"list";
constexpr const char* kRunningMarker = "task_errno\":0,\"status\":\"running\",";
constexpr const char* kMissingMarker = "list\":[{\"error_code\":-9,";
// Submission replies.
constexpr const char* kItemErrorsMarker = "{\"errno\":12,\"info\":[{\"errno\":";
constexpr const char* kAcceptedMarker = "\"errno\":0,\"info\":[],\"request_id";

enum class TaskEnd { kDone1, kDone2, kBadPath, kSameName, kMissing, kStopped, kUndecided };

// One call's fixed parts: the account, where to, the log stamp, the logid.
struct CopyCall {
  const AccountSession& session;
  const std::string& destination;
  const std::string& stamp;
  std::string logId;
};

bool Wait(int ms) {
  return WaitPumpingMessages(ms, kWaitMilliseconds, CopyStopRequested) == 1;
}

std::string Post(const CopyCall& call, const std::string& body) {
  const std::string url = ServiceUrl(
      "/api/filemanager?opera=copy&async=2&onnest=fail&channel=chunlei&web=1&app_id=250528"
      "&bdstoken=" +
      call.session.bdstoken + "&logid=" + call.logId + "&clienttype=0");
  std::string cookies = call.session.cookies;
  std::string headers = FillRequestHeaderTemplate(body.size());
  return SendHttpRequest(url, {.method = kHttpPost,
                               .body = body,
                               .cookies = &cookies,
                               .headers = &headers,
                               .timeoutSeconds = kTimeoutSeconds,
                               .stopFlag = &g_copyStopRequested});
}

std::string QueryTask(const CopyCall& call, const std::string& taskId) {
  std::string cookies = call.session.cookies;
  return SendHttpRequest(
      ServiceUrl("/share/taskquery?taskid=" + taskId +
                 "&clienttype=0&app_id=250528&web=1&dp-logid=" + MakeRandomLogId()),
      {.cookies = &cookies, .timeoutSeconds = kTimeoutSeconds, .stopFlag = &g_copyStopRequested});
}

// Follows a copy task until its reply tells how it ended, at most kPolls
// polls; `reply` is left holding the last reply.
TaskEnd PollCopyTask(const CopyCall& call, const std::string& taskId, std::string& reply) {
  for (int poll = 1; poll <= kPolls; ++poll) {
    if (CopyStopRequested()) {
      return TaskEnd::kStopped;
    }
    WaitWhileCopyPaused();
    reply = QueryTask(call, taskId);
    if (ReplyHolds(reply, kSuccessLooseMarker)) {
      return TaskEnd::kDone1;
    }
    if (ReplyHolds(reply, kSuccessMarker)) {
      return TaskEnd::kDone2;
    }
    if (ReplyHolds(reply, kBadPathFromMarker) || ReplyHolds(reply, kBadPathPathMarker)) {
      return TaskEnd::kBadPath;
    }
    if (ReplyHolds(reply, kSameNameMarker)) {
      return TaskEnd::kSameName;
    }
    if (ReplyHolds(reply, kRunningMarker)) {
      Wait(kRunningWaitMs);
    }
    if (ReplyHolds(reply, kMissingMarker)) {
      return TaskEnd::kMissing;
    }
    Wait(kPollWaitMs);
  }
  return CopyStopRequested() ? TaskEnd::kStopped : TaskEnd::kUndecided;
}

// Raises one counter (nullptr: none) and writes one entry to a result log.
void Book(const CopyCall& call, std::atomic<int>* counter, const char* kind,
          const std::string& entry) {
  if (counter != nullptr) {
    std::lock_guard lock(g_counterLock);
    ++*counter;
  }
  std::lock_guard lock(g_logFileLock);
  ResultLog(call.session.user, kind, call.stamp).Append(entry);
}

std::string Decoded(const std::string& body) {
  return UrlDecodeText(body);
}

std::string Where(const CopyCall& call, const std::string& body, const std::string& reply) {
  return Decoded(body) + "----->到：" + call.destination + "----->ret：" + reply;
}

std::string BookDone(const CopyCall& call, const std::string& body, const char* result) {
  Book(call, &g_copiedCount, kLogCopied, Decoded(body) + "\r\n");
  return result;
}

std::string BookBadPath(const CopyCall& call, const std::string& body, const std::string& reply) {
  Book(call, &g_copyFailedCount, kLogCopyFailed,
       "要复制的路径错误：" + Where(call, body, RemoveBlankLines(reply)) + "\r\n\r\n");
  return kCopyBadPathResult + reply;
}

std::string BookMissing(const CopyCall& call, const std::string& body, const std::string& reply) {
  Book(call, &g_copyFailedCount, kLogCopyFailed, "被复制文件不存在：" + Where(call, body, reply));
  return kCopyMissingResult + reply;
}

// The end of no named kind. A first call whose reply shows the failed-task
// state is repeated by the job, so only the repeat books it.
std::string BookGenericFailure(const CopyCall& call, const std::string& body,
                               const std::string& reply, int retryFlag) {
  const bool failedTask = ReplyHolds(reply, kCopyFailedTaskMarker);
  if (retryFlag == 0 && failedTask) {
    return reply;
  }
  const char* head = retryFlag == 0 && !failedTask ? "复制失败2：" : "复制失败3：";
  Book(call, &g_copyFailedCount, kLogCopyFailed,
       head + Where(call, body, RemoveBlankLines(reply)) + "\r\n\r\n");
  return reply;
}

// Books a task's end; nullopt for an end the caller decides (same name,
// undecided).
std::optional<std::string> BookTaskEnd(const CopyCall& call, TaskEnd end, const std::string& body,
                                       const std::string& reply, const char* doneResult) {
  switch (end) {
    case TaskEnd::kDone1:
      return BookDone(call, body, doneResult != nullptr ? doneResult : kCopyDoneResult1);
    case TaskEnd::kDone2:
      return BookDone(call, body, doneResult != nullptr ? doneResult : kCopyDoneResult2);
    case TaskEnd::kBadPath:
      return BookBadPath(call, body, reply);
    case TaskEnd::kMissing:
      return BookMissing(call, body, reply);
    case TaskEnd::kStopped:
      return std::string(kCopyStoppedResult);
    case TaskEnd::kSameName:
    case TaskEnd::kUndecided:
      break;
  }
  return std::nullopt;
}

// Submits the sources again with the keep-both option until the service
// accepts them, and follows the task it starts like the first one.
std::string KeepBoth(const CopyCall& call, int retryFlag) {
  std::string reply;
  std::string body;
  for (int attempt = 1; attempt <= kKeepBothSubmissions; ++attempt) {
    if (CopyStopRequested()) {
      return kCopyStoppedResult;
    }
    WaitWhileCopyPaused();
    body = BuildCopyBody(g_copySources, call.destination, true);
    reply = Post(call, body);
    const std::string taskId = CutTaskId(reply);
    if (!taskId.empty()) {
      const TaskEnd end = PollCopyTask(call, taskId, reply);
      if (std::optional<std::string> result =
              BookTaskEnd(call, end, body, reply, kCopyKeepBothDoneResult)) {
        return *result;
      }
      return BookGenericFailure(call, body, reply, retryFlag);
    }
    if (ReplyHolds(reply, kAcceptedMarker)) {
      return BookDone(call, body, kCopyKeepBothDoneResult);
    }
    Wait(kSubmissionWaitMs);
  }
  return BookGenericFailure(call, body, reply, retryFlag);
}

}  // namespace

std::string BuildCopyBody(const std::vector<std::string>& sources,
                          const std::string& encodedDestination, bool keepBoth) {
  std::string items;
  for (const std::string& source : sources) {
    const std::string path = ReplaceAllText(source, "\"", "");
    const std::string name = TextRightOfMarker(path, "/");
    const std::string item = ReplaceAllText(
        keepBoth ? kCopyKeepBothItemTemplate : kCopyItemTemplate, "[原文件路径]", path);
    items += ReplaceAllText(item, "[新文件名]", name);
  }
  const std::string json = ReplaceAllText("[" + items + "]", ",]", "]");
  std::string encoded = UrlEncodeText(json);
  encoded = ReplaceAllText(encoded, UrlEncodeText("[复制到目标路径]"), encodedDestination, true);
  encoded = ReplaceAllText(encoded, UrlEncodeText("//"), UrlEncodeText("/"));
  return "filelist=" + encoded;
}

std::string CopyIntoFolder(const AccountSession& session, const std::string& encodedDestination,
                           const std::string& stamp, int retryFlag) {
  const std::string body = BuildCopyBody(g_copySources, encodedDestination, false);
  if (encodedDestination.empty()) {
    return kCopyNoDestinationResult;
  }
  const CopyCall call{session, encodedDestination, stamp, MakeLogIdFromCookies(session.cookies)};
  std::string reply;
  std::string taskId;
  for (int attempt = 1; attempt <= kSubmissions && taskId.empty(); ++attempt) {
    if (CopyStopRequested()) {
      return kCopyStoppedResult;
    }
    WaitWhileCopyPaused();
    reply = Post(call, body);
    taskId = CutTaskId(reply);
    if (taskId.empty()) {
      if (ReplyHolds(reply, kItemErrorsMarker)) {
        Wait(kItemErrorsWaitMs);
      }
      Wait(kSubmissionWaitMs);
    }
  }
  if (taskId.empty()) {
    if (CopyStopRequested()) {
      return kCopyStoppedResult;
    }
    Book(call, &g_copyFailedCount, kLogCopyFailed,
         "复制失败1：" + Decoded(body) + "----->ret：" + RemoveBlankLines(reply) + "\r\n\r\n");
    return kCopyNoTaskResult + reply;
  }
  const TaskEnd end = PollCopyTask(call, taskId, reply);
  if (std::optional<std::string> result = BookTaskEnd(call, end, body, reply, nullptr)) {
    return *result;
  }
  if (end == TaskEnd::kSameName) {
    if (GetControlStore().Checked(kCopyKeepBothBox)) {
      return KeepBoth(call, retryFlag);
    }
    Book(call, &g_copySameNameCount, kLogCopyFailed,
         "复制同名失败111：" + Where(call, body, reply));
    return kCopySameNameResult + reply;
  }
  return BookGenericFailure(call, body, reply, retryFlag);
}

void BookCopyFailure(const AccountSession& session, const std::string& stamp,
                     const std::string& entry) {
  const std::string destination;
  Book(CopyCall{session, destination, stamp, {}}, &g_copyFailedCount, kLogCopyFailed, entry);
}

bool CopyResultAsksRepeat(const std::string& result) {
  for (const char* named :
       {kCopyNoTaskResult, kCopyBadPathResult, kCopyMissingResult, kCopySameNameResult}) {
    if (result.rfind(named, 0) == 0) {
      return false;
    }
  }
  return ReplyHolds(result, kCopyFailedTaskMarker);
}
