#include "foundation/text_search.h"

#include <gtest/gtest.h>

#include "support/test_bytes.h"

namespace {

// Two double-byte characters that differ only in whether their trail byte
// looks like an upper- or lower-case ASCII letter.
const std::string kTrailUpper = Bytes({0x81, 'A'});
const std::string kTrailLower = Bytes({0x81, 'a'});

TEST(FindText, FindsTheFirstOccurrenceByWholeCharacters) {
  struct Row {
    const char* name;
    std::string text;
    std::string sought;
    int start;
    bool ignoreCase;
    int expected;
  } rows[] = {
      {"first occurrence", "abcabc", "bc", 1, false, 2},
      {"from a later start", "abcabc", "bc", 3, false, 5},
      {"start below 1 counts as 1", "abcabc", "bc", -5, false, 2},
      {"start on the last byte", "abcabc", "c", 6, false, 6},
      {"start past the end", "abcabc", "c", 7, false, -1},
      {"sought longer than text", "ab", "abc", 1, false, -1},
      {"never on a trail byte", Bytes({0x81, 0x40}), "@", 1, false, -1},
      {"trail byte plus next character", "中文", Bytes({0xD0, 0xCE}), 1, false, -1},
      {"after a double-byte character", "中@", "@", 1, false, 3},
      {"chinese marker", "名称：文件。", "文件", 1, false, 7},
      {"scan starts where told, even mid-character", Bytes({0xD6, 0xD0, 'A'}), Bytes({0xD0, 'A'}),
       2, false, 2},
      {"case differs without the flag", "Hello World", "WORLD", 1, false, -1},
      {"case folded with the flag", "Hello World", "WORLD", 1, true, 7},
      {"brackets are not letters", "{x}", "[", 1, true, -1},
      {"at-sign is not a letter", "`", "@", 1, true, -1},
      {"trail bytes are never folded", kTrailUpper, kTrailLower, 1, true, -1},
      {"trail bytes equal still match", "x" + kTrailLower, kTrailLower, 1, true, 2},
      {"empty sought", "abc", "", 1, false, 1},
      {"empty sought from a later start", "abc", "", 3, false, 1},
      {"empty sought past the end", "abc", "", 4, false, -1},
      {"empty text", "", "", 1, false, -1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(FindText(row.text, row.sought, row.start, row.ignoreCase), row.expected);
  }
}

TEST(FindTextBackward, FindsTheLastOccurrenceEndingBeforeTheStart) {
  struct Row {
    const char* name;
    std::string text;
    std::string sought;
    int start;
    bool ignoreCase;
    int expected;
  } rows[] = {
      {"whole text by default", "abcabc", "bc", kSearchWholeText, false, 5},
      {"occurrence must end before the start", "abcabc", "bc", 6, false, 2},
      {"occurrence ending just before the start", "abcabc", "bc", 7, false, 5},
      {"start 1 finds nothing", "abcabc", "a", 1, false, -1},
      {"start 0 finds nothing", "abcabc", "a", 0, false, -1},
      {"never on a trail byte", Bytes({0x81, 0x40, 0x40}), "@", kSearchWholeText, false, 3},
      {"case folded with the flag", "aXbx", "X", kSearchWholeText, true, 4},
      {"trail bytes are never folded", kTrailUpper + "z", kTrailLower, kSearchWholeText, true, -1},
      {"empty sought", "abc", "", kSearchWholeText, false, 1},
      {"empty sought with nothing to scan", "abc", "", 1, false, -1},
      {"not found", "abc", "x", kSearchWholeText, false, -1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(FindTextBackward(row.text, row.sought, row.start, row.ignoreCase), row.expected);
  }
}

struct MarkerRow {
  const char* name;
  std::string text;
  std::string marker;
  int start;
  bool ignoreCase;
  std::string expected;
};

TEST(TextLeftOfMarker, CutsBeforeTheChosenOccurrence) {
  const MarkerRow rows[] = {
      {"first occurrence", "a;b;c", ";", 0, false, "a"},
      {"last occurrence", "a;b;c", ";", -1, false, "a;b"},
      {"last within all but two bytes", "a;b;c;", ";", -2, false, "a;b"},
      {"from a start, counted from the beginning", "a;b;c", ";", 3, false, "a;b"},
      {"marker at position 1", ";abc", ";", 0, false, ""},
      {"missing marker", "abc", ";", 0, false, ""},
      {"empty marker", "abc", "", 0, false, ""},
      {"ignore case", "keyBDUSS=1", "bduss", 0, true, "key"},
      {"double-byte marker", "文件名。后缀", "。", 0, false, "文件名"},
  };
  for (const MarkerRow& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(TextLeftOfMarker(row.text, row.marker, row.start, row.ignoreCase), row.expected);
  }
}

TEST(TextRightOfMarker, CutsAfterTheChosenOccurrence) {
  const MarkerRow rows[] = {
      {"last occurrence", "a;b;c", ";", 0, false, "c"},
      {"first occurrence", "a;b;c", ";", -1, false, "b;c"},
      {"last within all but one byte", "a;b;c;", ";", 1, false, "c;"},
      {"last within all but three bytes", "a;b;c", ";", 3, false, "b;c"},
      {"first at or after byte 3", "a;b;c", ";", -3, false, "c"},
      {"marker ends the text", "a;b;", ";", 0, false, ""},
      {"missing marker", "abc", ";", 0, false, ""},
      {"empty marker gives the whole text", "abc", "", 0, false, "abc"},
      {"ignore case as the cookie lookup uses it", "x; BDUSS=tok", "bduss=", 0, true, "tok"},
      {"case differs without the flag", "x; BDUSS=tok", "bduss=", 0, false, ""},
      {"double-byte marker", "前缀：名字", "：", 0, false, "名字"},
  };
  for (const MarkerRow& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(TextRightOfMarker(row.text, row.marker, row.start, row.ignoreCase), row.expected);
  }
}

TEST(TextBetweenMarkers, CutsBetweenLeftAndNextRightMarker) {
  struct Row {
    const char* name;
    std::string text;
    std::string left;
    std::string right;
    int start;
    bool ignoreCase;
    std::string expected;
  } rows[] = {
      {"json value through the quote marker", R"({"errno":0,"name":"abc","size":1})",
       "#引号name#引号:#引号", "#引号", 0, false, "abc"},
      {"plain quotes work too", R"({"name":"abc"})", R"("name":")", R"(")", 0, false, "abc"},
      {"right marker only before the left", "]x[", "[", "]", 0, false, ""},
      {"right marker follows at once", "[]", "[", "]", 0, false, ""},
      {"empty right marker", "[abc]", "[", "", 0, false, ""},
      {"missing left marker", "abc]", "[", "]", 0, false, ""},
      {"left marker ends the text", "abc[", "[", "]", 0, false, ""},
      {"from a later start", R"("a":"1","a":"2")", "#引号a#引号:#引号", "#引号", 5, false, "2"},
      {"ignore case", "<B>bold</b>", "<b>", "</B>", 0, true, "bold"},
      {"double-byte markers", "名称：文件。", "名称：", "。", 0, false, "文件"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(TextBetweenMarkers(row.text, row.left, row.right, row.start, row.ignoreCase),
              row.expected);
  }
}

}  // namespace
