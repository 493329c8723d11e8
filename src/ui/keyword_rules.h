#pragma once
// The keyword rules window's work, over the window's own ControlStore (its
// controls are addressed by name in that store, never in the main window's):
// loading and saving "keyreplace.ini", importing replacement words from text
// files and inserting the rule template.
//
// The file's format and its one reader are the jobs' (jobs/keyword_rules_file.h).
// It is written to a temporary file and renamed into place, since the rename
// task reads it without any lock.

#include <string>

#include "jobs/keyword_rules_file.h"

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

// Fills the window's controls from the program's "keyreplace.ini" (the
// template line when the specified list is empty). Any thread.
void LoadKeywordRules(ControlStore& store);

// Writes the controls' values to "keyreplace.ini" under g_logFileLock and
// tells the result in a box. Once the new text is staged beside the file, the
// old file is moved to the backup name (a move that never replaces, so only
// the first save makes the backup); a failed write leaves both files as they
// were. User-interface thread.
void SaveKeywordRules(ControlStore& store);

// Appends the lines of the text file at path to the replacement words and
// reports their count without duplicates. An empty path asks for the file
// (text files, starting in the program's folder); a cancelled dialog ends
// without a message. User-interface thread.
void ImportKeywordsFromTextFile(ControlStore& store, const std::string& path);

// Appends the new-rule template to the specified rules, once.
void InsertRuleTemplate(ControlStore& store);
