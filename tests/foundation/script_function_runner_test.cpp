#include "foundation/script_function_runner.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

TEST(GetCookieValue, FindsTheNamedEntry) {
  const std::string cookies = "BDUSS=aa; BAIDUID=ABC123:FG=1; STOKEN=zz";
  struct Row {
    const char* name;
    std::string cookieText, cookieName;
    bool valueOnly;
    std::string expected;
  } rows[] = {
      {"value keeps equals signs", cookies, "baiduid", true, "ABC123:FG=1"},
      {"whole entry without value-only", cookies, "BAIDUID", false, "BAIDUID=ABC123:FG=1"},
      {"first entry", cookies, "bduss", true, "aa"},
      {"last entry", cookies, "STOKEN", true, "zz"},
      {"longer name does not match", "XBAIDUID=1; BAIDUID=2", "BAIDUID", true, "2"},
      {"only longer name", "XBAIDUID=1", "BAIDUID", true, ""},
      {"missing cookie", cookies, "PANPSC", true, ""},
      {"empty text", "", "BAIDUID", true, ""},
      {"name without equals", "BAIDUID; X=1", "BAIDUID", true, ""},
      {"semicolons without spaces", "A=1;BAIDUID=2;C=3", "BAIDUID", true, "2"},
      {"empty value", "BAIDUID=; A=1", "BAIDUID", true, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(GetCookieValue(row.cookieText, row.cookieName, row.valueOnly), row.expected);
  }
}

TEST(RunJScriptFunction, LogIdIsStandardBase64) {
  // RFC 4648 test vectors.
  struct Row {
    const char* input;
    const char* expected;
  } rows[] = {
      {"", ""},
      {"f", "Zg=="},
      {"fo", "Zm8="},
      {"foo", "Zm9v"},
      {"foob", "Zm9vYg=="},
      {"fooba", "Zm9vYmE="},
      {"foobar", "Zm9vYmFy"},
      {"abc", "YWJj"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.input);
    EXPECT_EQ(RunJScriptFunction(LogIdScriptText(), "logid", row.input), row.expected);
  }
  EXPECT_EQ(LogIdScriptText().rfind("function logid(r)", 0), 0u);
}

TEST(RunJScriptFunction, FailuresAndArguments) {
  EXPECT_EQ(RunJScriptFunction("function broken( {", "broken"), kScriptRunFailed);
  EXPECT_EQ(RunJScriptFunction("throw 1;", "f"), kScriptRunFailed);
  EXPECT_EQ(RunJScriptFunction("function f() { return 1; }", "g"), "");
  EXPECT_EQ(RunJScriptFunction("function f() { throw 2; }", "f"), "");
  EXPECT_EQ(
      RunJScriptFunction("function f(a, b, c, d) { return arguments.length + a + d; }", "f", "中"),
      "4中");
}

TEST(ComputeLogId, UsesTheBaiduidCookieAndNeverTheFailureText) {
  EXPECT_EQ(ComputeLogId("BDUSS=x; BAIDUID=foo; STOKEN=y"), "Zm9v");
  EXPECT_EQ(ComputeLogId("BDUSS=x"), "");
  EXPECT_EQ(ComputeLogId(""), "");
  // The kept answer belongs to its value only.
  EXPECT_EQ(ComputeLogId("BAIDUID=bar"), "YmFy");
  EXPECT_EQ(ComputeLogId("BAIDUID=bar"), "YmFy");
  EXPECT_EQ(ComputeLogId("BAIDUID=foo"), "Zm9v");
}

// Worker threads compute request values at the same time, each with engines
// of its own.
TEST(ComputeLogId, RunsOnSeveralThreadsAtOnce) {
  std::vector<std::thread> threads;
  std::vector<int> wrong(4, 0);
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([t, &wrong] {
      for (int i = 0; i < 50; ++i) {
        if (ComputeLogId("BAIDUID=foobar") != "Zm9vYmFy")
          ++wrong[t];
      }
    });
  }
  for (std::thread& thread : threads)
    thread.join();
  EXPECT_EQ(wrong, std::vector<int>(4, 0));
}

}  // namespace
