// JsonDocument and JsonNode operations: the document's life cycle, removals
// that fail without changing anything, adding and inserting, element copies,
// names and children, and views relative to their node.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/json_document.h"
#include "data/json_parser.h"
#include "parsed_document.h"

namespace {

TEST(JsonDocumentOps, ADocumentWithoutRootFindsAndMakesNothing) {
  JsonDocument doc;
  EXPECT_FALSE(doc.HasNode());
  EXPECT_EQ(doc.GetCount(""), 0);
  EXPECT_EQ(doc.GetType(""), -1);
  EXPECT_EQ(doc.GetText("a"), "");
  EXPECT_FALSE(doc.GetMember("", "a").HasNode());
  EXPECT_FALSE(doc.AddMember("", "a", 4).HasNode());
  EXPECT_FALSE(doc.SetString("a", "x"));
  EXPECT_FALSE(doc.MakeArray("a"));
  EXPECT_FALSE(doc.ParseAt("a", "[1]"));
  EXPECT_FALSE(doc.AddMemberCopy("", "a", Parsed("[1]")));
  EXPECT_FALSE(doc.InsertParsed("", "{\"a\":1}", 1, true));
  EXPECT_EQ(doc.NewDetachedNode(6), nullptr);
  EXPECT_FALSE(doc.HasNode());
}

TEST(JsonDocumentOps, FailedRemovalsChangeNothing) {
  const std::string text = "{\"s\":\"x\",\"o\":{\"k\":1},\"l\":[1,2]}";
  struct Row {
    const char* name;
    bool member;
    const char* path;
    const char* key;
    int32_t index;
  } rows[] = {
      {"member of a missing path", true, "missing.deeper", "k", 0},
      {"member below a string", true, "s.x", "k", 0},
      {"member of a string", true, "s", "k", 0},
      {"missing key", true, "o", "nope", 0},
      {"member of an array", true, "l", "k", 0},
      {"element past the end", false, "l", "", 2},
      {"negative element", false, "l", "", -1},
      {"element of an object", false, "o", "", 0},
      {"element of a missing path", false, "x[3]", "", 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    JsonDocument doc = Parsed(text);
    const bool removed =
        row.member ? doc.RemoveMember(row.path, row.key) : doc.RemoveElement(row.path, row.index);
    EXPECT_FALSE(removed);
    EXPECT_EQ(doc.GetJsonText(""), text);
  }
}

TEST(JsonDocumentOps, RemovalsTakeOutAndKeepTheRestInOrder) {
  JsonDocument doc = Parsed("{\"a\":{\"x\":[1]},\"b\":2,\"c\":[1,2,3]}");
  EXPECT_TRUE(doc.RemoveMember("", "a"));
  EXPECT_TRUE(doc.RemoveElement("c", 1));
  EXPECT_EQ(doc.GetJsonText(""), "{\"b\":2,\"c\":[1,3]}");
  EXPECT_FALSE(doc.Exists("a"));
  EXPECT_TRUE(doc.AddMember("", "a", 0).HasNode());  // the key can come back
  EXPECT_EQ(doc.GetJsonText(""), "{\"b\":2,\"c\":[1,3],\"a\":null}");
}

TEST(JsonDocumentOps, AddingAndInsertingMembers) {
  JsonDocument doc = Parsed("{\"a\":{\"deep\":1},\"b\":2}");
  JsonNode fresh = doc.AddMember("", "a", 5);
  ASSERT_TRUE(fresh.HasNode());
  EXPECT_EQ(doc.GetJsonText(""), "{\"a\":[],\"b\":2}");
  EXPECT_TRUE(doc.InsertMemberAt("", 0, "first", 3).HasNode());
  EXPECT_TRUE(doc.InsertMemberAt("", 3, "last", 4).HasNode());
  EXPECT_FALSE(doc.InsertMemberAt("", 5, "beyond", 4).HasNode());
  EXPECT_FALSE(doc.InsertMemberAt("", -1, "negative", 4).HasNode());
  EXPECT_FALSE(doc.AddMember("", "bad", 7).HasNode());
  EXPECT_EQ(doc.GetJsonText(""), "{\"first\":false,\"a\":[],\"b\":2,\"last\":\"\"}");
  // An existing key is replaced where it stands; the position is not used.
  EXPECT_TRUE(doc.InsertMemberAt("", 0, "b", 1).HasNode());
  EXPECT_EQ(doc.GetJsonText(""), "{\"first\":false,\"a\":[],\"b\":0,\"last\":\"\"}");
}

TEST(JsonDocumentOps, ElementsAndElementCopies) {
  JsonDocument doc = Parsed("{\"l\":[1,2],\"o\":{\"x\":1,\"y\":2}}");
  EXPECT_TRUE(doc.InsertElementAt("l", 0, 0).HasNode());
  EXPECT_TRUE(doc.InsertElementAt("l", 3, 3).HasNode());
  EXPECT_FALSE(doc.InsertElementAt("l", 5, 3).HasNode());
  EXPECT_TRUE(doc.AddElement("l", 6).HasNode());
  EXPECT_EQ(doc.GetJsonText("l"), "[null,1,2,false,{}]");
  EXPECT_EQ(doc.GetElement("o", 1).GetText(""), "2");
  EXPECT_FALSE(doc.GetElement("o", 2).HasNode());

  JsonDocument source = Parsed("{\"v\":\"copy\"}");
  ASSERT_TRUE(doc.SetElementCopy("e", 3, source));
  EXPECT_EQ(doc.GetJsonText("e"), "[null,null,null,{\"v\":\"copy\"}]");
  ASSERT_TRUE(doc.SetElementCopy("e", 1, source.GetMember("", "v")));
  EXPECT_EQ(doc.GetJsonText("e"), "[null,\"copy\",null,{\"v\":\"copy\"}]");
  EXPECT_FALSE(doc.SetElementCopy("e", -1, source));
  EXPECT_FALSE(doc.SetElementCopy("f", 0, JsonNode()));
  EXPECT_EQ(doc.GetType("f"), 0);  // the path was made all the same
}

TEST(JsonDocumentOps, ExistenceCountsAndContainers) {
  JsonDocument doc = Parsed("{\"a\":[1,2,3],\"b\":{}}");
  EXPECT_FALSE(doc.Exists(""));
  EXPECT_FALSE(doc.Exists(".."));
  EXPECT_TRUE(doc.Exists("a[2]"));
  EXPECT_EQ(doc.GetCount(""), 2);
  EXPECT_EQ(doc.GetCount("a"), 3);
  EXPECT_EQ(doc.GetCount("a[0]"), 0);
  ASSERT_TRUE(doc.MakeArray("a"));
  EXPECT_EQ(doc.GetCount("a"), 0);
  ASSERT_TRUE(doc.MakeObject("a", 1000000000));
  EXPECT_EQ(doc.GetType("a"), 6);
  EXPECT_TRUE(doc.GetOrCreate("n.m[1]").HasNode());
  EXPECT_EQ(doc.GetJsonText(""), "{\"a\":{},\"b\":{},\"n\":{\"m\":[null,null]}}");
  doc.ClearValue("n");
  EXPECT_EQ(doc.GetJsonText(""), "{\"a\":{},\"b\":{},\"n\":null}");
}

TEST(JsonDocumentOps, KeysParentsNamesAndChildren) {
  JsonDocument doc = Parsed("{\"a\":{\"b\":[10,{\"c\":1}]},\"中\":2}");
  EXPECT_EQ(doc.GetKey("a.b"), "b");
  EXPECT_EQ(doc.GetKey("a.b[0]"), "");
  EXPECT_EQ(doc.GetKey(""), "");
  EXPECT_EQ(doc.GetKeyW(std::string("\x2d\x4e", 2)), std::string("\x2d\x4e\0\0", 4));
  EXPECT_EQ(doc.GetParent("a.b[1].c").GetKey(""), "");
  EXPECT_EQ(doc.GetParent("a.b").GetKey(""), "a");
  EXPECT_FALSE(doc.GetParent("").HasNode());

  std::vector<std::string> names = {"keep"};
  EXPECT_EQ(doc.GetMemberNames("a.b", names), 0);
  EXPECT_EQ(names, std::vector<std::string>{"keep"});
  EXPECT_EQ(doc.GetMemberNames("", names), 2);
  EXPECT_EQ(names, (std::vector<std::string>{"a", "中"}));
  JsonDocument empty = Parsed("{}");
  EXPECT_EQ(empty.GetMemberNames("", names), 0);
  EXPECT_TRUE(names.empty());

  std::vector<JsonNode> children;
  EXPECT_EQ(doc.GetChildren("a.b", children), 2);
  EXPECT_EQ(children[0].GetText(""), "10");
  EXPECT_EQ(children[1].GetText("c"), "1");
  EXPECT_EQ(doc.GetChildren("a.b[0]", children), 0);
  EXPECT_EQ(children.size(), 2u);
}

TEST(JsonDocumentOps, ViewsWorkRelativeToTheirNode) {
  JsonDocument doc = Parsed("{\"list\":[{\"server_filename\":\"a\"},{\"server_filename\":\"b\"}]}");
  JsonNode entry = doc.GetElement("list", 1);
  EXPECT_EQ(entry.GetText("server_filename"), "b");
  ASSERT_TRUE(entry.SetInt("size", 5));
  JsonNode copy = entry;  // a copied view refers to the same node
  EXPECT_EQ(copy.GetInt("size"), 5);
  EXPECT_EQ(doc.GetJsonText("list[1]"), "{\"server_filename\":\"b\",\"size\":5}");
  JsonNode empty;
  EXPECT_EQ(empty.GetType(""), -1);
  EXPECT_FALSE(empty.SetString("a", "x"));
}

TEST(JsonDocumentOps, ResetClearCopyAndMove) {
  JsonDocument doc;
  EXPECT_TRUE(doc.ResetAndParse());
  EXPECT_EQ(doc.GetJsonText(""), "{}");
  int32_t code = 9;
  int32_t position = 9;
  EXPECT_FALSE(doc.ResetAndParse(std::string("[1"), 1, &code, &position));
  EXPECT_EQ(code, kJsonUnclosed);
  EXPECT_EQ(position, 3);
  ASSERT_TRUE(doc.ResetAndParse(std::string("{\"a\":[1]}")));

  JsonDocument copy(doc);
  ASSERT_TRUE(copy.SetInt("a[0]", 2));
  EXPECT_EQ(doc.GetJsonText(""), "{\"a\":[1]}");
  EXPECT_EQ(copy.GetJsonText(""), "{\"a\":[2]}");
  copy = doc;
  EXPECT_EQ(copy.GetJsonText(""), "{\"a\":[1]}");

  JsonDocument moved(std::move(copy));
  EXPECT_EQ(moved.GetJsonText(""), "{\"a\":[1]}");
  doc.Clear();
  EXPECT_FALSE(doc.HasNode());
  EXPECT_EQ(moved.GetCount("a"), 1);
}

TEST(JsonDocumentOps, SetNodeHandleTakesOnlyNodesNobodyElseFrees) {
  JsonDocument doc = Parsed("{\"a\":{\"b\":1}}");
  JsonDocument other = Parsed("[1]");
  doc.SetNodeHandle(doc.GetMember("", "a").GetNodeHandle());  // inside a tree
  doc.SetNodeHandle(other.GetNodeHandle());                   // another document's root
  EXPECT_EQ(doc.GetJsonText(""), "{\"a\":{\"b\":1}}");
  JsonTreeNode* detached = doc.NewDetachedNode(5);
  doc.SetNodeHandle(detached);
  ASSERT_TRUE(doc.SetString("[]", "x"));
  EXPECT_EQ(doc.GetJsonText(""), "[\"x\"]");
  EXPECT_EQ(other.GetJsonText(""), "[1]");
}

TEST(JsonDocumentOps, WideFormsTakeAndGiveUtf16Bytes) {
  const std::string path("k\0e\0y\0\0\0ignored", 16);
  const std::string value("\x2d\x4e\x87\x65", 4);  // 中文
  JsonDocument doc;
  ASSERT_TRUE(doc.ResetAndParseW());
  ASSERT_TRUE(doc.SetStringW(path, value));
  EXPECT_EQ(doc.GetText("key"), "中文");
  EXPECT_EQ(doc.GetTextW(path), value + std::string(2, '\0'));
  EXPECT_EQ(doc.GetTypeW(path), 4);
  ASSERT_TRUE(
      doc.ParseW(std::string("[\0"
                             "1\0]\0",
                             6)));
  EXPECT_EQ(doc.GetJsonText(""), "[1]");
}

}  // namespace
