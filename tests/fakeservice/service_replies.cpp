#include "fakeservice/service_replies.h"

#include <algorithm>
#include <atomic>

#include "fakeservice/json_text.h"

namespace {

std::string Tail() {
  return "\"request_id\":" + std::to_string(NextRequestId());
}

std::string ListText(std::vector<TaskEntry> entries) {
  std::stable_partition(entries.begin(), entries.end(),
                        [](const TaskEntry& entry) { return entry.errorCode != 0; });
  std::string list = "[";
  for (const TaskEntry& entry : entries) {
    if (list.size() > 1) {
      list += ",";
    }
    list += "{";
    if (entry.errorCode != 0) {
      list += "\"error_code\":" + std::to_string(entry.errorCode) + ",";
    }
    list += "\"from\":" + JsonQuote(entry.from) + ",\"to\":" + JsonQuote(entry.to) + "}";
  }
  return list + "]";
}

std::string TaskHead(int taskErrno, std::string_view status) {
  return "{\"errno\":0," + Tail() + ",\"task_errno\":" + std::to_string(taskErrno) +
         ",\"status\":\"" + std::string(status) + "\"";
}

}  // namespace

int64_t NextRequestId() {
  // Large like the service's ids, and distinct within a run.
  static std::atomic<int64_t> s_next{8123456789012345678};
  return s_next++;
}

std::string InvalidReply() {
  return "{\"errno\":-6," + Tail() + "}";
}

std::string GoneReply() {
  return "{\"errno\":-9," + Tail() + "}";
}

std::string TaskReply(int64_t taskId) {
  return "{\"errno\":0,\"info\":[]," + Tail() + ",\"taskid\":" + std::to_string(taskId) + "}";
}

std::string SyncReply(const std::vector<std::string>& paths) {
  std::vector<std::pair<int, std::string>> items;
  for (const std::string& path : paths) {
    items.emplace_back(0, path);
  }
  std::string reply = ItemsReply(items);
  return reply.replace(0, std::string("{\"errno\":12").size(), "{\"errno\":0");
}

std::string ItemReply(int itemErrno, std::string_view path) {
  return ItemsReply({{itemErrno, std::string(path)}});
}

std::string ItemsReply(const std::vector<std::pair<int, std::string>>& items) {
  std::vector<std::pair<int, std::string>> ordered = items;
  std::stable_partition(ordered.begin(), ordered.end(),
                        [](const auto& item) { return item.first != 0; });
  std::string info;
  for (const auto& [itemErrno, path] : ordered) {
    info += (info.empty() ? "" : ",") + std::string("{\"errno\":") + std::to_string(itemErrno) +
            ",\"path\":" + JsonQuote(path) + "}";
  }
  return "{\"errno\":12,\"info\":[" + info + "]," + Tail() + "}";
}

std::string UnchangedReply() {
  return "{\"errno\":12,\"info\":[]," + Tail() + "}";
}

std::string ErrnoReply(int errnoValue) {
  return "{\"errno\":" + std::to_string(errnoValue) + "," + Tail() + "}";
}

std::string TopBusyReply(int errnoValue) {
  return ErrnoReply(errnoValue);
}

std::string IdentityReply() {
  return "{\"errno\":132,\"info\":[]," + Tail() + "}";
}

std::string TaskRunningReply(int progress) {
  return TaskHead(0, "running") + ",\"progress\":" + std::to_string(progress) + "}";
}

std::string TaskOkReply(const std::vector<TaskEntry>& entries) {
  return TaskHead(0, "success") + ",\"list\":" + ListText(entries) + "}";
}

std::string TaskFailReply() {
  return TaskHead(4, "failed") + "}";
}

std::string TaskFailListReply(const std::vector<TaskEntry>& entries, int taskErrno) {
  return TaskHead(taskErrno, "failed") + ",\"list\":" + ListText(entries) + "}";
}

std::string TaskSameReply(std::string_view from, std::string_view to) {
  return TaskFailListReply({{-30, std::string(from), std::string(to)}}, -30);
}

std::string QuotaReply(int64_t total, int64_t used) {
  return "{\"errno\":0,\"total\":" + std::to_string(total) + ",\"used\":" + std::to_string(used) +
         "," + Tail() + "}";
}

std::string OkReply() {
  return "{\"errno\":0," + Tail() + "}";
}
