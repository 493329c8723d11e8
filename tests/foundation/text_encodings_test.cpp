#include "foundation/text_encodings.h"

#include <gtest/gtest.h>

#include "platform/code_page_codec.h"
#include "support/test_bytes.h"

namespace {

std::string U8(const char8_t* utf8) {
  return reinterpret_cast<const char*>(utf8);
}

// UTF-16 bytes of `units`, with the two-byte terminator.
std::string Utf16Z(std::u16string_view units) {
  return Utf16ToLeBytes(units) + std::string(2, '\0');
}

TEST(TextEncodings, ToUtf16) {
  struct Row {
    const char* name;
    std::string actual;
    std::string expected;
  } rows[] = {
      {"two letters with terminator", TextToUtf16("ab"), Bytes({0x61, 0, 0x62, 0, 0, 0})},
      {"two letters cut", TextToUtf16("ab", true), Bytes({0x61, 0, 0x62, 0})},
      {"empty text", TextToUtf16(""), ""},
      {"empty text cut", TextToUtf16("", true), ""},
      {"chinese", TextToUtf16("中文"), Utf16Z(u"中文")},
      {"stops at the first zero byte", MultiByteToUtf16(std::string("a\0b", 3), 936),
       Bytes({0x61, 0, 0, 0})},
      {"leading zero byte", MultiByteToUtf16(std::string("\0a", 2), 936), ""},
      {"code page 0 is local text", MultiByteToUtf16("中", 0), Utf16Z(u"中")},
      {"utf-8 text", Utf8TextToUtf16(U8(u8"中😀")), Utf16Z(u"中😀")},
      {"local text through the code page argument", Utf8TextToUtf16("中", 936), Utf16Z(u"中")},
      {"invalid local byte is replaced, the rest kept", TextToUtf16(Bytes({'a', 0xFF, 'b'})),
       Utf16Z(u"a\uFFFDb")},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(row.actual, row.expected);
  }
}

TEST(TextEncodings, FromUtf16) {
  struct Row {
    const char* name;
    std::string actual;
    std::string expected;
  } rows[] = {
      {"no terminator needed", Utf16ToMultiByte(Bytes({0x61, 0, 0x62, 0}), 65001), "ab"},
      {"leading zero unit", Utf16ToMultiByte(Bytes({0, 0, 0x61, 0}), 65001), ""},
      {"stops at the zero unit", Utf16ToText(Utf16Z(u"名") + Utf16ToLeBytes(u"x")), "名"},
      {"hangul becomes one question mark", Utf16ToText(Utf16ToLeBytes(u"a\uAC00b")), "a?b"},
      {"hangul in utf-8", Utf16ToUtf8(Utf16ToLeBytes(u"\uAC00")), Bytes({0xEA, 0xB0, 0x80})},
      {"emoji is one character", Utf16ToText(Utf16ToLeBytes(u"x😀y")), "x?y"},
      {"emoji in utf-8", Utf16ToUtf8(Utf16ToLeBytes(u"😀")), U8(u8"😀")},
      {"odd last byte ignored", Utf16ToText(Utf16ToLeBytes(u"ab") + "c"), "ab"},
      {"code page when the flag is on", Utf16ToTextInCodePage(Utf16Z(u"中"), 65001, true),
       U8(u8"中")},
      {"local text when the flag is off", Utf16ToTextInCodePage(Utf16Z(u"中"), 65001, false), "中"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(row.actual, row.expected);
  }
}

TEST(TextEncodings, BetweenLocalTextAndUtf8) {
  struct Row {
    const char* name;
    std::string actual;
    std::string expected;
  } rows[] = {
      {"to utf-8", TextToUtf8("中文名.txt"), U8(u8"中文名.txt")},
      {"empty to utf-8", TextToUtf8(""), ""},
      {"from utf-8 text", DecodeUtf8Text(U8(u8"中文名.txt")), "中文名.txt"},
      {"from utf-8 bytes", DecodeUtf8Bytes(U8(u8"中文名.txt")), "中文名.txt"},
      {"bytes stop at zero like text", DecodeUtf8Bytes(std::string("ab\0cd", 5)), "ab"},
      {"character outside the code page", DecodeUtf8Text(U8(u8"한글")), "??"},
      {"invalid utf-8 keeps the rest", DecodeUtf8Text(Bytes({'a', 0xE4, 'b'})), "a?b"},
      {"lone continuation byte", DecodeUtf8Bytes(Bytes({'a', 0x80, 'b'})), "a?b"},
      {"invalid local text keeps the rest", TextToUtf8(Bytes({'a', 0xFF, 'b'})),
       "a" + U8(u8"\uFFFD") + "b"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(row.actual, row.expected);
  }
}

TEST(TextEncodings, CutUtf16AtNul) {
  struct Row {
    const char* name;
    std::string input;
    bool keep;
    std::string expected;
  } rows[] = {
      {"cut at the zero unit", Bytes({0x61, 0, 0, 0, 0x62, 0}), false, Bytes({0x61, 0})},
      {"keep the terminator", Bytes({0x61, 0, 0, 0, 0x62, 0}), true, Bytes({0x61, 0, 0, 0})},
      {"leading zero unit", Bytes({0, 0, 0x61, 0}), false, ""},
      {"leading zero unit even when keeping", Bytes({0, 0, 0x61, 0}), true, ""},
      {"odd trailing byte dropped", Bytes({0x61, 0, 0x62}), false, Bytes({0x61, 0})},
      {"single byte", Bytes({0x61}), true, ""},
      {"no zero unit", Bytes({0x61, 0, 0x62, 0}), false, Bytes({0x61, 0, 0x62, 0})},
      {"zero byte inside a unit is no terminator", Bytes({0, 0x4E, 0, 0}), false, Bytes({0, 0x4E})},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(CutUtf16AtNul(row.input, row.keep), row.expected);
  }
}

TEST(TextEncodings, Utf16LengthCountsUnitsBeforeTheTerminator) {
  EXPECT_EQ(Utf16Length(TextToUtf16("中a")), 2);
  // Kept out of the assertion: the macro would spell the emoji as local text.
  const std::string emoji = Utf16Z(u"\U0001F600");
  EXPECT_EQ(Utf16Length(emoji), 2) << "a surrogate pair is two units";
  EXPECT_EQ(Utf16Length(""), 0);
  EXPECT_EQ(Utf16Length(Utf16ToLeBytes(u"abc")), 3) << "never reads past the data";
}

TEST(TextEncodings, Utf16BytesToText) {
  struct Row {
    const char* name;
    std::string input;
    std::string expected;
  } rows[] = {
      {"plain", Utf16ToLeBytes(u"中文 abc"), "中文 abc"},
      {"byte-order mark skipped", Utf16ToLeBytes(u"\uFEFF中文"), "中文"},
      {"outside the code page", Utf16ToLeBytes(u"a\uAC00"), "a?"},
      {"ends at the zero unit", Utf16Z(u"ab") + Utf16ToLeBytes(u"cd"), "ab"},
      {"empty", "", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(Utf16BytesToText(row.input), row.expected);
  }
}

}  // namespace
