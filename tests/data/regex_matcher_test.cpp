#include "data/regex_matcher.h"

#include <gtest/gtest.h>

namespace {

TEST(RegexMatcher, DefaultsIgnoreCaseAndTheCaseFlagRestoresIt) {
  RegexMatcher m;
  ASSERT_TRUE(m.Execute("abc", "xABCx"));
  EXPECT_EQ(m.GetMatchCount(), 1);
  EXPECT_EQ(m.GetMatch(1), "ABC");
  ASSERT_TRUE(m.Execute("abc", "xABCx", true));
  EXPECT_EQ(m.GetMatchCount(), 0);
  EXPECT_EQ(m.GetPattern(), "abc");
}

TEST(RegexMatcher, QuoteFlagAndSubMatches) {
  RegexMatcher m;
  ASSERT_TRUE(m.Execute("#引号(.*?)#引号", "名称\"第一集\"后", false, true, true, true));
  ASSERT_EQ(m.GetMatchCount(), 1);
  EXPECT_EQ(m.GetSubMatchCount(), 1);
  int position = 99;
  EXPECT_EQ(m.GetSubMatch(1, 1, &position, true), "第一集");
  EXPECT_EQ(position, 5);  // bytes: 名称 is 4, the quote 1
  EXPECT_EQ(m.GetMatch(1, &position, true), "\"第一集\"");
  EXPECT_EQ(position, 4);
  // Without the quote flag "#引号" is plain text.
  ASSERT_TRUE(m.Execute("#引号(.*?)#引号", "名称\"第一集\"后"));
  EXPECT_EQ(m.GetMatchCount(), 0);
}

TEST(RegexMatcher, PositionsCountBytesAndMatchTheRightOccurrence) {
  RegexMatcher m;
  ASSERT_TRUE(m.Execute("abc", "中文abc"));
  int position = -5;
  m.GetMatch(1, &position, true);
  EXPECT_EQ(position, 4);
  // The second "ab" must not be reported at the first one's offset.
  ASSERT_TRUE(m.Execute("ab", "中中中ab ab"));
  ASSERT_EQ(m.GetMatchCount(), 2);
  m.GetMatch(2, &position, true);
  EXPECT_EQ(position, 9);
  position = 123;
  m.GetMatch(2, &position, false);
  EXPECT_EQ(position, 123);
}

TEST(RegexMatcher, OutOfRangeAndFailureGiveEmptyResults) {
  struct Row {
    const char* name;
    const char* pattern;
    const char* subject;
    bool executes;
    int count;
    const char* replaced;
  } rows[] = {
      {"nothing found still succeeds", "z", "abc", true, 0, "abc"},
      {"invalid pattern", "a(", "abc", false, 0, "abc"},
      {"runaway pattern stops", "^(a+)+$", "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa!", false, 0,
       "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa!"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    RegexMatcher m;
    EXPECT_EQ(m.Execute(row.pattern, row.subject), row.executes);
    EXPECT_EQ(m.GetMatchCount(), row.count);
    int position = 0;
    EXPECT_EQ(m.GetMatch(1, &position, true), "");
    EXPECT_EQ(position, -1);
    EXPECT_EQ(m.GetSubMatch(1, 1, &position, true), "");
    EXPECT_EQ(m.GetSubMatchCount(), 0);
    EXPECT_EQ(m.Replace("x"), row.replaced);
  }
  RegexMatcher released;
  ASSERT_TRUE(released.Execute("a", "a"));
  released.ReleaseAll();
  EXPECT_EQ(released.GetMatchCount(), 0);
  EXPECT_EQ(released.Replace("x"), "");
  RegexMatcher fresh;
  EXPECT_EQ(fresh.Replace("x"), "");
  EXPECT_EQ(fresh.GetPattern(), "");
  RegexMatcher m;
  ASSERT_TRUE(m.Execute("(a)(b)", "ab"));
  EXPECT_EQ(m.GetSubMatch(1, 3), "");
  EXPECT_EQ(m.GetSubMatch(2, 1), "");
  EXPECT_EQ(m.GetSubMatch(1, 0), "");
}

TEST(RegexMatcher, ReplaceUsesTheLastExecuteAndCopiesShareIt) {
  RegexMatcher m;
  ASSERT_TRUE(m.Execute("(\\d+)", "第1集第22集", false, true, false));
  EXPECT_EQ(m.Replace("[$1]"), "第[1]集第22集");
  const RegexMatcher copy = m;
  ASSERT_TRUE(m.Execute("集", "第1集"));
  EXPECT_EQ(copy.Replace("<$&>"), "第<1>集第22集");
  EXPECT_EQ(copy.GetMatch(1), "1");
  EXPECT_EQ(m.Replace(), "第1");
}

TEST(RegexMatcher, RemovesBlankLinesWithTheCleanUpPattern) {
  RegexMatcher m;
  ASSERT_TRUE(m.Execute("\n\\s*\r", "\r\na\r\n\r\n  \r\nb\r\n\r\n"));
  EXPECT_EQ(m.Replace(""), "\r\na\r\nb\r\n");
}

}  // namespace
