#include "foundation/unicode_notation.h"

#include <gtest/gtest.h>

#include "platform/code_page_codec.h"

namespace {

// UTF-16 bytes of a wide literal, with the terminator that the decoder adds.
std::string Utf16WithNul(std::u16string_view text) {
  return Utf16ToLeBytes(std::u16string(text) + u'\0');
}

TEST(DecodeUnicodeEscapes, DecodesLikeTheSplittingRule) {
  struct Row {
    const char* name;
    std::string input;
    std::u16string decoded;  // empty: no bytes at all
  } rows[] = {
      {"empty text", "", u""},
      {"plain ascii", "abc", u"abc"},
      {"chinese name", "\\u4e2d\\u6587.txt", u"中文.txt"},
      {"upper-case digits", "\\u4E2D", u"中"},
      {"rest of a piece follows the four digits", "\\u00411", u"A1"},
      {"short run of digits", "\\u41", u"A"},
      {"no digits gives a zero unit", "\\uZZ", std::u16string(1, u'\0')},
      {"separator at the end", "a\\u", std::u16string(u"a") + u'\0'},
      {"capital U is no separator", "\\U4E2D", u"\\U4E2D"},
      {"local characters pass through", "名\\u0041", u"名A"},
      {"quotes backslashes and line breaks kept", "a\"\\b\r\nc", u"a\"\\b\r\nc"},
      {"lone line feed kept", "a\nb", u"a\nb"},
      {"lone carriage return kept", "a\rb\\u0041", u"a\rbA"},
      {"surrogate pair of an emoji", "x\\uD83D\\uDE00", u"x\U0001F600"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string expected = row.decoded.empty() ? "" : Utf16WithNul(row.decoded);
    EXPECT_EQ(DecodeUnicodeEscapes(row.input), expected);
  }
}

TEST(EscapeToUnicodeNotation, KeepsOnlyWhatTheFlagsAllow) {
  struct Row {
    const char* name;
    std::u16string input;
    bool keepLettersDigits, keepPunctuation;
    std::string expected;
  } rows[] = {
      {"letters and digits only", u"a b-中", true, false, "a\\u0020b\\u002D\\u4E2D"},
      {"letters digits and punctuation", u"a b-中", true, true, "a b-\\u4E2D"},
      {"neither", u"a1", false, false, "\\u0061\\u0031"},
      {"controls escaped even with punctuation", u"\t~", true, true, "\\u0009~"},
      {"emoji becomes two escapes", u"\U0001F600", true, true, "\\uD83D\\uDE00"},
      {"stops at the first zero unit", std::u16string(u"ab") + u'\0' + u"cd", true, true, "ab"},
      {"starts with a zero unit", std::u16string(1, u'\0') + u"ab", true, true, ""},
      {"a backslash before u is escaped", u"a\\u0041\\x\\", true, true, "a\\u005Cu0041\\x\\"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(EscapeToUnicodeNotation(Utf16ToLeBytes(row.input), row.keepLettersDigits,
                                      row.keepPunctuation),
              row.expected);
  }
  EXPECT_EQ(EscapeToUnicodeNotation(""), "");
  // A trailing odd byte is ignored.
  EXPECT_EQ(EscapeToUnicodeNotation(std::string("a\0b", 3), true), "a");
}

// Names the code page cannot hold travel in backslash-u notation and must come
// back whole, including the characters the rename pipeline treats specially.
TEST(UnicodeNotation, NamesOutsideTheCodePageRoundTrip) {
  const std::u16string names[] = {
      u"\uD55C\uAE00 \uC774\uB984.mp4",    // Hangul
      u"\U0001F600 smile \U0001F44D.jpg",  // emoji as surrogate pairs
      u"what?.txt",
      u"it's+a-name.txt",
      u"中文（第1集）[高清].mkv",
      u"C:\\path\\new",  // backslashes that are not escapes
      u"a\\u0041.txt",   // a backslash that notation would read as an escape
      u"\\\\u\\",        // backslashes before and after one another
  };
  for (const std::u16string& name : names) {
    SCOPED_TRACE(EncodeFromUtf16(name, kCodePageUtf8));
    const std::string escaped = EscapeToUnicodeNotation(Utf16ToLeBytes(name + u'\0'), true, true);
    for (char c : escaped)
      ASSERT_LT(static_cast<unsigned char>(c), 0x80);
    EXPECT_EQ(DecodeUnicodeEscapes(escaped), Utf16WithNul(name));
    const std::string strict = EscapeToUnicodeNotation(Utf16ToLeBytes(name + u'\0'), true);
    EXPECT_EQ(DecodeUnicodeEscapes(strict), Utf16WithNul(name));
    EXPECT_EQ(UnescapeToText(strict), EncodeFromUtf16(name, kCodePageLocal));
  }
}

// Paths that a box shows and a job reads back: code page 936 where it holds
// the character, backslash-u notation for the rest.
TEST(EscapeBeyondCodePage, KeepsEveryCharacterAndEscapesOnlyWhatTheCodePageLacks) {
  struct Row {
    const char* name;
    std::u16string input;
    std::string path;  // with escapeBackslashU
    std::string box;   // without
  } rows[] = {
      {"code page 936 text stays plain", u"/中文/a b.txt", "/中文/a b.txt", "/中文/a b.txt"},
      {"emoji as two escapes", u"/文件0000 \U0001F600.txt", "/文件0000 \\uD83D\\uDE00.txt",
       "/文件0000 \\uD83D\\uDE00.txt"},
      {"Hangul", u"/\uD55C\uAD6D \uD3F4\uB354", "/\\uD55C\\uAD6D \\uD3F4\\uB354",
       "/\\uD55C\\uAD6D \\uD3F4\\uB354"},
      {"a question mark is a character", u"what?.txt", "what?.txt", "what?.txt"},
      {"a backslash before u", u"/a\\u0041.txt", "/a\\u005Cu0041.txt", "/a\\u0041.txt"},
      {"other backslashes stay", u"C:\\path\\new", "C:\\path\\new", "C:\\path\\new"},
      {"a lone surrogate is kept as its escape", std::u16string(1, char16_t(0xD83D)) + u"x",
       "\\uD83Dx", "\\uD83Dx"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string bytes = Utf16ToLeBytes(row.input);
    EXPECT_EQ(EscapeBeyondCodePage(bytes, true), row.path);
    EXPECT_EQ(EscapeBeyondCodePage(bytes, false), row.box);
    EXPECT_EQ(DecodeUnicodeEscapes(row.path), Utf16WithNul(row.input)) << "a job reads it back";
    EXPECT_EQ(EscapeBeyondCodePage(Utf16ToLeBytes(DecodeEscapesBeyondCodePage(row.box)), false),
              row.box)
        << "a box gives back its text";
  }
  EXPECT_EQ(DecodeEscapesBeyondCodePage("/文件 \\uD83D\\uDE00 \\uD55C"),
            u"/文件 \U0001F600 \uD55C");
  // Escapes the program does not write stand as they are: a character the
  // code page holds, a lone surrogate, a short escape.
  EXPECT_EQ(DecodeEscapesBeyondCodePage("\\u4e2d \\uDE00 \\uD83D \\u12"),
            u"\\u4e2d \\uDE00 \\uD83D \\u12");
}

TEST(UnescapeToText, DecodesEscapesAndKeepsProtectedCharacters) {
  struct Row {
    const char* name;
    std::string input;
    std::string expected;
  } rows[] = {
      {"percent u", "%u4E2D", "中"},
      {"backslash u lower", "\\u4e2d", "中"},
      {"backslash u upper", "\\u4E2D", "中"},
      {"percent two digits is Latin-1", "%41%E9", "A\xA8\xA6"},  // é in code page 936
      {"plus and unknown percent stay", "a+b%zz%", "a+b%zz%"},
      {"CR LF kept", "a\r\nb", "a\r\nb"},
      {"lone LF kept", "a\nb", "a\nb"},
      {"leading CR dropped", "\ra", "a"},
      {"apostrophe kept", "it's", "it's"},
      {"right quote becomes apostrophe", "it’s", "it's"},
      {"script escapes read", "a\\tb\\\\c\\x41", "a\tb\\cA"},
      {"character outside the code page", "\\uAC00", "?"},
      {"emoji is one question mark", "%uD83D%uDE00", "?"},
      {"empty", "", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(UnescapeToText(row.input), row.expected);
  }
}

TEST(UnescapeToText, MalformedEscapesGiveTheInputBack) {
  const std::string inputs[] = {
      "bad \\x4 escape",
      "odd trailing backslash\\",
      "stray CR\rinside",
      "名称\\xZZ",
  };
  for (const std::string& input : inputs) {
    SCOPED_TRACE(input);
    EXPECT_EQ(UnescapeToText(input), input);
  }
}

TEST(EscapeWithScript, EscapesForTheSearchInEscapedNames) {
  struct Row {
    const char* name;
    std::string input;
    std::string expected;
  } rows[] = {
      {"brackets restored", "(1).txt", "(1).txt"},
      {"space stays escaped", "a b", "a%20b"},
      {"tilde stays escaped", "a~", "a%7E"},
      {"chinese to backslash-u", "中", "\\u4E2D"},
      {"apostrophe becomes right quote", "'", "\\u2019"},
      {"punctuation restored", "{a:[1,\"2\"]}", "{a:[1,\"2\"]}"},
      {"backslash-u in the input is read first", "\\u4e2d", "\\u4E2D"},
      {"malformed x escape kept literally", "a\\x4", "a%5Cx4"},
      {"malformed u escape kept literally", "\\u12", "%5Cu12"},
      {"odd trailing backslash kept literally", "ab\\", "ab%5C"},
      {"line feed kept literally", "a\nb", "a%0Ab"},
      {"line break pair kept literally", "a\r\nb\\t", "a%0D%0Ab%5Ct"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(EscapeWithScript(row.input, true, true, "\\u"), row.expected);
  }
  EXPECT_EQ(EscapeWithScript("中(", false, false, "%u"), "%u4E2D%28");
  EXPECT_EQ(EscapeWithScript("中", true, true, "  "), "%u4E2D");
  EXPECT_EQ(EscapeWithScript("中", true, true, ""), "%u4E2D");
}

TEST(FindBytes, SearchesWholeCodeUnits) {
  const std::string haystack = Utf16ToLeBytes(u"ab中b");
  const std::string b = Utf16ToLeBytes(u"b");
  struct Row {
    const char* name;
    std::string haystack, needle;
    int start;
    int expected;
  } rows[] = {
      {"first occurrence", haystack, b, 1, 3},
      {"start 0 is start 1", haystack, b, 0, 3},
      {"from a later start", haystack, b, 4, 7},
      {"odd start moves to the next unit", haystack, b, 2, 3},
      {"needle ending at the last byte", haystack, Utf16ToLeBytes(u"中b"), 1, 5},
      {"start beyond the last candidate", haystack, b, 8, -1},
      {"empty needle", haystack, "", 1, -1},
      {"empty haystack", "", b, 1, -1},
      // 中 is 2D 4E: the byte pair 4E 00 of "N" straddles it and the next unit.
      {"no match across code units", Utf16ToLeBytes(u"中\u0000"), Utf16ToLeBytes(u"N"), 1, -1},
      {"no match inside a character", Utf16ToLeBytes(u"\u6200"), Utf16ToLeBytes(u"b"), 1, -1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(FindBytes(row.haystack, row.needle, row.start), row.expected);
  }
}

}  // namespace
