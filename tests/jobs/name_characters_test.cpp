#include "jobs/name_characters.h"

#include <gtest/gtest.h>

namespace {

std::u16string Units(const NameChars& chars) {
  std::u16string units;
  for (const NameChar& c : chars)
    units += c.unit;
  return units;
}

// An unchanged name must join to exactly the bytes it came from, whatever they
// hold, or a rename would change names the rules never touched.
TEST(NameCharacters, SplitAndJoinGiveTheSameBytes) {
  struct Row {
    const char* name;
    bool escaped;
    std::string input;
    std::u16string units;
  } rows[] = {
      {"plain Chinese and ASCII", false, "中a.txt", u"中a.txt"},
      {"plain trail byte equal to a bar", false, "\xD6\x7C|", u"謡|"},
      {"plain lone lead byte at the end", false, "a\xD6", u"a\uFFFD"},
      {"plain lead byte with an invalid trail", false, "\xD6\x20x", u"\uFFFD x"},
      {"plain unmapped pair between characters", false, "中\xA2\xA0中", u"中\uFFFD中"},
      {"plain unmapped pair keeps its trail from a lone lead byte", false, "\xA2\xA0\x81",
       u"\uFFFD\uFFFD"},
      {"plain single byte 0x80", false, "a\x80", u"a\u20AC"},
      {"escaped run: an unmapped pair keeps its trail from a letter", true,
       "\\u4E2D\xA2\xA0"
       "a",
       u"中\uFFFDa"},
      {"escape in either case", true, "\\u4e2d\\u4E2D", u"中中"},
      {"too few hex digits is text", true, "\\u4e2", u"\\u4e2"},
      {"capital U is text", true, "\\U4E2D", u"\\U4E2D"},
      {"backslash at the end", true, "a\\", u"a\\"},
      {"local characters beside escapes", true, "名\\u0041？", u"名A？"},
      {"surrogate pair as two escapes", true, "\\uD83D\\uDE00", u"\U0001F600"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const NameChars chars = row.escaped ? SplitEscapedName(row.input) : SplitPlainName(row.input);
    EXPECT_EQ(JoinName(chars), row.input);
    EXPECT_EQ(Units(chars), row.units);
  }
}

TEST(NameCharacters, ExtensionStartFollowsThePathRule) {
  struct Row {
    const char* name;
    std::string input;
    std::size_t expected;
  } rows[] = {
      {"last dot", "a.b.txt", 3},
      {"no dot", "readme", std::string::npos},
      {"space after the dot", "a.b c", std::string::npos},
      {"space before the dot", "a b.c", 3},
      {"backslash after the dot", "dir.x\\name", std::string::npos},
      {"slash after the dot", "dir.x/name", std::string::npos},
      {"dot at the end", "a.", 1},
      {"dot first", ".bashrc", 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(ExtensionStart(SplitPlainName(row.input)), row.expected);
  }
}

}  // namespace
