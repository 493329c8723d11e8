#pragma once
// The in-memory service behind the emulator: accounts with their cookies and
// remote trees, asynchronous tasks, quota, the web pages (session page,
// sign-in, update host) and the handlers of every service request. Texts are
// UTF-8 as on the wire. All methods lock one mutex, so tests may change the
// model (revoke an account, fail an item) while a job runs.

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "fakeservice/http_exchange.h"
#include "fakeservice/json_text.h"
#include "fakeservice/remote_tree.h"
#include "fakeservice/service_replies.h"

struct FakeAccount {
  std::string userName;  // may hold "*"
  std::string uk;
  std::string bdstoken;
  std::string bduss;
  std::string stoken;
  std::string baiduid;
  bool valid = true;
  int64_t quotaTotal = 2199023255552;
  int64_t quotaUsed = -1;  // -1: the sum of the tree's file sizes
  RemoteTree tree;

  // An account with cookie values, uk and bdstoken derived from `userName`,
  // so that two accounts never share them.
  static FakeAccount Make(std::string userName, RemoteTree tree = RemoteTree());
  // "BAIDUID=...; BDUSS=...; STOKEN=..." as a signed-in browser would hold it.
  std::string CookieText() const;
};

// Which cookies the sign-in form sets.
enum class SignInCookies {
  kAll,        // BDUSS (HttpOnly, the parent domain of a named host), STOKEN (HttpOnly), BAIDUID
  kBdussOnly,  // BDUSS and BAIDUID
  kLowerCaseNames,     // bduss, stoken, BAIDUID
  kStokenOnlyInOther,  // BDUSS and a cookie whose value says "stoken", no STOKEN
  kNone,
};

struct ModelOptions {
  int asyncOneAnswers = 2;        // what async=1 means: 0 a synchronous reply, 2 a task
  int renameConflictErrno = -8;   // a sibling already has the new name: -8 or -30
  int taskRunningPolls = 0;       // running replies before a task's result
  bool tasksNeverFinish = false;  // running forever; progress stops at 100
  // A file operation answered with a task (delete, and rename, copy or move
  // submitted as a task) changes the tree only once this many further
  // requests have reached the service; until then a query of its task answers
  // running, and a delete answers with its task whatever its items give.
  // 0: the change happens at submission.
  int taskDelayRequests = 0;
  bool copyKeepsOthersOnConflict = true;  // a -30 copy task still copies the other items
  bool moveOntoItselfSucceeds = true;     // else it fails with -8
  // A delete whose item fails still answers with a task, and the task fails
  // listing that item (as the service does), instead of the item-form reply.
  bool deleteFailsInTask = false;
  // A wrong non-empty bdstoken gets the invalid-cookie reply; so does a file
  // operation or folder creation whose bdstoken is empty or missing.
  bool strictBdstoken = false;
  bool strictLogid = false;  // a logid other than Base64(BAIDUID) gets the same
  // API replies carry non-ASCII names as raw UTF-8 instead of \u escapes.
  bool rawUtf8Names = false;
  // The session page gives "uk" as a bare number ("uk":1234567) and the user
  // name \u-escaped, as the service's page also does.
  bool numericUkEscapedName = false;
  SignInCookies signInCookies = SignInCookies::kAll;
  // The update manifest; "{U}" stands for the requested host. Empty: a sample
  // announcing version 11211.
  std::string manifest;
  std::string updaterBody = "MZ quillmere updater";
};

class ServiceModel {
 public:
  // The reply for a request the service knows, nullopt for anything else.
  std::optional<FakeReply> Handle(const RecordedRequest& request);

  // Accounts are named by their user name. Adding one with a known name replaces it.
  void AddAccount(FakeAccount account);
  std::optional<FakeAccount> Account(const std::string& userName) const;
  std::string CookieText(const std::string& userName) const;
  void RevokeAccount(const std::string& userName);

  RemoteTree Tree(const std::string& userName) const;
  void SetTree(const std::string& userName, RemoteTree tree);

  void SetOptions(const ModelOptions& options);
  ModelOptions Options() const;

  // Every operation on `path` (its source path, normalised) answers
  // `itemErrno` for that item instead of being done, `times` times (-1: always).
  // A busy code (111, 31034) refuses the whole request at submission in the
  // item form, nothing done, also where async asks for a task.
  void FailItem(const std::string& path, int itemErrno, int times = -1);
  void ClearItemFaults();

  // Oddities the service tolerates but a test may want to see, such as a
  // rename whose id does not match the item at its path.
  std::vector<std::string> Notes() const;
  int TaskCount() const;

 private:
  struct Task {
    std::vector<TaskEntry> entries;
    int failedErrno = 4;  // task_errno when an entry failed
    int polls = 0;
    bool pending = false;  // submitted, not yet done (taskDelayRequests)
  };
  // A file operation waiting for its turn: it is run, as submitted, once
  // `remaining` further requests have arrived, and fills task `taskId`.
  struct DeferredOperation {
    int64_t taskId;
    std::string userName;
    RecordedRequest request;
    int remaining;
  };

  std::optional<FakeReply> Route(const RecordedRequest& request);
  FakeAccount* Authenticate(const RecordedRequest& request);
  std::optional<int> TakeItemFault(const std::string& path);
  // The item-form reply of the first submitted path whose fault is a busy code.
  std::optional<FakeReply> BusyRefusal(const std::vector<std::string>& paths);
  // Reads the file list of a file operation into `list`. Returns the reply that
  // refuses the request: a parameter error (and a note naming `operation`) when
  // the list cannot be read, or BusyRefusal of the submitted paths.
  std::optional<FakeReply> RefuseFileList(const RecordedRequest& request,
                                          const std::string& operation,
                                          std::optional<JsonValue>& list);
  int64_t AddTask(Task task);
  // Answers a task-form file operation with a pending task when
  // taskDelayRequests asks for it (nullopt: do it now).
  std::optional<FakeReply> Defer(const RecordedRequest& request, const FakeAccount& account);
  // Counts one arriving request against every deferred operation and runs
  // those whose turn has come.
  void RunDueOperations();
  bool StrictChecksFail(const RecordedRequest& request, const FakeAccount& account) const;

  FakeReply SessionPage(const RecordedRequest& request);
  FakeReply SignInPage(const RecordedRequest& request, const std::string& redirect);
  FakeReply SignInSubmit(const RecordedRequest& request);
  // The provider's portal: "/" of a host named "portal.".
  FakeReply PortalPage();
  FakeReply UpdateHost(const RecordedRequest& request);
  FakeReply Listing(const RecordedRequest& request, FakeAccount& account);
  FakeReply TaskQuery(const RecordedRequest& request);
  FakeReply FileManager(const RecordedRequest& request, FakeAccount& account);
  FakeReply Rename(const RecordedRequest& request, FakeAccount& account, bool asTask);
  FakeReply Delete(const RecordedRequest& request, FakeAccount& account);
  FakeReply CopyOrMove(const RecordedRequest& request, FakeAccount& account, bool copy,
                       bool asTask);
  FakeReply CreateFolder(const RecordedRequest& request, FakeAccount& account);

  mutable std::mutex m_mutex;
  std::vector<FakeAccount> m_accounts;
  ModelOptions m_options;
  std::map<int64_t, Task> m_tasks;
  std::vector<DeferredOperation> m_deferred;
  bool m_runningDeferred = false;
  int64_t m_nextTaskId = 260145123456789;
  struct ItemFault {
    int itemErrno;
    int times;
  };
  std::map<std::string, ItemFault> m_itemFaults;
  std::vector<std::string> m_notes;
};
