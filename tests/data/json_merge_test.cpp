// Copies whose source lies inside their target, merging parsed text, copying
// members and elements in, swapping, and sorting.

#include <gtest/gtest.h>

#include <string>

#include "data/json_document.h"
#include "parsed_document.h"

namespace {

TEST(JsonMerge, CopiesWhoseSourceLiesInsideTheTarget) {
  struct Row {
    const char* name;
    const char* before;
    bool (*apply)(JsonDocument& doc);
    const char* after;
  } rows[] = {
      {"set the root to its own child", "{\"a\":{\"x\":[1,2]}}",
       [](JsonDocument& d) { return d.SetCopy("", d.GetMember("", "a")); }, "{\"x\":[1,2]}"},
      {"set a node to itself keeps it", "{\"a\":{\"x\":1}}",
       [](JsonDocument& d) { return d.SetCopy("a", d.GetMember("", "a")); }, "{\"a\":{\"x\":1}}"},
      {"set a child to its parent", "{\"a\":{\"x\":1}}",
       [](JsonDocument& d) { return d.SetCopy("a.x", d.GetMember("", "a")); },
       "{\"a\":{\"x\":{\"x\":1}}}"},
      {"element copy whose walk rebuilds the source's parent", "{\"a\":{\"b\":[1,2]}}",
       [](JsonDocument& d) { return d.SetElementCopy("a[0]", 0, d.GetOrCreate("a.b")); },
       "{\"a\":[[[1,2]]]}"},
      {"member copy of the whole document into itself", "{\"a\":1}",
       [](JsonDocument& d) { return d.AddMemberCopy("", "self", d); },
       "{\"a\":1,\"self\":{\"a\":1}}"},
      {"member copy that replaces its own source's parent", "{\"a\":{\"x\":1}}",
       [](JsonDocument& d) { return d.AddMemberFrom("", "a", d.GetOrCreate("a.x")); }, "{\"a\":1}"},
      {"element copy of the array into itself", "[1,[2]]",
       [](JsonDocument& d) { return d.AddElementCopy("", d); }, "[1,[2],[1,[2]]]"},
      {"append an array's elements to itself", "{\"l\":[1,\"x\"]}",
       [](JsonDocument& d) { return d.AppendElementsFrom("l", d.GetMember("", "l")); },
       "{\"l\":[1,\"x\",1,\"x\"]}"},
      {"add an object's members to itself", "{\"a\":1,\"b\":{\"c\":2}}",
       [](JsonDocument& d) { return d.AddMembersFrom("", d); }, "{\"a\":1,\"b\":{\"c\":2}}"},
      {"add members of a child that replace the child itself", "{\"a\":1,\"b\":{\"b\":5,\"c\":3}}",
       [](JsonDocument& d) { return d.AddMembersFrom("", d.GetMember("", "b")); },
       "{\"a\":1,\"b\":5,\"c\":3}"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    JsonDocument doc = Parsed(row.before);
    EXPECT_TRUE(row.apply(doc));
    EXPECT_EQ(doc.GetJsonText(""), row.after);
  }
}

TEST(JsonMerge, CopiesRefuseSourcesTheyCannotUse) {
  JsonDocument doc = Parsed("{\"o\":{\"k\":1},\"l\":[1]}");
  EXPECT_FALSE(doc.AddMembersFrom("x", doc.GetMember("", "l")));
  EXPECT_FALSE(doc.AppendElementsFrom("x", doc.GetMember("", "o")));
  EXPECT_FALSE(doc.SetCopy("x", JsonNode()));
  EXPECT_FALSE(doc.AddMemberCopy("", "y", JsonNode()));
  EXPECT_FALSE(doc.Exists("y"));
  EXPECT_FALSE(doc.AddMemberFrom("z", "k", JsonNode()));
  EXPECT_EQ(doc.GetType("z"), 0);  // this form makes its path before it asks the source
}

TEST(JsonMerge, CopiesStayWithinTheDepthBound) {
  std::string deep = "1";
  for (int i = 0; i < 500; ++i)
    deep = "[" + deep + "]";
  JsonDocument source = Parsed(deep);
  JsonDocument doc;
  ASSERT_TRUE(doc.ResetAndParse());
  ASSERT_TRUE(doc.MakeArray("a.b.c.d.e.f.g.h.i.j"));
  EXPECT_TRUE(doc.AddMemberCopy("a", "ok", source));
  EXPECT_FALSE(doc.AddMemberCopy("a.b.c.d.e.f.g.h.i.j.k.l.m", "deep", source));
  EXPECT_FALSE(doc.SetCopy("a.b.c.d.e.f.g.h.i.j.k.l.m", source));
  EXPECT_FALSE(doc.Swap("a.b.c.d.e.f.g.h.i.j.k.l.m", source));
  EXPECT_EQ(doc.GetJsonText("a.ok"), deep);
  EXPECT_EQ(source.GetJsonText(""), deep);
}

TEST(JsonMerge, InsertParsedMergesObjectsMemberByMember) {
  struct Row {
    const char* name;
    const char* before;
    const char* path;
    const char* text;
    bool addMissing;
    bool ok;
    const char* after;
  } rows[] = {
      {"nested object, add missing", "{\"a\":{\"y\":0}}", "", "{a:{x:1},b:2}", true, true,
       "{\"a\":{\"y\":0,\"x\":1},\"b\":2}"},
      {"nested object, existing keys only", "{\"a\":{\"y\":0}}", "", "{a:{x:1},b:2}", false, true,
       "{\"a\":{\"y\":0}}"},
      {"scalars and arrays replace members in place", "{\"a\":[1,2],\"b\":{\"c\":1},\"z\":0}", "",
       "{\"b\":[9],\"a\":\"s\"}", false, true, "{\"a\":\"s\",\"b\":[9],\"z\":0}"},
      {"a number into the root fails", "{\"a\":1}", "", "5", true, false, "{\"a\":1}"},
      {"a number into a member replaces it", "{\"a\":{\"k\":1}}", "a", "5", false, true,
       "{\"a\":5}"},
      {"into an array element fails", "{\"l\":[{\"k\":1}]}", "l[0]", "[2]", false, false,
       "{\"l\":[{\"k\":1}]}"},
      {"bad text fails", "{\"a\":1}", "", "{a:", true, false, "{\"a\":1}"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    JsonDocument doc = Parsed(row.before);
    EXPECT_EQ(doc.InsertParsed(row.path, row.text, 1, row.addMissing), row.ok);
    EXPECT_EQ(doc.GetJsonText(""), row.after);
  }
}

TEST(JsonMerge, SwapExchangesNodesInPlace) {
  JsonDocument doc = Parsed("{\"l\":[1,{\"k\":2}],\"a\":\"x\",\"b\":[3]}");
  EXPECT_TRUE(doc.Swap("l[0]", doc.GetOrCreate("l[1]")));
  EXPECT_EQ(doc.GetJsonText("l"), "[{\"k\":2},1]");
  EXPECT_FALSE(doc.Swap("l", doc.GetOrCreate("l[0].k")));
  EXPECT_FALSE(doc.Swap("l[0].k", doc.GetMember("", "l")));
  EXPECT_TRUE(doc.Swap("a", doc.GetMember("", "a")));

  // Members swap names too; lookups follow the new names.
  EXPECT_TRUE(doc.Swap("a", doc.GetMember("", "b")));
  EXPECT_EQ(doc.GetJsonText(""), "{\"l\":[{\"k\":2},1],\"b\":[3],\"a\":\"x\"}");
  EXPECT_EQ(doc.GetText("a"), "x");
  EXPECT_EQ(doc.GetText("b[0]"), "3");

  // A swap that would give an object a key twice is refused.
  JsonDocument other = Parsed("{\"a\":0,\"k\":9}");
  EXPECT_FALSE(doc.Swap("l[0].k", other.GetMember("", "a")));
  EXPECT_TRUE(doc.Swap("l[0].k", other.GetMember("", "k")));
  EXPECT_EQ(other.GetJsonText(""), "{\"a\":0,\"k\":2}");
  EXPECT_EQ(doc.GetText("l[0].k"), "9");
  EXPECT_FALSE(doc.Swap("missing", other));
}

TEST(JsonMerge, SortMembersByKey) {
  struct Row {
    const char* name;
    const char* before;
    bool descending;
    bool ignoreCase;
    const char* after;
  } rows[] = {
      {"ascending", "{\"c\":1,\"a\":2,\"b\":3}", false, false, "{\"a\":2,\"b\":3,\"c\":1}"},
      {"descending", "{\"c\":1,\"a\":2,\"b\":3}", true, false, "{\"c\":1,\"b\":3,\"a\":2}"},
      {"case apart: letters first, then lower before upper", "{\"B\":1,\"b\":2,\"a\":3,\"C\":4}",
       false, false, "{\"a\":3,\"b\":2,\"B\":1,\"C\":4}"},
      {"prefix first", "{\"ab\":1,\"a\":2}", false, false, "{\"a\":2,\"ab\":1}"},
      {"marks between Z and a sort before letters", "{\"a\":1,\"_\":2,\"B\":3}", false, true,
       "{\"_\":2,\"a\":1,\"B\":3}"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    JsonDocument doc = Parsed(row.before);
    EXPECT_TRUE(doc.SortMembers("", row.descending, row.ignoreCase));
    EXPECT_EQ(doc.GetJsonText(""), row.after);
  }
  JsonDocument doc = Parsed("{\"z\":1,\"y\":2,\"l\":[2,1]}");
  EXPECT_FALSE(doc.SortMembers("l"));
  EXPECT_TRUE(doc.SortMembers(""));
  EXPECT_EQ(doc.GetText("z"), "1");  // lookups by key still work
  EXPECT_EQ(doc.GetText("y"), "2");
}

// Ascending by number for context 1, descending for -1.
int32_t ByNumber(const JsonNode& first, const JsonNode& second, int32_t context) {
  const int64_t a = first.GetInt64("");
  const int64_t b = second.GetInt64("");
  return static_cast<int32_t>(context * ((a > b) - (a < b)));
}

TEST(JsonMerge, SortWithTheCallersComparator) {
  std::string text = "[";
  for (int i = 0; i < 3000; ++i)
    text += (i ? "," : "") + std::to_string((i * 7919) % 3000);
  text += "]";
  JsonDocument doc = Parsed(text);
  doc.SortWith("", ByNumber, 1);
  for (int i = 0; i < 3000; i += 499) {
    SCOPED_TRACE(i);
    EXPECT_EQ(doc.GetInt64("[" + std::to_string(i) + "]"), i);
  }
  // Already sorted input, the worst case for a partition sort, stays shallow.
  doc.SortWith("", ByNumber, -1);
  EXPECT_EQ(doc.GetInt64("[0]"), 2999);
  EXPECT_EQ(doc.GetInt64("[2999]"), 0);

  JsonDocument object = Parsed("{\"a\":3,\"b\":1,\"c\":2}");
  object.SortWith("", ByNumber, 1);
  EXPECT_EQ(object.GetJsonText(""), "{\"b\":1,\"c\":2,\"a\":3}");
}

}  // namespace
