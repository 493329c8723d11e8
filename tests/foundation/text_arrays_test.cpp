#include "foundation/text_arrays.h"

#include <gtest/gtest.h>

#include "support/test_bytes.h"

namespace {

TEST(SplitIntoCharacters, SplitsDoubleByteCharactersAndLineBreaks) {
  struct Row {
    const char* name;
    std::string text;
    TextArray expected;
  } rows[] = {
      {"mixed", "a" + Bytes({0xD6, 0xD0}) + "\r\nb", {"a", Bytes({0xD6, 0xD0}), "\r\n", "b"}},
      {"lone CR stays single", "a\rb", {"a", "\r", "b"}},
      {"LF CR is two items", "\n\r", {"\n", "\r"}},
      {"lead byte at the end stays single", "a" + Bytes({0xD6}), {"a", Bytes({0xD6})}},
      {"0x80 is a single byte", Bytes({0x80, 'A'}), {Bytes({0x80}), "A"}},
      {"0x81 starts a pair", Bytes({0x81, 'A'}), {Bytes({0x81, 'A'})}},
      {"empty text", "", {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    TextArray items = {"left over"};
    EXPECT_EQ(SplitIntoCharacters(row.text, items), static_cast<int>(row.expected.size()));
    EXPECT_EQ(items, row.expected);
  }
}

TEST(RemoveDuplicateItems, KeepsTheFirstOfEachItemAndReportsTheRest) {
  struct Row {
    const char* name;
    std::string text;
    std::string separator;
    bool split;
    std::string expected;
    TextArray removed;
  } rows[] = {
      {"cookie pairs", "a=1; b=2; a=1", "; ", true, "a=1; b=2", {"a=1"}},
      {"empty middle item kept, empty last item dropped", "a;;b;", ";", true, "a;;b", {}},
      {"second empty item is a duplicate", "a;;b;;", ";", true, "a;;b", {""}},
      {"no separator in the text", "abc", ";", true, "abc", {}},
      {"empty separator keeps the whole text", "abab", "", true, "abab", {}},
      {"empty text", "", ";", true, "", {}},
      {"characters joined by the separator", "abca", ",", false, "a,b,c", {"a"}},
      {"double-byte characters compare whole", "中文中", "", false, "中文", {"中"}},
      {"separator inside a double-byte character is no separator",
       "x;" + Bytes({0x81, ';'}) + ";x",
       ";",
       true,
       "x;" + Bytes({0x81, ';'}),
       {"x"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    int removedCount = 5;
    TextArray removed = {"earlier"};
    EXPECT_EQ(RemoveDuplicateItems(row.text, row.separator, row.split, removedCount, removed),
              row.expected);
    EXPECT_EQ(removedCount, 5 + static_cast<int>(row.removed.size()));
    TextArray expectedRemoved = {"earlier"};
    expectedRemoved.insert(expectedRemoved.end(), row.removed.begin(), row.removed.end());
    EXPECT_EQ(removed, expectedRemoved);
  }
}

TEST(FindInArray, GivesThePositionOfTheFirstEqualElement) {
  const TextArray texts = {"a", "", "b", "a"};
  EXPECT_EQ(FindTextInArray(texts, "a"), 1);
  EXPECT_EQ(FindTextInArray(texts, ""), 2);
  EXPECT_EQ(FindTextInArray(texts, "A"), -1);
  EXPECT_EQ(FindTextInArray({}, ""), -1);
  const IntArray ints = {7, -3, 7};
  EXPECT_EQ(FindIntInArray(ints, 7), 1);
  EXPECT_EQ(FindIntInArray(ints, -3), 2);
  EXPECT_EQ(FindIntInArray(ints, 0), -1);
}

TEST(SortTextArray, SortsByUnsignedBytesAndKeepsEqualTexts) {
  struct Row {
    const char* name;
    TextArray input;
    int descending;
    bool binaryCompare;
    bool ignoreCase;
    TextArray expected;
  } rows[] = {
      {"equal texts kept", {"b", "a", "c", "a"}, 0, false, false, {"a", "a", "b", "c"}},
      {"descending 1 reverses", {"b", "a", "c", "a"}, 1, false, false, {"c", "b", "a", "a"}},
      {"descending 2 stays ascending", {"b", "a", "c", "a"}, 2, false, false, {"a", "a", "b", "c"}},
      {"double-byte after ASCII", {"中", "z", "A"}, 0, false, false, {"A", "z", "中"}},
      {"prefix first", {"ab", "a", "abc"}, 0, false, false, {"a", "ab", "abc"}},
      {"case-sensitive by default", {"b", "B", "a"}, 0, false, false, {"B", "a", "b"}},
      {"ignore case keeps input order of equals", {"b", "B", "a"}, 0, false, true, {"a", "b", "B"}},
      {"binary compare overrides ignore case", {"b", "B", "a"}, 0, true, true, {"B", "a", "b"}},
      {"empty array", {}, 1, false, false, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    TextArray array = row.input;
    SortTextArray(array, row.descending, row.binaryCompare, row.ignoreCase);
    EXPECT_EQ(array, row.expected);
  }
}

TEST(ReverseArray, ReversesTextsAndIntegers) {
  TextArray odd = {"1", "2", "3"};
  ReverseArray(odd);
  EXPECT_EQ(odd, (TextArray{"3", "2", "1"}));
  IntArray even = {1, 2, 3, 4};
  ReverseArray(even);
  EXPECT_EQ(even, (IntArray{4, 3, 2, 1}));
  int32_t a = 1;
  int32_t b = -2;
  SwapValues(a, b);
  EXPECT_EQ(a, -2);
  EXPECT_EQ(b, 1);
}

TEST(RemoveDuplicates, KeepsTheFirstOfEachInTheChosenArray) {
  TextArray texts = {"x", "y", "x", "y", "z"};
  IntArray ints = {3, 1, 3};
  EXPECT_EQ(RemoveDuplicates(texts, true, ints, true), 3);
  EXPECT_EQ(texts, (TextArray{"x", "y", "z"}));
  EXPECT_EQ(ints, (IntArray{3, 1, 3})) << "the text mode leaves the integers alone";

  EXPECT_EQ(RemoveDuplicates(texts, false, ints, true), 2);
  EXPECT_EQ(ints, (IntArray{3, 1}));

  TextArray untouched = {"a", "a"};
  EXPECT_EQ(RemoveDuplicates(untouched, false, ints, false), 0);
  EXPECT_EQ(untouched.size(), 2u);

  TextArray three = {"a", "b", "a"};
  EXPECT_EQ(RemoveDuplicates(three), 2);
  EXPECT_EQ(three, (TextArray{"a", "b"}));
}

TEST(CountLines, CountsLineFeedsPlusOne) {
  struct Row {
    const char* name;
    std::string text;
    int expected;
  } rows[] = {
      {"empty", "", 0},           {"one line", "abc", 1},
      {"two lines", "a\r\nb", 2}, {"one line ended by CR LF", "a\r\n", 2},
      {"LF only", "\n", 2},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(CountLines(row.text), row.expected);
  }
  std::string twenty;
  for (int i = 0; i < 20; ++i)
    twenty += "line\r\n";
  EXPECT_EQ(CountLines(twenty), 21);
}

TEST(BytesPrefix, TakesAtMostTheAvailableBytes) {
  const std::string bytes("a\0b", 3);
  EXPECT_EQ(BytesPrefix(bytes, 5), bytes);
  EXPECT_EQ(BytesPrefix(bytes, 2), std::string("a\0", 2));
  EXPECT_EQ(BytesPrefix(bytes, 0), "");
  EXPECT_EQ(BytesPrefix(bytes, -1), "");
  EXPECT_EQ(BytesPrefix("", 3), "");
}

}  // namespace
