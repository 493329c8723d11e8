// Reading "keyreplace.ini": encodings, the mode, the line split and the
// repeated replacement words, and the lists the task loads from it.

#include "jobs/keyword_rules_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string_view>

#include "foundation/file_system_path.h"
#include "foundation/run_directory.h"
#include "jobs/keyword_replacement_lists.h"
#include "support/scoped_environment.h"
#include "support/scratch_folder.h"

namespace {

std::string Utf8(std::u8string_view text) {
  return std::string(reinterpret_cast<const char*>(text.data()), text.size());
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(FileSystemPathFromText(path), std::ios::binary) << bytes;
}

const std::string kUtf8Rules = Utf8(
    u8R"({"替换方式":"指定替换","普通要被替换的词":"甲\r\nb","普通用于替换的词":"x\r\ny","指定替换的词":"旧---->新\r\n"})");

TEST(KeywordRulesFile, ReadsEveryEncodingAndForm) {
  struct Row {
    const char* name;
    std::string bytes;  // empty: no file at all
    const char* mode;
    TextArray keywords;
    TextArray words;
    TextArray specified;
  };
  const TextArray kKeywords = {"甲", "b"};
  const TextArray kWords = {"x", "y"};
  const TextArray kSpecified = {"旧---->新"};
  const Row rows[] = {
      {"UTF-8 without a mark", kUtf8Rules, kSpecifiedReplaceMode, kKeywords, kWords, kSpecified},
      {"UTF-8 with a mark", "\xEF\xBB\xBF" + kUtf8Rules, kSpecifiedReplaceMode, kKeywords, kWords,
       kSpecified},
      {"code page 936",
       R"({"替换方式":"指定替换","普通要被替换的词":"甲\r\nb","普通用于替换的词":"x\r\ny","指定替换的词":"旧---->新"})",
       kSpecifiedReplaceMode, kKeywords, kWords, kSpecified},
      {"not JSON", "{\"替换方式\":\"指定替换\",", kNormalReplaceMode, {}, {}, {}},
      {"missing", "", kNormalReplaceMode, {}, {}, {}},
      {"a mode that is nearly the specified one",
       R"({"替换方式":"指定替换 ","普通要被替换的词":"a"})",
       kNormalReplaceMode,
       {"a"},
       {},
       {}},
      {"a final line break and an empty middle line",
       R"({"替换方式":"普通替换","普通要被替换的词":"a\r\n\r\nb\r\n"})",
       kNormalReplaceMode,
       {"a", "", "b"},
       {},
       {}},
      {"bytes after a zero byte are not read",
       R"({"普通要被替换的词":"a"})" + std::string("\0,\"x", 4),
       kNormalReplaceMode,
       {"a"},
       {},
       {}},
      {"repeated replacement words keep the first",
       R"({"普通要被替换的词":"a","普通用于替换的词":"x\r\ny\r\nx\r\ny\r\nz"})",
       kNormalReplaceMode,
       {"a"},
       {"x", "y", "z"},
       {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ScratchFolder folder;
    const std::string path = TextFromFileSystemPath((folder.Path() / "keyreplace.ini").string());
    if (!row.bytes.empty()) {
      WriteBytes(path, row.bytes);
    }
    const KeywordRulesFileValues values = ReadKeywordRulesFile(path);
    EXPECT_EQ(values.mode, row.mode);
    EXPECT_EQ(values.replaceKeywords, row.keywords);
    EXPECT_EQ(values.replacementWords, row.words);
    EXPECT_EQ(values.specifiedReplacements, row.specified);
  }
}

TEST(KeywordRulesFile, ReadsBackWhatItWrites) {
  struct Row {
    const char* name;
    std::string text;
  };
  const Row rows[] = {
      {"lines separated by CR LF", "甲\r\nb\r\n"},
      {"a lone LF inside, at the start and at the end", "\na\nb\r\nc\n"},
      {"a lone CR, CR CR LF and LF LF", "a\rb\r\r\nc\n\nd"},
      {"quotes, backslashes, a tab and other control characters", "\"\\\t\x01\x1F'"},
      {"a double-byte character whose second byte is a backslash", "\x95\\\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ScratchFolder folder;
    const std::string path = TextFromFileSystemPath((folder.Path() / "keyreplace.ini").string());
    const KeywordRulesTexts written{kSpecifiedReplaceMode, row.text, row.text, row.text};
    WriteBytes(path, KeywordRulesFileText(written));
    const KeywordRulesTexts read = ReadKeywordRulesTexts(path);
    EXPECT_EQ(read.mode, written.mode);
    EXPECT_EQ(read.replaceKeywords, row.text);
    EXPECT_EQ(read.replacementWords, row.text);
    EXPECT_EQ(read.specifiedReplacements, row.text);
  }
}

TEST(KeywordRulesFile, LoadingWritesTheProgramsLists) {
  ScratchFolder folder;
  ScopedEnvironment home("QUILLMERE_HOME", folder.Path().string());
  WriteBytes(RunDirectoryPath(kKeywordRulesFileName), kUtf8Rules);
  {
    std::lock_guard lock(g_keywordRulesLock);
    g_replaceKeywords = {"stale"};
  }
  LoadKeywordRulesFile();
  std::lock_guard lock(g_keywordRulesLock);
  EXPECT_EQ(g_keywordReplaceMode, kSpecifiedReplaceMode);
  EXPECT_EQ(g_replaceKeywords, (TextArray{"甲", "b"}));
  EXPECT_EQ(g_replacementWords, (TextArray{"x", "y"}));
  EXPECT_EQ(g_specifiedReplacements, (TextArray{"旧---->新"}));
  g_keywordReplaceMode = kNormalReplaceMode;
  g_replaceKeywords.clear();
  g_replacementWords.clear();
  g_specifiedReplacements.clear();
}

}  // namespace
