#include "jobs/apply_changes_per_item.h"

#include <mutex>

#include "foundation/message_box.h"
#include "foundation/shared_locks.h"
#include "foundation/text_search.h"
#include "foundation/waits.h"
#include "jobs/cache_item_rows.h"
#include "jobs/folder_traversal.h"
#include "jobs/keyword_entries.h"
#include "jobs/name_legalisation.h"
#include "jobs/prefetch_run.h"
#include "jobs/rename_rules.h"
#include "jobs/rename_status_lines.h"
#include "jobs/rename_task_controls.h"
#include "platform/control_store.h"
#include "platform/desktop.h"
#include "web/delete_paths.h"
#include "web/main_window_controls.h"
#include "web/remote_name_text.h"
#include "web/rename_counters.h"
#include "web/rename_task_state.h"

namespace {

// Every row, deepest level first, so that a folder's entries come before it.
constexpr const char* kAllRowsSql = "select * from list where id>0  order by lowernum desc";

bool Checked(const char* name) {
  return GetControlStore().Checked(name);
}

class PerItemApply {
 public:
  explicit PerItemApply(const AccountSession& session) : m_session(session) {}

  void Run();

 private:
  bool DeletedByKeyword(const CachedItem& item) const;
  void Rename(const CachedItem& item);

  const AccountSession& m_session;
  LevelNumberPrefix m_numbers;
};

// The item is deleted when its plain name holds a delete keyword of its kind.
bool PerItemApply::DeletedByKeyword(const CachedItem& item) const {
  const bool file = item.kind == "0";
  if (!Checked(file ? kDeleteFilesBox : kDeleteFoldersBox)) {
    return false;
  }
  const std::string box =
      GetControlStore().Text(file ? kDeleteFilesKeywordsEdit : kDeleteFoldersKeywordsEdit);
  for (const std::string& keyword : KeywordEntries(box)) {
    if (FindText(item.plainName, keyword) == -1) {
      PumpMessages();
      continue;
    }
    {
      std::lock_guard lock(g_counterLock);
      ++g_processedCount;
      ShowStatusText(TraversalProgressLine());
    }
    DeleteRemotePaths(m_session, {EncodeRemoteJsonText(item.path, false)});
    return true;
  }
  return false;
}

void PerItemApply::Rename(const CachedItem& item) {
  const std::string number = m_numbers.Take(item.level);
  const int folderFlag = item.kind == "1" ? 1 : 0;
  const std::string newName =
      item.escaped ? RestoreEncodedPunctuation(LegalNewName(
                         item.escapedName, BuildNewName(item.escapedName, 1, 0, folderFlag, number,
                                                        kEscapedNameVariant)))
                   : BuildNewName(item.plainName, 1, 0, folderFlag, number, kPlainNameVariant);
  {
    std::lock_guard lock(g_counterLock);
    ++g_processedCount;
    ShowStatusText(CollectedProgressLine());
  }
  const bool all = Checked(kModifyAllRadio);
  const bool wanted = folderFlag == 1 ? all || Checked(kModifyFoldersOnlyRadio)
                                      : all || Checked(kModifyFilesOnlyRadio);
  if (wanted) {
    // The plain route names the item by its decoded path, so that the
    // unchanged test compares the plain name exactly, as the new name was
    // built from it.
    const std::string path = item.escaped ? item.path : DecodeListedText(item.path);
    RenameListedItem(m_session, path, newName, folderFlag, item.fsId);
  }
}

void PerItemApply::Run() {
  CacheQuery query = OpenCacheQuery(kAllRowsSql);
  if (query.stopped) {
    return;
  }
  if (!query.prepared) {
    ShowPlainMessageBox("查询采集结果数据库失败。");
    return;
  }
  for (int i = 1; i <= query.rowCount; ++i) {
    CachedItem item;
    const RowStep step = NextCachedItem(query, item);
    if (step == RowStep::kStopped) {
      return;
    }
    if (step == RowStep::kEnd) {
      break;
    }
    if (!DeletedByKeyword(item)) {
      Rename(item);
      PumpMessages();
    }
  }
  FinishCacheQuery(query);
  ShowStatusText(PerItemSummaryLine());
  GetDesktop().SetStatusPanel(kBatchStatusPanel, "");
  EndPrefetchCache();
}

}  // namespace

void ApplyChangesPerItem(const AccountSession& session, int runNumber) {
  const RunThreadScope scope(runNumber);
  if (!scope.Live()) {
    return;
  }
  PerItemApply(session).Run();
}
