// The lax parser: every error code with its position, the lax forms it
// accepts, token types, unescaping, and the nesting bound.

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "data/json_document.h"
#include "data/json_parser.h"
#include "data/json_tree_node.h"

namespace {

struct ParseResult {
  bool ok;
  int32_t code;
  int32_t position;
};

ParseResult ParseInto(JsonDocument& doc, const std::string& text, int32_t options = 1) {
  ParseResult r{false, 99, 99};
  r.ok = doc.Parse(text, options, &r.code, &r.position);
  return r;
}

TEST(JsonParser, ErrorCodesAndPositions) {
  struct Row {
    const char* name;
    std::string json;
    int32_t code;
    int32_t position;
  } rows[] = {
      {"empty text", "", kJsonNoInput, 0},
      {"quote after key characters: the unit after it", "{ab\"c\":1}", kJsonMisplaced, 4},
      {"letter after a quoted key", "{\"a\"x:1}", kJsonMisplaced, 4},
      {"value after a quoted key without colon", "{\"a\" 1}", kJsonMisplaced, 5},
      {"empty unquoted key: the colon", "{:1}", kJsonMisplaced, 1},
      {"object where a key belongs", "{{}}", kJsonMisplaced, 1},
      {"member without value: the token start", "{\"a\":}", kJsonBadValue, 5},
      {"key without colon or value", "{abc}", kJsonBadValue, 0},
      {"two commas in an object", "{\"a\":1,,}", kJsonBadValue, 0},
      {"comma right after the brace", "{,\"a\":1}", kJsonBadValue, 0},
      {"text after a closed object", "{}5", kJsonBadValue, 0},
      {"extra closing bracket", "[1]]", kJsonBadValue, 0},
      {"string followed by a space at the top", "\"x\" ", kJsonBadValue, 0},
      {"bare word", "[abc]", kJsonBadValue, 1},
      {"two points", "[1.2.3]", kJsonBadValue, 1},
      {"hex number", "[0x10]", kJsonBadValue, 1},
      {"bracket after value characters", "[1 {}]", kJsonBadValue, 1},
      {"two values without comma", "{\"a\":1 \"b\":2}", kJsonBadValue, 5},
      {"closing brace inside an array", "[}", kJsonBadValue, 1},
      {"unclosed array: length plus one", "[1", kJsonUnclosed, 3},
      {"unclosed object", "{\"a\":{\"b\":1}", kJsonUnclosed, 13},
      {"open string in an array: its quote", "[\"abc", kJsonOpenQuote, 1},
      {"open string as a value", "{'a':\"b'}", kJsonOpenQuote, 5},
      {"open key: a key without value is found first", "{\"abc", kJsonBadValue, 0},
      {"open empty key: the key start", "{ \"", kJsonOpenQuote, 3},
      {"short backslash-u swallows the closing quote", "[\"\\u12\"]", kJsonOpenQuote, 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    JsonDocument doc;
    const ParseResult r = ParseInto(doc, row.json);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.code, row.code);
    EXPECT_EQ(r.position, row.position);
  }
}

// Positions count UTF-16 units of the text, not bytes of the caller's text:
// a Chinese character is one unit (two bytes in code page 936, three in
// UTF-8), a character beyond the basic plane two.
TEST(JsonParser, PositionsCountUtf16UnitsOfNonAsciiText) {
  const auto utf8 = [](const char8_t* text) { return reinterpret_cast<const char*>(text); };
  struct Row {
    const char* name;
    std::string json;
    bool isUtf8;
    int32_t code;
    int32_t position;
  } rows[] = {
      {"keyword rules: member without value", "{\"替换方式\":}", false, kJsonBadValue, 8},
      {"keyword rules: open string", "{\"替换\":\"旧", false, kJsonOpenQuote, 6},
      {"keyword rules: letter after the key", "{\"替换\"x:1}", false, kJsonMisplaced, 5},
      {"account list: bare word", utf8(u8"{\"用户\":[\"张三\",李四]}"), true, kJsonBadValue, 12},
      {"account list: unclosed", utf8(u8"[\"张三\""), true, kJsonUnclosed, 6},
      {"outside the basic plane", utf8(u8"{\"😀\":}"), true, kJsonBadValue, 6},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    JsonDocument doc;
    int32_t code = 0;
    int32_t position = 0;
    EXPECT_FALSE(row.isUtf8 ? doc.ParseUtf8(row.json, 1, &code, &position)
                            : doc.Parse(row.json, 1, &code, &position));
    EXPECT_EQ(code, row.code);
    EXPECT_EQ(position, row.position);
  }
}

TEST(JsonParser, ByteOrderMarkFailsUnlessOutsideTextIsIgnored) {
  const std::string bom = "\xEF\xBB\xBF{\"a\":1}";
  JsonDocument doc;
  int32_t code = 0;
  int32_t position = 9;
  EXPECT_FALSE(doc.ParseUtf8(bom, 1, &code, &position));
  EXPECT_EQ(code, kJsonBadValue);
  EXPECT_EQ(position, 0);
  EXPECT_TRUE(doc.ParseUtf8(bom, kJsonDecodeUnicodeEscapes | kJsonIgnoreOutside));
  EXPECT_EQ(doc.GetJsonText(""), "{\"a\":1}");
}

TEST(JsonParser, AcceptsTheLaxForms) {
  struct Row {
    const char* name;
    const char* json;
    int32_t options;
    const char* written;
  } rows[] = {
      {"empty elements and trailing comma", "[1,,2,]", 1, "[1,2]"},
      {"array of only a comma", "[,]", 1, "[]"},
      {"empty array", "[]", 1, "[]"},
      {"empty object", "{}", 1, "{}"},
      {"trailing comma in an object", "{\"a\":1,}", 1, "{\"a\":1}"},
      {"single quotes and an unquoted key", "{'k':'v',u:1}", 1, "{\"k\":\"v\",\"u\":1}"},
      {"empty quoted key for every kind of value", "[{\"\":1},{\"\":[1]},{\"\":{}}]", 1,
       "[{\"\":1},{\"\":[1]},{\"\":{}}]"},
      {"duplicate key: first place, last value", "{\"a\":1,\"b\":2,\"a\":3}", 1,
       "{\"a\":3,\"b\":2}"},
      {"two top-level objects merge", "{\"a\":1}{\"b\":2}", 1, "{\"a\":1,\"b\":2}"},
      {"text after the object ignored with option 2", "{}5", 3, "{}"},
      {"missing comma after a nested object", "{\"a\":[1]\"b\":{}\"c\":2}", 1,
       "{\"a\":[1],\"b\":{},\"c\":2}"},
      {"missing comma after a nested array", "[[1]2]", 1, "[[1],2]"},
      {"blanks everywhere", " \r\n\t[ 1 , { \"a\" : 'b' } ]\r\n", 1, "[1,{\"a\":\"b\"}]"},
      {"other quote inside a string", "{\"a\":'it\"s'}", 1, "{\"a\":\"it\\\"s\"}"},
      {"escaped apostrophe keeps both characters", "[\"a\\'b\"]", 1, "[\"a\\\\'b\"]"},
      {"top-level number", "5", 1, "5"},
      {"top-level string", "\"x\"", 1, "\"x\""},
      {"top-level literal", "true", 1, "true"},
      {"white space only leaves null", "  \r\n", 1, "null"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    JsonDocument doc;
    const ParseResult r = ParseInto(doc, row.json, row.options);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.position, 0);
    EXPECT_EQ(doc.GetJsonText(""), row.written);
  }
}

TEST(JsonParser, TokenTypes) {
  struct Row {
    const char* token;
    int32_t type;
  } rows[] = {
      {"-5", 2},   {"12", 2}, {"+7", 2},   {"1.5", 1},  {"1e3", 1},
      {"1E+3", 1}, {".5", 1}, {"null", 0}, {"true", 3}, {"false", 3},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.token);
    JsonDocument doc;
    ASSERT_TRUE(doc.Parse(std::string("[") + row.token + "]"));
    EXPECT_EQ(doc.GetType("[0]"), row.type);
    EXPECT_EQ(doc.GetLiteral("[0]"), row.type == 0 ? "" : row.token);
  }
  EXPECT_EQ(ClassifyJsonToken(u"Null"), 255);
  EXPECT_EQ(ClassifyJsonToken(u"1-2"), 1);
  EXPECT_EQ(ClassifyJsonToken(u"1e2e3"), 255);
}

TEST(JsonParser, UnescapesStringsAndKeys) {
  struct Row {
    const char* name;
    const char* json;
    int32_t options;
    const char* path;
    std::string text;
  } rows[] = {
      {"backslash-u decoded", "[\"\\u4E2D\"]", 1, "[0]", "中"},
      {"backslash-u kept with option 0", "[\"\\u4E2D\"]", 0, "[0]", "\\u4E2D"},
      {"escape of 0000 disappears", "[\"a\\u0000b\"]", 1, "[0]", "ab"},
      {"non-hex backslash-u stays", "[\"\\uZZZZ\"]", 1, "[0]", "\\uZZZZ"},
      {"backslash-n becomes CR LF", "[\"a\\nb\"]", 1, "[0]", "a\r\nb"},
      {"backslash-r backslash-n becomes one CR LF", "[\"a\\r\\nb\"]", 1, "[0]", "a\r\nb"},
      {"slash, quote, backslash", "[\"\\/\\\"\\\\\"]", 1, "[0]", "/\"\\"},
      {"b t f", "[\"\\b\\t\\f\"]", 1, "[0]", "\b\t\f"},
      {"unknown escape stays", "[\"\\q\"]", 1, "[0]", "\\q"},
      {"escaped key", "{\"k\\u4e2d\":1}", 1, "k中", "1"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    JsonDocument doc;
    ASSERT_TRUE(doc.Parse(row.json, row.options));
    EXPECT_EQ(doc.GetText(row.path), row.text);
  }
  // A key that begins with backslash-n keeps a lone LF.
  JsonDocument doc;
  ASSERT_TRUE(doc.Parse("{\"\\nk\":1}"));
  std::vector<std::string> names;
  ASSERT_EQ(doc.GetMemberNames("", names), 1);
  EXPECT_EQ(names[0], "\nk");
}

TEST(JsonParser, EscapedSurrogatePairArrivesAsOneCharacter) {
  JsonDocument doc;
  ASSERT_TRUE(doc.Parse("[\"\\ud83d\\ude00\"]"));
  EXPECT_EQ(doc.GetJsonTextUtf8("[0]"), "\"\xF0\x9F\x98\x80\"");
}

TEST(JsonParser, FailureLeavesNullButEmptyInputChangesNothing) {
  JsonDocument doc;
  ASSERT_TRUE(doc.Parse("{\"a\":1}"));
  EXPECT_FALSE(doc.Parse(""));
  EXPECT_EQ(doc.GetText("a"), "1");
  EXPECT_FALSE(doc.Parse("{\"a\":[1,2"));
  EXPECT_EQ(doc.GetType(""), 0);
  EXPECT_EQ(doc.GetCount(""), 0);
  EXPECT_TRUE(doc.Parse("[1]"));  // the Null root takes the next parse
  EXPECT_EQ(doc.GetJsonText(""), "[1]");
}

std::string Nested(int levels, const std::string& open, const std::string& close) {
  std::string text;
  for (int i = 0; i < levels; ++i)
    text += open;
  text += "1";
  for (int i = 0; i < levels; ++i)
    text += close;
  return text;
}

TEST(JsonParser, NestingIsBoundedAt512Levels) {
  struct Row {
    const char* name;
    int levels;
    std::string open;
    std::string close;
    bool ok;
  } rows[] = {
      {"512 arrays", 512, "[", "]", true},        {"513 arrays", 513, "[", "]", false},
      {"512 objects", 512, "{\"a\":", "}", true}, {"513 objects", 513, "{\"a\":", "}", false},
      {"100000 arrays", 100000, "[", "]", false}, {"100000 objects", 100000, "{\"k\":", "}", false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    JsonDocument doc;
    const ParseResult r = ParseInto(doc, Nested(row.levels, row.open, row.close));
    EXPECT_EQ(r.ok, row.ok);
    if (row.ok) {
      // The whole depth can be written, copied and freed.
      const std::string written = doc.GetJsonText("");
      EXPECT_EQ(written, Nested(row.levels, row.open, row.close));
      JsonDocument copy(doc);
      EXPECT_EQ(copy.GetJsonText("", true), doc.GetJsonText("", true));
    } else {
      EXPECT_EQ(r.code, kJsonNoMemory);
      EXPECT_EQ(r.position, 512 * static_cast<int32_t>(row.open.size()));
      EXPECT_EQ(doc.GetType(""), 0);
    }
  }
}

TEST(JsonParser, BoundCountsTheDepthOfTheNodeParsedInto) {
  JsonDocument doc;
  ASSERT_TRUE(doc.ResetAndParse());
  EXPECT_TRUE(doc.ParseAt("a.b", Nested(510, "[", "]")));
  EXPECT_FALSE(doc.ParseAt("a.b", Nested(511, "[", "]")));
  EXPECT_EQ(doc.GetType("a.b"), 0);
}

TEST(JsonParser, AReplyBeyondTheNodeBudgetFailsWhereItRunsOut) {
  // One node more than the budget: the top-level array is the document's own
  // root, kMaxJsonParseNodes zeros fit, the zero after them does not.
  std::string text = "[";
  for (size_t i = 0; i <= kMaxJsonParseNodes; ++i)
    text += i ? ",0" : "0";
  text += "]";
  JsonDocument doc;
  const ParseResult r = ParseInto(doc, text);
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.code, kJsonNoMemory);
  EXPECT_EQ(r.position, static_cast<int32_t>(1 + 2 * kMaxJsonParseNodes));
  EXPECT_EQ(doc.GetType(""), 0);

  text.erase(text.size() - 3, 2);  // one zero fewer: within the budget
  EXPECT_TRUE(ParseInto(doc, text).ok);
  EXPECT_EQ(doc.GetCount(""), static_cast<int32_t>(kMaxJsonParseNodes));
}

TEST(JsonParser, ALoneNumberFollowsTheRuleInsideContainers) {
  // Text, code and position: a blank inside a lone number is refused at its
  // first unit; blanks around it and inside a string are not.
  const std::tuple<std::string, int32_t, int32_t> rows[] = {
      {"1 2", kJsonBadValue, 0},   {"3\r+", kJsonBadValue, 0}, {"- 1", kJsonBadValue, 0},
      {" 4\t5", kJsonBadValue, 1}, {" 12 ", kJsonParseOk, 0},  {"\"1 2\"", kJsonParseOk, 0},
  };
  for (const auto& [json, code, position] : rows) {
    SCOPED_TRACE(json);
    JsonDocument doc;
    const ParseResult r = ParseInto(doc, json);
    EXPECT_EQ(r.code, code);
    EXPECT_EQ(r.position, position);
    // The same text parsed into a member is refused or accepted alike, and
    // what was accepted writes text that parses again.
    JsonDocument holder;
    ASSERT_TRUE(holder.ResetAndParse());
    EXPECT_EQ(holder.ParseAt("a", json), code == kJsonParseOk);
    EXPECT_EQ(holder.InsertParsed("b", json), code == kJsonParseOk);
    if (code == kJsonParseOk) {
      JsonDocument again;
      EXPECT_TRUE(again.Parse(holder.GetJsonText("")));
      EXPECT_TRUE(again.Parse(doc.GetJsonText("")));
    }
  }
}

// The tree's memory is sized by how much the text read so far needed: a text
// that is mostly blanks at its front and dense at its end, with texts of every
// length among small numbers, must still come back whole.
TEST(JsonParser, AReplyDenserAtItsEndThanAtItsFrontReadsBackWhole) {
  constexpr int kValues = 6000;
  std::string text = "[" + std::string(100000, ' ');
  for (int i = 0; i < kValues; ++i) {
    text += i ? "," : "";
    text += i % 7 == 0 ? "\"" + std::string(static_cast<size_t>(i % 5000), 'a' + i % 26) + "\""
                       : std::to_string(i);
  }
  text += "]";
  JsonDocument doc;
  ASSERT_TRUE(ParseInto(doc, text).ok);
  ASSERT_EQ(doc.GetCount(""), kValues);
  for (int i = 0; i < kValues; ++i) {
    SCOPED_TRACE(i);
    const std::string expected =
        i % 7 == 0 ? std::string(static_cast<size_t>(i % 5000), 'a' + i % 26) : std::to_string(i);
    ASSERT_EQ(doc.GetText("[" + std::to_string(i) + "]"), expected);
  }
}

TEST(JsonParser, ParseIntoADetachedNodeDirectly) {
  JsonTreeNode* node = NewNode();
  int32_t position = -1;
  EXPECT_EQ(ParseJsonUtf16(node, u"[1,{\"a\":\"x\"}]", 1, &position), kJsonParseOk);
  EXPECT_EQ(node->type, JsonNodeType::Array);
  EXPECT_EQ(ParseJsonUtf16(nullptr, u"[1]", 1, &position), kJsonNoInput);
  EXPECT_EQ(ParseJsonUtf16(node, std::u16string(u"\0[1]", 4), 1, &position), kJsonNoInput);
  EXPECT_EQ(node->type, JsonNodeType::Array);
  FreeNode(node);
}

}  // namespace
