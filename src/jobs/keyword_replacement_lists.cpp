#include "jobs/keyword_replacement_lists.h"

#include <random>

#include "foundation/never_destroyed.h"

namespace {

// Never destroyed: a rename worker may still read the lists while the process
// ends.
NeverDestroyed<std::recursive_mutex> s_keywordRulesLock;
NeverDestroyed<std::string> s_keywordReplaceMode(kNormalReplaceMode);
NeverDestroyed<TextArray> s_replaceKeywords;
NeverDestroyed<TextArray> s_replacementWords;
NeverDestroyed<TextArray> s_specifiedReplacements;

}  // namespace

std::recursive_mutex& g_keywordRulesLock = s_keywordRulesLock.Get();
std::string& g_keywordReplaceMode = s_keywordReplaceMode.Get();
TextArray& g_replaceKeywords = s_replaceKeywords.Get();
TextArray& g_replacementWords = s_replacementWords.Get();
TextArray& g_specifiedReplacements = s_specifiedReplacements.Get();

int DefaultRandomIndex(int count) {
  if (count <= 1)
    return 1;
  thread_local std::mt19937 s_generator{std::random_device{}()};
  return std::uniform_int_distribution<int>(1, count)(s_generator);
}

std::string PickReplacementWord(const TextArray& words, const RandomIndex& random) {
  int count = 0;
  for (const std::string& word : words)
    count += word.empty() ? 0 : 1;
  if (count == 0)
    return std::string();
  int k = random ? random(count) : DefaultRandomIndex(count);
  if (k < 1 || k > count)
    k = 1;  // a source out of range never reads past the list
  for (const std::string& word : words) {
    if (!word.empty() && --k == 0)
      return word;
  }
  return std::string();
}

std::string PickReplacementWord() {
  std::lock_guard lock(g_keywordRulesLock);
  return PickReplacementWord(g_replacementWords, DefaultRandomIndex);
}
