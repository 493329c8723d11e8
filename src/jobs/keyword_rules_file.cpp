#include "jobs/keyword_rules_file.h"

#include <cstdio>
#include <mutex>

#include "data/json_document.h"
#include "data/json_text_file.h"
#include "foundation/files_and_paths.h"
#include "foundation/run_directory.h"
#include "jobs/keyword_replacement_lists.h"
#include "platform/code_page_codec.h"
#include "web/http_text_util.h"

namespace {

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
        // The reader turns "\n" into CR LF unless a CR stands before it: a
        // lone LF goes out as its code, which reads back as itself.
        out += i >= 2 && text[i - 2] == '\r' ? "\\n" : "\\u000A";
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

KeywordRulesTexts ReadKeywordRulesTexts(const std::string& path) {
  const std::string bytes = ReadFileTextToZero(path);
  JsonDocument document;
  bool parsed = false;
  if (!bytes.empty()) {
    parsed = ParseJsonFileText(document, path, bytes);
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

std::string KeywordRulesFileText(const KeywordRulesTexts& texts) {
  const std::string mode =
      texts.mode == kSpecifiedReplaceMode ? kSpecifiedReplaceMode : kNormalReplaceMode;
  return "{" + JsonString("替换方式") + ":" + JsonString(mode) + "," +
         JsonString("普通要被替换的词") + ":" + JsonString(texts.replaceKeywords) + "," +
         JsonString("普通用于替换的词") + ":" + JsonString(texts.replacementWords) + "," +
         JsonString("指定替换的词") + ":" + JsonString(texts.specifiedReplacements) + "}";
}

KeywordRulesFileValues ReadKeywordRulesFile(const std::string& path) {
  const KeywordRulesTexts texts = ReadKeywordRulesTexts(path);
  KeywordRulesFileValues values;
  values.mode = texts.mode;
  values.replaceKeywords = SplitItems(texts.replaceKeywords, "\r\n");
  values.replacementWords = SplitItems(texts.replacementWords, "\r\n");
  RemoveDuplicates(values.replacementWords);
  values.specifiedReplacements = SplitItems(texts.specifiedReplacements, "\r\n");
  return values;
}

KeywordRulesFileValues LoadKeywordRulesFile() {
  KeywordRulesFileValues values = ReadKeywordRulesFile(RunDirectoryPath(kKeywordRulesFileName));
  std::lock_guard lock(g_keywordRulesLock);
  g_keywordReplaceMode = values.mode;
  g_replaceKeywords = values.replaceKeywords;
  g_replacementWords = values.replacementWords;
  g_specifiedReplacements = values.specifiedReplacements;
  return values;
}
