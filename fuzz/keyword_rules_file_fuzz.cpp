// "keyreplace.ini": any file is read, and what was read is written and read
// back unchanged.

#include <cstddef>
#include <cstdint>
#include <string>

#include "jobs/keyword_rules_file.h"
#include "support/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  PrepareFuzzEnvironment();
  WriteFuzzFile(kKeywordRulesFileName, std::string(reinterpret_cast<const char*>(data), size));
  const std::string path = FuzzFilePath(kKeywordRulesFileName);
  const KeywordRulesTexts read = ReadKeywordRulesTexts(path);
  ReadKeywordRulesFile(path);
  WriteFuzzFile(kKeywordRulesFileName, KeywordRulesFileText(read));
  const KeywordRulesTexts again = ReadKeywordRulesTexts(path);
  FuzzCheckEqual("mode read back", read.mode, again.mode);
  FuzzCheckEqual("keywords read back", read.replaceKeywords, again.replaceKeywords);
  FuzzCheckEqual("words read back", read.replacementWords, again.replacementWords);
  FuzzCheckEqual("specified read back", read.specifiedReplacements, again.specifiedReplacements);
  return 0;
}
