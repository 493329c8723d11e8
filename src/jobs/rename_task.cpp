#include "jobs/rename_task.h"

#include "foundation/message_box.h"
#include "foundation/shell_open.h"
#include "foundation/text_encodings.h"
#include "foundation/text_search.h"
#include "foundation/unicode_notation.h"
#include "foundation/waits.h"
#include "jobs/folder_traversal.h"
#include "jobs/name_legalisation.h"
#include "jobs/prefetch_run_hooks.h"
#include "jobs/rename_rule_options.h"
#include "jobs/rename_rules.h"
#include "jobs/rename_selection.h"
#include "jobs/rename_status_lines.h"
#include "jobs/rename_task_checks.h"
#include "jobs/rename_task_controls.h"
#include "platform/code_page_codec.h"
#include "platform/control_store.h"
#include "platform/desktop.h"
#include "web/folder_tree_model.h"
#include "web/main_window_controls.h"
#include "web/rename_counters.h"
#include "web/rename_item.h"
#include "web/rename_task_state.h"
#include "web/service_config.h"
#include "web/service_text.h"

ThreadHandle g_workerThread;
std::atomic<int> g_collectDepth{0};

namespace {

constexpr int kWorkerPollMs = 20;
constexpr int kLoopPauseMs = 10000;
constexpr int kCountdownStepMs = 1000;
constexpr int kPrefetchNoSuccessBoxMs = 15000;

constexpr const char* kNoSuccessText =
    "没有修改成功，请注意是否爆盘，或在网页上测试修改是否能成功。";
constexpr const char* kRootQuestion =
    "你勾选了根目录(***的网盘)，为了减少处理量，建议选择具体的子目录。\r\n\r\n"
    "此操作会需要更多的时间，是否继续？";
constexpr const char* kWholeDriveLine = "/   （根目录，网盘下的所有目录和文件）";
constexpr const char* kStartingPrefix = "开始修改： ";

enum class RunMode { kTickedItems, kTraversal, kPrefetch };

// Task threads started and not yet returned. Counted before the thread
// starts, so a loop restart never lets the count touch 0 between the old
// thread and the new one.
std::atomic<int> g_taskThreads{0};

void TaskThreadRoutine(int argument, const std::string&, const std::string&, const std::string&,
                       const std::string&) {
  RenameTaskThreadEntry(argument);
  --g_taskThreads;
}

ThreadHandle StartTaskThread(int argument) {
  ++g_taskThreads;
  ThreadHandle handle = StartThreadWithTexts(TaskThreadRoutine, argument);
  if (!handle) {
    --g_taskThreads;
  }
  return handle;
}

bool Checked(const char* name) {
  return GetControlStore().Checked(name);
}

// The status line for a text that may hold backslash-u escapes: written as
// Unicode text so that characters code page 936 cannot hold show.
void ShowEscapedStatus(const std::string& text) {
  ShowStatusText({}, CutUtf16AtNul(DecodeUnicodeEscapes(text)));
}

bool NothingRenamedButBusy() {
  return g_renamedCount.load() <= 0 && g_waitCount.load() >= 1;
}

class RenameTaskRun {
 public:
  explicit RenameTaskRun(int argument) : m_argument(argument), m_session(GetAccountSession()) {}

  // True when the task handed over to a restarted task (which now owns the
  // start button); false when it simply ended.
  bool Run();

 private:
  bool ChooseSelection(RunMode mode, RenameSelection& selection) const;
  bool RunTickedItems(const RenameSelection& selection) const;
  bool RunFolders(RunMode mode, const RenameSelection& selection);
  bool CommonEnd() const;
  bool CountDownAndRestart() const;

  const int m_argument;
  const AccountSession m_session;
};

bool RenameTaskRun::Run() {
  ControlStore& store = GetControlStore();
  if (!PassesStartChecks(m_session)) {
    return false;
  }
  store.SetEnabled(kStartRenameButton, false);
  ResetRenameRun();
  if (!PassesRuleChecks() || !LoadsKeywordRules()) {
    return false;
  }
  RunMode mode = RunMode::kTickedItems;
  if (!Checked(kTickedItemsOnlyRadio)) {
    store.SetEnabled(kStartRenameButton, false);
    mode = RunMode::kTraversal;
    if (Checked(kPrefetchBox)) {
      g_collectDepth = Checked(kNoSubfoldersRadio) ? 1 : 0;
      mode = RunMode::kPrefetch;
    }
  }
  RenameSelection selection;
  if (!ChooseSelection(mode, selection)) {
    return false;
  }
  return mode == RunMode::kTickedItems ? RunTickedItems(selection) : RunFolders(mode, selection);
}

bool RenameTaskRun::ChooseSelection(RunMode mode, RenameSelection& selection) const {
  const bool tickedItems = mode == RunMode::kTickedItems;
  selection = CollectRenameSelection(GetFolderTree().Items(), tickedItems);
  if (selection.rootTicked) {
    if ((tickedItems || m_argument != kRenameLoopRestart) &&
        ShowRenameTaskBox(kRootQuestion, kBoxYesNo | kBoxIconQuestion) != kBoxResultYes) {
      return false;
    }
    // Run mode A renames the other ticked items; the root itself is no item to
    // rename. The folder modes take the whole drive.
    if (!tickedItems) {
      selection.entries = {"/"};
      selection.confirmation = DecodeToUtf16(kWholeDriveLine, kCodePageLocal);
    }
  }
  if (selection.entries.empty()) {
    ShowRenameTaskBox(tickedItems
                          ? "没有勾选要修改的项目。"
                          : "没有勾选要修改的目录。批量处理功能只能处理目录，不能处理文件。",
                      kBoxIconInformation);
    return false;
  }
  if (m_argument == kRenameLoopRestart) {
    return true;
  }
  // The names as the service holds them: the box shows every character.
  const std::u16string question =
      DecodeToUtf16(tickedItems ? "确定针对勾选的：\r\n\r\n" : "确定针对勾选的\r\n\r\n",
                    kCodePageLocal) +
      selection.confirmation +
      DecodeToUtf16(tickedItems ? "\r\n\r\n 进行操作？" : "\r\n\r\n 目录进行操作？",
                    kCodePageLocal);
  return ShowTimedMessageBoxUtf16("提示：", Utf16ToLeBytes(question), 0,
                                  kBoxYesNo | kBoxIconQuestion) == kBoxResultYes;
}

bool RenameTaskRun::RunTickedItems(const RenameSelection& selection) const {
  bool first = true;
  for (const std::string& entry : selection.entries) {
    ShowEscapedStatus(kStartingPrefix + entry);
    int folderFlag = 0;
    std::string path;
    if (FindText(entry, kFolderKindWord) != -1) {
      folderFlag = 1;
      path = ReplaceAllText(entry, kFolderKindWord, "");
    } else if (FindText(entry, kFileKindWord) != -1) {
      path = ReplaceAllText(entry, kFileKindWord, "");
    } else {
      continue;
    }
    const size_t slash = entry.rfind('/');
    const std::string name = slash == std::string::npos ? entry : entry.substr(slash + 1);
    // The ticked items are numbered in one sequence, in tree order, from the
    // start value on.
    std::string newName = RestoreEncodedPunctuation(LegalNewName(
        name, BuildNewName(name, first ? 1 : 0, 0, folderFlag, "", kEscapedNameVariant)));
    first = false;
    RenameRemoteItem(m_session, path, newName, folderFlag == 1, "");
  }
  ShowStatusText(RenameSummaryLine());
  GetDesktop().SetStatusPanel(kBatchStatusPanel, "");
  ShowRenameTaskBox(
      NothingRenamedButBusy() ? kNoSuccessText : "修改完成，请点击 刷新根目录 按钮进行查看结果。",
      kBoxIconInformation);
  return false;
}

bool RenameTaskRun::RunFolders(RunMode mode, const RenameSelection& selection) {
  const AccountSession session = m_session;
  const ThreadRoutine worker =
      mode == RunMode::kPrefetch
          ? ThreadRoutine([session](int, const std::string& folder, const std::string&,
                                    const std::string&,
                                    const std::string&) { RunPrefetchRun(session, folder); })
          : ThreadRoutine([session](int, const std::string& folder, const std::string&,
                                    const std::string&,
                                    const std::string&) { ProcessRemoteFolder(session, folder); });
  for (const std::string& path : selection.entries) {
    if (RenameStopRequested()) {
      break;
    }
    if (FindText(path, "\\u") != -1) {
      ShowEscapedStatus(kStartingPrefix + path);
    } else {
      ShowStatusText(kStartingPrefix + path);
    }
    const ThreadHandle handle = StartThreadWithTexts(worker, 0, path);
    g_workerThread = handle;
    const auto ended = [handle] { return IsThreadRunning(handle) != 1; };
    while (!ended()) {
      WaitPumpingMessages(kWorkerPollMs, kWaitMilliseconds, ended);
      PumpMessages();
    }
    WaitPumpingMessages(kWorkerPollMs, kWaitMilliseconds, RenameStopRequested);
    PumpMessages();
  }
  if (mode == RunMode::kTraversal) {
    ShowStatusText(RenameSummaryLine());
    GetDesktop().SetStatusPanel(kBatchStatusPanel, "");
    if (Checked(kPrefetchBox)) {
      EndListingCache();
    }
    if (NothingRenamedButBusy()) {
      ShowRenameTaskBox(kNoSuccessText, kBoxIconInformation);
      return false;
    }
    return CommonEnd();
  }
  // Every thread of the prefetch runs has ended: their cache can go.
  EndListingCache();
  if (NothingRenamedButBusy()) {
    ShowRenameTaskBox(kNoSuccessText, kBoxIconInformation, kPrefetchNoSuccessBoxMs);
    return false;
  }
  GetDesktop().SetStatusPanel(kBatchStatusPanel, "");
  return CommonEnd();
}

bool RenameTaskRun::CommonEnd() const {
  // Nothing counted as handled (the batch engine counts no items): the rows
  // collected over every ticked folder of the task stand in.
  if (g_processedCount.load() <= 0) {
    g_processedCount = g_collectedTotal.load();
  }
  if (m_argument == kRenameFirstRun) {
    ShowRenameTaskBox(RenameCountsBoxText(), kBoxIconInformation);
  }
  return Checked(kLoopBox) && CountDownAndRestart();
}

bool RenameTaskRun::CountDownAndRestart() const {
  ControlStore& store = GetControlStore();
  const auto stopped = [] { return RenameStopRequested() || !Checked(kLoopBox); };
  WaitPumpingMessages(kLoopPauseMs, kWaitMilliseconds, stopped);
  const int seconds = EditBoxInteger(store.Text(kLoopWaitEdit));
  for (int i = 1; i <= seconds; ++i) {
    const int limit = EditBoxInteger(store.Text(kLoopWaitEdit));
    if (i >= limit || stopped()) {
      break;
    }
    ShowStatusText("已在 改名前提条件中 开启 循环改名功能，将在 " + std::to_string(limit - i) +
                   "秒 后重新执行改名任务，请一定保持现有改名参数和已勾选的目录，不要做任何变动。");
    WaitPumpingMessages(kCountdownStepMs, kWaitMilliseconds, stopped);
    PumpMessages();
  }
  if (stopped()) {
    return false;
  }
  return StartTaskThread(kRenameLoopRestart) != nullptr;
}

}  // namespace

void OnStartRenameClicked() {
  ControlStore& store = GetControlStore();
  if (!store.Enabled(kStartRenameButton)) {
    return;
  }
  store.SetEnabled(kStartRenameButton, false);
  const int argument = store.Checked(kLoopBox) ? kRenameFirstLoopRun : kRenameFirstRun;
  if (!StartTaskThread(argument)) {
    store.SetEnabled(kStartRenameButton, true);
  }
}

bool RenameTaskThreadsEnded() {
  return g_taskThreads.load() == 0;
}

void RenameTaskThreadEntry(int argument) {
  RunRenameTask(argument);
}

void RunRenameTask(int argument) {
  if (!RenameTaskRun(argument).Run()) {
    GetControlStore().SetEnabled(kStartRenameButton, true);
  }
}

std::string RenameTutorialUrl() {
  return "https://" + GetServiceConfig().updateHost + "/help/rename-tutorial.html";
}

void OnRenameTutorialLinkClicked() {
  OpenWebPage(RenameTutorialUrl());
}
