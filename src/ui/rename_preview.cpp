#include "ui/rename_preview.h"

#include <mutex>

#include "foundation/text_encodings.h"
#include "foundation/unicode_notation.h"
#include "jobs/keyword_replacement_lists.h"
#include "jobs/number_prefix_counter.h"
#include "jobs/rename_rule_options.h"
#include "jobs/rename_rules.h"
#include "platform/control_store.h"
#include "platform/desktop.h"
#include "ui/prompt_dialog.h"
#include "web/main_window_controls.h"

namespace {

// The typed name in the notation the escaped variant of the rules reads:
// letters, digits, blanks and punctuation as themselves, everything else as
// backslash-u escapes.
std::string EscapeTypedName(const std::string& name) {
  return EscapeToUnicodeNotation(TextToUtf16(name, true), true, true);
}

}  // namespace

RenamePreviewResults PreviewNewNames(const std::string& typedName) {
  const std::string escaped = EscapeTypedName(typedName);
  const ControlStore& store = GetControlStore();
  RenamePreviewResults results;
  if (!store.Enabled(kStartRenameButton)) {
    // A job runs: number on a counter of our own, so its numbers keep no gaps.
    const RenameRuleOptions options = ReadRenameRuleOptions(store);
    NumberPrefixCounter counter;
    counter.Reset(g_numberPrefixCounter.Text());
    std::lock_guard lock(g_keywordRulesLock);
    const KeywordLists lists{g_keywordReplaceMode, g_replaceKeywords, g_replacementWords,
                             g_specifiedReplacements};
    const RenameRuleSources sources{lists, counter, {}};
    const auto run = [&](int folderFlag) {
      return UnescapeToText(
          ApplyRenameRules(options, sources, escaped, 0, 0, folderFlag, {}, kEscapedNameVariant));
    };
    results.folder = run(1);
    results.file1 = run(0);
    results.file2 = run(0);
    return results;
  }
  const auto run = [&](int folderFlag) {
    return UnescapeToText(BuildNewName(escaped, 0, 0, folderFlag, {}, kEscapedNameVariant));
  };
  results.folder = run(1);
  results.file1 = run(0);
  results.file2 = run(0);
  return results;
}

std::string RenamePreviewText(const std::string& typedName, const RenamePreviewResults& results) {
  return "原文件名：\r\n" + typedName + "\r\n\r\n新文件名（1为目录，2\\3为文件）：\r\n" +
         results.folder + "\r\n" + results.file1 + "\r\n" + results.file2;
}

void ShowRenamePreview(int unused, int run, QWidget* owner) {
  (void)unused;
  if (run != 1) {
    return;
  }
  const ControlStore& store = GetControlStore();
  if (store.Checked(kChineseDeletionRuleBox) &&
      EditBoxInteger(store.Text(kChineseDeletionCountEdit)) <= 0) {
    ShowPlainMessageBox("选择了删除随机汉字，但未设置要删除的汉字数量。");
    return;
  }
  PromptDialogOptions options;
  options.title = "改名预览";
  options.message = "随便输入文件名，预览改名效果\r\n\r\n（按 修改条件 与 其他 中的设置）：";
  options.messageHeight = 48;  // all three lines of the prompt
  options.defaultText = "自己随便输入文件名，将根据设置做出改名预览.txt";
  g_promptText.clear();
  if (!ShowPromptDialog(options, owner)) {
    return;
  }
  const std::string typedName = g_promptText;
  ShowPlainMessageBox(RenamePreviewText(typedName, PreviewNewNames(typedName)));
}
