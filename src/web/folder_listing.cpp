#include "web/folder_listing.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <string_view>

#include "data/json_document.h"
#include "foundation/message_box.h"
#include "foundation/shared_locks.h"
#include "foundation/text_encodings.h"
#include "foundation/text_search.h"
#include "foundation/unicode_notation.h"
#include "foundation/url_encoding.h"
#include "foundation/waits.h"
#include "platform/code_page_codec.h"
#include "platform/control_store.h"
#include "platform/desktop.h"
#include "web/account_session.h"
#include "web/account_session_check.h"
#include "web/folder_tree_model.h"
#include "web/http_request.h"
#include "web/main_window_controls.h"
#include "web/remote_name_text.h"
#include "web/rename_task_state.h"
#include "web/service_conventions.h"
#include "web/service_text.h"

namespace {

constexpr int kListingTimeoutSeconds = 5;
constexpr int kPageSize = 200;
constexpr int kPageAttempts = 5;
constexpr int kPageRetryWaitMs = 500;
constexpr int kGoneBoxTimeoutMs = 30000;

std::string ListingQuery(int page, const std::string& dir, const std::string& t,
                         const std::string& order, const std::string& desc, bool withLogId,
                         int pageSize = kPageSize) {
  return "/api/list?order=" + order + "&desc=" + desc +
         "&showempty=0&web=1&page=" + std::to_string(page) + "&num=" + std::to_string(pageSize) +
         "&dir=" + dir + "&t=" + t +
         "&channel=chunlei&web=1&app_id=250528&bdstoken=" + (withLogId ? "&logid=" : "") +
         "&clienttype=0";
}

// Row 0 of the account list: user name (column 1) and cookie text (column 3).
bool FirstAccountRow(std::string& user, std::string& cookies) {
  const std::vector<std::string> rows = GetControlStore().Items(kAccountList);
  if (rows.empty()) {
    return false;
  }
  std::vector<std::string> columns;
  size_t start = 0;
  const std::string& row = rows.front();
  for (size_t tab = row.find(kAccountListColumnSeparator);;
       tab = row.find(kAccountListColumnSeparator, start)) {
    columns.push_back(
        row.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
    if (tab == std::string::npos) {
      break;
    }
    start = tab + 1;
  }
  user = columns.size() > 1 ? columns[1] : "";
  cookies = columns.size() > 3 ? columns[3] : "";
  return true;
}

// Root listings share the one folder tree. Each takes the next generation
// when it starts; a listing whose generation is no longer the newest has been
// superseded (another account was chosen, or refresh was pressed again) and
// stops without touching the tree, the refresh button or the status line. The
// check and the tree write it guards happen under one mutex, so a superseded
// listing never adds an item after the newer one cleared the tree.
std::mutex s_rootListingMutex;
std::atomic<unsigned long long> s_rootListingGeneration{0};

class RootListing {
 public:
  explicit RootListing(int quiet) : m_quietFlag(quiet) {}
  void Run();

 private:
  bool Superseded() const { return m_generation != s_rootListingGeneration.load(); }
  // Runs `write` on the tree unless the listing was superseded; false then.
  template <typename Write>
  bool WriteTree(Write write) const {
    std::lock_guard lock(s_rootListingMutex);
    if (Superseded()) {
      return false;
    }
    write();
    return true;
  }
  void Status(const std::string& text) const {
    if (!m_quiet && !Superseded()) {
      ShowStatusText(text);
    }
  }
  void Finish(const std::string& status) const {
    if (Superseded()) {
      return;
    }
    GetControlStore().SetEnabled(kRefreshButton, true);
    Status(status);
  }
  bool ListPages(const std::string& cookies, int rootItem);

  int m_quietFlag;
  bool m_quiet = false;
  unsigned long long m_generation = 0;
};

void RootListing::Run() {
  {
    std::lock_guard lock(s_rootListingMutex);
    m_generation = ++s_rootListingGeneration;
  }
  ControlStore& store = GetControlStore();
  store.SetEnabled(kRefreshButton, false);
  AccountSession session = GetAccountSession();
  if (session.cookies.empty()) {
    std::string user;
    std::string cookies;
    if (FirstAccountRow(user, cookies)) {
      SetWorkingAccount(user, cookies);
      session = GetAccountSession();
    }
  }
  const std::string cookies = session.cookies;
  if (cookies.empty()) {
    store.SetEnabled(kRefreshButton, true);
    ShowTimedMessageBox("提示：", "没有可操作的百度帐号cookies，请先通过 登陆百度帐号 操作。", 0,
                        kBoxIconInformation);
    store.SetSelection(kMainPages, 0);
    return;
  }
  m_quiet = m_quietFlag == 1 || !store.Enabled(kStartRenameButton);
  Status("正在获取 " + session.user + " 的目录结构");
  if (!WriteTree([&store] {
        std::lock_guard lock(g_viewLock);
        store.SetVisible(kRefreshHintLabel, false);
        GetFolderTree().Clear();
      })) {
    return;
  }
  Status("开始验证cookies有效性...");
  std::string user;
  std::string bdstoken;
  std::string uk;
  const std::string result = CheckAccountSession(cookies, user, bdstoken, uk, 2);
  SetCheckedIdentity(cookies, user, bdstoken);
  if (Superseded()) {
    return;
  }
  if (user.empty()) {
    store.SetEnabled(kRefreshButton, true);
    ShowTimedMessageBox("提示：", "刷新失败，原因：" + result, 0, kBoxIconInformation);
    ShowStatusText("获取用户名失败，可能是cookies失效，或百度网盘已更新。如果一直出现则联系更新，");
    return;
  }
  int rootItem = -1;
  if (!WriteTree([&rootItem, &user] {
        rootItem =
            GetFolderTree().Add(-1, TextToUtf16(user + "的网盘", true), kRootImage, kRootItemData);
      })) {
    return;
  }
  if (!ListPages(cookies, rootItem) ||
      !WriteTree([rootItem] { GetFolderTree().Expand(rootItem); })) {
    return;
  }
  Finish(user + "    获取网盘主目录列表成功，双击右上方的对应目录，可继续获取文件列表。");
}

bool RootListing::ListPages(const std::string& cookies, int rootItem) {
  const ListingSortOrder sort = ReadListingSortOrder();
  JsonDocument document;
  for (int page = 1;; ++page) {
    Status("正在获取第 " + std::to_string(page) + " 页...");
    std::string cookieText = cookies;
    const std::string reply =
        SendHttpRequest(ServiceUrl(RootListingQuery(page, sort.order, sort.desc)),
                        {.cookies = &cookieText, .timeoutSeconds = kListingTimeoutSeconds});
    if (reply.empty()) {
      Finish("获取失败，请检查自己的网络问题。");
      return false;
    }
    if (FindText(reply, "{\"errno\":-6,") != -1) {
      Finish("cookies可能无效,请重新登陆");
      return false;
    }
    if (FindText(reply, "{\"errno\":-9,") != -1) {
      Finish("当前目录已不存在（已被删除或改名），需要重新刷新。");
      return false;
    }
    if (FindText(reply, "{\"errno\":0,") == -1) {
      Finish("获取目录列表失败，可能是此目录已改名，或有乱码。请重试");
      return false;
    }
    ParseListingReply(document, reply);
    const int count = document.GetCount("list");
    for (int i = 0; i < count; ++i) {
      const std::string prefix = "list[" + std::to_string(i) + "].";
      const std::string name = document.GetText(prefix + "server_filename");
      const bool folder = document.GetText(prefix + "isdir") == "1";
      const bool added = WriteTree([&] {
        GetFolderTree().Add(rootItem, CutUtf16AtNul(DecodeUnicodeEscapes(name)),
                            folder ? kFolderImage : FileIconIndexOf(name),
                            folder ? kFolderItemData : kFileItemData);
      });
      if (!added) {
        return false;
      }
    }
    if (count < kPageSize) {
      return true;
    }
    PumpMessages();
  }
}

// The box that says why a folder is skipped, with its path as the service
// holds it (every character shown).
void ShowSkippedFolderBox(const char* reason, const std::string& folderPath) {
  ShowTimedMessageBoxUtf16(
      "提示：", TextToUtf16(std::string(reason) + "\r\n\r\n", true) + RemoteNameUtf16(folderPath),
      kGoneBoxTimeoutMs, kBoxIconWarning);
}

}  // namespace

std::string RootListingQuery(int page, const std::string& order, const std::string& desc) {
  return ListingQuery(page, "%2F", "0.18259558284517108", order, desc, true);
}

std::string FolderListingQuery(const std::string& encodedDir, int page, const std::string& order,
                               const std::string& desc, int pageSize) {
  return ListingQuery(page, encodedDir, "0.9874196068828893", order, desc, false, pageSize);
}

void ParseListingReply(JsonDocument& document, const std::string& reply) {
  constexpr std::string_view kEscapedBackslashU = "\\\\u";
  if (reply.find(kEscapedBackslashU) == std::string::npos) {
    document.Parse(reply, 0);
    return;
  }
  // JSON escapes are read in pairs from the left, stepping over double-byte
  // characters: of four backslashes and a "u", only the second escaped
  // backslash stands before the "u".
  std::string text;
  text.reserve(reply.size() + 16);
  for (size_t at = 0; at < reply.size();) {
    if (reply[at] == '\\' && at + 1 < reply.size()) {
      if (reply[at + 1] == '\\' && at + 2 < reply.size() && reply[at + 2] == 'u') {
        text += "\\u005C";
      } else {
        text.append(reply, at, 2);
      }
      at += 2;
      continue;
    }
    const size_t length = Cp936CharLength(reply, at);
    text.append(reply, at, length);
    at += length;
  }
  document.Parse(text, 0);
}

std::string EncodeListingDir(const std::string& folderPath) {
  return EncodeRemoteQueryValue(folderPath);
}

void LoadRootFolderTree(int quiet) {
  RootListing(quiet).Run();
}

std::string FetchFolderListPage(const std::string& folderPath, int rootFlag, int page) {
  return FetchFolderListPage(GetAccountSession(), folderPath, rootFlag, page);
}

std::string FetchFolderListPage(const AccountSession& session, const std::string& folderPath,
                                int rootFlag, int page) {
  const std::string& cookies = session.cookies;
  const ListingSortOrder sort = ReadListingSortOrder();
  page = std::max(page, 1);
  std::string reply;
  const std::string url =
      rootFlag != 0 ? RootListingQuery(page, sort.order, sort.desc)
                    : FolderListingQuery(EncodeListingDir(folderPath), page, sort.order, sort.desc);
  for (int attempt = 1; attempt <= kPageAttempts; ++attempt) {
    std::string cookieText = cookies;
    reply = SendHttpRequest(ServiceUrl(url), {.cookies = &cookieText,
                                              .timeoutSeconds = kListingTimeoutSeconds,
                                              .stopFlag = &g_renameStopRequested});
    if (FindText(reply, "errno\":-9,") != -1 || FindText(reply, "{\"errno\":0,") != -1) {
      break;
    }
    // A stopped job ends its listing at once and quietly.
    if (RenameStopRequested()) {
      return {};
    }
    PumpMessages();
    WaitPumpingMessages(kPageRetryWaitMs);
  }
  if (FindText(reply, "errno\":-9,") != -1) {
    ShowSkippedFolderBox(
        "目录不存在，可能是选中的目录名有变化或有乱码，重新刷新目录后再试，30秒后"
        "将自动跳过。",
        folderPath);
    return {};
  }
  if (FindText(reply, "{\"errno\":0,") == -1) {
    ShowSkippedFolderBox(
        "连续5次获取失败，可能是选中的目录名有变化或乱码，重新刷新目录后再试，30秒"
        "后将自动跳过。",
        folderPath);
    return {};
  }
  return reply;
}
