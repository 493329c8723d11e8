#pragma once
// Internal to the code that runs patterns of the scripting dialect on PCRE2
// itself: RegExp, and any matcher that needs its own subject form (such as an
// expression over the characters of a name). One compile set-up and one set
// of limits, so that all of them read a pattern alike and no pattern can hang
// any of them.

#ifndef PCRE2_CODE_UNIT_WIDTH
#define PCRE2_CODE_UNIT_WIDTH 8
#endif
#include <pcre2.h>

#include <string>
#include <string_view>

#include "platform/reg_exp.h"

// Compiles a code page 936 pattern of the dialect: UTF mode, \uHHHH and \xHH
// escapes, "\C" a plain C, "." stopping at CR and LF, "$" without multiline
// only at the very end, "[]" and "[^]", a back-reference to a group that took
// no part matching the empty text, and the callouts that DialectMatchLimits
// counts. Null on failure, with the reason in `error`. The caller frees the
// code with pcre2_code_free.
pcre2_code* CompileDialectPattern(std::string_view pattern, bool ignoreCase, bool multiline,
                                  std::string& error);

// PCRE2's message for one of its error codes.
std::string DialectErrorText(int code);

// The status a search ends with when pcre2_match fails with `code` (negative,
// not PCRE2_ERROR_NOMATCH): kLimitExceeded when one of the limits stopped it,
// else kFailed.
RegExpStatus DialectMatchFailure(int code);

// The match context of one search (every pcre2_match call of it, over all
// start positions and matches) over a UTF-8 subject of `subjectBytes` bytes:
// RegExp's match and depth limits per start position, and its work limit over
// the whole search, which then fails with PCRE2_ERROR_MATCHLIMIT.
class DialectMatchLimits {
 public:
  explicit DialectMatchLimits(size_t subjectBytes);
  ~DialectMatchLimits();
  DialectMatchLimits(const DialectMatchLimits&) = delete;
  DialectMatchLimits& operator=(const DialectMatchLimits&) = delete;

  // Null when it could not be made.
  pcre2_match_context* Context() const { return m_context; }

  // Arms the same context for a new search over a subject of `subjectBytes`
  // bytes, so a matcher that runs one pattern over many subjects makes it once.
  void Restart(size_t subjectBytes);

 private:
  static int CountWork(pcre2_callout_block* block, void* data);

  pcre2_match_context* m_context = nullptr;
  unsigned long long m_used = 0;
  unsigned long long m_limit = 0;
};
