#include "ui/keyword_rules.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/control_store.h"
#include "support/file_bytes.h"
#include "support/scoped_environment.h"
#include "support/scratch_folder.h"
#include "support/scripted_desktop_guard.h"

namespace {

class KeywordRulesTest : public ::testing::Test {
 protected:
  std::string RulesFile() const { return m_folder.Utf8("keyreplace.ini"); }
  void WriteFile(const std::string& name, const std::string& bytes) {
    std::ofstream(m_folder.Utf8(name), std::ios::binary) << bytes;
  }
  void Save() {
    m_ui.desktop.AnswerNext(kBoxResultOk);
    SaveKeywordRules(m_store);
  }

  ScratchFolder m_folder;
  ScopedEnvironment m_home{"QUILLMERE_HOME", m_folder.Utf8()};
  ScriptedDesktopGuard m_ui;
  ControlStore m_store;
};

TEST_F(KeywordRulesTest, FileTextIsCompactInOrderWithoutFinalBreak) {
  const std::string text = KeywordRulesFileText({"指定替换", "a\r\nb", "", "x---->y"});
  EXPECT_EQ(
      text,
      "{\"替换方式\":\"指定替换\",\"普通要被替换的词\":\"a\\r\\nb\",\"普通用于替换的词\":\"\","
      "\"指定替换的词\":\"x---->y\"}");
  EXPECT_EQ(KeywordRulesFileText({"别的", "", "", ""}).find("\"替换方式\":\"普通替换\""), 1u);
}

TEST_F(KeywordRulesTest, SavedTextsLoadBackUnchanged) {
  const struct {
    bool specified;
    std::string keywords;
    std::string words;
    std::string rules;
  } cases[] = {
      {false, "a\r\n\r\nb\r\n", "c:\\dir\\n\"q\"", "old---->new\r\n---->\r\nx---->"},
      {true, "\\", "\"", "甲---->乙\r\n\r\n"},
      {true, "\x81\x5C\\", "", "x\x81\x5C"},  // a second byte that looks like a backslash
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.keywords);
    m_store.SetChecked(kSpecifiedModeRadio, c.specified);
    m_store.SetChecked(kNormalModeRadio, !c.specified);
    m_store.SetText(kNormalKeywordsEdit, c.keywords);
    m_store.SetText(kReplacementWordsEdit, c.words);
    m_store.SetText(kSpecifiedRulesEdit, c.rules);
    Save();
    const std::string bytes = ReadFileBytes(RulesFile());
    EXPECT_FALSE(bytes.starts_with("\xEF\xBB\xBF"));
    EXPECT_NE(bytes.back(), '\n');

    ControlStore loaded;
    LoadKeywordRules(loaded);
    EXPECT_EQ(loaded.Checked(kSpecifiedModeRadio), c.specified);
    EXPECT_EQ(loaded.Checked(kNormalModeRadio), !c.specified);
    EXPECT_EQ(loaded.Text(kNormalKeywordsEdit), c.keywords);
    EXPECT_EQ(loaded.Text(kReplacementWordsEdit), c.words);
    EXPECT_EQ(loaded.Text(kSpecifiedRulesEdit), c.rules);
  }
  const auto boxes = m_ui.desktop.Boxes();
  ASSERT_FALSE(boxes.empty());
  EXPECT_EQ(boxes[0].text, "保存成功。任务开启之前保存此设置有效。");
}

TEST_F(KeywordRulesTest, ForeignModeLoadsAsNormalAndEmptyRulesShowTheTemplate) {
  WriteFile("keyreplace.ini", "{\"替换方式\":\"别的\",\"普通要被替换的词\":\"k\"}");
  LoadKeywordRules(m_store);
  EXPECT_TRUE(m_store.Checked(kNormalModeRadio));
  EXPECT_FALSE(m_store.Checked(kSpecifiedModeRadio));
  EXPECT_EQ(m_store.Text(kNormalKeywordsEdit), "k");
  EXPECT_EQ(m_store.Text(kSpecifiedRulesEdit), kEmptyRulesTemplate);
}

TEST_F(KeywordRulesTest, BackupIsMadeOnTheFirstSaveOnly) {
  // (file before the first save, backup before it) -> backup after the first
  // and after the second save; each save leaves its own text in the file.
  const struct {
    const char* file;    // nullptr: none
    const char* backup;  // nullptr: none
    const char* backupAfterFirst;
    const char* backupAfterSecond;
  } cases[] = {
      {"original", nullptr, "original", "original"},
      {"original", "older", "older", "older"},
      {nullptr, nullptr, nullptr, "first"},  // the second save moves the first's file
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file != nullptr ? c.file : "no file");
    std::filesystem::remove(RulesFile());
    std::filesystem::remove(m_folder.Utf8(kKeywordRulesBackupName));
    if (c.file != nullptr) {
      WriteFile("keyreplace.ini", c.file);
    }
    if (c.backup != nullptr) {
      WriteFile(kKeywordRulesBackupName, c.backup);
    }
    const auto backupText = [&]() -> std::string {
      const std::string backup = m_folder.Utf8(kKeywordRulesBackupName);
      if (!std::filesystem::exists(backup)) {
        return "(none)";
      }
      const std::string bytes = ReadFileBytes(backup);
      return bytes.find("first") != std::string::npos ? "first" : bytes;
    };
    m_store.SetText(kNormalKeywordsEdit, "first");
    Save();
    EXPECT_EQ(backupText(), c.backupAfterFirst != nullptr ? c.backupAfterFirst : "(none)");
    EXPECT_NE(ReadFileBytes(RulesFile()).find("first"), std::string::npos);
    m_store.SetText(kNormalKeywordsEdit, "second");
    Save();
    EXPECT_EQ(backupText(), c.backupAfterSecond);
    EXPECT_NE(ReadFileBytes(RulesFile()).find("second"), std::string::npos);
  }
}

TEST_F(KeywordRulesTest, AFailedWriteIsReportedAndChangesNothing) {
  // A folder in the file's place: the new text cannot be renamed over it.
  std::filesystem::create_directory(RulesFile());
  std::ofstream(RulesFile() + "/inside", std::ios::binary) << "x";
  WriteFile(kKeywordRulesBackupName, "older");
  m_ui.desktop.AnswerNext(kBoxResultOk);
  SaveKeywordRules(m_store);
  EXPECT_TRUE(std::filesystem::is_directory(RulesFile()));
  EXPECT_EQ(ReadFileBytes(m_folder.Utf8(kKeywordRulesBackupName)), "older");
  ASSERT_EQ(m_ui.desktop.Boxes().size(), 1u);
  EXPECT_EQ(m_ui.desktop.Boxes()[0].text, "保存失败了。");
  EXPECT_EQ(m_ui.desktop.Boxes()[0].type, 48);
  // No temporary file is left beside it.
  int entries = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(m_folder.Path())) {
    ++entries;
  }
  EXPECT_EQ(entries, 2);
}

TEST_F(KeywordRulesTest, TemplateIsAddedOnce) {
  m_store.SetText(kSpecifiedRulesEdit, "a---->b");
  InsertRuleTemplate(m_store);
  m_ui.desktop.AnswerNext(kBoxResultOk);
  InsertRuleTemplate(m_store);
  EXPECT_EQ(m_store.Text(kSpecifiedRulesEdit), std::string("a---->b\r\n") + kNewRuleTemplate);
  ASSERT_EQ(m_ui.desktop.Boxes().size(), 1u);
  EXPECT_EQ(m_ui.desktop.Boxes()[0].text, "已有新规则，设置后再添加。");
}

TEST_F(KeywordRulesTest, ImportTable) {
  const struct {
    std::string bytes;
    std::string before;
    std::string after;
    const char* count;
  } cases[] = {
      {"a\r\n\r\na\r\nb", "", "a\r\na\r\nb", "2"},
      {"\xEF\xBB\xBF"
       "\xE4\xB8\xAD\r\nb\r\n",
       "b", "b\r\n中\r\nb", "2"},                                           // UTF-8 with BOM
      {"\xE4\xB8\xAD\r\n\xE4\xB8\xAD\r\n\r\nb", "", "中\r\n中\r\nb", "2"},  // UTF-8, no BOM
      {"\xD6\xD0\r\n\r\nx", "", "中\r\nx", "2"},                            // code page 936
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.after);
    WriteFile("words.txt", c.bytes);
    m_store.SetText(kReplacementWordsEdit, c.before);
    m_ui.desktop.AnswerNext(kBoxResultOk);
    ImportKeywordsFromTextFile(m_store, m_folder.Utf8("words.txt"));
    EXPECT_EQ(m_store.Text(kReplacementWordsEdit), c.after);
    const auto box = m_ui.desktop.Boxes().back();
    EXPECT_EQ(box.text, std::string("统一模式，要替换的关键词去重后数量：") + c.count);
    EXPECT_EQ(box.timeoutMs, 10000);
  }
}

}  // namespace
