#include "foundation/base64.h"

#include <gtest/gtest.h>

#include "support/test_bytes.h"

namespace {

struct Vector {
  const char* name;
  std::string bytes;
  std::string text;
};

const Vector kVectors[] = {
    {"empty", "", ""},
    {"one byte", "f", "Zg=="},
    {"two bytes", "fo", "Zm8="},
    {"three bytes", "foo", "Zm9v"},
    {"four bytes", "foob", "Zm9vYg=="},
    {"five bytes", "fooba", "Zm9vYmE="},
    {"six bytes", "foobar", "Zm9vYmFy"},
    {"high bytes and zero", Bytes({0xFF, 0x00}), "/wA="},
    {"plus and slash", Bytes({0xFB, 0xFF, 0xBF}), "+/+/"},
};

TEST(Base64, EncodesAndDecodesTheStandardVectors) {
  for (const Vector& v : kVectors) {
    SCOPED_TRACE(v.name);
    EXPECT_EQ(Base64Encode(v.bytes), v.text);
    EXPECT_EQ(Base64Decode(v.text), v.bytes);
  }
}

TEST(Base64, RoundTripsEveryByteValue) {
  std::string all;
  for (int i = 0; i < 256; ++i)
    all += static_cast<char>(i);
  for (size_t cut = 0; cut < 3; ++cut) {
    const std::string bytes = all.substr(cut);
    EXPECT_EQ(Base64Decode(Base64Encode(bytes)), bytes);
  }
}

TEST(Base64, DecodeIgnoresSpacesAndLineBreaksAndRejectsOtherCharacters) {
  struct Row {
    const char* name;
    std::string text;
    bool trim;
    std::string expected;
  } rows[] = {
      {"spaces, full-width spaces and CR LF", " Zm 9v\r\nYm　Fy\r\n", false, "foobar"},
      {"one byte without padding", "Zg", false, Bytes({'f', 0, 0})},
      {"one byte without padding, trimmed", "Zg", true, "f"},
      {"one padding character short", "Zg=", false, "f"},
      {"trim keeps inner zero bytes", Base64Encode(std::string("a\0b\0\0", 5)), true,
       std::string("a\0b", 3)},
      {"character outside the alphabet", "Zm9v!mFy", false, ""},
      {"padding in the middle", "Zm8=Zm9v", false, ""},
      {"too much padding", "Z===", false, ""},
      {"lone line feed", "Zm9v\nYmFy", false, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(Base64Decode(row.text, row.trim), row.expected);
  }
}

TEST(Base64, TrimTrailingZeroBytes) {
  EXPECT_EQ(TrimTrailingZeroBytes(std::string("a\0b\0\0", 5)), std::string("a\0b", 3));
  EXPECT_EQ(TrimTrailingZeroBytes(std::string(3, '\0')), "");
  EXPECT_EQ(TrimTrailingZeroBytes(""), "");
  EXPECT_EQ(TrimTrailingZeroBytes("ab"), "ab");
}

}  // namespace
