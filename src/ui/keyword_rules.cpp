#include "ui/keyword_rules.h"

#include <mutex>

#include "foundation/blank_lines.h"
#include "foundation/common_dialogs.h"
#include "foundation/file_system_path.h"
#include "foundation/files_and_paths.h"
#include "foundation/message_box.h"
#include "foundation/run_directory.h"
#include "foundation/shared_locks.h"
#include "foundation/text_arrays.h"
#include "foundation/text_encodings.h"
#include "foundation/text_file_encoding.h"
#include "jobs/keyword_replacement_lists.h"
#include "platform/control_store.h"
#include "platform/desktop.h"
#include "platform/staged_file.h"
#include "web/http_text_util.h"

namespace {

// Stages the new text, moves the old file to the backup name (never over an
// existing backup; a failed move is no error) and renames the new text into
// place. Caller holds g_logFileLock.
bool WriteRulesKeepingBackup(const std::string& path, const std::string& text) {
  StagedFile staged;
  if (!staged.Write(FileSystemPathFromText(path), text)) {
    return false;
  }
  const std::string backup = RunDirectoryPath(kKeywordRulesBackupName);
  const bool movedToBackup = MoveFileChecked(path, backup);
  if (staged.Commit()) {
    return true;
  }
  if (movedToBackup) {
    MoveFileChecked(backup, path);  // the old file back in its place
  }
  return false;
}

}  // namespace

void LoadKeywordRules(ControlStore& store) {
  const KeywordRulesTexts texts = ReadKeywordRulesTexts(RunDirectoryPath(kKeywordRulesFileName));
  const bool specified = texts.mode == kSpecifiedReplaceMode;
  store.SetChecked(kSpecifiedModeRadio, specified);
  store.SetChecked(kNormalModeRadio, !specified);
  store.SetText(kNormalKeywordsEdit, texts.replaceKeywords);
  store.SetText(kReplacementWordsEdit, texts.replacementWords);
  store.SetText(kSpecifiedRulesEdit, texts.specifiedReplacements.empty()
                                         ? std::string(kEmptyRulesTemplate)
                                         : texts.specifiedReplacements);
}

void SaveKeywordRules(ControlStore& store) {
  KeywordRulesTexts texts;
  texts.mode = store.Checked(kSpecifiedModeRadio) ? kSpecifiedReplaceMode : kNormalReplaceMode;
  texts.replaceKeywords = store.Text(kNormalKeywordsEdit);
  texts.replacementWords = store.Text(kReplacementWordsEdit);
  texts.specifiedReplacements = store.Text(kSpecifiedRulesEdit);
  bool written = false;
  {
    std::lock_guard lock(g_logFileLock);
    written = WriteRulesKeepingBackup(RunDirectoryPath(kKeywordRulesFileName),
                                      KeywordRulesFileText(texts));
  }
  if (written) {
    ShowTimedMessageBox("提示：", "保存成功。任务开启之前保存此设置有效。", 0, kBoxIconInformation);
  } else {
    ShowTimedMessageBox("提示：", "保存失败了。", 0, kBoxIconWarning);
  }
}

void ImportKeywordsFromTextFile(ControlStore& store, const std::string& path) {
  std::string chosen = path;
  if (chosen.empty()) {
    chosen = CommonDialogs().OpenFile(false, {}, {}, "文本文件|*.txt", GetRunDirectory());
    if (chosen.empty()) {
      return;
    }
  }
  std::string text = ReadFileTextToZero(chosen);
  if (DetectTextFileEncoding(chosen) == kTextFileUtf8) {
    text = DecodeUtf8Text(SkipUtf8ByteOrderMark(text));
  }
  text = RemoveBlankLines(text);
  const std::string current = store.Text(kReplacementWordsEdit);
  const std::string joined = current.empty() ? text : current + "\r\n" + text;
  store.SetText(kReplacementWordsEdit, joined);
  TextArray words = SplitItems(joined, "\r\n");
  RemoveDuplicates(words);
  ShowTimedMessageBox("提示：",
                      "统一模式，要替换的关键词去重后数量：" + std::to_string(words.size()), 10000,
                      kBoxIconInformation);
}

void InsertRuleTemplate(ControlStore& store) {
  const std::string rules = store.Text(kSpecifiedRulesEdit);
  if (rules.find(kNewRuleTemplate) != std::string::npos) {
    ShowTimedMessageBox("提示：", "已有新规则，设置后再添加。", 5000, kBoxIconInformation);
    return;
  }
  store.SetText(kSpecifiedRulesEdit,
                rules.empty() ? std::string(kNewRuleTemplate) : rules + "\r\n" + kNewRuleTemplate);
}
