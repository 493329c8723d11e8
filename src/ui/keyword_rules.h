#pragma once
// The keyword rules window's work, over the window's own ControlStore (its
// controls are addressed by name in that store, never in the main window's):
// loading and saving "keyreplace.ini", importing replacement words from text
// files and inserting the rule template.
//
// The file is one compact JSON object of four string members, in this order:
// "替换方式", "普通要被替换的词", "普通用于替换的词", "指定替换的词"; code page
// 936 without byte-order mark and without a final line break. It is written
// to a temporary file and renamed into place, since the rename task reads it
// without any lock.

#include <string>

class ControlStore;

// Control names of the keyword rules window.
inline constexpr const char* kNormalModeRadio = "单选框_普通替换";
inline constexpr const char* kSpecifiedModeRadio = "单选框_指定替换";
inline constexpr const char* kNormalKeywordsEdit = "编辑框1";
inline constexpr const char* kReplacementWordsEdit = "编辑框2";
inline constexpr const char* kSpecifiedRulesEdit = "编辑框3";

inline constexpr const char* kKeywordRulesBackupName = "message-keyreplace-back.ini";
inline constexpr const char* kEmptyRulesTemplate =
    "要被替换的关键词---->用于替换的词，不填就是删除";
inline constexpr const char* kNewRuleTemplate = "被替换的关键词---->用作替换的关键词";

// The four texts of the file, lines separated by CR LF.
struct KeywordRulesTexts {
  std::string mode;  // "指定替换" or "普通替换"
  std::string replaceKeywords;
  std::string replacementWords;
  std::string specifiedReplacements;
};

// The file's bytes for texts. A double quote, a backslash and control
// characters are escaped, so every text reads back exactly.
std::string KeywordRulesFileText(const KeywordRulesTexts& texts);

// The texts of the file at path; a missing or invalid file gives normal mode
// and empty texts, and any mode but "指定替换" reads as "普通替换".
KeywordRulesTexts ReadKeywordRulesTexts(const std::string& path);

// Fills the window's controls from the program's "keyreplace.ini" (the
// template line when the specified list is empty). Any thread.
void LoadKeywordRules(ControlStore& store);

// Writes the controls' values to "keyreplace.ini" under g_logFileLock, moving
// an existing file to the backup name first when no backup exists yet, and
// tells the result in a box. User-interface thread.
void SaveKeywordRules(ControlStore& store);

// Appends the lines of the text file at path to the replacement words and
// reports their count without duplicates. The caller asks for the path.
void ImportKeywordsFromTextFile(ControlStore& store, const std::string& path);

// Appends the new-rule template to the specified rules, once.
void InsertRuleTemplate(ControlStore& store);
