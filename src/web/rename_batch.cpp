#include "web/rename_batch.h"

#include <vector>

#include "data/json_document.h"
#include "foundation/blank_lines.h"
#include "foundation/message_box.h"
#include "foundation/random_values.h"
#include "foundation/shared_locks.h"
#include "foundation/text_search.h"
#include "foundation/url_encoding.h"
#include "foundation/waits.h"
#include "platform/desktop.h"
#include "web/account_session.h"
#include "web/daily_pause.h"
#include "web/http_request.h"
#include "web/item_request_hold.h"
#include "web/main_window_controls.h"
#include "web/remote_name_text.h"
#include "web/rename_counters.h"
#include "web/rename_item.h"
#include "web/rename_task_state.h"
#include "web/result_log.h"
#include "web/service_conventions.h"
#include "web/service_text.h"
#include "web/task_list_entries.h"

namespace {

constexpr int kCycles = 5;
constexpr int kAttemptsPerCycle = 10;
constexpr int kBatchTimeoutSeconds = 100;
constexpr int kPollTimeoutSeconds = 60;
constexpr int kTaskPolls = 240;
constexpr int kPollWaitMs = 1500;
constexpr int kBusyWaitMs = 4000;
constexpr int kRetryWaitMs = 1000;
constexpr int kCycleWaitMs = 3000;
// A task that keeps reporting 100 percent without finishing is given up after
// this many such replies.
constexpr int kFullProgressReplies = 20;

constexpr const char* kItemMarker = "%7B%22id%22%3A";
constexpr const char* kSyncSuccessMarker = "errno\":0,\"info\":[{\"errno\":0,\"path";
constexpr const char* kTaskFailedMarker = "\"task_errno\":4,\"status\":\"failed\"}";

// The synchronous reply's per-item answers.
constexpr const char* kSyncItemMarker = "\"info\":[{\"errno\":";

// The service refused the request as busy (another task, too frequent).
bool Busy(const std::string& reply) {
  return ReplyHolds(reply, "\"errno\":111,\"") || ReplyHolds(reply, "\"errno\":31034,\"");
}

bool Wait(int ms) {
  return WaitPumpingMessages(ms, kWaitMilliseconds, RenameStopRequested) == 1;
}

void ShowBatchPanel(const std::string& text) {
  std::lock_guard lock(g_counterLock);
  GetDesktop().SetStatusPanel(kBatchStatusPanel, text);
}

struct BatchItem {
  std::string key;   // the path's UTF-16 code units, for exact matching
  std::string path;  // the path and the new name as the result logs show them
  std::string newName;
  bool booked = false;  // the reply's list gave this item's outcome
};

// The items decoded from the request text; empty when they are not JSON.
std::vector<BatchItem> DecodeItems(const std::string& items) {
  const std::string json =
      PercentDecode(ReplaceAllText("%5B" + items + "%5D", "%2C%5D", "%5D", true), false);
  JsonDocument document;
  std::vector<BatchItem> decoded;
  if (!document.ParseUtf8(json)) {
    return decoded;
  }
  const int count = document.GetCount("");
  for (int i = 0; i < count; ++i) {
    const std::string at = "[" + std::to_string(i) + "].";
    const std::string key = JsonTextUnits(document, at + "path");
    decoded.push_back({key, RemoteNameFromUtf16(key),
                       RemoteNameFromUtf16(JsonTextUnits(document, at + "newname")), false});
  }
  return decoded;
}

class BatchSubmission {
 public:
  BatchSubmission(const AccountSession& session, const std::string& items, int count)
      : m_items(items),
        m_count(count),
        m_session(session),
        m_async(ReadRenameAsyncMode()),
        m_body(BuildBatchBody(items)) {}

  // Runs the cycles; false when the stop flag ended them.
  bool Submit();
  const std::string& LastReply() const { return m_reply; }

 private:
  bool Attempts(int cycle, std::string& taskId);
  bool Poll(const std::string& taskId);

  // The batch is under way from its first send until the caller has booked
  // it, while this object lives.
  ItemRequestScope m_underWay;
  std::string m_items;
  int m_count;
  AccountSession m_session;
  std::string m_async;
  std::string m_body;
  std::string m_reply;
};

bool BatchSubmission::Submit() {
  for (int cycle = 1; cycle <= kCycles; ++cycle) {
    if (RenameStopRequested()) {
      return false;
    }
    std::string taskId;
    if (!Attempts(cycle, taskId) || (!taskId.empty() && !Poll(taskId))) {
      return false;
    }
    if (!ReplyHolds(m_reply, kTaskFailedMarker, true) && !m_reply.empty()) {
      return true;
    }
    if (cycle < kCycles && !Wait(kCycleWaitMs)) {
      return false;
    }
  }
  return true;
}

bool BatchSubmission::Attempts(int cycle, std::string& taskId) {
  for (int attempt = 1; attempt <= kAttemptsPerCycle; ++attempt) {
    if (RenameStopRequested()) {
      return false;
    }
    ShowBatchPanel("正在提交：" + std::to_string(cycle) + "：" + std::to_string(attempt));
    std::string cookies = m_session.cookies;
    std::string headers = FillRequestHeaderTemplate(m_body.size());
    m_reply = SendHttpRequest(
        ServiceUrl("/api/filemanager?async=" + m_async +
                   "&onnest=fail&opera=rename&bdstoken=" + m_session.bdstoken +
                   "&clienttype=0&app_id=250528&web=1&dp-logid=" + MakeRandomLogId()),
        {.method = kHttpPost,
         .body = m_body,
         .cookies = &cookies,
         .headers = &headers,
         .timeoutSeconds = kBatchTimeoutSeconds,
         .stopFlag = &g_renameStopRequested});
    taskId = CutTaskId(m_reply);
    if (!taskId.empty()) {
      return true;
    }
    const bool busy = ReplyHolds(m_reply, "\"errno\":111,\"");
    // A synchronous answer per item is final, a success or a partial one:
    // posting the applied batch again would only meet items that no longer
    // exist.
    if (!busy && (ReplyHolds(m_reply, kSyncSuccessMarker) ||
                  (ReplyHolds(m_reply, kSyncItemMarker) && !Busy(m_reply)) ||
                  ReplyHolds(m_reply, "errno\":12,\"info\":[],\"") ||
                  ReplyHolds(m_reply, kTaskFailedMarker, true))) {
      return true;
    }
    if (attempt < kAttemptsPerCycle && !Wait(busy ? kBusyWaitMs : kRetryWaitMs)) {
      return false;
    }
  }
  return true;
}

bool BatchSubmission::Poll(const std::string& taskId) {
  int fullProgress = 0;
  for (int poll = 1; poll <= kTaskPolls; ++poll) {
    if (RenameStopRequested()) {
      return false;
    }
    std::string cookies = m_session.cookies;
    m_reply = SendHttpRequest(RenameTaskQueryUrl(taskId), {.cookies = &cookies,
                                                           .timeoutSeconds = kPollTimeoutSeconds,
                                                           .stopFlag = &g_renameStopRequested});
    ShowBatchPanel("本次提交进度：" + TextBetweenMarkers(m_reply, "progress\":", "}") + "%");
    if (ReplyHolds(m_reply, "progress\":100}") && ++fullProgress >= kFullProgressReplies) {
      return true;
    }
    if (ReplyHolds(m_reply, kRenameTaskSuccessMarker) ||
        ReplyHolds(m_reply, kTaskFailedMarker, true) ||
        ReplyHolds(m_reply, "status\":\"failed\",\"list\":[", true)) {
      return true;
    }
    if (poll < kTaskPolls && !Wait(kPollWaitMs)) {
      return false;
    }
  }
  return true;
}

void BookAll(const AccountSession& session, const std::vector<BatchItem>& items, const char* kind,
             const std::string& suffix) {
  ResultLog log(session.user, kind);
  for (const BatchItem& item : items) {
    log.Append(item.path + "---->" + item.newName + suffix);
    PumpMessages();
  }
}

// Books the outcome that the reply names, item by item: an entry without an
// error is renamed, one with an error failed. A failed task lists only the
// items that failed, so an item that no entry names was renamed. False when
// the reply names nothing.
bool BookNamedOutcomes(const AccountSession& session, const std::string& reply,
                       std::vector<BatchItem>& items) {
  const std::vector<NamedOutcome> outcomes = ReadNamedOutcomes(reply);
  if (outcomes.empty()) {
    return false;
  }
  int renamedItems = 0;
  {
    std::lock_guard lock(g_counterLock);
    ResultLog renamed(session.user, kLogRenamed);
    ResultLog failed(session.user, kLogRenameFailed);
    for (const NamedOutcome& outcome : outcomes) {
      std::string to = outcome.to;
      for (BatchItem& item : items) {
        if (!item.booked && item.key == outcome.key) {
          item.booked = true;
          to = to.empty() ? item.newName : to;
          break;
        }
      }
      if (outcome.error.empty()) {
        ++g_renamedCount;
        ++renamedItems;
        renamed.Append(outcome.from + "---->" + to + "\r\n");
      } else {
        ++g_renameFailedCount;
        failed.Append(outcome.from + "---->" + to + "   失败原因：" +
                      RemoveBlankLines(outcome.error) + "\r\n");
      }
      PumpMessages();
    }
    for (const BatchItem& item : items) {
      if (!item.booked && !item.path.empty()) {
        ++g_renamedCount;
        ++renamedItems;
        renamed.Append(item.path + "---->" + item.newName + "\r\n");
        PumpMessages();
      }
    }
    g_dailyRenamedCount += renamedItems;
  }
  if (renamedItems > 0) {
    RunDailyPauseCheck();
  }
  return true;
}

}  // namespace

std::string MakeRenameBatchItem(const std::string& fsId, const std::string& path,
                                const std::string& newName) {
  return RenameListEntry(fsId, path, newName) + "%2C";
}

std::string BuildBatchBody(const std::string& items) {
  return ReplaceAllText("filelist=%5B" + items + "%5D", "%2C%5D", "%5D", true);
}

void SubmitRenameBatch(const std::string& items, bool resubmit) {
  SubmitRenameBatch(GetAccountSession(), items, resubmit);
}

void SubmitRenameBatch(const AccountSession& session, const std::string& items, bool resubmit) {
  const int count = CountTextOccurrences(items, kItemMarker);
  if (count == 0) {
    return;
  }
  BatchSubmission submission(session, items, count);
  if (!submission.Submit()) {
    return;
  }
  const std::string& reply = submission.LastReply();
  std::vector<BatchItem> decoded = DecodeItems(items);
  // A task that succeeded but names an item's error is booked item by item.
  if (ReplyHolds(reply, kSyncSuccessMarker) ||
      (ReplyHolds(reply, kRenameTaskSuccessMarker) && !ReplyHolds(reply, "\"error_code\":"))) {
    {
      std::lock_guard lock(g_counterLock);
      g_renamedCount += count;
      BookAll(session, decoded, kLogRenamed, "\r\n");
      g_dailyRenamedCount += count;
    }
    RunDailyPauseCheck();
    return;
  }
  if (ReplyHolds(reply, kTaskFailedMarker, true)) {
    std::lock_guard lock(g_counterLock);
    g_renameFailedCount += count;
    BookAll(session, decoded, kLogRenameFailed,
            std::string("   失败原因：") + kTaskFailedMarker + "\r\n");
    return;
  }
  if (!Busy(reply) && BookNamedOutcomes(session, reply, decoded)) {
    return;
  }
  if (!resubmit) {
    SubmitRenameBatch(session, items, true);
    return;
  }
  std::lock_guard lock(g_counterLock);
  g_unknownStateCount += count;
  BookAll(session, decoded, kLogUnknownState, " 原因：" + reply + "\r\n");
}
