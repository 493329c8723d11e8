// The rename rule engine: parts are the name, the keyword boxes, the prefix,
// suffix, extension and number texts, the regular expression and the keyword
// lists; the first byte of the name's part switches the rules on.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "foundation/text_arrays.h"
#include "jobs/keyword_replacement_lists.h"
#include "jobs/rename_rules.h"
#include "support/fuzz_support.h"
#include "web/http_text_util.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2)
    return 0;
  const unsigned switches = data[0] | (data[1] << 8);
  const std::vector<std::string> p = SplitFuzzInput(data + 2, size - 2, 11);
  RenameRuleOptions options;
  options.excludeOn = switches & 1;
  options.excludeKeywords = p[1];
  options.includeOn = switches & 2;
  options.includeKeywords = p[2];
  options.replaceOn = switches & 4;
  options.prefixOn = switches & 8;
  options.prefix = p[3];
  options.numberPrefixOn = switches & 16;
  options.numberPrefixStart = p[4];
  options.suffixOn = switches & 32;
  options.suffix = p[5];
  options.newExtensionOn = switches & 64;
  options.newExtension = p[6];
  options.chineseDeletionOn = switches & 128;
  options.chineseDeletionCount = p[7];
  options.regexDeletionOn = switches & 256;
  options.regexPattern = p[8];
  const std::string mode = switches & 512 ? kSpecifiedReplaceMode : kNormalReplaceMode;
  const TextArray keywords = SplitItems(p[9], "\r\n");
  const TextArray words = keywords;
  const TextArray specified = SplitItems(p[10], "\r\n");
  const KeywordLists lists{mode, keywords, words, specified};
  NumberPrefixCounter counter;
  int draws = 0;
  const RenameRuleSources sources{lists, counter,
                                  [&](int count) { return count > 0 ? 1 + (draws++ % count) : 0; }};
  for (const int variant : {kPlainNameVariant, kEscapedNameVariant}) {
    RenameRuleProblem problem;
    ApplyRenameRules(options, sources, p[0], switches & 1024 ? 1 : 0, 0, (switches >> 11) & 1,
                     switches & 4096 ? "7" : "", variant, &problem);
  }
  return 0;
}
