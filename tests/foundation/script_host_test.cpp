#include "foundation/script_host.h"

#include <gtest/gtest.h>

namespace {

TEST(ScriptHost, RunsDefinedFunctionsWithText) {
  ScriptHost host;
  ASSERT_TRUE(host.Init());
  ASSERT_TRUE(host.ExecuteStatement("function twice(s) { return s + s; }"));
  EXPECT_EQ(host.LastError(), "");
  EXPECT_EQ(host.Run("twice", std::string("ab")), "abab");
  EXPECT_EQ(host.Run("twice", std::string("名")), "名名");
  EXPECT_EQ(host.Eval("twice('x') + 1"), "xx1");
}

TEST(ScriptHost, PassesOnlyTheLeadingArguments) {
  ScriptHost host;
  ASSERT_TRUE(host.Init());
  ASSERT_TRUE(host.ExecuteStatement("function count() { return arguments.length; }"));
  struct Row {
    const char* name;
    std::optional<std::string> a1, a2, a3, a4, a5, a6;
    const char* expected;
  } rows[] = {
      {"none", {}, {}, {}, {}, {}, {}, "0"},
      {"first and third", "a", {}, "c", {}, {}, {}, "1"},
      {"all six", "1", "2", "3", "4", "5", "6", "6"},
      {"empty texts count", "", "", {}, {}, {}, {}, "2"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(host.Run("count", row.a1, row.a2, row.a3, row.a4, row.a5, row.a6), row.expected);
  }
}

TEST(ScriptHost, FailuresLeaveAnErrorText) {
  ScriptHost host;
  ASSERT_TRUE(host.Init());
  EXPECT_FALSE(host.ExecuteStatement("function broken( {"));
  EXPECT_NE(host.LastError(), "");
  EXPECT_EQ(host.Run("nothingDefined"), "");
  EXPECT_NE(host.LastError(), "");
  EXPECT_EQ(host.Eval("1 +"), "");
  EXPECT_TRUE(host.ExecuteStatement("var ok = 1;"));
  EXPECT_EQ(host.LastError(), "");

  ScriptHost uninitialised;
  EXPECT_FALSE(uninitialised.ExecuteStatement("var a = 1;"));
  EXPECT_NE(uninitialised.LastError(), "");
  EXPECT_EQ(uninitialised.Run("f", std::string("x")), "");
}

TEST(ScriptHost, PropertiesAndSharedEngine) {
  ScriptHost host;
  ASSERT_TRUE(host.Init());
  EXPECT_EQ(host.Timeout(), -1);
  EXPECT_EQ(host.Timeout(5000), 5000);
  EXPECT_EQ(host.Language(), "JScript");
  EXPECT_EQ(host.Language(7), "JScript");
  EXPECT_EQ(host.Language(1), "vbs");
  EXPECT_FALSE(host.ExecuteStatement("var a = 1;"));
  EXPECT_EQ(host.Language(0), "JScript");
  EXPECT_EQ(host.State(), 0);
  EXPECT_EQ(host.State(1), 1);
  EXPECT_FALSE(host.AllowUI(false));
  EXPECT_EQ(host.SitehWnd(42), 42);

  ASSERT_TRUE(host.AddCode("function one() { return 1; }"));
  const ScriptHost copy = host;
  EXPECT_EQ(copy.GetEngine(), host.GetEngine());
  ScriptHost other = copy;
  EXPECT_EQ(other.Run("one"), "1");
  host.Reset();
  EXPECT_EQ(other.Run("one"), "");
  other.ReleaseEngine();
  EXPECT_FALSE(other.AddCode("var a = 1;"));
  EXPECT_TRUE(host.AddCode("var a = 1;"));
}

}  // namespace
