#include "foundation/text_file_encoding.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/code_page_codec.h"
#include "support/test_bytes.h"

namespace {

namespace fs = std::filesystem;

std::string U8(const char8_t* utf8) {
  return reinterpret_cast<const char*>(utf8);
}

// Local text whose first non-ASCII bytes E4 B8 B0 form a valid UTF-8 sequence,
// while the text as a whole is not UTF-8.
const std::string kLocalLookingLikeUtf8 = Bytes({0xE4, 0xB8, 0xB0, 0xA1});

class DetectTextFileEncodingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* tmp = std::getenv("QUILLMERE_TEST_TMP");
    m_dir =
        fs::path(tmp != nullptr ? tmp : fs::temp_directory_path().string()) /
        ("text_file_encoding_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    fs::create_directories(m_dir);
  }
  void TearDown() override { fs::remove_all(m_dir); }

  // Writes `data` to a file with a Chinese name and gives its path as local text.
  std::string Write(const std::string& data) {
    const fs::path path = m_dir / fs::path(u8"编码测试.txt");
    std::ofstream(path, std::ios::binary) << data;
    return Utf8ToCp936(path.string());
  }

  fs::path m_dir;
};

TEST_F(DetectTextFileEncodingTest, ClassifiesByMarkThenContent) {
  struct Row {
    const char* name;
    std::string data;
    int expected;
  } rows[] = {
      {"utf-8 mark", "\xEF\xBB\xBF" + std::string("abc"), kTextFileUtf8},
      {"utf-8 mark alone", "\xEF\xBB\xBF", kTextFileUtf8},
      {"utf-16le mark", Bytes({0xFF, 0xFE, 'a', 0}), kTextFileUtf16Le},
      {"utf-16be mark", Bytes({0xFE, 0xFF, 0, 'a'}), kTextFileUtf16Be},
      {"two-byte file with utf-16le mark", Bytes({0xFF, 0xFE}), kTextFileUtf16Le},
      {"EF BB without BF is no mark", Bytes({0xEF, 0xBB, 0x41, 0x42}), kTextFileLocal},
      {"local text", "第一个关键词\r\n第二个\r\n", kTextFileLocal},
      {"local text that starts like utf-8", kLocalLookingLikeUtf8 + "\r\n", kTextFileLocal},
      {"utf-8 without mark", U8(u8"第一个关键词\r\n第二个\r\n"), kTextFileUtf8},
      {"utf-8 after ascii", U8(u8"keyword 关键词"), kTextFileUtf8},
      {"utf-8 cut inside the last character", U8(u8"关键词").substr(0, 8), kTextFileLocal},
      {"utf-16le without mark", Utf16ToLeBytes(u"关键词\r\nkeyword\r\n"), kTextFileUtf16Le},
      {"pure ascii", "Bush hid the facts", kTextFileLocal},
      {"empty file", "", kTextFileLocal},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(DetectTextFileEncoding(Write(row.data)), row.expected);
  }
}

TEST_F(DetectTextFileEncodingTest, MissingFileIsLocalText) {
  EXPECT_EQ(DetectTextFileEncoding(Utf8ToCp936((m_dir / "missing.txt").string())), kTextFileLocal);
}

TEST(LooksLikeUtf8, NeedsAMarkOrValidUtf8Throughout) {
  struct Row {
    const char* name;
    std::string bytes;
    bool expected;
  } rows[] = {
      {"chinese character", Bytes({0xE4, 0xB8, 0xAD}), true},
      {"pure ascii", "AB", false},
      {"mark then ascii", Bytes({0xEF, 0xBB, 0xBF, 0x41}), true},
      {"mark then invalid bytes", Bytes({0xEF, 0xBB, 0xBF, 0xFF}), true},
      {"empty", "", false},
      {"two-byte sequence", U8(u8"café"), true},
      {"four-byte sequence", U8(u8"a😀"), true},
      {"local text", "中文", false},
      {"valid start, invalid later", kLocalLookingLikeUtf8, false},
      {"overlong form", Bytes({0xC0, 0xAF}), false},
      {"encoded surrogate", Bytes({0xED, 0xA0, 0x80}), false},
      {"above U+10FFFF", Bytes({0xF4, 0x90, 0x80, 0x80}), false},
      {"cut off at the end", Bytes({'a', 0xE4, 0xB8}), false},
      {"lone continuation byte", Bytes({'a', 0x80}), false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(LooksLikeUtf8(row.bytes), row.expected);
  }
}

}  // namespace
