#pragma once
// Reading the keyword-rule file "keyreplace.ini" of the program's folder into
// the keyword-replacement lists of a rename run (jobs/keyword_replacement_lists.h).
//
// The file is one JSON object with the members "替换方式" (the mode),
// "普通要被替换的词", "普通用于替换的词" and "指定替换的词" (texts whose lines are
// separated by CR LF). It is read as UTF-8 when DetectTextFileEncoding says
// UTF-8 (a byte-order mark is skipped), else as code page 936 text. A missing,
// unreadable or invalid file reads as empty values.

#include <string>

#include "foundation/text_arrays.h"

inline constexpr const char* kKeywordRulesFileName = "keyreplace.ini";

struct KeywordRulesFileValues {
  std::string mode;                 // kSpecifiedReplaceMode only when "替换方式" is exactly it
  TextArray replaceKeywords;        // "普通要被替换的词"
  TextArray replacementWords;       // "普通用于替换的词", repeated entries removed
  TextArray specifiedReplacements;  // "指定替换的词"
};

// The values of the file at `path` (code page 936 path text). Each text is
// split at every CR LF: an empty text gives no entry, a final CR LF no empty
// last entry, an empty line inside an empty entry. Any thread.
KeywordRulesFileValues ReadKeywordRulesFile(const std::string& path);

// Reads the program's "keyreplace.ini" and writes the four lists while holding
// g_keywordRulesLock. Returns the values written.
KeywordRulesFileValues LoadKeywordRulesFile();
