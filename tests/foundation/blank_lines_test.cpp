#include "foundation/blank_lines.h"

#include <gtest/gtest.h>

namespace {

TEST(RemoveBlankLines, DropsBlankLinesAndOneOuterLineBreak) {
  struct Row {
    const char* name;
    std::string text;
    std::string expected;
  } rows[] = {
      {"blank and white-space lines", "\r\na\r\n\r\n  \r\nb\r\n\r\n", "a\r\nb"},
      {"lines ending in LF alone stay", "a\n\nb\n", "a\n\nb\n"},
      {"blank first line without a break before it stays", "  \r\na", "  \r\na"},
      {"white space inside lines stays", " a \r\n\r\n b ", " a \r\n b "},
      {"tab-only line", "a\r\n\t\r\nb", "a\r\nb"},
      {"leading run of breaks", "\r\n\r\n\r\na", "a"},
      {"only one trailing break goes", "a\r\n", "a"},
      {"chinese lines", "第一\r\n\r\n第二\r\n", "第一\r\n第二"},
      {"single line", "abc", "abc"},
      {"empty", "", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(RemoveBlankLines(row.text), row.expected);
  }
}

}  // namespace
