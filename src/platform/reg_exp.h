#pragma once
// Regular expressions in the style of the classic scripting RegExp object
// (IgnoreCase, Multiline, Global; Execute, Replace and Test with $-references
// and sub-matches), over PCRE2 in UTF mode.
//
// Patterns, subjects and replacements are code page 936 texts. The subject is
// matched as Unicode, and every position and text handed back is mapped to the
// caller's bytes: positions are 0-based byte offsets in the subject, match texts
// are the subject's own bytes. Pattern syntax follows the scripting dialect:
// \uHHHH and \xHH escapes, "." stops at CR and LF, "$" without Multiline only at
// the very end, a back-reference to a group that did not take part matches the
// empty text, "[^]" matches any character and "[]" none.
//
// Every search runs under a match limit and a depth limit per start position,
// and under a work limit for the whole Execute, so a pattern with catastrophic
// backtracking ends with RegExpStatus::kLimitExceeded instead of hanging the
// job that runs it.
//
// An object belongs to the thread that uses it; it is not locked.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

enum class RegExpStatus {
  kOk,
  kBadPattern,     // the pattern does not compile
  kLimitExceeded,  // the match or depth limit stopped the search
  kFailed,         // any other matching error
};

struct RegExpSubMatch {
  bool matched = false;  // false: the group took no part in the match
  std::string value;     // empty when not matched
  int position = -1;     // 0-based byte offset in the subject, -1 when not matched
};

struct RegExpMatch {
  std::string value;                       // the matched bytes of the subject
  int position = 0;                        // 0-based byte offset in the subject
  std::vector<RegExpSubMatch> subMatches;  // one per capturing group, in order
};

class RegExp {
 public:
  // Limits on the backtracking work of one match attempt (one start
  // position). They stop runaway patterns within a few tens of milliseconds
  // while leaving every sane pattern over a file name or a log line far below
  // them.
  static constexpr unsigned kMatchLimit = 1000000;
  static constexpr unsigned kDepthLimit = 10000;
  // Limit on the work of one Execute, Replace or Test over all start
  // positions and matches, counted in pattern items tried: kWorkLimit plus
  // kWorkPerByte for each byte of the subject. A pattern that stays under the
  // match limit at every position would otherwise cost that limit once per
  // character.
  static constexpr unsigned long long kWorkLimit = 10000000;
  static constexpr unsigned long long kWorkPerByte = 100;

  RegExp();
  ~RegExp();
  RegExp(const RegExp& other) = default;  // shares the compiled pattern, which is read-only
  RegExp& operator=(const RegExp& other) = default;

  void SetPattern(std::string_view pattern);
  const std::string& Pattern() const { return m_pattern; }
  void SetIgnoreCase(bool on);
  bool IgnoreCase() const { return m_ignoreCase; }
  void SetMultiline(bool on);
  bool Multiline() const { return m_multiline; }
  void SetGlobal(bool on) { m_global = on; }
  bool Global() const { return m_global; }

  // The matches of the pattern in the subject: all of them when Global, else
  // at most the first. On a failure `matches` is left empty.
  [[nodiscard]] RegExpStatus Execute(std::string_view subject,
                                     std::vector<RegExpMatch>& matches) const;

  // The subject with the matches replaced (all when Global, else the first).
  // The replacement may hold $$, $&, $`, $' and $1 to $99. On a failure `out`
  // is left unchanged.
  [[nodiscard]] RegExpStatus Replace(std::string_view subject, std::string_view replacement,
                                     std::string& out) const;

  // Whether the pattern matches anywhere; false on every failure.
  bool Test(std::string_view subject) const;

  // Text of the last compile or match failure of this object, empty after a
  // success.
  const std::string& LastError() const { return m_lastError; }

 private:
  struct Compiled;
  [[nodiscard]] RegExpStatus Compile() const;
  void Invalidate();

  std::string m_pattern;
  bool m_ignoreCase = false;
  bool m_multiline = false;
  bool m_global = false;
  mutable std::shared_ptr<Compiled> m_compiled;  // made on first use
  mutable std::string m_lastError;
};
