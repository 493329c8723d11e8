#pragma once
// The service's JSON replies in their canonical compact forms. The program
// finds its way by byte markers in these texts, so member order and the
// absence of blanks matter: errno first, taskid last, task_errno and status
// adjacent, progress last. Paths are UTF-8 and come out \u-escaped. Each call
// takes a fresh request_id. Use them in fault rules: FakeReply::Json(InvalidReply()).

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// One entry of a task's list; errorCode 0 means a successful item.
struct TaskEntry {
  int errorCode = 0;
  std::string from;
  std::string to;
};

int64_t NextRequestId();

std::string InvalidReply();             // {"errno":-6,"request_id":R}
std::string GoneReply();                // {"errno":-9,"request_id":R}
std::string TaskReply(int64_t taskId);  // {"errno":0,"info":[],...,"taskid":T}
std::string SyncReply(const std::vector<std::string>& paths);
// {"errno":12,"info":[{"errno":e,"path":p}],...}; failed items first.
std::string ItemReply(int itemErrno, std::string_view path);
std::string ItemsReply(const std::vector<std::pair<int, std::string>>& items);
std::string UnchangedReply();              // {"errno":12,"info":[],...}
std::string ErrnoReply(int errnoValue);    // {"errno":e,"request_id":R}
std::string TopBusyReply(int errnoValue);  // the same, e in {111, 31034}
std::string IdentityReply();               // {"errno":132,"info":[],...}
std::string TaskRunningReply(int progress);
std::string TaskOkReply(const std::vector<TaskEntry>& entries);
std::string TaskFailReply();  // whole failure, no list
// task_errno 4 (or the code given, -30 for a same-name copy) with the entries, failures first.
std::string TaskFailListReply(const std::vector<TaskEntry>& entries, int taskErrno = 4);
std::string TaskSameReply(std::string_view from, std::string_view to);
std::string QuotaReply(int64_t total, int64_t used);
std::string OkReply();  // {"errno":0,"request_id":R}
