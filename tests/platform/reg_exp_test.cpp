#include "platform/reg_exp.h"

#include <gtest/gtest.h>

namespace {

RegExp Make(const std::string& pattern, bool ignoreCase, bool multiline, bool global) {
  RegExp re;
  re.SetPattern(pattern);
  re.SetIgnoreCase(ignoreCase);
  re.SetMultiline(multiline);
  re.SetGlobal(global);
  return re;
}

TEST(RegExp, ReplaceFollowsOptionsAndReferences) {
  struct Row {
    const char* name;
    const char* pattern;
    bool ignoreCase, multiline, global;
    const char* subject;
    const char* replacement;
    const char* expected;
  } rows[] = {
      {"global replaces every match", "a", false, false, true, "banana", "o", "bonono"},
      {"not global replaces the first", "a", false, false, false, "banana", "o", "bonana"},
      {"case matters without ignore case", "A", false, false, true, "aA", "x", "ax"},
      {"ignore case", "A", true, false, true, "aA", "x", "xx"},
      {"sub-matches swap", "(\\w+)-(\\w+)", false, false, true, "ab-cd", "$2-$1", "cd-ab"},
      {"whole match and dollar", "b", false, false, true, "abc", "[$&$$]", "a[b$]c"},
      {"before and after", "b", false, false, true, "abc", "<$`|$'>", "a<a|c>c"},
      {"unknown group stays literal", "(a)", false, false, true, "a", "$2$0", "$2$0"},
      {"two-digit reference falls back to one digit", "(a)", false, false, true, "a", "$10", "a0"},
      {"unmatched group gives empty text", "(x)?a", false, false, true, "a", "[$1]", "[]"},
      {"caret per line with multiline", "^", false, true, true, "a\r\nb", "#", "#a\r\n#b"},
      {"caret only at start without multiline", "^", false, false, true, "a\r\nb", "#", "#a\r\nb"},
      {"dollar only at the very end without multiline", "b$", false, false, true, "ab\n", "X",
       "ab\n"},
      {"empty matches step one character", "x*", false, false, true, "中b", "-", "-中-b-"},
      {"blank line removal pattern", "\\n\\s*\\r", true, true, true, "a\r\n\r\n  \r\nb", "",
       "a\r\nb"},
      {"script escapes in the pattern", "\\u4E2D\\x41", false, false, true, "中A中", "Z", "Z中"},
      {"negated empty class matches anything", "a[^]b", false, false, true, "a\nb", "X", "X"},
      {"dot stops at line breaks", "a.b", false, false, true, "a\nb a-b", "X", "a\nb X"},
      {"bytes around matches are kept exactly", "文", false, false, true, "中文名", "x", "中x名"},
      {"backslash C is a plain C", "\\C|\\\\C", false, false, true, "中C\\C", "x", "中xx"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const RegExp re = Make(row.pattern, row.ignoreCase, row.multiline, row.global);
    std::string out = "unchanged";
    ASSERT_EQ(re.Replace(row.subject, row.replacement, out), RegExpStatus::kOk) << re.LastError();
    EXPECT_EQ(out, row.expected);
  }
}

TEST(RegExp, PositionsAreByteOffsetsInTheLocalText) {
  const RegExp re = Make("(b)(c)?", false, false, true);
  std::vector<RegExpMatch> matches;
  // 中 and 文 take two bytes each in code page 936.
  ASSERT_EQ(re.Execute("中文b中b", matches), RegExpStatus::kOk);
  ASSERT_EQ(matches.size(), 2u);
  EXPECT_EQ(matches[0].position, 4);
  EXPECT_EQ(matches[1].position, 7);
  ASSERT_EQ(matches[1].subMatches.size(), 2u);
  EXPECT_TRUE(matches[1].subMatches[0].matched);
  EXPECT_EQ(matches[1].subMatches[0].position, 7);
  EXPECT_FALSE(matches[1].subMatches[1].matched);
  EXPECT_EQ(matches[1].subMatches[1].position, -1);
}

TEST(RegExp, InvalidBytesKeepTheirOwnOffsets) {
  struct Row {
    const char* name;
    std::string subject;
    const char* pattern;
    int position;
    std::string replaced;  // the match replaced by "c"
  } rows[] = {
      // 0xFF is no character of code page 936; the text around it must still map.
      {"lone invalid byte", std::string("a\xFF") + "中b", "b", 4, std::string("a\xFF") + "中c"},
      // A1 81 is no character; read byte by byte, its 81 would pair with the B0
      // after it and swallow the "A", though the character count comes out equal.
      {"invalid pair before valid ones", "\xA1\x81\xB0\x81\x41", "a", 4,
       "\xA1\x81\xB0\x81"
       "c"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const RegExp re = Make(row.pattern, true, false, true);
    std::vector<RegExpMatch> matches;
    ASSERT_EQ(re.Execute(row.subject, matches), RegExpStatus::kOk);
    ASSERT_EQ(matches.size(), 1u);
    EXPECT_EQ(matches[0].position, row.position);
    std::string out;
    ASSERT_EQ(re.Replace(row.subject, "c", out), RegExpStatus::kOk);
    EXPECT_EQ(out, row.replaced);
  }
}

TEST(RegExp, FailuresAreReportedAndLeaveOutputAlone) {
  struct Row {
    const char* name;
    const char* pattern;
    std::string subject;
    RegExpStatus status;
  } rows[] = {
      {"unbalanced group", "(a", "a", RegExpStatus::kBadPattern},
      {"catastrophic backtracking stops at the limit", "^(a+)+$", std::string(40, 'a') + "!",
       RegExpStatus::kLimitExceeded},
      {"nested repeats stop at the limit", "(x+x+)+y", std::string(40, 'x') + "!y",
       RegExpStatus::kLimitExceeded},
      // Under the match limit at each start position, but costly at every one:
      // the work over the whole search must be bounded too.
      {"costly at every start position", "(?:a|a){19}!", std::string(300, 'a') + "b!",
       RegExpStatus::kLimitExceeded},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const RegExp re = Make(row.pattern, true, true, true);
    std::vector<RegExpMatch> matches(1);
    EXPECT_EQ(re.Execute(row.subject, matches), row.status);
    EXPECT_TRUE(matches.empty());
    std::string out = "kept";
    EXPECT_EQ(re.Replace(row.subject, "x", out), row.status);
    EXPECT_EQ(out, "kept");
    EXPECT_FALSE(re.Test(row.subject));
    EXPECT_FALSE(re.LastError().empty());
  }
}

TEST(RegExp, ChangingOptionsRecompiles) {
  RegExp re = Make("abc", false, false, false);
  EXPECT_FALSE(re.Test("ABC"));
  re.SetIgnoreCase(true);
  EXPECT_TRUE(re.Test("ABC"));
  re.SetPattern("x");
  EXPECT_FALSE(re.Test("ABC"));
}

}  // namespace
