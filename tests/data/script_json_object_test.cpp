#include "data/script_json_object.h"

#include <gtest/gtest.h>

#include <optional>

#include "data/script_json_support.h"

namespace {

ScriptJsonObject Parsed(const std::string& json) {
  ScriptJsonObject object;
  EXPECT_TRUE(object.CreateNamed());
  EXPECT_TRUE(object.Parse(json)) << json;
  return object;
}

TEST(ScriptJsonObject, ReadsValuesByPath) {
  ScriptJsonObject o = Parsed(
      R"({"a":{"b":[1,"x",true,null]},"list":[{"error_code":"-8"}],"data":[{"softname":"名"}]})");
  struct Row {
    const char* path;
    int type;
    std::string text;
  } rows[] = {
      {"a", kJsonTypeObject, "[object Object]"},
      {"a.b", kJsonTypeArray, "1,x,true,"},
      {"a.b[0]", kJsonTypeNumber, "1"},
      {"a.b[1]", kJsonTypeString, "x"},
      {"a.b[2]", kJsonTypeBoolean, "true"},
      {"a.b[3]", kJsonTypeNull, ""},
      {"a.c", kJsonTypeNull, ""},
      {"a.c.d", kJsonTypeNull, ""},
      {"list[0]['error_code']", kJsonTypeString, "-8"},
      {"da.list[0].error_code", kJsonTypeString, "-8"},
      {"data[0].softname", kJsonTypeString, "名"},
      {"a..b", kJsonTypeNull, ""},
      {"a[x]", kJsonTypeNull, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.path);
    EXPECT_EQ(o.GetType(row.path), row.type);
    EXPECT_EQ(o.GetText(row.path), row.text);
  }
  EXPECT_EQ(o.GetArrayCount("a.b"), 4);
  EXPECT_EQ(o.GetArrayCount("a"), 0);
  EXPECT_EQ(o.GetText("a.b", true), R"([1,"x",true,null])");
  EXPECT_EQ(o.GetArrayItemText(1, "a.b"), "x");
  EXPECT_EQ(o.GetArrayItemText(0, "a.b"), "");  // not a string
  EXPECT_EQ(o.GetArrayItemText(0, "a.b", true), "1");
  EXPECT_DOUBLE_EQ(o.GetNumber("a.b[0]"), 1);
  EXPECT_DOUBLE_EQ(o.GetNumber("list[0].error_code"), -8);
  EXPECT_DOUBLE_EQ(o.GetNumber("nothing"), 0);
}

TEST(ScriptJsonObject, MemberNamesWithBracketBytesInTheirCharacters) {
  ScriptJsonObject o;
  ASSERT_TRUE(o.CreateNamed());
  ASSERT_TRUE(o.SetProperty("乕乗乚", "v"));
  ASSERT_TRUE(o.AddArrayItem("x", "乗"));
  EXPECT_EQ(o.GetText("乕乗乚"), "v");
  EXPECT_EQ(o.GetArrayItemText(0, "乗"), "x");
  EXPECT_EQ(o.ToJsonText(), "{\"乕乗乚\":\"v\",\"乗\":[\"x\"]}");
}

TEST(ScriptJsonObject, TextsRoundTripThroughJson) {
  const std::string texts[] = {
      "C:\\dir",     "it's a \"quote\"", "line\r\nbreak\tand\\n literal", "\\\\server\\share\\",
      "名称 ‘中文’", "{not json}",
  };
  for (const std::string& text : texts) {
    SCOPED_TRACE(text);
    ScriptJsonObject writer;
    ASSERT_TRUE(writer.CreateNamed());
    ASSERT_TRUE(writer.SetProperty("p", text));
    EXPECT_EQ(writer.GetText("p"), text);
    ASSERT_TRUE(writer.AddArrayItem(text, "list"));
    const std::string json = writer.ToJsonText();
    const ScriptJsonObject reader = Parsed(json);
    ScriptJsonObject copy = reader;
    EXPECT_EQ(copy.GetText("p"), text);
    EXPECT_EQ(copy.GetArrayItemText(0, "list"), text);
  }
  ScriptJsonObject o;
  ASSERT_TRUE(o.CreateNamed());
  ASSERT_TRUE(o.SetProperty("p", "C:\\dir"));
  EXPECT_EQ(o.ToJsonText(), R"({"p":"C:\\dir"})");
}

TEST(ScriptJsonObject, ReadsBackslashesWrittenByOlderVersions) {
  ScriptJsonObject o = Parsed(R"({"path":"C:\dir\new","ok":"a\"b","u":"\u4e2d"})");
  // "\d" is no JSON escape and stays a backslash; "\n" is one and reads as
  // a line break, as it always did.
  EXPECT_EQ(o.GetText("path"), "C:\\dir\new");
  EXPECT_EQ(o.GetText("ok"), "a\"b");
  EXPECT_EQ(o.GetText("u"), "中");
}

TEST(ScriptJsonObject, NeverRunsItsInputAsCode) {
  struct Row {
    const char* name;
    std::string input;
  } rows[] = {
      {"function call", "(function(){ da = {pwned:1}; return 1; })()"},
      {"assignment", "da = {pwned:1}"},
      {"object with code", "{a: (da.pwned = 1)}"},
      {"single quotes", "{'a':1}"},
      {"empty", ""},
      {"null", "null"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ScriptJsonObject o;
    ASSERT_TRUE(o.CreateNamed());
    ScriptErrorInfo error;
    EXPECT_FALSE(o.Parse(row.input, false, &error));
    EXPECT_FALSE(o.Parse(row.input, true));
    EXPECT_FALSE(o.Exists("pwned"));
  }
  ScriptJsonObject o;
  ASSERT_TRUE(o.CreateNamed());
  ScriptErrorInfo error;
  EXPECT_FALSE(o.Parse("{\"a\":", false, &error));
  EXPECT_NE(error.Text, "");
  EXPECT_TRUE(o.Parse("{\"a\":1}", false, &error));
  EXPECT_EQ(error.Text, "");
  // Values and paths are data too.
  ASSERT_TRUE(o.SetProperty("v", "'); da.pwned = 1; ('"));
  EXPECT_FALSE(o.SetProperty("x; da.pwned = 1", "1"));
  EXPECT_FALSE(o.SetProperty("q", "{\"a\": (da.pwned = 1)}", true));
  EXPECT_FALSE(o.Exists("pwned"));
}

TEST(ScriptJsonObject, DeepNestingIsRefusedNotFollowed) {
  const int depth = 100000;
  const std::string deep = std::string(depth, '[') + std::string(depth, ']');
  ScriptJsonObject o;
  ASSERT_TRUE(o.CreateNamed());
  ScriptErrorInfo error;
  EXPECT_FALSE(o.Parse(deep, false, &error));
  EXPECT_NE(error.Text, "");
  EXPECT_TRUE(o.Parse("[[[1]]]"));
  EXPECT_EQ(o.GetText("[0][0][0]"), "1");
}

TEST(ScriptJsonObject, BuildsAndChangesValues) {
  ScriptJsonObject o;
  ASSERT_TRUE(o.CreateNamed());
  EXPECT_EQ(o.ToJsonText(), "{}");
  ASSERT_TRUE(o.AddArrayItem("x", "list"));
  ASSERT_TRUE(o.AddArrayItem("y", "list", false, true));
  EXPECT_EQ(o.GetText("list", true), R"(["y","x"])");
  ASSERT_TRUE(o.AddArrayItem(R"({"user":"u1"})", "data", true));
  EXPECT_EQ(o.GetText("data[0].user"), "u1");
  ASSERT_TRUE(o.SetNumber("n", 0.1));
  ASSERT_TRUE(o.SetNumber("m", 3));
  EXPECT_EQ(o.GetText("n"), "0.1");
  EXPECT_EQ(o.GetText("m"), "3");
  ASSERT_TRUE(o.SetArrayItem(1, "list", "z"));
  EXPECT_EQ(o.GetText("list", true), R"(["y","z"])");
  ASSERT_TRUE(o.RemoveArrayItem(0, "list"));
  EXPECT_EQ(o.GetText("list", true), R"(["z"])");
  EXPECT_FALSE(o.SetProperty("missing.child", "v"));
  EXPECT_FALSE(o.Exists("missing"));
  ASSERT_TRUE(o.DeleteMember("n"));
  EXPECT_FALSE(o.Exists("n"));
  ASSERT_TRUE(o.SetProperty("obj", R"({"a":"1","keep":true})", true));
  ASSERT_TRUE(o.SetProperty("obj", R"({"a":"2","b":[1]})", true));
  EXPECT_EQ(o.GetText("obj", true), R"({"a":"2","keep":true,"b":[1]})");
  ASSERT_TRUE(o.SetJson("obj", R"({"only":1})"));
  EXPECT_EQ(o.GetText("obj", true), R"({"only":1})");
  ASSERT_TRUE(o.SetProperty("num", R"({"n":1})", true));
  ASSERT_TRUE(o.SetProperty("num", R"({"n":2})", true));  // a number member is replaced
  EXPECT_EQ(o.GetText("num.n"), "2");
  ASSERT_TRUE(o.Clear());
  EXPECT_EQ(o.ToJsonText(), "{}");
}

TEST(ScriptJsonObject, NamesLeavesMembersAndCopies) {
  ScriptJsonObject o = Parsed(R"({"k1":1,"k2":{"c":"d"},"arr":[5]})");
  std::vector<std::string> out = {"stale"};
  EXPECT_EQ(o.GetMemberNames(out), 3);
  EXPECT_EQ(out, (std::vector<std::string>{"k1", "k2", "arr"}));
  EXPECT_EQ(o.GetMemberNames(out, "arr"), 0);
  EXPECT_TRUE(out.empty());
  EXPECT_EQ(o.GetLeafValues(out), 1);
  EXPECT_EQ(out, (std::vector<std::string>{"1"}));
  EXPECT_EQ(o.GetLeafValues(out, "", true), 3);
  EXPECT_EQ(out, (std::vector<std::string>{"1", "d", "5"}));

  ScriptJsonObject member = o.GetMember("k2");
  EXPECT_EQ(member.ToJsonText(), R"({"c":"d"})");
  ASSERT_TRUE(member.SetProperty("c", "changed"));
  EXPECT_EQ(o.GetText("k2.c"), "d");  // its own engine
  EXPECT_EQ(o.GetArrayItem(0, "arr").GetNumber(), 5);
  // Nothing at the path: the new object holds no value either.
  for (ScriptJsonObject none : {o.GetMember("missing"), o.GetArrayItem(3, "arr")}) {
    EXPECT_EQ(none.GetType(), kJsonTypeNull);
    EXPECT_FALSE(none.Exists(""));
    EXPECT_FALSE(none.SetProperty("a", "b"));
  }

  ScriptJsonObject shared = o;
  ASSERT_TRUE(shared.SetProperty("k1", "via copy"));
  EXPECT_EQ(o.GetText("k1"), "via copy");
  EXPECT_EQ(shared.GetEngine(), o.GetEngine());
  shared.ReleaseEngine();
  EXPECT_EQ(shared.GetText("k1"), "");
  EXPECT_EQ(o.GetText("k1"), "via copy");

  std::string path = "k2.c";
  EXPECT_TRUE(o.QualifyPath(path));
  EXPECT_EQ(path, "da.k2.c");
  path = "[0]";
  EXPECT_FALSE(o.QualifyPath(path));
  EXPECT_EQ(path, "da[0]");
}

// Parse keeps an engine that holds only the library, and makes a new one for
// any engine that was used or that a copy or a holder can still reach.
TEST(ScriptJsonObject, ParseStartsFromAnEngineNothingElseTouched) {
  struct Row {
    const char* name;
    bool viaCopy;  // the change goes through a copy that shares the engine
    bool keepCopy;
  } rows[] = {
      {"changed by the object itself", false, false},
      {"changed through a copy that is gone", true, false},
      {"shared with a copy that stays", true, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ScriptJsonObject o;
    ASSERT_TRUE(o.CreateNamed());
    std::optional<ScriptJsonObject> copy(o);
    ScriptJsonObject& changer = row.viaCopy ? *copy : o;
    // Reaches the prototype every object of that engine inherits from.
    ASSERT_TRUE(changer.SetProperty("__proto__.inherited", "stale"));
    ASSERT_TRUE(changer.SetProperty("own", "stale"));
    if (!row.keepCopy)
      copy.reset();
    ASSERT_TRUE(o.Parse(R"({"a":{}})"));
    EXPECT_EQ(o.GetText("a.inherited"), "");
    EXPECT_EQ(o.GetText("own"), "");
    EXPECT_EQ(o.ToJsonText(), R"({"a":{}})");
    if (row.keepCopy) {
      EXPECT_EQ(copy->GetText("own"), "stale");
    }
  }
  ScriptJsonObject held;
  ASSERT_TRUE(held.CreateNamed());
  const std::shared_ptr<ScriptControl> holder = held.GetEngine();
  ASSERT_TRUE(held.Parse("[1]"));
  EXPECT_NE(held.GetEngine(), holder);
}

TEST(ScriptJsonObject, OperationsWithoutAnEngineFail) {
  ScriptJsonObject o;
  EXPECT_FALSE(o.Parse("{}"));
  EXPECT_FALSE(o.SetProperty("a", "b"));
  EXPECT_EQ(o.GetText("a"), "");
  EXPECT_EQ(o.ToJsonText(), "");
  EXPECT_EQ(o.GetArrayCount(), 0);
  EXPECT_EQ(o.GetType(), 0);
}

TEST(ScriptJsonObject, WritesInvisibleCharactersAsEscapes) {
  EXPECT_EQ(EscapeInvisibleCharacters(u"\"a\u2028b\u00ADc\u4e2d\""),
            u"\"a\\u2028b\\u00adc\u4e2d\"");
  EXPECT_EQ(RepairLooseBackslashes(uR"({"a":"C:\dir\\x\u00e9\q"})"),
            uR"({"a":"C:\\dir\\x\u00e9\\q"})");
}

TEST(PathKeysJson, ReadsEveryPathForm) {
  struct Row {
    const char* path;
    std::optional<std::u16string> keys;
  } rows[] = {
      {"", u"[]"},
      {"da", u"[]"},
      {"user", uR"(["user"])"},
      {"data", uR"(["data"])"},
      {"a.b[3]", uR"(["a","b",3])"},
      {"[0].name", uR"([0,"name"])"},
      {"da[0].name", uR"([0,"name"])"},
      {"list[2]['error_code']", uR"(["list",2,"error_code"])"},
      {"m[\"x y\"]", uR"(["m","x y"])"},
      {"替换方式", uR"(["替换方式"])"},
      // 乕 乗 乚 end in the bytes of "[", "\" and "]".
      {"a.乕乗乚", u"[\"a\",\"\u4E55\u4E57\u4E5A\"]"},
      {"['乗'][0]", u"[\"\u4E57\",0]"},
      {"a..b", std::nullopt},
      {"a[", std::nullopt},
      {"a[x]", std::nullopt},
      {"a]", std::nullopt},
      {"a['x'", std::nullopt},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.path);
    EXPECT_EQ(PathKeysJson(row.path), row.keys);
  }
}

}  // namespace
