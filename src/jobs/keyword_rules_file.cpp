#include "jobs/keyword_rules_file.h"

#include <fstream>
#include <iterator>

#include "data/json_document.h"
#include "foundation/file_system_path.h"
#include "foundation/run_directory.h"
#include "foundation/text_file_encoding.h"
#include "jobs/keyword_replacement_lists.h"
#include "web/http_text_util.h"

namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

TextArray Lines(const JsonDocument& document, const char* member) {
  return SplitItems(document.GetText(member), "\r\n");
}

}  // namespace

KeywordRulesFileValues ReadKeywordRulesFile(const std::string& path) {
  std::string bytes;
  {
    std::ifstream file(FileSystemPathFromText(path), std::ios::binary);
    if (file) {
      bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
  }
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
  KeywordRulesFileValues values;
  values.mode = kNormalReplaceMode;
  if (!parsed) {
    return values;
  }
  if (document.GetText("替换方式") == kSpecifiedReplaceMode) {
    values.mode = kSpecifiedReplaceMode;
  }
  values.replaceKeywords = Lines(document, "普通要被替换的词");
  values.replacementWords = Lines(document, "普通用于替换的词");
  RemoveDuplicates(values.replacementWords);
  values.specifiedReplacements = Lines(document, "指定替换的词");
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
