#include "jobs/keyword_replacement_lists.h"

#include <random>

std::recursive_mutex g_keywordRulesLock;
std::string g_keywordReplaceMode = kNormalReplaceMode;
TextArray g_replaceKeywords;
TextArray g_replacementWords;
TextArray g_specifiedReplacements;

int DefaultRandomIndex(int count) {
  if (count <= 1)
    return 1;
  thread_local std::mt19937 s_generator{std::random_device{}()};
  return std::uniform_int_distribution<int>(1, count)(s_generator);
}

std::string PickReplacementWord(const TextArray& words, const RandomIndex& random) {
  if (words.empty())
    return std::string();
  const int count = static_cast<int>(words.size());
  int k = random ? random(count) : DefaultRandomIndex(count);
  if (k < 1 || k > count)
    k = 1;  // a source out of range never reads past the list
  return words[static_cast<std::size_t>(k - 1)];
}

std::string PickReplacementWord() {
  std::lock_guard lock(g_keywordRulesLock);
  return PickReplacementWord(g_replacementWords, DefaultRandomIndex);
}
