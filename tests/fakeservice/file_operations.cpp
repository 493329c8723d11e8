// The file manager of the service model: rename, delete, copy, move (one
// request carries a JSON list of items, each done independently and in order)
// and folder creation. Runs under the model's lock.

#include <algorithm>

#include "fakeservice/json_text.h"
#include "fakeservice/service_model.h"

namespace {

struct ItemResult {
  int itemErrno = 0;
  std::string from;  // the path as submitted
  std::string to;
};

std::string JoinPath(const std::string& dir, const std::string& name) {
  const std::string folder = RemoteTree::Normalise(dir);
  return folder == "/" ? "/" + name : folder + "/" + name;
}

std::string ParentOf(const std::string& path) {
  const std::string normal = RemoteTree::Normalise(path);
  const size_t slash = normal.rfind('/');
  return slash == 0 ? "/" : normal.substr(0, slash);
}

bool Failed(const ItemResult& result) {
  return result.itemErrno != kErrnoOk && result.itemErrno != kResultUnchanged;
}

FakeReply SyncOutcome(const std::vector<ItemResult>& results) {
  if (results.size() == 1 && results[0].itemErrno == kResultUnchanged) {
    return FakeReply::Json(UnchangedReply());
  }
  std::vector<std::pair<int, std::string>> items;
  std::vector<std::string> paths;
  for (const ItemResult& result : results) {
    items.emplace_back(Failed(result) ? result.itemErrno : 0, result.from);
    paths.push_back(result.from);
  }
  const bool anyFailed = std::any_of(results.begin(), results.end(), Failed);
  return FakeReply::Json(anyFailed ? ItemsReply(items) : SyncReply(paths));
}

std::vector<TaskEntry> Entries(const std::vector<ItemResult>& results) {
  std::vector<TaskEntry> entries;
  for (const ItemResult& result : results) {
    entries.push_back({Failed(result) ? result.itemErrno : 0, result.from, result.to});
  }
  return entries;
}

std::optional<JsonValue> FileList(const RecordedRequest& request) {
  const std::optional<std::string> text = request.FormValue("filelist");
  std::optional<JsonValue> list = text ? ParseJson(*text) : std::nullopt;
  if (!list || list->kind != JsonValue::Kind::kArray) {
    return std::nullopt;
  }
  return list;
}

// The reply to a file list the service cannot read.
constexpr int kErrnoParameter = 2;

// The service is busy with an earlier task of the account.
bool IsBusyErrno(int itemErrno) {
  return itemErrno == 111 || itemErrno == 31034;
}

// The source paths of a file list: the "path" of each object item, or the
// item itself when it is a string (the delete list).
std::vector<std::string> SubmittedPaths(const JsonValue& list) {
  std::vector<std::string> paths;
  for (const JsonValue& item : list.items) {
    paths.push_back(item.kind == JsonValue::Kind::kString ? item.text
                                                          : item.String("path").value_or(""));
  }
  return paths;
}

}  // namespace

std::optional<FakeReply> ServiceModel::BusyRefusal(const std::vector<std::string>& paths) {
  for (const std::string& path : paths) {
    const auto found = m_itemFaults.find(RemoteTree::Normalise(path));
    if (found != m_itemFaults.end() && found->second.times != 0 &&
        IsBusyErrno(found->second.itemErrno)) {
      const int itemErrno = *TakeItemFault(path);
      return FakeReply::Json(ItemReply(itemErrno, path));
    }
  }
  return std::nullopt;
}

std::optional<FakeReply> ServiceModel::RefuseFileList(const RecordedRequest& request,
                                                      const std::string& operation,
                                                      std::optional<JsonValue>& list) {
  list = FileList(request);
  if (!list) {
    m_notes.push_back("unreadable " + operation + " list: " + request.body);
    return FakeReply::Json(ErrnoReply(kErrnoParameter));
  }
  return BusyRefusal(SubmittedPaths(*list));
}

FakeReply ServiceModel::FileManager(const RecordedRequest& request, FakeAccount& account) {
  const std::string opera = request.QueryValue("opera").value_or("");
  const std::string async = request.QueryValue("async").value_or("2");
  const bool asTask = async == "2" || (async == "1" && m_options.asyncOneAnswers != 0) ||
                      (async != "0" && async != "1");
  if ((asTask || opera == "delete") && !m_runningDeferred) {
    if (std::optional<FakeReply> deferred = Defer(request, account)) {
      return *deferred;
    }
  }
  if (opera == "rename") {
    return Rename(request, account, asTask);
  }
  if (opera == "delete") {
    return Delete(request, account);
  }
  if (opera == "copy" || opera == "move") {
    return CopyOrMove(request, account, opera == "copy", asTask);
  }
  m_notes.push_back("unknown file operation: " + request.target);
  return FakeReply::Json(ErrnoReply(kErrnoParameter));
}

FakeReply ServiceModel::Rename(const RecordedRequest& request, FakeAccount& account, bool asTask) {
  std::optional<JsonValue> list;
  if (std::optional<FakeReply> refusal = RefuseFileList(request, "rename", list)) {
    return *refusal;
  }
  std::vector<ItemResult> results;
  for (const JsonValue& item : list->items) {
    ItemResult result;
    result.from = item.String("path").value_or("");
    const std::string newName = item.String("newname").value_or("");
    result.to = JoinPath(ParentOf(result.from), newName);
    const std::optional<int64_t> id = item.Int("id");
    const std::optional<int64_t> actual = account.tree.FsId(result.from);
    if (id && actual && *id != *actual) {
      m_notes.push_back("rename id " + std::to_string(*id) + " is not the fs_id of " + result.from);
    }
    const std::optional<int> fault = TakeItemFault(result.from);
    result.itemErrno =
        fault ? *fault : account.tree.Rename(result.from, newName, m_options.renameConflictErrno);
    results.push_back(result);
  }
  if (!asTask) {
    return SyncOutcome(results);
  }
  return FakeReply::Json(TaskReply(AddTask({Entries(results), 4, 0})));
}

FakeReply ServiceModel::Delete(const RecordedRequest& request, FakeAccount& account) {
  std::optional<JsonValue> list;
  if (std::optional<FakeReply> refusal = RefuseFileList(request, "delete", list)) {
    return *refusal;
  }
  std::vector<ItemResult> results;
  for (const JsonValue& item : list->items) {
    ItemResult result;
    result.from = item.kind == JsonValue::Kind::kString ? item.text : "";
    const std::optional<int> fault = TakeItemFault(result.from);
    result.itemErrno = fault ? *fault : account.tree.Remove(result.from);
    results.push_back(result);
  }
  if (std::any_of(results.begin(), results.end(), Failed) && !m_options.deleteFailsInTask &&
      !m_runningDeferred) {
    return SyncOutcome(results);
  }
  return FakeReply::Json(TaskReply(AddTask({Entries(results), 4, 0})));
}

FakeReply ServiceModel::CopyOrMove(const RecordedRequest& request, FakeAccount& account, bool copy,
                                   bool asTask) {
  std::optional<JsonValue> list;
  if (std::optional<FakeReply> refusal = RefuseFileList(request, "copy or move", list)) {
    return *refusal;
  }
  const RemoteTree before = account.tree;
  std::vector<ItemResult> results;
  for (const JsonValue& item : list->items) {
    ItemResult result;
    result.from = item.String("path").value_or("");
    const std::string dest = item.String("dest").value_or("");
    const std::string newName = item.String("newname").value_or("");
    result.to = JoinPath(dest, newName);
    if (const std::optional<int> fault = TakeItemFault(result.from)) {
      result.itemErrno = *fault;
    } else if (copy) {
      const bool newCopy = item.String("ondup").value_or("") == "newcopy";
      result.itemErrno = account.tree.Copy(result.from, dest, newName, newCopy, &result.to);
    } else {
      result.itemErrno = account.tree.Move(result.from, dest, newName);
      if (result.itemErrno == kResultOntoItself) {
        result.itemErrno = m_options.moveOntoItselfSucceeds ? kErrnoOk : kErrnoNameTaken;
      }
    }
    results.push_back(result);
  }
  const bool sameName = std::any_of(results.begin(), results.end(), [](const ItemResult& r) {
    return r.itemErrno == kErrnoSameNameCopy;
  });
  if (sameName && !m_options.copyKeepsOthersOnConflict) {
    account.tree = before;
    std::erase_if(results, [](const ItemResult& r) { return r.itemErrno != kErrnoSameNameCopy; });
  }
  if (!asTask) {
    return SyncOutcome(results);
  }
  return FakeReply::Json(
      TaskReply(AddTask({Entries(results), sameName ? kErrnoSameNameCopy : 4, 0})));
}

FakeReply ServiceModel::CreateFolder(const RecordedRequest& request, FakeAccount& account) {
  const std::string path = RemoteTree::Normalise(request.FormValue("path").value_or(""));
  int64_t fsId = 0;
  const std::optional<int> fault = TakeItemFault(path);
  const int result = fault ? *fault : account.tree.CreateFolder(path, &fsId);
  if (result != kErrnoOk) {
    return FakeReply::Json(ErrnoReply(result));
  }
  const std::string time = std::to_string(account.tree.Find(path)->mtime);
  return FakeReply::Json("{\"fs_id\":" + std::to_string(fsId) + ",\"path\":" + JsonQuote(path) +
                         ",\"ctime\":" + time + ",\"mtime\":" + time +
                         ",\"status\":0,\"errno\":0,\"isdir\":1,\"request_id\":" +
                         std::to_string(NextRequestId()) + "}");
}

std::optional<FakeReply> ServiceModel::Defer(const RecordedRequest& request,
                                             const FakeAccount& account) {
  const std::string opera = request.QueryValue("opera").value_or("");
  const bool known = opera == "rename" || opera == "delete" || opera == "copy" || opera == "move";
  if (m_options.taskDelayRequests <= 0 || !known || !FileList(request)) {
    return std::nullopt;
  }
  Task task;
  task.pending = true;
  const int64_t id = AddTask(task);
  m_deferred.push_back({id, account.userName, request, m_options.taskDelayRequests});
  return FakeReply::Json(TaskReply(id));
}

void ServiceModel::RunDueOperations() {
  std::vector<DeferredOperation> due;
  for (auto it = m_deferred.begin(); it != m_deferred.end();) {
    if (--it->remaining <= 0) {
      due.push_back(std::move(*it));
      it = m_deferred.erase(it);
    } else {
      ++it;
    }
  }
  for (const DeferredOperation& operation : due) {
    FakeAccount* account = nullptr;
    for (FakeAccount& candidate : m_accounts) {
      if (candidate.userName == operation.userName) {
        account = &candidate;
      }
    }
    Task& task = m_tasks[operation.taskId];
    task.pending = false;
    if (account == nullptr) {
      continue;
    }
    // Run as submitted; the operation answers with a task of its own, whose
    // outcome becomes the waiting task's.
    const int64_t before = m_nextTaskId;
    m_runningDeferred = true;
    FileManager(operation.request, *account);
    m_runningDeferred = false;
    const auto made = m_tasks.find(before);
    if (made != m_tasks.end()) {
      task.entries = std::move(made->second.entries);
      task.failedErrno = made->second.failedErrno;
      m_tasks.erase(made);
    }
  }
}
