// The tree underneath: key hashing and table growth, the path language, and
// the read and making walks.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/json_document.h"
#include "data/json_path.h"
#include "data/json_tree_node.h"

namespace {

TEST(JsonTree, KeyHashRunsOverTheBytesFromTheLast) {
  EXPECT_EQ(HashJsonKey(u"a"), 97u);
  EXPECT_EQ(HashJsonKey(u""), 0u);
  // "ab": bytes 61 00 62 00 taken from the last: 00, 62, 00, 61.
  EXPECT_EQ(HashJsonKey(u"ab"), ((0u * 31 + 0x62) * 31 + 0) * 31 + 0x61);
  EXPECT_NE(HashJsonKey(u"\u4e2d"), HashJsonKey(u"\u2d4e"));
}

TEST(JsonTree, NinthMemberGrowsTheTableAndOrderStays) {
  JsonTreeNode* object = NewObjectNode();
  const char16_t* keys[] = {u"k9", u"k1", u"k8", u"k2", u"k7", u"k3", u"k6", u"k4", u"k5"};
  for (int i = 0; i < 8; ++i)
    ASSERT_TRUE(LinkMember(object, keys[i], NewInt64Node(i)));
  EXPECT_EQ(object->members->buckets.size(), 11u);
  ASSERT_TRUE(LinkMember(object, keys[8], NewInt64Node(8)));
  EXPECT_EQ(object->members->buckets.size(), 23u);
  EXPECT_EQ(object->members->threshold, 17);
  for (int i = 0; i < 9; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(object->members->order[i]->key, keys[i]);
    EXPECT_EQ(FindMember(*object->members, keys[i])->value.i, i);
  }
  FreeNode(object);
}

TEST(JsonTree, ReplacingAMemberKeepsItsPlace) {
  JsonTreeNode* object = NewObjectNode();
  LinkMember(object, u"a", NewInt64Node(1));
  LinkMember(object, u"b", NewInt64Node(2));
  JsonTreeNode* replaced = nullptr;
  JsonTreeNode* fresh = NewStringNode(u"x");
  EXPECT_EQ(InsertMember(*object->members, u"a", fresh, &replaced), 1);
  ASSERT_NE(replaced, nullptr);
  EXPECT_EQ(object->members->order[0], fresh);
  EXPECT_EQ(FindMember(*object->members, u"a"), fresh);
  EXPECT_EQ(object->members->memberCount, 2);
  FreeNode(replaced);
  JsonTreeNode* unplaced = NewNode();
  EXPECT_EQ(InsertMember(*object->members, u"c", unplaced, nullptr, 4), -1);
  EXPECT_EQ(FindMember(*object->members, u"c"), nullptr);
  FreeNode(unplaced);
  FreeNode(object);
}

struct Step {
  bool isKey;
  std::u16string key;
  int32_t index;
};

TEST(JsonTree, PathLanguage) {
  struct Row {
    const char* name;
    std::u16string path;
    std::vector<Step> steps;
  } rows[] = {
      {"listing path",
       u"list[3].server_filename",
       {{true, u"list", 0}, {false, u"", 3}, {true, u"server_filename", 0}}},
      {"two indexes", u"a[1][2]", {{true, u"a", 0}, {false, u"", 1}, {false, u"", 2}}},
      {"index alone", u"[0]", {{false, u"", 0}}},
      {"append", u"a[]", {{true, u"a", 0}, {false, u"", -1}}},
      {"key after index", u"a[1]b", {{true, u"a", 0}, {false, u"", 1}, {true, u"b", 0}}},
      {"escaped dot", u"a\\.b", {{true, u"a.b", 0}}},
      {"escaped backslash", u"a\\\\b", {{true, u"a\\b", 0}}},
      {"other backslash stays", u"a\\x", {{true, u"a\\x", 0}}},
      {"escaped bracket", u"a\\[1\\]", {{true, u"a[1]", 0}}},
      {"letters in brackets read as 0", u"[abc]", {{false, u"", 0}}},
      {"digits then letters", u"[12x]", {{false, u"", 12}}},
      {"negative index", u"[-1]", {{false, u"", -1}}},
      {"double dot", u"a..b", {{true, u"a", 0}, {true, u"b", 0}}},
      {"trailing dot", u"a.", {{true, u"a", 0}}},
      {"dots only", u"...", {}},
      {"empty", u"", {}},
      {"Chinese key", u"\u66ff\u6362\u65b9\u5f0f", {{true, u"\u66ff\u6362\u65b9\u5f0f", 0}}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::vector<JsonPathSegment> steps = ParseJsonPath(row.path);
    ASSERT_EQ(steps.size(), row.steps.size());
    for (size_t i = 0; i < steps.size(); ++i) {
      EXPECT_EQ(steps[i].kind == JsonPathSegment::Key, row.steps[i].isKey);
      if (row.steps[i].isKey)
        EXPECT_EQ(steps[i].key, row.steps[i].key);
      else
        EXPECT_EQ(steps[i].index, row.steps[i].index);
    }
  }
}

TEST(JsonTree, ReadWalk) {
  JsonDocument doc;
  ASSERT_TRUE(doc.Parse("{\"a\":[10,20],\"b\":{\"c\":1},\"a.b\":5,\"s\":\"x\"}"));
  struct Row {
    const char* name;
    const char* path;
    const char* text;  // nullptr: nothing found
  } rows[] = {
      {"element", "a[1]", "20"},
      {"append finds nothing", "a[]", nullptr},
      {"negative finds nothing", "a[-1]", nullptr},
      {"past the end", "a[2]", nullptr},
      {"index on an object: member by place", "[1].c", "1"},
      {"escaped dot names one key", "a\\.b", "5"},
      {"key on a string", "s.x", nullptr},
      {"index on a string", "s[0]", nullptr},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    if (row.text) {
      EXPECT_EQ(doc.GetText(row.path), row.text);
    } else {
      EXPECT_EQ(doc.GetType(row.path), -1);
    }
  }
  EXPECT_EQ(doc.GetJsonText(""), "{\"a\":[10,20],\"b\":{\"c\":1},\"a.b\":5,\"s\":\"x\"}");
}

TEST(JsonTree, MakingWalk) {
  struct Row {
    const char* name;
    const char* before;
    const char* path;
    const char* after;
  } rows[] = {
      {"append to an empty array", "{\"l\":[]}", "l[]", "{\"l\":[\"v\"]}"},
      {"append to three elements", "{\"l\":[1,2,3]}", "l[]", "{\"l\":[1,2,3,\"v\"]}"},
      {"append on an object empties it into an array", "{\"l\":{\"k\":1}}", "l[]",
       "{\"l\":[\"v\"]}"},
      {"index pads with nulls", "{}", "l[2]", "{\"l\":[null,null,\"v\"]}"},
      {"key through a string makes an object", "{\"a\":\"s\"}", "a.b", "{\"a\":{\"b\":\"v\"}}"},
      {"missing member goes last", "{\"a\":1}", "z", "{\"a\":1,\"z\":\"v\"}"},
      {"index on an object's place", "{\"a\":1,\"b\":2}", "[1]", "[null,\"v\"]"},
      {"empty path names the root", "{\"a\":1}", "", "\"v\""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    JsonDocument doc;
    ASSERT_TRUE(doc.Parse(row.before));
    ASSERT_TRUE(doc.SetString(row.path, "v"));
    EXPECT_EQ(doc.GetJsonText(""), row.after);
  }
}

TEST(JsonTree, MakingWalkStopsAtTheBounds) {
  auto chain = [](int steps) {
    std::string path;
    for (int i = 0; i < steps; ++i)
      path += i ? ".k" : "k";
    return path;
  };
  JsonDocument doc;
  ASSERT_TRUE(doc.ResetAndParse());
  EXPECT_TRUE(doc.SetInt(chain(512), 1));
  EXPECT_EQ(doc.GetInt(chain(512)), 1);
  EXPECT_FALSE(doc.SetInt(chain(513), 1));
  EXPECT_EQ(doc.GetInt(chain(512)), 1);  // the deepest node was not turned into an object
  EXPECT_FALSE(doc.SetInt(chain(100000), 1));

  JsonDocument list;
  ASSERT_TRUE(list.Parse("{\"l\":[1]}"));
  EXPECT_FALSE(list.SetInt("l[2000000000]", 1));
  EXPECT_EQ(list.GetJsonText(""), "{\"l\":[1]}");
  // Padding stops at index 65,535: a caller's index cannot make millions of nodes.
  EXPECT_FALSE(list.SetString("l[65536]", "x"));
  EXPECT_FALSE(list.SetString("l[16777215]", "x"));
  JsonDocument source;
  ASSERT_TRUE(source.Parse("[1]"));
  EXPECT_FALSE(list.SetElementCopy("l", 65536, source));
  EXPECT_EQ(list.GetJsonText(""), "{\"l\":[1]}");
  EXPECT_TRUE(list.SetString("l[65535]", "x"));
  EXPECT_EQ(list.GetCount("l"), 65536);
  EXPECT_EQ(list.GetText("l[65535]"), "x");
}

}  // namespace
