// The JSON tree as the system uses it: folder-listing replies read by path,
// the copy-source list, the account list file and the keyword-rule file.

#include <gtest/gtest.h>

#include <string>

#include "data/json_document.h"
#include "data/json_parser.h"

namespace {

// A folder-listing reply as the service sends it: non-ASCII names as \uXXXX,
// slashes as \/, 19-digit fs_id values.
std::string ListingReply(int entries) {
  std::string text = "{\"errno\":0,\"guid_info\":\"\",\"list\":[";
  for (int i = 0; i < entries; ++i) {
    if (i > 0)
      text += ",";
    const std::string n = std::to_string(i);
    text += "{\"tkbind_id\":0,\"server_filename\":\"\\u6587\\u4ef6_" + n +
            ".txt\",\"category\":6,\"isdir\":" + std::to_string(i % 2) +
            ",\"dir_empty\":0,\"fs_id\":" + std::to_string(9000000000000000000LL + i) +
            ",\"path\":\"\\/\\u76ee\\u5f55\\/\\u6587\\u4ef6_" + n +
            ".txt\",\"size\":" + std::to_string(i * 1024) +
            ",\"server_mtime\":1700000000,\"md5\":\"0a1b2c\"}";
  }
  text += "],\"request_id\":7781234567890123456}";
  return text;
}

TEST(JsonListing, ReadsEveryEntryOfA200EntryReplyByPath) {
  JsonDocument doc;
  int32_t code = 1;
  int32_t position = 1;
  ASSERT_TRUE(doc.Parse(ListingReply(200), 1, &code, &position));
  EXPECT_EQ(code, 0);
  EXPECT_EQ(position, 0);
  ASSERT_EQ(doc.GetCount("list"), 200);
  for (int i = 0; i < 200; ++i) {
    SCOPED_TRACE(i);
    const std::string entry = "list[" + std::to_string(i) + "]";
    const std::string n = std::to_string(i);
    EXPECT_EQ(doc.GetText(entry + ".server_filename"), "文件_" + n + ".txt");
    EXPECT_EQ(doc.GetText(entry + ".isdir"), std::to_string(i % 2));
    EXPECT_EQ(doc.GetText(entry + ".path"), "/目录/文件_" + n + ".txt");
    EXPECT_EQ(doc.GetText(entry + ".fs_id"), std::to_string(9000000000000000000LL + i));
    EXPECT_EQ(doc.GetInt64(entry + ".fs_id"), 9000000000000000000LL + i);
  }
  EXPECT_EQ(doc.GetText("request_id"), "7781234567890123456");
}

TEST(JsonListing, OptionZeroKeepsBackslashUNamesAsTheServiceSentThem) {
  JsonDocument doc;
  ASSERT_TRUE(doc.Parse(ListingReply(3), 0));
  EXPECT_EQ(doc.GetText("list[2].server_filename"), "\\u6587\\u4ef6_2.txt");
  // Only the backslash-u form stays; the escaped slash is still a slash.
  EXPECT_EQ(doc.GetText("list[2].path"), "/\\u76ee\\u5f55/\\u6587\\u4ef6_2.txt");
}

TEST(JsonListing, MissingEntriesReadAsEmpty) {
  JsonDocument doc;
  ASSERT_TRUE(doc.Parse(ListingReply(2), 0));
  EXPECT_EQ(doc.GetText("list[2].server_filename"), "");
  EXPECT_EQ(doc.GetType("list[2]"), -1);
  EXPECT_EQ(doc.GetCount("errno"), 0);

  JsonDocument errorReply;
  ASSERT_TRUE(errorReply.Parse("{\"errno\":-9,\"request_id\":1}", 0));
  EXPECT_EQ(errorReply.GetCount("list"), 0);
  EXPECT_EQ(errorReply.GetText("list[0].server_filename"), "");
}

TEST(JsonListing, CopySourceListIsReadAppendedAndWrittenBack) {
  JsonDocument doc;
  ASSERT_TRUE(doc.Parse("[\"/a/b.txt\",\"/中文/c d.txt\"]"));
  ASSERT_EQ(doc.GetCount(""), 2);
  EXPECT_EQ(doc.GetText("[0]"), "/a/b.txt");
  EXPECT_EQ(doc.GetText("[1]"), "/中文/c d.txt");
  ASSERT_TRUE(doc.SetString("[]", "/新建/\"引号\".txt"));
  EXPECT_EQ(doc.GetJsonText(""), "[\"/a/b.txt\",\"/中文/c d.txt\",\"/新建/\\\"引号\\\".txt\"]");

  // The written list parses back to the same paths.
  JsonDocument again;
  ASSERT_TRUE(again.Parse(doc.GetJsonText("")));
  EXPECT_EQ(again.GetText("[2]"), "/新建/\"引号\".txt");
}

TEST(JsonListing, EmptyCopySourceListStartsFromNothing) {
  JsonDocument doc;
  int32_t code = 0;
  EXPECT_FALSE(doc.Parse("", 1, &code));
  EXPECT_EQ(code, kJsonNoInput);
  EXPECT_EQ(doc.GetCount(""), 0);
  ASSERT_TRUE(doc.SetString("[]", "/x.txt"));
  EXPECT_EQ(doc.GetJsonText(""), "[\"/x.txt\"]");
}

TEST(JsonListing, AccountListFileRoundTripsInUtf8) {
  const std::string file = reinterpret_cast<const char*>(
      u8"{\"dataname\":\"baiduset\",\"num\":\"2\",\"data\":["
      u8"{\"user\":\"张三\",\"cookies\":\"BDUSS=abc; STOKEN=def\",\"uk\":\"1100223344\","
      u8"\"status\":\"正常\"},"
      u8"{\"user\":\"\\u674e\\u56db\",\"cookies\":\"BDUSS=x\",\"uk\":\"9\",\"status\":\"\"}]}");
  JsonDocument doc;
  ASSERT_TRUE(doc.ParseUtf8(file));
  ASSERT_EQ(doc.GetCount("data"), 2);
  EXPECT_EQ(doc.GetText("data[0].user"), "张三");
  EXPECT_EQ(doc.GetText("data[0].cookies"), "BDUSS=abc; STOKEN=def");
  EXPECT_EQ(doc.GetText("data[1].user"), "李四");
  EXPECT_EQ(doc.GetText("data[1].status"), "");
  EXPECT_EQ(doc.GetText("num"), "2");

  JsonDocument again;
  ASSERT_TRUE(again.ParseUtf8(doc.GetJsonTextUtf8("", true)));
  EXPECT_EQ(again.GetJsonTextUtf8(""), doc.GetJsonTextUtf8(""));
  EXPECT_EQ(again.GetText("data[1].user"), "李四");
}

TEST(JsonListing, KeywordRuleFileReadsChineseKeysAndMultiLineValues) {
  const std::string file =
      "{\r\n\t\"替换方式\":\"指定替换\",\r\n\t\"普通要被替换的词\":\"广告\\r\\n水印\",\r\n"
      "\t\"普通用于替换的词\":\"\\n\",\r\n\t\"指定替换的词\":\"旧->新\\n甲->乙\"\r\n}";
  JsonDocument doc;
  ASSERT_TRUE(doc.Parse(file));
  EXPECT_EQ(doc.GetText("替换方式"), "指定替换");
  EXPECT_EQ(doc.GetText("普通要被替换的词"), "广告\r\n水印");
  EXPECT_EQ(doc.GetText("普通用于替换的词"), "\r\n");
  EXPECT_EQ(doc.GetText("指定替换的词"), "旧->新\r\n甲->乙");

  // Written laid out and read again, the rules come back unchanged.
  const std::string written = doc.GetJsonText("", true);
  EXPECT_EQ(written.rfind("{\r\n\t\"替换方式\":\"指定替换\",\r\n", 0), 0u);
  JsonDocument again;
  ASSERT_TRUE(again.Parse(written));
  EXPECT_EQ(again.GetText("指定替换的词"), "旧->新\r\n甲->乙");
  EXPECT_EQ(again.GetJsonText(""), doc.GetJsonText(""));
}

}  // namespace
