#include "jobs/rename_task_checks.h"

#include <string>

#include "foundation/date_time.h"
#include "foundation/message_box.h"
#include "foundation/screen_scaling.h"
#include "foundation/shared_locks.h"
#include "jobs/keyword_entries.h"
#include "jobs/keyword_replacement_lists.h"
#include "jobs/keyword_rules_file.h"
#include "jobs/number_prefix_counter.h"
#include "jobs/rename_rule_options.h"
#include "jobs/rename_rules.h"
#include "jobs/rename_task_controls.h"
#include "platform/control_store.h"
#include "platform/desktop.h"
#include "web/main_window_controls.h"
#include "web/rename_counters.h"
#include "web/rename_task_state.h"

namespace {

bool Checked(const char* name) {
  return GetControlStore().Checked(name);
}

bool Empty(const std::string& text) {
  return text.empty();
}

bool BelowOne(const std::string& text) {
  return EditBoxInteger(text) < 1;
}

bool NoKeyword(const std::string& text) {
  return KeywordEntries(text).empty();
}

struct FastModeRule {
  const char* box;
  const char* question;
};

// The rules fast mode cannot apply, in the order they are asked about.
const FastModeRule kFastModeRules[] = {
    {kNumberPrefixRuleBox,
     "快速改名模式时，暂时不支持 自动增加数字序号前缀 功能。\r\n\r\n是否使用普通模式继续？"},
    {kRegexDeletionRuleBox,
     "快速改名模式时，暂时不支持 正则删除等 功能。\r\n\r\n是否使用普通模式继续？"},
    {kChineseDeletionRuleBox,
     "快速改名模式时，暂时不支持 删除包含的随机中文汉字 功能。\r\n\r\n是否使用普通模式继续？"},
};

// Check 6: any of these ticked.
const char* const kRuleBoxes[] = {
    kNewExtensionRuleBox,  kPrefixRuleBox,  kNumberPrefixRuleBox,
    kSuffixRuleBox,        kReplaceRuleBox, kChineseDeletionRuleBox,
    kRegexDeletionRuleBox, kDeleteFilesBox, kDeleteFoldersBox,
};

struct RuleText {
  const char* box;
  const char* edit;
  bool (*missing)(const std::string& text);
  const char* message;
};

// Check 7, in order; the first failing row decides.
const RuleText kRuleTexts[] = {
    {kNewExtensionRuleBox, kNewExtensionEdit, Empty, "请填写要修改的后缀名。"},
    {kPrefixRuleBox, kPrefixEdit, Empty, "请填写要增加的前缀。"},
    {kSuffixRuleBox, kSuffixEdit, Empty, "请填写要增加的后缀。"},
    {kChineseDeletionRuleBox, kChineseDeletionCountEdit, BelowOne,
     "请填写要删除的汉字数量，是数字。"},
    {kRegexDeletionRuleBox, kRegexDeletionEdit, Empty, "请填写正式表达式。"},
    {kDeleteFilesBox, kDeleteFilesKeywordsEdit, NoKeyword,
     "启用了删除文件，但是没有设置要删除的关键词。"},
    {kDeleteFoldersBox, kDeleteFoldersKeywordsEdit, NoKeyword,
     "启用了删除目录，但是没有设置要删除的关键词。"},
};

}  // namespace

int ShowRenameTaskBox(const std::string& text, int type, int timeoutMs) {
  return ShowTimedMessageBox("提示：", text, timeoutMs, type);
}

bool PassesStartChecks(const AccountSession& session) {
  ControlStore& store = GetControlStore();
  if (session.cookies.empty()) {
    ShowRenameTaskBox("请先双击或右键选择要操作的百度帐号cookies.", kBoxIconInformation);
    store.SetSelection(kMainPages, kAccountPage);
    return false;
  }
  if (!CanSendFileOperations(session)) {
    ShowRenameTaskBox(kSignInAgainNotice, kBoxIconWarning);
    store.SetSelection(kMainPages, kAccountPage);
    return false;
  }
  if (Checked(kChineseDeletionRuleBox) && BelowOne(store.Text(kChineseDeletionCountEdit))) {
    ShowRenameTaskBox("选择了删除随机汉字，但未设置要删除的汉字数量。", kBoxIconInformation);
    FlashControlOutline(kChineseDeletionCountEdit);
    return false;
  }
  if (!Checked(kFastModeBox)) {
    return true;
  }
  if (!Checked(kPrefetchBox)) {
    ShowRenameTaskBox("快速改名模式时，必须启用预读取所有文件模式。", kBoxIconInformation);
    store.SetSelection(kMainPages, kPreconditionsPage);
    return false;
  }
  for (const FastModeRule& rule : kFastModeRules) {
    if (!Checked(rule.box)) {
      continue;
    }
    if (ShowRenameTaskBox(rule.question, kBoxYesNo | kBoxIconQuestion) != kBoxResultYes) {
      return false;
    }
    store.SetChecked(kPrefetchBox, false);
    store.SetChecked(kFastModeBox, false);
  }
  return true;
}

void ResetRenameRun() {
  ZeroRenameCounters();
  g_numberPrefixCounter.Reset();
  ForgetReportedRegexFailure();
  g_renameStopRequested = false;
  std::lock_guard lock(g_counterLock);
  g_renameTaskStamp = MakeLocalStampText();
}

bool PassesRuleChecks() {
  bool anyRule = false;
  for (const char* box : kRuleBoxes) {
    anyRule = anyRule || Checked(box);
  }
  if (!anyRule) {
    ShowRenameTaskBox("没有勾选要修改的改名规则。", kBoxIconWarning);
    return false;
  }
  for (const RuleText& rule : kRuleTexts) {
    if (Checked(rule.box) && rule.missing(GetControlStore().Text(rule.edit))) {
      ShowRenameTaskBox(rule.message, kBoxIconWarning);
      FlashControlOutline(rule.edit);
      return false;
    }
  }
  return true;
}

bool LoadsKeywordRules() {
  if (!Checked(kReplaceRuleBox)) {
    return true;
  }
  const KeywordRulesFileValues values = LoadKeywordRulesFile();
  if (values.mode == kSpecifiedReplaceMode) {
    if (values.specifiedReplacements.empty()) {
      ShowRenameTaskBox(
          "选择了关键词替换，但是未设置要指定替换的关键词，设置完成后需要保存才会生效。",
          kBoxIconInformation);
      return false;
    }
  } else if (values.replaceKeywords.empty()) {
    ShowRenameTaskBox(
        "选择了关键词替换，但是未设置普通要批量替换的关键词，设置完成后需要保存才会生效。",
        kBoxIconInformation);
    return false;
  }
  return true;
}
