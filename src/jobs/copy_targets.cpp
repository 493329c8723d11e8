#include "jobs/copy_targets.h"

#include "data/json_document.h"
#include "foundation/blank_lines.h"
#include "foundation/message_box.h"
#include "foundation/random_values.h"
#include "foundation/shared_locks.h"
#include "foundation/text_encodings.h"
#include "foundation/text_search.h"
#include "foundation/unicode_notation.h"
#include "foundation/url_encoding.h"
#include "foundation/waits.h"
#include "jobs/copy_job_state.h"
#include "jobs/copy_request.h"
#include "jobs/keyword_entries.h"
#include "jobs/name_legalisation.h"
#include "jobs/rename_rule_options.h"
#include "platform/control_store.h"
#include "web/folder_listing.h"
#include "web/http_request.h"
#include "web/remote_name_text.h"
#include "web/service_conventions.h"

namespace {

constexpr int kListingAttempts = 10;
constexpr int kListingRetryWaitMs = 300;
constexpr int kListingTimeoutSeconds = 5;
constexpr int kPageSize = 100;
constexpr int kTargetWaitMs = 10;
constexpr int kFolderWaitMs = 50;

std::string ListingUrl(const std::string& encodedFolder, int page, const std::string& logId) {
  return ServiceUrl(
      "/api/list?channel=chunlei&clienttype=0&web=1&app_id=250528&showempty=0&dp-logid=" +
      MakeRandomLogId() + "&logId=" + logId + "&order=time&desc=1&dir=" + encodedFolder +
      "&num=100&page=" + std::to_string(page) + "&folder=1");
}

void Wait(int ms) {
  WaitPumpingMessages(ms, kWaitMilliseconds, CopyStopRequested);
}

// A listed path as UTF-8 bytes: escapes of the reply decoded.
std::string Utf8PathOf(const std::string& listedPath) {
  return Utf16ToUtf8(DecodeUnicodeEscapes(RestoreEncodedPunctuation(listedPath)));
}

// A source as a UTF-8 path without trailing slashes ("" for the root).
std::vector<std::string> Utf8Sources(const TextArray& sources) {
  std::vector<std::string> paths;
  for (const std::string& source : sources) {
    std::string path = RemoteNameUtf8(source);
    while (!path.empty() && path.back() == '/') {
      path.pop_back();
    }
    paths.push_back(path);
  }
  return paths;
}

bool IsWithinASource(const std::string& utf8Path, const std::vector<std::string>& sources) {
  for (const std::string& source : sources) {
    if (utf8Path == source ||
        (utf8Path.size() > source.size() && utf8Path.compare(0, source.size(), source) == 0 &&
         utf8Path[source.size()] == '/')) {
      return true;
    }
  }
  return false;
}

void ShowCollectedCount(size_t count) {
  ShowStatusText("正在初始化子目录数据，已获取待复制目录数量：" + std::to_string(count));
}

// Lists one folder; a folder that cannot be listed is booked as a failure.
std::vector<SubfolderEntry> ListOrBook(const AccountSession& session,
                                       const std::string& encodedFolder, const std::string& stamp) {
  std::vector<SubfolderEntry> entries;
  std::string reply;
  if (!ListSubfolders(session, encodedFolder, entries, &reply)) {
    BookCopyFailure(session, stamp,
                    "获取子目录失败：" + UrlDecodeText(encodedFolder) + "----->ret：" +
                        RemoveBlankLines(reply) + "\r\n\r\n");
  }
  return entries;
}

// Turns the entries of one folder into targets; the ones to descend into go
// to `next`.
void AddTargets(const std::vector<SubfolderEntry>& entries, const std::vector<std::string>& sources,
                std::vector<CopyTarget>& targets, std::vector<std::string>* next) {
  for (const SubfolderEntry& entry : entries) {
    if (CopyStopRequested()) {
      return;
    }
    WaitWhileCopyPaused();
    const std::string utf8Path = Utf8PathOf(entry.path);
    if (IsWithinASource(utf8Path, sources)) {
      continue;
    }
    const std::string path = UrlEncodeBytes(utf8Path);
    const bool empty = entry.dirEmpty != "0";
    targets.push_back({path, empty ? "1" : "0"});
    if (!empty && next != nullptr) {
      next->push_back(path);
    }
    Wait(kTargetWaitMs);
  }
}

bool HoldsAny(const std::string& name, const TextArray& keywords) {
  for (const std::string& keyword : keywords) {
    if (FindText(name, keyword) != -1) {
      return true;
    }
  }
  return false;
}

}  // namespace

bool ListSubfolders(const AccountSession& session, const std::string& encodedFolder,
                    std::vector<SubfolderEntry>& entries, std::string* lastReply) {
  entries.clear();
  const std::string logId = MakeLogIdFromCookies(session.cookies);
  for (int page = 1;; ++page) {
    std::string reply;
    for (int attempt = 1; attempt <= kListingAttempts; ++attempt) {
      if (CopyStopRequested()) {
        return true;
      }
      std::string cookies = session.cookies;
      std::string headers = FillRequestHeaderTemplate(0);
      reply = SendHttpRequest(ListingUrl(encodedFolder, page, logId),
                              {.cookies = &cookies,
                               .headers = &headers,
                               .timeoutSeconds = kListingTimeoutSeconds,
                               .stopFlag = &g_copyStopRequested});
      if (ReplyHolds(reply, "errno")) {
        break;
      }
      Wait(kListingRetryWaitMs);
    }
    if (!ReplyHolds(reply, "{\"errno\":0,")) {
      if (lastReply != nullptr) {
        *lastReply = reply;
      }
      return CopyStopRequested();
    }
    JsonDocument listing;
    ParseListingReply(listing, reply);
    const int count = listing.GetCount("list");
    for (int k = 0; k < count; ++k) {
      const std::string at = "list[" + std::to_string(k) + "].";
      entries.push_back({listing.GetText(at + "path"), listing.GetText(at + "dir_empty")});
    }
    if (count < kPageSize) {
      return true;
    }
  }
}

void CollectCopyTargets(const AccountSession& session, const TextArray& sources,
                        const std::string& encodedDestination, const std::string& stamp,
                        std::vector<CopyTarget>& targets) {
  const std::vector<std::string> sourcePaths = Utf8Sources(sources);
  std::vector<std::string> level;
  AddTargets(ListOrBook(session, encodedDestination, stamp), sourcePaths, targets, &level);
  ShowCollectedCount(targets.size());
  if (GetControlStore().Checked(kCopyFirstLevelRadio)) {
    return;
  }
  while (!level.empty()) {
    if (CopyStopRequested()) {
      return;
    }
    WaitWhileCopyPaused();
    std::vector<std::string> next;
    for (const std::string& folder : level) {
      if (CopyStopRequested()) {
        return;
      }
      AddTargets(ListOrBook(session, folder, stamp), sourcePaths, targets, &next);
      ShowCollectedCount(targets.size());
      Wait(kFolderWaitMs);
    }
    level = std::move(next);
  }
}

bool PassesCopyKeywordFilter(const std::string& name) {
  const ControlStore& store = GetControlStore();
  if (store.Checked(kExcludeRuleBox)) {
    return !HoldsAny(name, KeywordEntries(store.Text(kExcludeKeywordsEdit)));
  }
  if (store.Checked(kIncludeRuleBox)) {
    const TextArray keywords = KeywordEntries(store.Text(kIncludeKeywordsEdit));
    return keywords.empty() || HoldsAny(name, keywords);
  }
  return true;
}
