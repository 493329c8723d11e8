// The rename rules with every rule ticked over 100,000 names, as one prefetch
// run of a large drive would apply them, in both variants, followed by the
// legalisation each new name passes.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "foundation/text_encodings.h"
#include "foundation/unicode_notation.h"
#include "jobs/name_legalisation.h"
#include "jobs/rename_rules.h"

namespace {

constexpr int kNameCount = 100000;

std::vector<std::string> MakeNames(bool escaped) {
  static const char* const kStems[] = {"会议纪要", "holiday photo", "报告_final", "第三章 草稿",
                                       "readme",   "数据-2024",     "老照片",     "mix中English"};
  static const char* const kExtensions[] = {".txt", ".jpg", ".docx", ".mp4", ""};
  std::vector<std::string> names;
  names.reserve(kNameCount);
  for (int i = 0; i < kNameCount; ++i) {
    std::string name = std::string(kStems[i % 8]) + " " + std::to_string(i) + kExtensions[i % 5];
    names.push_back(escaped ? EscapeToUnicodeNotation(TextToUtf16(name), true, true) : name);
  }
  return names;
}

RenameRuleOptions FullRuleSet() {
  RenameRuleOptions o;
  o.excludeOn = true;
  o.excludeKeywords = "不要,skip,,temp";
  o.includeOn = true;
  o.includeKeywords = " ";
  o.replaceOn = true;
  o.prefixOn = true;
  o.prefix = "[备份]";
  o.numberPrefixOn = true;
  o.numberPrefixStart = "00000";
  o.suffixOn = true;
  o.suffix = "_新";
  o.newExtensionOn = true;
  o.newExtension = "bak";
  o.chineseDeletionOn = true;
  o.chineseDeletionCount = "2";
  o.regexDeletionOn = true;
  o.regexPattern = "[0-9]{3,}|final";
  return o;
}

void RunFullRuleSet(benchmark::State& state, int variant) {
  const std::vector<std::string> names = MakeNames(variant == kEscapedNameVariant);
  const RenameRuleOptions options = FullRuleSet();
  const std::string mode = kNormalReplaceMode;
  const TextArray keywords = {"photo", "草稿", "数据"};
  const TextArray words = {"图片", "定稿", "data", "资料"};
  const TextArray specified;
  const KeywordLists lists{mode, keywords, words, specified};
  NumberPrefixCounter counter;
  const RenameRuleSources sources{lists, counter, DefaultRandomIndex};
  for (auto _ : state) {
    counter.Reset();
    std::size_t bytes = 0;
    for (const std::string& name : names) {
      const std::string newName = RestoreEncodedPunctuation(
          MakeLegalName(ApplyRenameRules(options, sources, name, 0, 0, 0, "", variant)));
      bytes += newName.size();
    }
    benchmark::DoNotOptimize(bytes);
  }
  state.SetItemsProcessed(state.iterations() * kNameCount);
}

void BM_FullRuleSetPlain(benchmark::State& state) {
  RunFullRuleSet(state, kPlainNameVariant);
}
void BM_FullRuleSetEscaped(benchmark::State& state) {
  RunFullRuleSet(state, kEscapedNameVariant);
}

BENCHMARK(BM_FullRuleSetPlain)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullRuleSetEscaped)->Unit(benchmark::kMillisecond);

}  // namespace
