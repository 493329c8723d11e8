// Compact and laid-out JSON text, escaping, and the output code pages.

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "data/json_document.h"
#include "data/json_tree_node.h"
#include "data/json_writer.h"

namespace {

std::string Utf8(const char8_t* text) {
  return reinterpret_cast<const char*>(text);
}

TEST(JsonWriter, LaysOutObjectsWithTabsAndKeepsArraysOnOneLine) {
  JsonDocument doc;
  ASSERT_TRUE(doc.Parse("{\"a\":1,\"b\":[true,null,\"x/y\"],\"c\":{}}"));
  EXPECT_EQ(doc.GetJsonText("", true),
            "{\r\n\t\"a\":1,\r\n\t\"b\":[true,null,\"x/y\"],\r\n\t\"c\":{\r\n\t}\r\n}");
  EXPECT_EQ(doc.GetJsonText(""), "{\"a\":1,\"b\":[true,null,\"x/y\"],\"c\":{}}");
}

TEST(JsonWriter, LayoutTable) {
  struct Row {
    const char* name;
    const char* json;
    const char* path;
    const char* pretty;
  } rows[] = {
      {"empty top-level object", "{}", "", "{\r\n}"},
      {"empty object one level down", "{\"o\":{}}", "", "{\r\n\t\"o\":{\r\n\t}\r\n}"},
      {"object in array in object: members three tabs, brace two", "{\"l\":[{\"k\":1}]}", "",
       "{\r\n\t\"l\":[{\r\n\t\t\t\"k\":1\r\n\t\t}]\r\n}"},
      {"scalar node writes just its value", "{\"list\":[{\"server_filename\":\"a\\\"b\"}]}",
       "list[0].server_filename", "\"a\\\"b\""},
      {"top-level array has no line breaks", "[1,[2,{}]]", "", "[1,[2,{\r\n\t\t}]]"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    JsonDocument doc;
    ASSERT_TRUE(doc.Parse(row.json));
    EXPECT_EQ(doc.GetJsonText(row.path, true), row.pretty);
  }
}

TEST(JsonWriter, EscapesValuesAndKeysDifferently) {
  JsonDocument doc;
  ASSERT_TRUE(doc.ResetAndParse());
  ASSERT_TRUE(doc.SetStringW(std::string("k\0/\0", 4),
                             std::string("a\0/\0\t\0\"\0\\\0\x01\0\r\0\n\0\b\0\f\0", 20)));
  EXPECT_EQ(doc.GetJsonText(""), "{\"k\\/\":\"a/\\t\\\"\\\\\x01\\r\\n\\b\\f\"}");
  EXPECT_EQ(doc.GetJsonText("", false, false), "{\"k/\":\"a/\t\"\\\x01\r\n\b\f\"}");
}

TEST(JsonWriter, OutputCodePages) {
  JsonDocument doc;
  // Two hangul syllables (outside code page 936) and one Chinese character.
  const std::string utf8 = Utf8(u8"{\"名\":\"") + "\xED\x95\x9C\xEA\xB8\x80" + Utf8(u8"中\"}");
  ASSERT_TRUE(doc.ParseUtf8(utf8));
  EXPECT_EQ(doc.GetJsonText(""), "{\"名\":\"??中\"}");
  EXPECT_EQ(doc.GetJsonTextUtf8(""), utf8);
  const std::string w = doc.GetJsonTextW("");
  ASSERT_GE(w.size(), 2u);
  EXPECT_EQ(w.substr(w.size() - 2), std::string(2, '\0'));
  EXPECT_EQ(w.substr(0, 4), std::string("{\0\"\0", 4));
}

// UTF-16LE bytes of ASCII text, with `lone` put in for every '#'.
std::string Utf16Bytes(std::string_view ascii, const std::vector<char16_t>& lone = {}) {
  std::string bytes;
  size_t next = 0;
  for (const char c : ascii) {
    const char16_t unit = c == '#' ? lone.at(next++) : static_cast<char16_t>(c);
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  return bytes;
}

// Every parsed tree writes to a UTF-8 text that parses to the same tree: a
// surrogate without its other half goes out as its \u escape (UTF-8 has no
// form for it).
TEST(JsonWriter, Utf8TextOfEveryParsedTreeReadsBackTheSame) {
  enum class Entry { Utf8, Utf16 };
  struct Row {
    const char* name;
    Entry entry;
    std::string json;
    std::string utf8;
    int32_t count;
  } rows[] = {
      {"two keys of lone low surrogates stay two", Entry::Utf8, "{\"\\udc00\":0,\"\\udc01\":0}",
       "{\"\\udc00\":0,\"\\udc01\":0}", 2},
      {"the same keys in a UTF-16 text", Entry::Utf16, Utf16Bytes("{\"\\udc00\":0,\"\\udc01\":0}"),
       "{\"\\udc00\":0,\"\\udc01\":0}", 2},
      {"raw lone units in a UTF-16 text", Entry::Utf16,
       Utf16Bytes("{\"#\":0,\"#\":0,\"#x\":1}", {0xDC00, 0xD800, 0xDBFF}),
       "{\"\\udc00\":0,\"\\ud800\":0,\"\\udbffx\":1}", 3},
      {"lone high surrogate at the end of a value", Entry::Utf8, "[\"a\\ud800\"]", "[\"a\\ud800\"]",
       1},
      {"halves in the wrong order", Entry::Utf8, "[\"\\udc00\\ud800\"]", "[\"\\udc00\\ud800\"]", 1},
      {"a high surrogate before a pair", Entry::Utf8, "[\"\\ud800\\ud83d\\ude00\"]",
       "[\"\\ud800\xF0\x9F\x98\x80\"]", 1},
      {"a pair is written as its character", Entry::Utf8, "{\"\\ud83d\\ude00\":\"\\ud83d\\ude01\"}",
       "{\"\xF0\x9F\x98\x80\":\"\xF0\x9F\x98\x81\"}", 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    JsonDocument doc;
    ASSERT_TRUE(row.entry == Entry::Utf8 ? doc.ParseUtf8(row.json) : doc.ParseW(row.json));
    const std::string written = doc.GetJsonTextUtf8("");
    EXPECT_EQ(written, row.utf8);
    JsonDocument again;
    ASSERT_TRUE(again.ParseUtf8(written));
    EXPECT_EQ(again.GetCount(""), row.count);
    EXPECT_EQ(again.GetJsonTextW(""), doc.GetJsonTextW(""));
    EXPECT_EQ(again.GetJsonTextUtf8(""), written);
    // The UTF-16 form holds every unit as it is.
    JsonDocument wide;
    ASSERT_TRUE(wide.ParseW(doc.GetJsonTextW("")));
    EXPECT_EQ(wide.GetCount(""), row.count);
    EXPECT_EQ(wide.GetJsonTextW(""), doc.GetJsonTextW(""));
  }
}

TEST(JsonWriter, MissingNodeGivesTheEmptyResultOfEachForm) {
  JsonDocument doc;
  EXPECT_EQ(doc.GetJsonText(""), "");
  EXPECT_EQ(doc.GetJsonTextUtf8(""), "");
  EXPECT_EQ(doc.GetJsonTextW(""), std::string(2, '\0'));
  ASSERT_TRUE(doc.Parse("{}"));
  EXPECT_EQ(doc.GetJsonText("nothing"), "");
}

TEST(JsonWriter, NumbersKeepTheirLiteral) {
  struct Row {
    const char* name;
    const char* json;
  } rows[] = {
      {"trailing zero", "[1.50]"},
      {"exponent", "[1e3]"},
      {"negative zero integer", "[-0]"},
      {"negative zero double", "[-0.0]"},
      {"largest double", "[1e308]"},
      {"19-digit id", "[9223372036854775807]"},
      {"19-digit negative", "[-9223372036854775808]"},
      {"plus sign", "[+7]"},
      {"leading point", "[.5]"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    JsonDocument doc;
    ASSERT_TRUE(doc.Parse(row.json));
    EXPECT_EQ(doc.GetJsonText(""), row.json);
    EXPECT_EQ(doc.GetJsonText("", true), row.json);
  }
}

TEST(JsonWriter, RoundTripsCompactAndLaidOut) {
  const char* texts[] = {
      "{\"errno\":0,\"list\":[{\"fs_id\":1234567890123456789,\"n\":\"a\\\\b\",\"d\":1.50}],"
      "\"o\":{\"p\":{\"q\":[[],{},\"\"]}},\"t\":true,\"f\":false,\"z\":null}",
      "[{\"a\":[{\"b\":{}}]},-0,1e-7,\"\\t\\r\\n\"]",
  };
  for (const char* text : texts) {
    SCOPED_TRACE(text);
    JsonDocument doc;
    ASSERT_TRUE(doc.Parse(text));
    EXPECT_EQ(doc.GetJsonText(""), text);
    for (bool pretty : {false, true}) {
      JsonDocument again;
      ASSERT_TRUE(again.Parse(doc.GetJsonText("", pretty)));
      EXPECT_EQ(again.GetJsonText(""), text);
      EXPECT_EQ(again.GetJsonText("", true), doc.GetJsonText("", true));
    }
  }
}

}  // namespace
