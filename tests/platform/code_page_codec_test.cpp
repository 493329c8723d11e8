#include "platform/code_page_codec.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "support/test_bytes.h"

namespace {

TEST(CodePageCodec, RoundTripsChineseBetweenAllForms) {
  const std::string local = "中文名称.txt";  // code page 936 literal
  const std::u16string wide = u"中文名称.txt";
  EXPECT_EQ(DecodeToUtf16(local, kCodePageLocal), wide);
  EXPECT_EQ(EncodeFromUtf16(wide, kCodePageLocal), local);
  EXPECT_EQ(Cp936ToUtf8(local), reinterpret_cast<const char*>(u8"中文名称.txt"));
  EXPECT_EQ(Utf8ToCp936(reinterpret_cast<const char*>(u8"中文名称.txt")), local);
}

TEST(CodePageCodec, EachCharacterOutsideTheCodePageBecomesOneQuestionMark) {
  struct Row {
    const char* name;
    std::u16string wide;
    std::string local;
  } rows[] = {
      {"hangul", u"a\uAC00b", "a?b"},
      {"emoji as surrogate pair is one character", u"x\U0001F600y", "x?y"},
      {"two emoji", u"\U0001F600\U0001F601", "??"},
      {"unpaired high surrogate", std::u16string(u"a") + char16_t(0xD800) + u"b", "a?b"},
      {"unpaired low surrogate", std::u16string(u"a") + char16_t(0xDC00), "a?"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(EncodeFromUtf16(row.wide, kCodePageLocal), row.local);
  }
}

TEST(CodePageCodec, InvalidInputKeepsTheValidParts) {
  // 0xFF is never a lead byte in code page 936; 0x81 at the end is truncated.
  EXPECT_EQ(DecodeToUtf16(Bytes({'a', 0xFF, 'b'}), kCodePageLocal), u"a\uFFFDb");
  EXPECT_EQ(DecodeToUtf16(Bytes({'a', 0x81}), kCodePageLocal), u"a\uFFFD");
  // Invalid UTF-8: a lone continuation byte and an overlong form.
  EXPECT_EQ(DecodeToUtf16(Bytes({'a', 0x80, 'b'}), kCodePageUtf8), u"a\uFFFDb");
  EXPECT_EQ(DecodeToUtf16(Bytes({0xC0, 0xAF, 'z'}), kCodePageUtf8), u"\uFFFD\uFFFDz");
  EXPECT_EQ(Utf8ToCp936(Bytes({'a', 0xE4, 'b'})), "a?b");
}

TEST(CodePageCodec, Utf8HandlesSupplementaryCharactersAndCesu8) {
  EXPECT_EQ(DecodeToUtf16(Bytes({0xF0, 0x9F, 0x98, 0x80}), kCodePageUtf8), u"\U0001F600");
  EXPECT_EQ(EncodeFromUtf16(u"\U0001F600", kCodePageUtf8), Bytes({0xF0, 0x9F, 0x98, 0x80}));
  // U+1F600 as two encoded surrogates.
  const std::string cesu = Bytes({0xED, 0xA0, 0xBD, 0xED, 0xB8, 0x80});
  EXPECT_EQ(DecodeCesu8ToUtf16(cesu), u"\U0001F600");
  EXPECT_EQ(DecodeToUtf16(cesu, kCodePageUtf8).find(u'\uFFFD'), 0u);
}

TEST(CodePageCodec, EmbeddedZeroBytesAndLeBytes) {
  EXPECT_EQ(DecodeToUtf16(std::string("a\0b", 3), kCodePageLocal), std::u16string(u"a\0b", 3));
  EXPECT_EQ(Utf16ToLeBytes(u"ab"), std::string("a\0b\0", 4));
  EXPECT_EQ(LeBytesToUtf16(std::string("a\0b\0c", 5)), u"ab");
}

TEST(CodePageCodec, ConcurrentConversionsAgree) {
  const std::string local = "测试文件名称一二三";
  const std::string expected = Cp936ToUtf8(local);
  std::vector<std::thread> threads;
  std::vector<int> failures(8, 0);
  for (int t = 0; t < 8; ++t)
    threads.emplace_back([&, t] {
      for (int i = 0; i < 2000; ++i)
        if (Utf8ToCp936(Cp936ToUtf8(local)) != local || Cp936ToUtf8(local) != expected)
          ++failures[t];
    });
  for (auto& th : threads)
    th.join();
  for (int f : failures)
    EXPECT_EQ(f, 0);
}

}  // namespace
