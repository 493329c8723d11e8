#pragma once
// The rename-rule engine: the new name of one remote file or folder, as the
// rule options ask for it.
//
// Rules, in this order: exclude keywords, include keywords, keyword
// replacement (normal or specified mode), prefix, number prefix, suffix, new
// extension, deletion of Chinese characters, deletion by regular expression.
//
// Two variants of the name: plain (code page 936 text) and escaped
// (backslash-u notation, for names that code page 936 cannot hold). Both
// apply every rule to the name's characters, so they give the same new name
// for the same characters; in the escaped variant the characters the rules
// did not touch keep their own notation and the characters the rules add are
// written in backslash-u notation (letters, digits and printable punctuation
// other than "\" and "%" as themselves). Keyword tests and replacements are
// exact (case-sensitive) and never start or end inside a character; an empty
// keyword or entry is ignored.
//
// ApplyRenameRules is a pure function of its inputs apart from the number
// counter it steps; BuildNewName is the program's call, which reads the
// options from the control store and the program's keyword lists, counter and
// random source at the moment of the call. Both run on the caller's thread
// (task, traversal, prefetch or user-interface thread).

#include <string>

#include "jobs/keyword_replacement_lists.h"
#include "jobs/number_prefix_counter.h"
#include "jobs/rename_rule_options.h"

// Values of the variant argument.
inline constexpr int kEscapedNameVariant = 0;
inline constexpr int kPlainNameVariant = 1;

// What the engine reads besides the options and the name.
struct RenameRuleSources {
  const KeywordLists& lists;
  NumberPrefixCounter& counter;  // stepped by the number prefix rule
  RandomIndex random;            // draws the replacement words (empty: the default)
};

// Set when the regular expression could not be used: the pattern does not
// compile or the match limit stopped it. The name then comes back unchanged as
// a whole (a half-applied rule set would be applied twice once the pattern is
// mended and the run repeated).
struct RenameRuleProblem {
  bool regexFailed = false;
  std::string pattern;
  std::string reason;
};

// The new name. firstRestart / secondRestart: when either is 1 and no
// ready-made prefix is given, the number counter starts again from the start
// value. folderFlag 1: a folder (no suffix before an extension, no new
// extension). readyPrefix: when not empty and the number prefix rule is on,
// it is the number and the counter is not touched. variant: 1 plain,
// 0 escaped, anything else returns the name at once. The result equals the
// name when no rule changed it, when an exclude keyword is held, when an
// include keyword is missing, and when the regular expression failed.
std::string ApplyRenameRules(const RenameRuleOptions& options, const RenameRuleSources& sources,
                             const std::string& name, int firstRestart, int secondRestart,
                             int folderFlag, const std::string& readyPrefix, int variant,
                             RenameRuleProblem* problem = nullptr);

// ApplyRenameRules with the options of GetControlStore(), the program's
// keyword lists (under g_keywordRulesLock), g_numberPrefixCounter and
// DefaultRandomIndex. A regular expression that cannot be used is reported
// once with a warning box that closes itself after 15 seconds; the same
// pattern is not reported again until ForgetReportedRegexFailure.
std::string BuildNewName(const std::string& name, int firstRestart, int secondRestart,
                         int folderFlag, const std::string& readyPrefix, int variant);

// Lets the next failure of any pattern be reported again (the rename task
// calls it at its start).
void ForgetReportedRegexFailure();
