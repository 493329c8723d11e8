#pragma once
// The keyword-replacement lists of a rename run and the drawing of a
// replacement word.
//
// The rename task loads the four values from the keyword-rule file at each
// start while keyword replacement is ticked; the rename rules and the batch
// apply engine read them. Because the preview on the user-interface thread may
// read them while a starting task writes them, every reader and writer holds
// g_keywordRulesLock while it touches them (it is never held across a request
// or a message box).

#include <functional>
#include <mutex>
#include <string>

#include "foundation/text_arrays.h"

// Values of g_keywordReplaceMode.
inline constexpr const char* kSpecifiedReplaceMode = "指定替换";
inline constexpr const char* kNormalReplaceMode = "普通替换";

// Guards the four values below. All five live until the process ends (never
// destroyed), so a worker still reading them at exit touches no freed memory.
extern std::recursive_mutex& g_keywordRulesLock;
extern std::string& g_keywordReplaceMode;   // kSpecifiedReplaceMode or kNormalReplaceMode
extern TextArray& g_replaceKeywords;        // normal mode: the keywords to replace
extern TextArray& g_replacementWords;       // normal mode: the words drawn for them
extern TextArray& g_specifiedReplacements;  // specified mode: lines "old---->new"

// A source of random choices: returns an integer drawn evenly from 1 to
// `count` (count >= 1). Tests pass their own to fix the draws.
using RandomIndex = std::function<int(int count)>;

// The program's random choice: a generator of each thread's own, seeded once
// from the system's entropy source (seeding from the clock at every draw would
// give the same word to draws of the same instant).
int DefaultRandomIndex(int count);

// A random non-empty entry of `words`: `random` picks the k-th of them, counted
// from 1. Empty entries (a stray blank line in the rule file) are never drawn,
// so they never delete keywords from names; the empty text when the list holds
// no non-empty entry. Any thread.
std::string PickReplacementWord(const TextArray& words, const RandomIndex& random);

// A random entry of g_replacementWords (taken under g_keywordRulesLock) with
// DefaultRandomIndex; the empty text when the list is empty.
std::string PickReplacementWord();

// The lists as the rename rules read them: references to lists the caller
// keeps unchanged (and, for the program's lists, locked) during the call.
struct KeywordLists {
  const std::string& mode;
  const TextArray& replaceKeywords;
  const TextArray& replacementWords;
  const TextArray& specifiedReplacements;
};
