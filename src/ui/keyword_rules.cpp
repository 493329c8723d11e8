#include "ui/keyword_rules.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <mutex>

#include "data/json_document.h"
#include "foundation/blank_lines.h"
#include "foundation/file_system_path.h"
#include "foundation/files_and_paths.h"
#include "foundation/message_box.h"
#include "foundation/run_directory.h"
#include "foundation/shared_locks.h"
#include "foundation/text_arrays.h"
#include "foundation/text_encodings.h"
#include "foundation/text_file_encoding.h"
#include "jobs/keyword_replacement_lists.h"
#include "jobs/keyword_rules_file.h"
#include "platform/code_page_codec.h"
#include "platform/control_store.h"
#include "platform/desktop.h"
#include "platform/staged_file.h"
#include "web/http_text_util.h"

namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

std::string ReadBytesToZero(const std::string& path) {
  std::string bytes;
  std::ifstream file(FileSystemPathFromText(path), std::ios::binary);
  if (file) {
    bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  }
  if (const std::size_t zero = bytes.find('\0'); zero != std::string::npos) {
    bytes.resize(zero);
  }
  return bytes;
}

// A JSON string literal of code page 936 text; steps whole characters, since
// a second byte may look like a backslash.
std::string JsonString(std::string_view text) {
  std::string out = "\"";
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = Cp936CharLength(text, i);
    if (length > 1) {
      out.append(text.substr(i, length));
      i += length;
      continue;
    }
    const unsigned char c = static_cast<unsigned char>(text[i++]);
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (c < 0x20) {
          char escape[8];
          std::snprintf(escape, sizeof escape, "\\u%04X", c);
          out += escape;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  out += '"';
  return out;
}

}  // namespace

std::string KeywordRulesFileText(const KeywordRulesTexts& texts) {
  const std::string mode =
      texts.mode == kSpecifiedReplaceMode ? kSpecifiedReplaceMode : kNormalReplaceMode;
  return "{" + JsonString("替换方式") + ":" + JsonString(mode) + "," +
         JsonString("普通要被替换的词") + ":" + JsonString(texts.replaceKeywords) + "," +
         JsonString("普通用于替换的词") + ":" + JsonString(texts.replacementWords) + "," +
         JsonString("指定替换的词") + ":" + JsonString(texts.specifiedReplacements) + "}";
}

KeywordRulesTexts ReadKeywordRulesTexts(const std::string& path) {
  std::string bytes = ReadBytesToZero(path);
  JsonDocument document;
  bool parsed = false;
  if (!bytes.empty()) {
    if (DetectTextFileEncoding(path) == kTextFileUtf8) {
      if (bytes.starts_with(kUtf8ByteOrderMark)) {
        bytes.erase(0, kUtf8ByteOrderMark.size());
      }
      parsed = document.ParseUtf8(bytes);
    } else {
      parsed = document.Parse(bytes);
    }
  }
  KeywordRulesTexts texts;
  texts.mode = kNormalReplaceMode;
  if (!parsed) {
    return texts;
  }
  if (document.GetText("替换方式") == kSpecifiedReplaceMode) {
    texts.mode = kSpecifiedReplaceMode;
  }
  texts.replaceKeywords = document.GetText("普通要被替换的词");
  texts.replacementWords = document.GetText("普通用于替换的词");
  texts.specifiedReplacements = document.GetText("指定替换的词");
  return texts;
}

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
  const std::string path = RunDirectoryPath(kKeywordRulesFileName);
  bool written = false;
  {
    std::lock_guard lock(g_logFileLock);
    // The backup is made once: the move never replaces an existing backup.
    // It is a copy, so "keyreplace.ini" never goes missing for a reader.
    const std::string backup = RunDirectoryPath(kKeywordRulesBackupName);
    if (!FileExists(backup) && FileExists(path)) {
      (void)WriteFileReplacing(backup, ReadBytesToZero(path));
    }
    written = WriteFileReplacing(path, KeywordRulesFileText(texts));
  }
  if (written) {
    ShowTimedMessageBox("提示：", "保存成功。任务开启之前保存此设置有效。", 0, kBoxIconInformation);
  } else {
    ShowTimedMessageBox("提示：", "保存失败了。", 0, kBoxIconWarning);
  }
}

void ImportKeywordsFromTextFile(ControlStore& store, const std::string& path) {
  std::string text = ReadBytesToZero(path);
  if (DetectTextFileEncoding(path) == kTextFileUtf8) {
    if (text.starts_with(kUtf8ByteOrderMark)) {
      text.erase(0, kUtf8ByteOrderMark.size());
    }
    text = DecodeUtf8Text(text);
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
