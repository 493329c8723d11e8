// CollectFolderIntoCache: one folder's listing, page after page, into the
// run's listing cache.

#include <vector>

#include "data/json_document.h"
#include "foundation/date_time.h"
#include "foundation/message_box.h"
#include "foundation/text_search.h"
#include "foundation/thread_start.h"
#include "foundation/waits.h"
#include "jobs/folder_collection.h"
#include "jobs/folder_traversal.h"
#include "jobs/listing_cache.h"
#include "jobs/prefetch_run_hooks.h"
#include "jobs/rename_task.h"
#include "web/folder_listing.h"
#include "web/rename_counters.h"
#include "web/rename_task_state.h"

namespace {

constexpr std::size_t kBatchRows = 50;
constexpr int kEntryPauseMs = 5;
constexpr int kDispatcherPollMs = 300;
constexpr const char* kTopMarker = "是";
constexpr const char* kStoppedText = "已手动停止";

// The level as two digits at least ("02"), from a level text.
std::string TwoDigitLevel(int level) {
  const std::string digits = std::to_string(level);
  return digits.size() == 1 ? "0" + digits : digits;
}

// The 1-based index of an entry on its page as three digits at least.
std::string PageIndex(int index) {
  const std::string digits = std::to_string(index);
  return digits.size() >= 3 ? digits : std::string(3 - digits.size(), '0') + digits;
}

int LevelValue(const std::string& level) {
  try {
    return std::stoi(level);
  } catch (...) {
    return 0;
  }
}

// Runs the dispatcher on a thread of its own and waits for it to end.
void RunDispatcher(const CollectionRun& run) {
  const AccountSession session = run.session;
  const ThreadHandle dispatcher = StartThreadWithTexts(
      [session](int runNumber, const std::string&, const std::string&, const std::string&,
                const std::string&) { DispatcherThreadEntry(session, runNumber); },
      run.runNumber);
  const auto ended = [dispatcher] { return IsThreadRunning(dispatcher) != 1; };
  while (!ended()) {
    WaitPumpingMessages(kDispatcherPollMs, kWaitMilliseconds, ended);
    PumpMessages();
  }
}

class FolderCollector {
 public:
  FolderCollector(const CollectionRun& run, const std::string& folderPath, const std::string& level,
                  const std::string& parentOrdersign)
      : m_run(run),
        m_folderPath(folderPath),
        m_level(level),
        m_childLevel(TwoDigitLevel(LevelValue(level) + 1)),
        m_parentOrdersign(parentOrdersign) {}

  // False when the rename task was stopped.
  bool CollectAllPages();

 private:
  bool AddEntry(const JsonDocument& page, int index);
  bool FlushBatch();

  const CollectionRun& m_run;
  const std::string& m_folderPath;
  const std::string& m_level;
  const std::string m_childLevel;
  const std::string& m_parentOrdersign;
  std::vector<CacheRow> m_batch;
};

bool FolderCollector::CollectAllPages() {
  for (int page = 1;; ++page) {
    if (RenameStopRequested()) {
      return false;
    }
    const std::string reply = FetchCollectionPage(m_run.session, m_folderPath, page);
    if (reply.empty()) {
      // Given up on (and logged) or stopped: the folder's listing ends here.
      return !RenameStopRequested();
    }
    JsonDocument document;
    ParseListingReply(document, reply);
    const int count = document.GetCount("list");
    for (int i = 1; i <= count; ++i) {
      if (RenameStopRequested() || !AddEntry(document, i)) {
        return false;
      }
      WaitPumpingMessages(kEntryPauseMs);
    }
    if (!FlushBatch()) {
      return false;
    }
    ShowStatusText("正在采集要判断修改的所有文件，采集完成后再进行修改。已完成数量：" +
                   std::to_string(g_runCollectedCount.load()));
    if (count != kCollectionPageSize) {
      return true;
    }
  }
}

bool FolderCollector::AddEntry(const JsonDocument& page, int index) {
  const std::string prefix = "list[" + std::to_string(index - 1) + "].";
  const std::string name = page.GetText(prefix + "server_filename");
  std::string path = page.GetText(prefix + "path");
  // Only the reply's own escapes are undone: a "%" in a name is a character.
  const std::string decodedName = DecodeListedText(name);
  if (FindText(path, "/") == -1) {
    // Folder paths travel in backslash-u notation, so the name joins them as
    // listed and no character is lost to code page 936.
    path = m_folderPath + "/" + name;
  }
  ++g_runCollectedCount;
  ++g_collectedTotal;
  CacheRow row;
  row.folder = EncodeCacheText(path);
  row.filename = EncodeCacheText(name);
  row.order = m_level;
  row.type = page.GetText(prefix + "isdir");
  row.time = FormatDateTime();
  row.size = page.GetText(prefix + "size");
  row.ordersign = m_parentOrdersign + PageIndex(index);
  row.count = std::to_string(index);
  row.lowernum = m_childLevel;
  row.target = page.GetText(prefix + "fs_id");
  row.other_1 = EncodeCacheText(decodedName);
  m_batch.push_back(std::move(row));
  return m_batch.size() < kBatchRows || FlushBatch();
}

// A batch that failed all its tries is dropped (ExecuteCacheBatch logged
// each try); the collection goes on.
bool FolderCollector::FlushBatch() {
  if (!m_batch.empty()) {
    ExecuteCacheBatch(m_batch);
    m_batch.clear();
  }
  return !RenameStopRequested();
}

}  // namespace

void CollectFolderIntoCache(const CollectionRun& run, const std::string& folderPath,
                            const std::string& level, const std::string& parentOrdersign,
                            const std::string& topMarker) {
  const int depth = g_collectDepth.load();
  if (depth > 0 && LevelValue(level) > depth) {
    ShowStatusText("超过设置的层了，返回。");
    return;
  }
  if (folderPath.empty()) {
    ShowStatusText("当前要获取的目录 参数为空，返回。");
    return;
  }
  if (!FolderCollector(run, folderPath, level, parentOrdersign).CollectAllPages()) {
    ShowStatusText(kStoppedText);
    return;
  }
  if (depth < 0) {
    return;
  }
  if (topMarker == kTopMarker) {
    RunDispatcher(run);
  }
}
