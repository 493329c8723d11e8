// Numbers in the JSON tree: literals kept, setters formatted like "%.13g",
// 19-digit ids exact, the typed getters' conversions, and all of it the same
// under a locale whose decimal separator is a comma.

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <limits>
#include <string>

#include "data/json_document.h"

namespace {

// Switches the C locale to one with a decimal comma. Installed locales are
// tried first; otherwise one is compiled into the test's temporary folder.
bool UseDecimalCommaLocale() {
  auto active = [] { return std::string(std::localeconv()->decimal_point) == ","; };
  for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "ru_RU.UTF-8"}) {
    if (std::setlocale(LC_ALL, name) && active())
      return true;
  }
  const char* tmp = std::getenv("QUILLMERE_TEST_TMP");
  const std::filesystem::path dir =
      std::filesystem::path(tmp ? tmp : "/tmp") / "json_numbers_locales";
  std::error_code ignored;
  std::filesystem::create_directories(dir, ignored);
  if (!std::filesystem::exists(dir / "de_DE.UTF-8")) {
    const std::string command =
        "localedef -i de_DE -f UTF-8 '" + (dir / "de_DE.UTF-8").string() + "' >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0 && !std::filesystem::exists(dir / "de_DE.UTF-8"))
      return false;
  }
  setenv("LOCPATH", dir.c_str(), 1);
  return std::setlocale(LC_ALL, "de_DE.UTF-8") && active();
}

class JsonNumbers : public ::testing::Test {
 protected:
  // Under the C locale these checks would prove nothing: without a locale
  // with a decimal comma (scripts/setup installs "locales") they are skipped.
  void SetUp() override {
    if (!UseDecimalCommaLocale())
      GTEST_SKIP() << "no locale with a decimal comma can be made here";
  }
  void TearDown() override { std::setlocale(LC_ALL, "C"); }
};

TEST_F(JsonNumbers, SettersFormatLikePrintfG13) {
  struct Row {
    const char* name;
    double value;
    const char* literal;
  } rows[] = {
      {"one tenth", 0.1, "0.1"},
      {"two", 2.0, "2"},
      {"ten to the 21st", 1e21, "1e+21"},
      {"negative zero", -0.0, "-0"},
      {"largest exponent", 1e308, "1e+308"},
      {"thirteen digits", 1.0 / 3.0, "0.3333333333333"},
      {"small", 1.5e-7, "1.5e-07"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    JsonDocument doc;
    ASSERT_TRUE(doc.ResetAndParse());
    ASSERT_TRUE(doc.SetDouble("v", row.value));
    EXPECT_EQ(doc.GetLiteral("v"), row.literal);
    EXPECT_EQ(doc.GetJsonText(""), std::string("{\"v\":") + row.literal + "}");
  }
}

TEST_F(JsonNumbers, ParsedNumbersReadTheSameUnderAnyLocale) {
  struct Row {
    const char* token;
    double asDouble;
    int64_t asInt64;
  } rows[] = {
      {"1.5", 1.5, 1},
      {"-2.9", -2.9, -2},
      {"1e308", 1e308, std::numeric_limits<int64_t>::max()},
      {"1E+3", 1000.0, 1000},
      {".5", 0.5, 0},
      {"+7", 7.0, 7},
      {"-0", 0.0, 0},
      {"9223372036854775807", 9223372036854775807.0, std::numeric_limits<int64_t>::max()},
      {"-9223372036854775808", -9223372036854775808.0, std::numeric_limits<int64_t>::min()},
      {"99999999999999999999", 9223372036854775807.0, std::numeric_limits<int64_t>::max()},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.token);
    JsonDocument doc;
    ASSERT_TRUE(doc.Parse(std::string("{\"n\":") + row.token + "}"));
    EXPECT_DOUBLE_EQ(doc.GetDouble("n"), row.asDouble);
    EXPECT_EQ(doc.GetInt64("n"), row.asInt64);
    EXPECT_EQ(doc.GetText("n"), row.token);
    EXPECT_EQ(doc.GetJsonText(""), std::string("{\"n\":") + row.token + "}");
  }
  JsonDocument doc;
  ASSERT_TRUE(doc.Parse("[-0.0]"));
  EXPECT_TRUE(std::signbit(doc.GetDouble("[0]")));
}

TEST_F(JsonNumbers, NineteenDigitIdsSurviveSettersAndCopiesExactly) {
  const int64_t id = 1234567890123456789;
  JsonDocument doc;
  ASSERT_TRUE(doc.Parse("{\"fs_id\":1234567890123456789}"));
  JsonDocument target;
  ASSERT_TRUE(target.ResetAndParse());
  ASSERT_TRUE(target.SetCopy("copied", doc.GetMember("", "fs_id")));
  ASSERT_TRUE(target.SetInt64("set", id));
  ASSERT_TRUE(target.AddElementCopy("list", doc.GetMember("", "fs_id")));
  EXPECT_EQ(target.GetJsonText(""),
            "{\"copied\":1234567890123456789,\"set\":1234567890123456789,"
            "\"list\":[1234567890123456789]}");
  EXPECT_EQ(target.GetInt64("copied"), id);
  EXPECT_EQ(target.GetInt64("list[0]"), id);
}

TEST_F(JsonNumbers, TypedGettersConvertByNodeType) {
  JsonDocument doc;
  ASSERT_TRUE(
      doc.Parse("{\"d\":-2.9,\"big\":4294967297,\"p32\":4294967296,\"tiny\":1e-8,\"s\":\"123abc\","
                "\"neg\":\"-5000000000\",\"word\":\"true\",\"wide\":\"１２\",\"comma\":\"3,5\","
                "\"t\":true,\"z\":null,\"o\":{},\"minus\":\"-12x\"}"));
  EXPECT_EQ(doc.GetInt("d"), -2);
  EXPECT_EQ(doc.GetInt("big"), 1);
  EXPECT_EQ(doc.GetInt("s"), 123);
  EXPECT_EQ(doc.GetInt("minus"), -12);
  EXPECT_EQ(doc.GetInt64("neg"), -5000000000LL);
  EXPECT_TRUE(doc.GetBool("p32"));
  EXPECT_FALSE(doc.GetBool("tiny"));
  EXPECT_FALSE(doc.GetBool("word"));
  EXPECT_TRUE(doc.GetBool("t"));
  EXPECT_DOUBLE_EQ(doc.GetDouble("wide"), 12.0);
  EXPECT_DOUBLE_EQ(doc.GetDouble("comma"), 3.0);
  EXPECT_DOUBLE_EQ(doc.GetDouble("t"), 1.0);
  EXPECT_EQ(doc.GetInt64("z"), 0);
  EXPECT_EQ(doc.GetInt("o"), 0);
  EXPECT_EQ(doc.GetInt("missing"), 0);
  EXPECT_EQ(doc.GetText("t"), "true");
  EXPECT_EQ(doc.GetText("z"), "");
  EXPECT_EQ(doc.GetText("o"), "");
}

TEST_F(JsonNumbers, IntSetterWidensWithSign) {
  JsonDocument doc;
  ASSERT_TRUE(doc.ResetAndParse());
  ASSERT_TRUE(doc.SetInt("v", -1));
  EXPECT_EQ(doc.GetType("v"), 2);
  EXPECT_EQ(doc.GetInt64("v"), -1);
  EXPECT_EQ(doc.GetLiteral("v"), "-1");
}

TEST_F(JsonNumbers, CopiesFormatDoublesAgain) {
  JsonDocument doc;
  ASSERT_TRUE(doc.Parse("{\"a\":1.50,\"b\":1e3}"));
  JsonDocument target;
  ASSERT_TRUE(target.ResetAndParse());
  ASSERT_TRUE(target.SetCopy("c", doc));
  EXPECT_EQ(target.GetJsonText("c"), "{\"a\":1.5,\"b\":1000}");
  // A whole-document copy keeps the literals as they stood.
  JsonDocument whole(doc);
  EXPECT_EQ(whole.GetJsonText(""), "{\"a\":1.50,\"b\":1e3}");
}

}  // namespace
