#pragma once
// A regular expression run once over one subject text, with questions about
// the result: how many matches, the text and byte position of a match or of a
// sub-match, and the subject with the matches replaced. Indexes of matches and
// sub-matches are 1-based; positions are 0-based byte offsets in the subject.
//
// An object belongs to the thread that made it. Copies share the expression and
// the matches of the last execute.

#include <memory>
#include <string>
#include <vector>

#include "platform/reg_exp.h"

class RegexMatcher {
 public:
  RegexMatcher();
  ~RegexMatcher();
  RegexMatcher(const RegexMatcher& other);
  RegexMatcher& operator=(const RegexMatcher& other);

  // Runs the pattern over the subject. Case is ignored unless caseSensitive;
  // with quote, every "#引号" of the pattern stands for a double quote. Returns
  // true when the expression produced its matches (also none), false when the
  // pattern is invalid or the match limit stopped the search (then there are no
  // matches).
  bool Execute(const std::string& pattern, const std::string& subject, bool caseSensitive = false,
               bool multiLine = true, bool global = true, bool quote = false);

  // The pattern of the current expression; empty before the first execute.
  std::string GetPattern() const;

  // The subject of the last execute with its matches replaced (all of them when
  // global). Empty before any execute; when the expression failed, the subject
  // unchanged.
  std::string Replace(const std::string& replacement = std::string()) const;

  // Number of matches of the last execute (0 after a failure).
  int GetMatchCount() const;

  // Text of match `index` (1-based); empty beyond the matches. When position is
  // given and wantPosition is set, stores the match's 0-based byte offset (-1
  // beyond the matches).
  std::string GetMatch(int index, int* position = nullptr, bool wantPosition = true) const;

  // Text of sub-match `subIndex` of match `matchIndex` (both 1-based); empty
  // beyond them or when that group took no part. The position, when asked for,
  // is the sub-match's 0-based byte offset, -1 when there is none.
  std::string GetSubMatch(int matchIndex, int subIndex, int* position = nullptr,
                          bool wantPosition = true) const;

  // Number of sub-matches (capturing groups) of the first match; 0 without one.
  int GetSubMatchCount() const;

  // Forgets the expression, the matches and the subject, as before the first
  // execute.
  void ReleaseAll();

 private:
  const RegExpMatch* MatchAt(int index) const;

  std::shared_ptr<RegExp> m_expression;                 // of the last execute
  std::shared_ptr<std::vector<RegExpMatch>> m_matches;  // null after a failure
  std::string m_subject;
};
