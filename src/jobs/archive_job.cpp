#include "jobs/archive_job.h"

#include <mutex>
#include <vector>

#include "data/json_document.h"
#include "foundation/message_box.h"
#include "foundation/text_encodings.h"
#include "foundation/text_search.h"
#include "foundation/unicode_notation.h"
#include "foundation/url_encoding.h"
#include "foundation/waits.h"
#include "jobs/archive_requests.h"
#include "jobs/copy_job_state.h"
#include "platform/control_store.h"
#include "platform/desktop.h"
#include "web/folder_listing.h"
#include "web/http_request.h"
#include "web/item_request_hold.h"
#include "web/remote_name_text.h"
#include "web/remote_tree_paths.h"
#include "web/service_conventions.h"

namespace {

constexpr int kListingTimeoutSeconds = 5;
constexpr int kPageSize = 100;
constexpr int kTargetTestAttempts = 10;
constexpr const char* kGoneText = "当前目录已不存在（已被删除或改名或有乱码），需要重新刷新。";

std::mutex s_reloadMutex;
ThreadHandle s_lastReload;

// One file of the folder as the listing names it (backslash-u escapes kept).
struct ListedFile {
  std::string rawName;
};

std::string ListingUrl(const ListingSortOrder& sort, int page, const std::string& encodedDir) {
  return ServiceUrl("/api/list?order=" + sort.order + "&desc=" + sort.desc +
                    "&showempty=0&web=1&page=" + std::to_string(page) +
                    "&num=100&dir=" + encodedDir +
                    "&t=0.9874196068828893&channel=chunlei&web=1&app_id=250528&bdstoken="
                    "&clienttype=0");
}

std::string Get(const AccountSession& session, const std::string& url) {
  std::string cookies = session.cookies;
  return SendHttpRequest(url, {.cookies = &cookies, .timeoutSeconds = kListingTimeoutSeconds});
}

void ReloadRootFolder() {
  ThreadHandle reload =
      StartThreadWithTexts([](int, const std::string&, const std::string&, const std::string&,
                              const std::string&) { LoadRootFolderTree(); });
  std::lock_guard lock(s_reloadMutex);
  s_lastReload = reload;
}

// Every file of the folder, page after page; false after a failed page
// (already reported).
bool ReadFolderFiles(const AccountSession& session, const std::string& folder,
                     const ListingSortOrder& sort, std::vector<ListedFile>& files) {
  for (int page = 1;; ++page) {
    const std::string reply = Get(session, ListingUrl(sort, page, EncodeRemoteQueryValue(folder)));
    if (!ReplyHolds(reply, "{\"errno\":0,")) {
      ShowStatusText("获取目录列表失败，请重试");
      if (ReplyHolds(reply, "{\"errno\":-9,\"request_id")) {
        ShowStatusText(kGoneText);
        ShowPlainMessageBox(kGoneText);
        ReloadRootFolder();
      }
      return false;
    }
    ShowStatusText("获取成功，开始归档处理。");
    JsonDocument listing;
    ParseListingReply(listing, reply);
    const int count = listing.GetCount("list");
    for (int k = 0; k < count; ++k) {
      const std::string at = "list[" + std::to_string(k) + "].";
      if (listing.GetText(at + "isdir") == "0") {
        files.push_back({listing.GetText(at + "server_filename")});
      }
    }
    PumpMessages();
    if (count < kPageSize) {
      return true;
    }
  }
}

struct ArchiveCounts {
  int archived = 0;
  int failed = 0;
};

std::string CountsText(const ArchiveCounts& counts) {
  return "归档成功数量：" + std::to_string(counts.archived) + "   归档失败数量：" +
         std::to_string(counts.failed);
}

// The UTF-8 form of a text in backslash-u notation, percent-encoded byte by
// byte.
std::string EncodeEscaped(const std::string& text) {
  return UrlEncodeBytes(Utf16ToUtf8(DecodeUnicodeEscapes(text)));
}

void ArchiveFile(const AccountSession& session, const std::string& folder,
                 const ListingSortOrder& sort, const ListedFile& file, ArchiveCounts& counts) {
  const ItemRequestScope underWay;
  // The name decoded from its notation only: "%" and "\" are characters of it.
  const std::string clearName = Utf16ToText(DecodeUnicodeEscapes(file.rawName));
  const bool escaped = clearName.find_first_of("?'+-") != std::string::npos;
  const std::string subfolder = TextLeftOfMarker(escaped ? file.rawName : clearName, ".");
  if (subfolder.empty()) {
    return;
  }
  // The folder's path is the program's text of the tree's path: every
  // character kept, decoded from its own notation.
  const std::string encodedFolder = EncodeRemoteQueryValue(folder + "/");
  const std::string target =
      encodedFolder + (escaped ? EncodeEscaped(subfolder) : UrlEncodeText(subfolder));
  ShowStatusText(CountsText(counts) + "     正在归档处理：" + subfolder);
  std::string test;
  for (int attempt = 1; attempt <= kTargetTestAttempts && test.empty(); ++attempt) {
    test = UnescapeToText(Get(session, ListingUrl(sort, 1, target)));
  }
  if (ReplyHolds(test, "errno\":-9,\"request_id")) {
    CreateRemoteFolder(session, target);
  }
  const std::string encodedName = escaped ? EncodeEscaped(file.rawName) : UrlEncodeText(clearName);
  if (MoveRemoteFile(session, encodedFolder + encodedName, target, encodedName)) {
    ++counts.archived;
  } else {
    ++counts.failed;
  }
  PumpMessages();
}

}  // namespace

void RunArchiveJob(const AccountSession& session, const std::string& folder) {
  ControlStore& store = GetControlStore();
  if (folder.empty()) {
    store.SetEnabled(kArchiveButton, true);
    return;
  }
  ShowStatusText("正在获取归档目录文件列表");
  const ListingSortOrder sort = ReadListingSortOrder();
  std::vector<ListedFile> files;
  if (!ReadFolderFiles(session, folder, sort, files)) {
    store.SetEnabled(kArchiveButton, true);
    return;
  }
  ArchiveCounts counts;
  for (const ListedFile& file : files) {
    ArchiveFile(session, folder, sort, file, counts);
  }
  ShowStatusText(CountsText(counts) + "         归档处理已完成。");
  store.SetEnabled(kArchiveButton, true);
  ShowTimedMessageBox("提示：", "归档处理已完成。\r\n\r\n" + CountsText(counts), 0,
                      kBoxIconInformation);
}

ThreadHandle OnArchiveClicked() {
  int isFolder = 0;
  const std::string folder = GetRemoteTreeNodePath(isFolder, 0);
  if (isFolder != 1) {
    ShowTimedMessageBox("提示：", "选中的目标位置不能是文件，必须是目录。", 0, kBoxIconWarning);
    return nullptr;
  }
  const AccountSession session = GetAccountSession();
  if (!session.cookies.empty() && !CanSendFileOperations(session)) {
    ShowTimedMessageBox("提示：", kSignInAgainNotice, 0, kBoxIconWarning);
    return nullptr;
  }
  if (ShowTimedMessageBox("确认：", "确定对选中的目录中的文件进行归档操作？", 0,
                          kBoxYesNo | kBoxIconWarning) != kBoxResultYes) {
    return nullptr;
  }
  GetControlStore().SetEnabled(kArchiveButton, false);
  ThreadHandle job = StartThreadWithTexts(
      [session](int, const std::string& path, const std::string&, const std::string&,
                const std::string&) { RunArchiveJob(session, path); },
      0, folder);
  if (job == nullptr) {
    GetControlStore().SetEnabled(kArchiveButton, true);
  }
  return job;
}

ThreadHandle LastArchiveRootReload() {
  std::lock_guard lock(s_reloadMutex);
  return s_lastReload;
}
