#include "platform/text_statistics.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/code_page_codec.h"

namespace {

std::string Le(std::u16string_view units) {
  return Utf16ToLeBytes(units);
}

std::string Be(std::u16string_view units) {
  std::string out;
  for (char16_t u : units) {
    out += static_cast<char>(u >> 8);
    out += static_cast<char>(u & 0xFF);
  }
  return out;
}

TEST(TextStatistics, RecognisesUtf16LeTextAndNeverByteEncodedText) {
  struct Row {
    const char* name;
    std::string data;
    bool expected;
  } rows[] = {
      {"english", Le(u"keyword one\r\nkeyword two\r\n"), true},
      {"chinese lines", Le(u"第一个关键词\r\n第二个\r\n"), true},
      {"with terminator", Le(u"abc") + std::string(2, '\0'), true},
      {"supplementary character", Le(u"a\U0001F600"), true},
      {"single character", Le(u"a"), true},
      {"pure ascii", "Bush hid the facts", false},
      {"pure ascii of even length", "abcdef", false},
      {"code page 936", "第一个关键词\r\n", false},
      {"utf-8", reinterpret_cast<const char*>(u8"第一个关键词\r\n"), false},
      {"big-endian", Be(u"keyword one\r\n"), false},
      {"odd length", Le(u"abc") + "d", false},
      {"empty", "", false},
      {"only zero bytes", std::string(8, '\0'), false},
      {"zero unit inside", Le(u"ab") + std::string(2, '\0') + Le(u"cd"), false},
      {"control character", Le(u"a\u0001b"), false},
      {"unpaired surrogate", Le(u"a") + Le(std::u16string(1, char16_t(0xD800))) + Le(u"b"), false},
      {"chinese only, no ascii-range unit", Le(u"第一个关键词"), false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(LooksLikeUtf16LeText(row.data), row.expected);
  }
}

}  // namespace
