#include "jobs/apply_changes_batch.h"

// The batch apply runs four phases one after another: files whose plain name
// holds a file delete keyword are deleted, then folders likewise (their rows
// leave the cache), then files and folders are renamed in batches. SQL picks
// the candidate rows; every keyword reaches SQL as a bound parameter and is
// searched in the decoded name, never in its entity encoding. Deletions go
// out in groups and renames in batches of the size the main window sets.

#include <algorithm>
#include <mutex>
#include <vector>

#include "data/program_wide_objects.h"
#include "foundation/message_box.h"
#include "foundation/shared_locks.h"
#include "foundation/text_search.h"
#include "foundation/waits.h"
#include "jobs/cache_item_rows.h"
#include "jobs/keyword_entries.h"
#include "jobs/keyword_replacement_lists.h"
#include "jobs/listing_cache.h"
#include "jobs/name_legalisation.h"
#include "jobs/prefetch_run.h"
#include "jobs/rename_rule_options.h"
#include "jobs/rename_rules.h"
#include "jobs/rename_task_controls.h"
#include "platform/control_store.h"
#include "platform/desktop.h"
#include "web/delete_paths.h"
#include "web/main_window_controls.h"
#include "web/remote_name_text.h"
#include "web/rename_batch.h"
#include "web/rename_counters.h"
#include "web/rename_task_state.h"
#include "web/result_log.h"

namespace {

// A batch size box below 1 (or without a number) gives the default; the
// service takes at most 100 items per request.
constexpr int kDefaultBatchSize = 50;
constexpr int kMaxBatchSize = 100;
constexpr int kPassEndPauseMs = 10;
constexpr const char* kSpecifiedMarker = "---->";
constexpr const char* kUnchangedReason = "   失败原因：新文件名替换后为空或无变化，跳过修改。";

bool Checked(const char* name) {
  return GetControlStore().Checked(name);
}

std::string Number(const std::atomic<int>& counter) {
  return std::to_string(counter.load());
}

// Read again at every batch test, so a change takes effect at once.
size_t BatchSize() {
  const int size = EditBoxInteger(GetControlStore().Text(kBatchSizeEdit));
  return static_cast<size_t>(size < 1 ? kDefaultBatchSize : std::min(size, kMaxBatchSize));
}

// The counters every status line of this engine ends with.
std::string CountsTail() {
  return "   修改成功：" + Number(g_renamedCount) + "   修改失败：" + Number(g_renameFailedCount) +
         "   删除成功：" + Number(g_deletedCount) + "   删除失败：" + Number(g_deleteFailedCount) +
         "   未知状态：" + Number(g_unknownStateCount);
}

// A status line made under g_counterLock, so its counts belong to one instant.
void ShowCountsLine(const std::string& head) {
  std::lock_guard lock(g_counterLock);
  ShowStatusText(head + CountsTail());
}

std::string RowOfRows(int row, int rows) {
  return std::to_string(row) + "/ " + std::to_string(rows);
}

// A condition that holds when the decoded name contains any of the keywords.
// `shown` is the form the status line shows (keywords in their cache
// encoding), `sql` the one that runs (keywords bound as parameters).
struct KeywordCondition {
  std::string shown;
  std::string sql;
  SqlParameters parameters;
};

KeywordCondition AnyKeywordCondition(const TextArray& keywords, const std::string& prefix) {
  static const std::string plainName = DecodedCacheColumnSql("other_1");
  KeywordCondition condition;
  for (size_t i = 0; i < keywords.size(); ++i) {
    const char* tail = i + 1 < keywords.size() ? ">0 or " : ">0 ";
    const std::string parameter = ":" + prefix + std::to_string(i + 1);
    condition.shown += " instr(other_1,'" + EncodeCacheText(keywords[i]) + "')" + tail;
    condition.sql += " instr(" + plainName + "," + parameter + ")" + tail;
    condition.parameters.emplace_back(parameter, keywords[i]);
    PumpMessages();
  }
  return condition;
}

// The exclude (" and ...=0 ") or include (" and ...>0 ") condition on the
// whole box text, when its box is ticked and its text not empty.
void AddWholeBoxCondition(const char* box, const char* edit, const char* parameter,
                          const char* comparison, KeywordCondition& filter) {
  const std::string text = GetControlStore().Text(edit);
  if (!Checked(box) || text.empty()) {
    return;
  }
  filter.sql +=
      " and instr(" + DecodedCacheColumnSql("other_1") + "," + parameter + ")" + comparison + " ";
  filter.parameters.emplace_back(parameter, text);
}

// The replace keywords: the left sides of the specified lines, or the normal
// keywords; empty ones dropped.
TextArray ReplaceKeywords() {
  TextArray keywords;
  std::lock_guard lock(g_keywordRulesLock);
  if (g_keywordReplaceMode == kSpecifiedReplaceMode) {
    for (const std::string& line : g_specifiedReplacements) {
      keywords.push_back(TextLeftOfMarker(line, kSpecifiedMarker));
    }
  } else {
    keywords = g_replaceKeywords;
  }
  std::erase(keywords, std::string());
  return keywords;
}

bool OtherRenameRuleTicked() {
  for (const char* box : {kNewExtensionRuleBox, kPrefixRuleBox, kSuffixRuleBox,
                          kNumberPrefixRuleBox, kRegexDeletionRuleBox, kChineseDeletionRuleBox}) {
    if (Checked(box)) {
      return true;
    }
  }
  return false;
}

bool SameIgnoringAsciiCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && FindText(a, b, 1, true) == 1;
}

void RemoveCachedRow(const std::string& id) {
  std::lock_guard lock(g_cacheDbLock);
  bool prepared = false;
  SqliteStatement statement = g_cacheDb.Prepare("DELETE FROM list WHERE id=:id", prepared);
  if (prepared && statement.BindText(":id", id)) {
    statement.StepResult();  // a failed removal is ignored
  }
  statement.Finalize();
}

class BatchApply {
 public:
  explicit BatchApply(const AccountSession& session) : m_session(session) {}

  // False when a stop ended it (the end steps are then left out).
  bool Run();

 private:
  bool DeletePhase(bool folders);
  bool RenamePass(bool folders, bool keywordOnly, bool anyRule, const KeywordCondition& keywords,
                  const KeywordCondition& filter);
  bool AddRename(const CachedItem& item, std::string& pending, size_t& count);
  void BookUnchanged(const CachedItem& item, const std::string& newName) const;

  const AccountSession& m_session;
  LevelNumberPrefix m_numbers;  // one sequence across both rename passes
};

bool BatchApply::DeletePhase(bool folders) {
  const TextArray keywords = KeywordEntries(
      GetControlStore().Text(folders ? kDeleteFoldersKeywordsEdit : kDeleteFilesKeywordsEdit));
  if (!Checked(folders ? kDeleteFoldersBox : kDeleteFilesBox) || keywords.empty()) {
    return true;
  }
  const KeywordCondition condition = AnyKeywordCondition(keywords, "d");
  {
    std::lock_guard lock(g_counterLock);
    ShowStatusText((folders ? "正在查询需要删除的目录：" : "正在查询需要删除的文件：") +
                   condition.shown);
  }
  const std::string sql = std::string("select * from list where   type=") + (folders ? "1" : "0") +
                          "  and (" + condition.sql + ") order by lowernum desc,type asc";
  CacheQuery query = OpenCacheQuery(sql, condition.parameters);
  if (query.stopped) {
    return false;
  }
  std::vector<std::string> pending;
  for (int i = 1; i <= query.rowCount; ++i) {
    CachedItem item;
    const RowStep step = NextCachedItem(query, item);
    if (step == RowStep::kStopped) {
      return false;
    }
    if (step == RowStep::kEnd) {
      break;
    }
    pending.push_back(EncodeRemoteJsonText(item.path, false));
    RemoveCachedRow(item.id);
    ShowCountsLine("处理进度：正在提交删除文件：" + RowOfRows(i, query.rowCount));
    if (pending.size() >= BatchSize()) {
      DeleteRemotePaths(m_session, pending);
      pending.clear();
    }
    PumpMessages();
  }
  if (!pending.empty()) {
    DeleteRemotePaths(m_session, pending);
  }
  FinishCacheQuery(query);
  return true;
}

void BatchApply::BookUnchanged(const CachedItem& item, const std::string& newName) const {
  std::lock_guard lock(g_counterLock);
  ++g_renameFailedCount;
  AppendResultLogEntry(
      m_session.user, kLogRenameFailed,
      RemoteNameForDisplay(item.path) + "---->" + newName + kUnchangedReason + "\r\n");
}

// False when the row failed as unchanged or emptied (booked here).
bool BatchApply::AddRename(const CachedItem& item, std::string& pending, size_t& count) {
  const std::string number = m_numbers.Take(item.level);
  const std::string& source = item.escaped ? item.escapedName : item.plainName;
  const int folderFlag = item.kind == "1" ? 1 : 0;
  std::string newName = BuildNewName(source, 1, 0, folderFlag, number,
                                     item.escaped ? kEscapedNameVariant : kPlainNameVariant);
  if (newName == source) {
    BookUnchanged(item, newName);
    return false;
  }
  newName = MakeLegalName(newName);
  if (newName.empty()) {
    BookUnchanged(item, newName);
    return false;
  }
  const bool changed =
      item.escaped ? !SameIgnoringAsciiCase(newName, source) : newName != item.plainName;
  if (changed) {
    pending += MakeRenameBatchItem(item.fsId, item.path, newName);
    ++count;
  }
  return true;
}

bool BatchApply::RenamePass(bool folders, bool keywordOnly, bool anyRule,
                            const KeywordCondition& keywords, const KeywordCondition& filter) {
  {
    std::lock_guard lock(g_counterLock);
    ShowStatusText("正在查询需要修改的文件：" + keywords.shown);
  }
  const std::string kind = folders ? "1" : "0";
  CacheQuery query;
  // A keyword-only pass without keywords selects nothing.
  if (!keywordOnly || !keywords.sql.empty()) {
    SqlParameters parameters = keywordOnly ? keywords.parameters : SqlParameters{};
    parameters.insert(parameters.end(), filter.parameters.begin(), filter.parameters.end());
    const std::string sql = keywordOnly ? "select * from list where   type=" + kind + "  and (" +
                                              keywords.sql + ") " + filter.sql +
                                              " order by lowernum desc,type asc"
                                        : "select * from list where  type=" + kind + " " +
                                              filter.sql + " order by lowernum desc,id asc";
    query = OpenCacheQuery(sql, parameters);
    if (query.stopped) {
      return false;
    }
  }
  const char* head = folders ? "处理进度：正在提交修改文件夹：" : "处理进度：正在提交修改文件：";
  std::string pending;
  size_t count = 0;
  for (int i = 1; i <= query.rowCount && anyRule; ++i) {
    CachedItem item;
    const RowStep step = NextCachedItem(query, item);
    if (step == RowStep::kStopped) {
      return false;
    }
    if (step == RowStep::kEnd) {
      break;
    }
    ShowCountsLine(head + RowOfRows(i, query.rowCount));
    if (!AddRename(item, pending, count)) {
      continue;
    }
    if (count >= BatchSize()) {
      SubmitRenameBatch(m_session, pending, false);
      pending.clear();
      count = 0;
    }
    PumpMessages();
  }
  SubmitRenameBatch(m_session, pending, false);  // sends nothing without items
  FinishCacheQuery(query);
  ShowCountsLine("处理进度：执行完成！");
  WaitPumpingMessages(kPassEndPauseMs);
  PumpMessages();
  return true;
}

bool BatchApply::Run() {
  if (!DeletePhase(false) || !DeletePhase(true)) {
    return false;
  }
  const bool replace = Checked(kReplaceRuleBox);
  const bool others = OtherRenameRuleTicked();
  const KeywordCondition keywords =
      replace ? AnyKeywordCondition(ReplaceKeywords(), "k") : KeywordCondition{};
  KeywordCondition filter;
  AddWholeBoxCondition(kExcludeRuleBox, kExcludeKeywordsEdit, ":x", "=0", filter);
  AddWholeBoxCondition(kIncludeRuleBox, kIncludeKeywordsEdit, ":i", ">0", filter);
  const bool keywordOnly = replace && !others;
  const bool anyRule = replace || others;
  if (!Checked(kModifyFoldersOnlyRadio) &&
      !RenamePass(false, keywordOnly, anyRule, keywords, filter)) {
    return false;
  }
  if (!Checked(kModifyFilesOnlyRadio) &&
      !RenamePass(true, keywordOnly, anyRule, keywords, filter)) {
    return false;
  }
  return true;
}

}  // namespace

void ApplyChangesBatch(const AccountSession& session, int runNumber) {
  const RunThreadScope scope(runNumber);
  if (!scope.Live() || !BatchApply(session).Run()) {
    return;
  }
  GetDesktop().SetStatusPanel(kBatchStatusPanel, "");
  EndPrefetchCache();
}
