#include "fakeservice/service_model.h"

#include <openssl/evp.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <functional>

#include "fakeservice/json_text.h"

namespace {

// Listings never hand out more than this many entries per page.
constexpr int64_t kMaxPageSize = 1000;

std::string Lower(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return out;
}

std::string Hex(size_t value, size_t digits) {
  static const char kDigits[] = "0123456789abcdef";
  std::string out;
  for (size_t i = 0; i < digits; ++i) {
    out += kDigits[(value >> ((i * 4) % 60)) & 15];
  }
  return out;
}

std::string Base64(std::string_view bytes) {
  std::string out(4 * ((bytes.size() + 2) / 3) + 1, '\0');
  const int written = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(out.data()),
                                      reinterpret_cast<const unsigned char*>(bytes.data()),
                                      static_cast<int>(bytes.size()));
  out.resize(static_cast<size_t>(written));
  return out;
}

// "a=1; b=2;c=3; " into name/value pairs, blanks around entries dropped.
HeaderList CookiePairs(std::string_view text) {
  HeaderList pairs;
  size_t at = 0;
  while (at < text.size()) {
    size_t end = std::min(text.find(';', at), text.size());
    std::string_view entry = text.substr(at, end - at);
    while (!entry.empty() && entry.front() == ' ') {
      entry.remove_prefix(1);
    }
    const size_t equals = entry.find('=');
    if (equals != std::string_view::npos) {
      pairs.emplace_back(std::string(entry.substr(0, equals)),
                         std::string(entry.substr(equals + 1)));
    }
    at = end + 1;
  }
  return pairs;
}

int64_t Number(const std::optional<std::string>& text, int64_t fallback) {
  return text && !text->empty() ? std::strtoll(text->c_str(), nullptr, 10) : fallback;
}

std::string EntryJson(const ListedItem& listed) {
  const RemoteItem& item = *listed.item;
  return "{\"server_filename\":" + JsonQuote(item.name) +
         ",\"fs_id\":" + std::to_string(item.fsId) + ",\"isdir\":" + (item.isDir ? "1" : "0") +
         ",\"path\":" + JsonQuote(listed.path) + ",\"size\":" + std::to_string(item.size) +
         ",\"dir_empty\":" + (item.isDir && item.children.empty() ? "1" : "0") +
         ",\"server_mtime\":" + std::to_string(item.mtime) + "}";
}

bool IsJsonReply(const FakeReply& reply) {
  return std::any_of(reply.headers.begin(), reply.headers.end(), [](const auto& header) {
    return header.first == "Content-Type" && header.second.rfind("application/json", 0) == 0;
  });
}

}  // namespace

FakeAccount FakeAccount::Make(std::string userName, RemoteTree tree) {
  const size_t seed = std::hash<std::string>()(userName);
  FakeAccount account;
  account.userName = std::move(userName);
  account.uk = std::to_string(1000000000 + seed % 3000000000);
  account.bdstoken = Hex(seed, 16) + Hex(seed * 31 + 7, 16);
  account.bduss = "bduss-" + Hex(seed * 17 + 3, 15) + "~" + Hex(seed, 8);
  account.stoken = "st" + Hex(seed * 13 + 5, 14);
  account.baiduid = Hex(seed * 7 + 1, 16) + ":FG=1";
  account.tree = std::move(tree);
  return account;
}

std::string FakeAccount::CookieText() const {
  return "BAIDUID=" + baiduid + "; BDUSS=" + bduss + "; STOKEN=" + stoken;
}

void ServiceModel::AddAccount(FakeAccount account) {
  std::lock_guard lock(m_mutex);
  for (FakeAccount& known : m_accounts) {
    if (known.userName == account.userName) {
      known = std::move(account);
      return;
    }
  }
  m_accounts.push_back(std::move(account));
}

std::optional<FakeAccount> ServiceModel::Account(const std::string& userName) const {
  std::lock_guard lock(m_mutex);
  for (const FakeAccount& account : m_accounts) {
    if (account.userName == userName) {
      return account;
    }
  }
  return std::nullopt;
}

std::string ServiceModel::CookieText(const std::string& userName) const {
  const std::optional<FakeAccount> account = Account(userName);
  return account ? account->CookieText() : std::string();
}

void ServiceModel::RevokeAccount(const std::string& userName) {
  std::lock_guard lock(m_mutex);
  for (FakeAccount& account : m_accounts) {
    if (account.userName == userName) {
      account.valid = false;
    }
  }
}

RemoteTree ServiceModel::Tree(const std::string& userName) const {
  const std::optional<FakeAccount> account = Account(userName);
  return account ? account->tree : RemoteTree();
}

void ServiceModel::SetTree(const std::string& userName, RemoteTree tree) {
  std::lock_guard lock(m_mutex);
  for (FakeAccount& account : m_accounts) {
    if (account.userName == userName) {
      account.tree = std::move(tree);
    }
  }
}

void ServiceModel::SetOptions(const ModelOptions& options) {
  std::lock_guard lock(m_mutex);
  m_options = options;
}

ModelOptions ServiceModel::Options() const {
  std::lock_guard lock(m_mutex);
  return m_options;
}

void ServiceModel::FailItem(const std::string& path, int itemErrno, int times) {
  std::lock_guard lock(m_mutex);
  m_itemFaults[RemoteTree::Normalise(path)] = {itemErrno, times};
}

void ServiceModel::ClearItemFaults() {
  std::lock_guard lock(m_mutex);
  m_itemFaults.clear();
}

std::vector<std::string> ServiceModel::Notes() const {
  std::lock_guard lock(m_mutex);
  return m_notes;
}

int ServiceModel::TaskCount() const {
  std::lock_guard lock(m_mutex);
  return static_cast<int>(m_tasks.size());
}

std::optional<int> ServiceModel::TakeItemFault(const std::string& path) {
  auto found = m_itemFaults.find(RemoteTree::Normalise(path));
  if (found == m_itemFaults.end() || found->second.times == 0) {
    return std::nullopt;
  }
  if (found->second.times > 0) {
    --found->second.times;
  }
  return found->second.itemErrno;
}

int64_t ServiceModel::AddTask(Task task) {
  const int64_t id = m_nextTaskId;
  m_nextTaskId += 13;
  m_tasks[id] = std::move(task);
  return id;
}

FakeAccount* ServiceModel::Authenticate(const RecordedRequest& request) {
  const std::optional<std::string> cookie = request.Header("Cookie");
  if (!cookie) {
    return nullptr;
  }
  std::string bduss;
  std::string stoken;
  for (const auto& [name, value] : CookiePairs(*cookie)) {
    const std::string lower = Lower(name);
    if (lower == "bduss" && bduss.empty()) {
      bduss = value;
    } else if (lower == "stoken" && stoken.empty()) {
      stoken = value;
    }
  }
  for (FakeAccount& account : m_accounts) {
    if (account.valid && !bduss.empty() && account.bduss == bduss && account.stoken == stoken) {
      return &account;
    }
  }
  return nullptr;
}

bool ServiceModel::StrictChecksFail(const RecordedRequest& request,
                                    const FakeAccount& account) const {
  const std::optional<std::string> bdstoken = request.RawQueryValue("bdstoken");
  if (m_options.strictBdstoken) {
    if (bdstoken && !bdstoken->empty() && *bdstoken != account.bdstoken) {
      return true;
    }
    // File operations and folder creation carry the account's token; listings
    // and the probe send it empty.
    const std::string path = PercentDecode(request.Path(), false);
    if ((path == "/api/filemanager" || path == "/api/create") && (!bdstoken || bdstoken->empty())) {
      return true;
    }
  }
  std::optional<std::string> logid = request.RawQueryValue("logid");
  if (!logid) {
    logid = request.RawQueryValue("logId");
  }
  return m_options.strictLogid && logid && *logid != Base64(account.baiduid);
}

std::optional<FakeReply> ServiceModel::Handle(const RecordedRequest& request) {
  std::lock_guard lock(m_mutex);
  RunDueOperations();
  std::optional<FakeReply> reply = Route(request);
  if (reply && IsJsonReply(*reply) && m_options.rawUtf8Names) {
    reply->body = RawUtf8Escapes(reply->body);
  }
  return reply;
}

std::optional<FakeReply> ServiceModel::Route(const RecordedRequest& request) {
  const std::string path = PercentDecode(request.Path(), false);
  if (request.method == "GET") {
    if (path == "/" && request.Header("Host").value_or("").rfind("portal.", 0) == 0) {
      return PortalPage();
    }
    if (path == "/") {
      return SessionPage(request);
    }
    if (path == "/login" || path == "/v2/" || path == "/v2") {
      const std::optional<std::string> target =
          path == "/login" ? request.QueryValue("redirecturl") : request.QueryValue("u");
      return SignInPage(request, target.value_or(""));
    }
    if (path.rfind("/softupdate/", 0) == 0) {
      return UpdateHost(request);
    }
    if (path == "/disk/main" || path == "/disk/home" || path == "/mbox/homepage") {
      return FakeReply::Html("<html><body>home</body></html>");
    }
  }
  if (path == "/login/submit") {
    return SignInSubmit(request);
  }
  if (path == "/signin/popup") {
    return FakeReply::Html(
        "<html><body><a id=\"blank\" href=\"/disk/main\" target=\"_blank\">open</a>"
        "<input id=\"file\" type=\"file\">"
        "<script>function openPopup(){window.open('/disk/home');}</script></body></html>");
  }
  const bool known = path == "/mbox/relation/getfollowlist" || path == "/api/list" ||
                     path == "/api/filemanager" || path == "/api/create" || path == "/api/quota" ||
                     path == "/share/taskquery";
  if (!known) {
    return std::nullopt;
  }
  FakeAccount* account = Authenticate(request);
  if (account == nullptr || StrictChecksFail(request, *account)) {
    return FakeReply::Json(InvalidReply());
  }
  if (path == "/mbox/relation/getfollowlist") {
    return FakeReply::Json(OkReply());
  }
  if (path == "/api/list") {
    return Listing(request, *account);
  }
  if (path == "/api/quota") {
    const int64_t used = account->quotaUsed >= 0 ? account->quotaUsed : account->tree.UsedBytes();
    return FakeReply::Json(QuotaReply(account->quotaTotal, used));
  }
  if (path == "/share/taskquery") {
    return TaskQuery(request);
  }
  if (path == "/api/create") {
    return CreateFolder(request, *account);
  }
  return FileManager(request, *account);
}

FakeReply ServiceModel::Listing(const RecordedRequest& request, FakeAccount& account) {
  const std::string dir = request.QueryValue("dir").value_or("");
  const std::string order = request.QueryValue("order").value_or("name");
  const bool desc = request.QueryValue("desc").value_or("0") == "1";
  const bool foldersOnly = request.QueryValue("folder").value_or("0") == "1";
  const int64_t page = std::max<int64_t>(1, Number(request.QueryValue("page"), 1));
  const int64_t num =
      std::clamp<int64_t>(Number(request.QueryValue("num"), kMaxPageSize), 1, kMaxPageSize);
  const auto listed = account.tree.List(dir, order, desc, foldersOnly);
  if (dir.empty() || !listed) {
    return FakeReply::Json(GoneReply());
  }
  std::string entries;
  const int64_t first = (page - 1) * num;
  for (int64_t i = first; i < first + num && i < static_cast<int64_t>(listed->size()); ++i) {
    entries += (entries.empty() ? "" : ",") + EntryJson((*listed)[static_cast<size_t>(i)]);
  }
  return FakeReply::Json("{\"errno\":0,\"list\":[" + entries +
                         "],\"request_id\":" + std::to_string(NextRequestId()) + "}");
}

FakeReply ServiceModel::TaskQuery(const RecordedRequest& request) {
  const int64_t id = Number(request.QueryValue("taskid"), -1);
  auto found = m_tasks.find(id);
  if (found == m_tasks.end()) {
    return FakeReply::Json(TaskFailReply());
  }
  Task& task = found->second;
  ++task.polls;
  if (task.pending) {
    return FakeReply::Json(TaskRunningReply(0));
  }
  if (m_options.tasksNeverFinish) {
    return FakeReply::Json(TaskRunningReply(std::min(100, task.polls * 10)));
  }
  if (task.polls <= m_options.taskRunningPolls) {
    return FakeReply::Json(TaskRunningReply(task.polls * 100 / (m_options.taskRunningPolls + 1)));
  }
  const bool failed = std::any_of(task.entries.begin(), task.entries.end(),
                                  [](const TaskEntry& entry) { return entry.errorCode != 0; });
  return FakeReply::Json(failed ? TaskFailListReply(task.entries, task.failedErrno)
                                : TaskOkReply(task.entries));
}
