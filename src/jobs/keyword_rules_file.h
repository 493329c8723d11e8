#pragma once
// The keyword-rule file "keyreplace.ini" of the program's folder: its one
// reader, its writer's text, and the lists of a rename run loaded from it
// (jobs/keyword_replacement_lists.h).
//
// The file is one compact JSON object of four string members, in this order:
// "替换方式" (the mode), "普通要被替换的词", "普通用于替换的词" and "指定替换的词"
// (texts whose lines are separated by CR LF); code page 936 without
// byte-order mark and without a final line break. Its bytes are taken up to
// the first zero byte and read as UTF-8 when DetectTextFileEncoding says
// UTF-8 (a byte-order mark is skipped), else as code page 936 text. A missing,
// unreadable or invalid file reads as normal mode and empty texts, and any mode
// but "指定替换" reads as "普通替换".

#include <string>

#include "foundation/text_arrays.h"

inline constexpr const char* kKeywordRulesFileName = "keyreplace.ini";

// The four texts of the file, lines separated by CR LF.
struct KeywordRulesTexts {
  std::string mode;  // kSpecifiedReplaceMode or kNormalReplaceMode
  std::string replaceKeywords;
  std::string replacementWords;
  std::string specifiedReplacements;
};

// The texts of the file at `path` (code page 936 path text). Any thread.
KeywordRulesTexts ReadKeywordRulesTexts(const std::string& path);

// The file's bytes for `texts`. A double quote, a backslash and control
// characters are escaped, so every text reads back exactly.
std::string KeywordRulesFileText(const KeywordRulesTexts& texts);

struct KeywordRulesFileValues {
  std::string mode;                 // kSpecifiedReplaceMode only when "替换方式" is exactly it
  TextArray replaceKeywords;        // "普通要被替换的词"
  TextArray replacementWords;       // "普通用于替换的词", repeated entries removed
  TextArray specifiedReplacements;  // "指定替换的词"
};

// The values of the file at `path`. Each text is split at every CR LF: an
// empty text gives no entry, a final CR LF no empty last entry, an empty line
// inside an empty entry. Any thread.
KeywordRulesFileValues ReadKeywordRulesFile(const std::string& path);

// Reads the program's "keyreplace.ini" and writes the four lists while holding
// g_keywordRulesLock. Returns the values written.
KeywordRulesFileValues LoadKeywordRulesFile();
