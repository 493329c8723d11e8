#include "ui/option_guards.h"

#include <string>

#include "foundation/message_box.h"
#include "foundation/waits.h"
#include "jobs/prefetch_run.h"
#include "jobs/rename_rule_options.h"
#include "jobs/rename_task.h"
#include "jobs/rename_task_controls.h"
#include "platform/control_store.h"
#include "platform/desktop.h"
#include "ui/prompt_dialog.h"
#include "web/main_window_controls.h"
#include "web/rename_task_state.h"

std::string g_keywordPanelMode;

namespace {

constexpr const char* kNotice = "提示：";
constexpr const char* kChangeBeforeStart = "任务开始前修改才会生效。";
constexpr std::int64_t kGuardTimeoutMs = 7000;
constexpr std::int64_t kStopFirstWaitMs = 1000;
constexpr std::int64_t kStopPollMs = 100;

constexpr const char* kFilesMode = "删除文件关键词";
constexpr const char* kFoldersMode = "删除目录关键词";
constexpr const char* kFilesMarker = "删除包含关键词的文件 的关键词";
constexpr const char* kFoldersMarker = "删除包含关键词的目录 的关键词";

bool RenameJobRuns(const ControlStore& store) {
  return !store.Enabled(kStartRenameButton);
}

void UndoClick(ControlStore& store, std::string_view box) {
  store.SetChecked(box, !store.Checked(box));
  ShowTimedMessageBox(kNotice, kChangeBeforeStart, kGuardTimeoutMs, kBoxIconInformation);
}

void OnPrefetchBoxClicked(ControlStore& store) {
  if (RenameJobRuns(store)) {
    UndoClick(store, kPrefetchBox);
  } else if (!store.Checked(kPrefetchBox)) {
    store.SetChecked(kFastModeBox, false);
  }
}

void OnFastModeBoxClicked(ControlStore& store) {
  if (RenameJobRuns(store)) {
    UndoClick(store, kFastModeBox);
    return;
  }
  store.SetChecked(kPrefetchBox, true);
  if (store.Checked(kFastModeBox)) {
    ShowTimedMessageBox(kNotice,
                        "此模式时，修改失败数量可能不准（百度可能会将修改成功的标识为失败），"
                        "如非必要，不建议启用此功能。",
                        kGuardTimeoutMs, kBoxIconInformation);
  }
}

std::string LowerAsciiLetters(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') {
      c = static_cast<char>(c - 'A' + 'a');
    }
  }
  return text;
}

}  // namespace

void OnOptionBoxClicked(std::string_view boxName, QWidget* owner) {
  ControlStore& store = GetControlStore();
  if (boxName == kReplaceRuleBox) {
    if (store.Checked(kReplaceRuleBox)) {
      ShowTimedMessageBox(kNotice, "请自行确认设置的要替换的关键词正确。", 0, kBoxIconInformation);
    }
  } else if (boxName == kDeleteFilesBox) {
    if (store.Checked(kDeleteFilesBox)) {
      ShowTimedMessageBox(kNotice,
                          "此操作会删除包含关键词的文件，不会删除任何目录，删除后不能找回，"
                          "请确认后再启用。",
                          20000, kBoxIconWarning);
    }
  } else if (boxName == kPrefetchBox) {
    OnPrefetchBoxClicked(store);
  } else if (boxName == kFastModeBox) {
    OnFastModeBoxClicked(store);
  } else if (boxName == kDeleteFoldersBox || boxName == kRegexDeletionRuleBox) {
    ConfirmByTypingDel(boxName, owner);
  }
}

void ConfirmByTypingDel(std::string_view boxName, QWidget* owner) {
  ControlStore& store = GetControlStore();
  if (!store.Checked(boxName)) {
    return;
  }
  PromptDialogOptions options;
  if (boxName == kDeleteFoldersBox) {
    options.title = "再次确认删除：";
    options.message =
        "\r\n手动在下方输入字符 'del' (不含'号)，以确定删除目录。\r\n\r\n"
        "此操作会删除目录下的所有文件，请谨慎选择！\r\n\r\n";
  } else if (boxName == kRegexDeletionRuleBox) {
    options.title = "再次确认启用正则：";
    options.message =
        "\r\n手动在下方输入字符 'del' (不含'号)，确认启用正则删除。\r\n\r\n"
        "如果不熟悉正则匹配，请联系客服！\r\n";
  } else {
    return;
  }
  options.editHeight = 24;
  g_promptText.clear();
  if (!ShowPromptDialog(options, owner)) {
    store.SetChecked(boxName, false);
    return;
  }
  if (LowerAsciiLetters(g_promptText) != "del") {
    store.SetChecked(boxName, false);
    ShowTimedMessageBox(kNotice, "确认错误。需要输入的是 del ", 0, kBoxIconWarning);
  }
}

bool FillKeywordPanel(std::string_view keywordBoxName) {
  ControlStore& store = GetControlStore();
  if (keywordBoxName == kDeleteFilesKeywordsEdit) {
    g_keywordPanelMode = kFilesMode;
    store.SetText(kKeywordPanelPrompt, "填入 删除包含关键词的文件 的关键词，英文,分隔：");
  } else if (keywordBoxName == kDeleteFoldersKeywordsEdit) {
    g_keywordPanelMode = kFoldersMode;
    store.SetText(kKeywordPanelPrompt, "填入 删除包含关键词的目录 的关键词，英文,分隔：");
  } else {
    return false;
  }
  store.SetText(kKeywordPanelEdit, store.Text(keywordBoxName));
  return true;
}

void CloseKeywordPanel() {
  ControlStore& store = GetControlStore();
  store.SetVisible(kKeywordPanelGroup, false);
  const char* target = nullptr;
  const char* marker = nullptr;
  if (g_keywordPanelMode == kFoldersMode) {
    target = kDeleteFoldersKeywordsEdit;
    marker = kFoldersMarker;
  } else if (g_keywordPanelMode == kFilesMode) {
    target = kDeleteFilesKeywordsEdit;
    marker = kFilesMarker;
  } else {
    return;
  }
  if (store.Text(kKeywordPanelPrompt).find(marker) != std::string::npos) {
    store.SetText(target, store.Text(kKeywordPanelEdit));
  }
}

void StopRenameJob() {
  ControlStore& store = GetControlStore();
  if (!RenameJobRuns(store)) {
    return;
  }
  if (ShowTimedMessageBox(kNotice, "确定停止？", 0, kBoxYesNo | kBoxIconQuestion) !=
      kBoxResultYes) {
    return;
  }
  g_renameStopRequested = true;
  store.SetChecked(kLoopBox, false);
  if (!store.Checked(kPrefetchBox)) {
    return;
  }
  // The run's threads stop at their next test of the flag. The cache is
  // ended once none of them uses it any more, and a new task may start only
  // once the task itself has ended too: a task stopped before its run opened
  // a cache would otherwise go on beside the next one.
  WaitPumpingMessages(kStopFirstWaitMs);
  store.SetEnabled(kStartRenameButton, false);
  CacheEndReport report = EndPrefetchCache();
  while (!report.threadsEnded || !RenameTaskThreadsEnded()) {
    WaitPumpingMessages(kStopPollMs);
    report = EndPrefetchCache();
  }
  store.SetEnabled(kStartRenameButton, true);
  ShowStatusText("已手动停止。");
  ShowTimedMessageBox("停止：", report.rollbackResult == 0 ? "停止成功" : "停止失败", 0,
                      kBoxIconInformation);
}
