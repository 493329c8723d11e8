#pragma once
// The account list's file "baiduset.ini" in the program's folder: one compact
// UTF-8 JSON text {"dataname":"cookies","num":<rows>,"data":[{"user":...,
// "cookies":...,"uk":...,"status":...},...]} ("num" is written, never read;
// an empty list keeps the placeholder element {}). The file and its backups
// hold cookie texts and are readable by their owner only (mode 0600).

#include <string>

// The file's path (code page 936).
std::string AccountListFilePath();
// The name of a backup made now: "baiduset_备份_" + MakeLocalStampText() + ".ini".
std::string AccountListBackupName();

// Worker thread (started by the main window's created handler): replaces the
// rows of the list by the file's elements that have cookies (an empty status
// becomes "从记录导入"), then shows page 2 of `高级选择夹1` with rows, page 0
// without. The file is read as UTF-8 (a byte-order mark skipped) when it
// looks like UTF-8, else as code page 936. A missing or blank file loads no
// rows, silently; a file that is no account list (no JSON object with a "data"
// array) loads none either, is left as it is, and a box says so.
void LoadAccountList();

// 按钮4 (user-interface thread). `silent` below 1 asks first and reports the
// outcome. The new text goes to a temporary file beside the old one; only when
// that is written is the old file moved to its backup (when its text differs)
// and the new one put in its place. A failed save leaves the old file as it
// was and shows "保存失败了。". Returns true when the file holds the list.
bool SaveAccountList(int silent);

// The JSON text of the rows as the file holds them (code page 936).
std::string AccountListJsonText();
