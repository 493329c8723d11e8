#include "foundation/url_encoding.h"

#include "support/test_bytes.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

const std::string kUtf8Wen = reinterpret_cast<const char*>(u8"文");

struct Row {
  const char* name;
  std::function<std::string(const std::string&)> routine;
  std::string input;
  std::string output;
};

void Check(const std::vector<Row>& rows) {
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(row.routine(row.input), row.output);
  }
}

TEST(UrlEncoding, Encoders) {
  const auto text = [](const std::string& s) { return UrlEncodeText(s, true, true); };
  const auto rawText = [](const std::string& s) { return UrlEncodeText(s, true, false); };
  const auto plain = [](const std::string& s) { return PercentEncodeBytes(s, false); };
  const auto bytesUpper = [](const std::string& s) { return UrlEncodeBytes(s, 1); };
  const auto bytesLower = [](const std::string& s) { return UrlEncodeBytes(s, 0); };
  const auto unreserved = [](const std::string& s) { return UrlEncodeUnreserved(s); };
  const auto strict = [](const std::string& s) { return UrlEncodeUnreserved(s, false, true); };
  const auto strictKept = [](const std::string& s) { return UrlEncodeUnreserved(s, true, true); };
  Check({
      {"text: space", text, "a b", "a+b"},
      {"text: chinese goes out as UTF-8", text, "文", "%E6%96%87"},
      {"text: tilde encoded", text, "~", "%7E"},
      {"text: apostrophe kept", text, "'", "'"},
      {"text: safe set kept", text, "'()*-._aZ09", "'()*-._aZ09"},
      {"text: plus and slash", text, "a+b/c", "a%2Bb%2Fc"},
      {"text: empty", text, "", ""},
      {"text without conversion: code page bytes", rawText, "文", "%CE%C4"},
      {"text without conversion: zero byte left out", rawText, Bytes({'a', 0, 'b'}), "ab"},
      {"bytes without keep-safe: letters too", plain, "a", "%61"},
      {"bytes without keep-safe: space still +", plain, "a b", "%61+%62"},
      {"url bytes: zero byte encoded", bytesUpper, Bytes({0x41, 0, 0x20, 0x27}), "A%00+%27"},
      {"url bytes: lower case", bytesLower, Bytes({0xAB}), "%ab"},
      {"url bytes: upper case", bytesUpper, Bytes({0xAB}) + kUtf8Wen, "%AB%E6%96%87"},
      {"url bytes: parentheses encoded", bytesUpper, "(*)", "%28%2A%29"},
      {"unreserved: tilde kept, space +", unreserved, "a~b c", "a~b+c"},
      {"unreserved: zero ends the input", unreserved, Bytes({'a', 'b', 0, 'c', 'd'}), "ab"},
      {"unreserved: apostrophe kept", unreserved, "'/", "'%2F"},
      {"unreserved strict: all but alphanumerics", strict, "a~ '", "a%7E%20%27"},
      {"unreserved strict with keep: lenient", strictKept, "a~ '", "a~+'"},
  });
}

TEST(UrlEncoding, Decoders) {
  const auto text = [](const std::string& s) { return UrlDecodeText(s, true); };
  const auto rawText = [](const std::string& s) { return UrlDecodeText(s, false); };
  const auto percent = [](const std::string& s) { return PercentDecode(s, true); };
  const auto rawPercent = [](const std::string& s) { return PercentDecode(s, false); };
  const auto fast = [](const std::string& s) { return PercentDecode(s, false, true); };
  Check({
      {"text: trailing percent kept", rawText, "100%", "100%"},
      {"text: malformed escape kept", rawText, "%zz1", "%zz1"},
      {"text: one hex digit read, both consumed", rawText, "%4G", Bytes({4})},
      {"text: plus is a space", rawText, "a+b", "a b"},
      {"text: from UTF-8", text, "%E6%96%87", "文"},
      {"text: from UTF-8, plus and escapes", text, "%E6%96%87+a%2B", "文 a+"},
      {"text: one character after the percent", rawText, "ab%4", Bytes({'a', 'b', 4})},
      {"text: escaped zero ends the text", rawText, "a%00b", "a"},
      {"text: leading blank allowed by %x", rawText, "% 4x", Bytes({4, 'x'})},
      {"text: empty", text, "", ""},
      {"percent: plus unchanged", rawPercent, "a+b", "a+b"},
      {"percent: trailing percent dropped", rawPercent, "100%", "100"},
      {"percent: short escape dropped", rawPercent, "100%4", "100"},
      {"percent: non-hex counts -1", rawPercent, "%G1", Bytes({0xF1})},
      {"percent: escape", rawPercent, "%41", "A"},
      {"percent: from UTF-8", percent, "%E6%96%87", "文"},
      {"fast: well-formed", fast, "%41%62c", "Abc"},
      {"fast: lower-case digits", fast, "%e6%96%87", kUtf8Wen},
      {"fast: short escape ends the decoding", fast, "ab%4", "ab"},
  });
}

TEST(UrlEncoding, EncodedTextDecodesBack) {
  const std::string names[] = {"文件 (1)'s+copy~.txt", "a%b&c=d", "空格 与+加号"};
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    EXPECT_EQ(UrlDecodeText(UrlEncodeText(name)), name);
  }
}

TEST(UrlEncoding, PercentDecodeInPlaceShortens) {
  std::string bytes = "%41%42";
  PercentDecodeInPlace(bytes);
  EXPECT_EQ(bytes, "AB");
}

TEST(UrlEncoding, HexDigitValue) {
  EXPECT_EQ(HexDigitValue('0'), 0);
  EXPECT_EQ(HexDigitValue('9'), 9);
  EXPECT_EQ(HexDigitValue('a'), 10);
  EXPECT_EQ(HexDigitValue('F'), 15);
  EXPECT_EQ(HexDigitValue('g'), -1);
  EXPECT_EQ(HexDigitValue('/'), -1);
}

}  // namespace
