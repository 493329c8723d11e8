// FetchCollectionPage: one 100-entry page of a folder for the collection.

#include <algorithm>

#include "foundation/blank_lines.h"
#include "foundation/error_log.h"
#include "foundation/text_search.h"
#include "foundation/waits.h"
#include "jobs/folder_collection.h"
#include "jobs/rename_task.h"
#include "web/folder_listing.h"
#include "web/http_request.h"
#include "web/rename_task_state.h"
#include "web/service_conventions.h"

namespace {

constexpr int kPageAttempts = 10;
constexpr int kPageTimeoutSeconds = 8;
constexpr int kRetryWaitMs = 500;
constexpr const char* kRequestUriTooLarge = "<title>414 Request-URI Too Large</title>";
constexpr const char* kSuccessMarker = "{\"errno\":0,";

}  // namespace

std::string FetchCollectionPage(const AccountSession& session, const std::string& folderPath,
                                int page) {
  page = std::max(page, 1);
  const ListingSortOrder sort = ReadListingSortOrder();
  const std::string dir = EncodeListingDir(folderPath);
  std::string reply;
  for (int attempt = 1; attempt <= kPageAttempts; ++attempt) {
    if (RenameStopRequested()) {
      return {};
    }
    std::string cookies = session.cookies;
    reply = SendHttpRequest(
        ServiceUrl(FolderListingQuery(dir, page, sort.order, sort.desc, kCollectionPageSize)),
        {.cookies = &cookies,
         .timeoutSeconds = kPageTimeoutSeconds,
         .stopFlag = &g_renameStopRequested});
    if (FindText(reply, kRequestUriTooLarge) != -1) {
      continue;
    }
    if (FindText(reply, kSuccessMarker) != -1) {
      return reply;
    }
    if (attempt < kPageAttempts) {
      PumpMessages();
      WaitPumpingMessages(kRetryWaitMs, kWaitMilliseconds, RenameStopRequested);
    }
  }
  if (RenameStopRequested()) {
    return {};
  }
  AppendErrorLogLine(dir + "----" + std::to_string(g_collectDepth.load()) + "----" +
                     RemoveBlankLines(reply) + "\r\n\r\n");
  return {};
}
