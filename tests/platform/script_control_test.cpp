#include "platform/script_control.h"

#include <gtest/gtest.h>

namespace {

ScriptControl& Ready(ScriptControl& engine) {
  engine.SetLanguage(u"JScript");
  return engine;
}

TEST(ScriptControl, EvalGivesValuesOfEveryKind) {
  ScriptControl engine;
  ASSERT_TRUE(engine.IsValid());
  Ready(engine);
  struct Row {
    const char* name;
    std::u16string code;
    ScriptValue::Kind kind;
    std::u16string text;
    bool truth;
    double number;
  } rows[] = {
      {"string", u"'a' + 'b'", ScriptValue::Kind::kString, u"ab", true, 0},
      {"number", u"6 * 7", ScriptValue::Kind::kNumber, u"42", true, 42},
      {"fraction", u"0.1", ScriptValue::Kind::kNumber, u"0.1", true, 0.1},
      {"boolean", u"1 == 2", ScriptValue::Kind::kBoolean, u"false", false, 0},
      {"null", u"null", ScriptValue::Kind::kNull, u"", false, 0},
      {"statement", u"var unused = 1", ScriptValue::Kind::kEmpty, u"", false, 0},
      {"object", u"({})", ScriptValue::Kind::kObject, u"[object Object]", true, 0},
      {"numeric string", u"' 12.5'", ScriptValue::Kind::kString, u" 12.5", true, 12.5},
      {"number with trailing blank", u"'7 '", ScriptValue::Kind::kString, u"7 ", true, 7},
      {"text that only starts with a number", u"'12abc'", ScriptValue::Kind::kString, u"12abc",
       true, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ScriptValue value;
    ASSERT_TRUE(engine.Eval(row.code, value)) << engine.Error().description.size();
    EXPECT_EQ(value.kind, row.kind);
    EXPECT_EQ(value.AsText(), row.text);
    EXPECT_EQ(value.AsBool(), row.truth);
    EXPECT_DOUBLE_EQ(value.AsNumber(), row.number);
  }
}

TEST(ScriptControl, DefinitionsStayAndRunPassesTexts) {
  ScriptControl engine;
  Ready(engine);
  ASSERT_TRUE(
      engine.AddCode(u"function join(a, b) { return a + '|' + b + '|' + arguments.length; }"));
  ScriptValue value;
  ASSERT_TRUE(engine.Run(u"join", {u"中", u"\U0001F600"}, value));
  EXPECT_EQ(value.AsText(), u"中|\U0001F600|2");
  // Surrogates made inside the script come out as the same code units.
  ASSERT_TRUE(engine.Eval(u"String.fromCharCode(0xD83D, 0xDE00, 0xD800)", value));
  EXPECT_EQ(value.AsText(), std::u16string(u"\U0001F600") + char16_t(0xD800));
  ASSERT_TRUE(engine.Eval(u"'\U0001F600'.length", value));
  EXPECT_EQ(value.AsNumber(), 2);
  engine.Reset();
  EXPECT_FALSE(engine.Run(u"join", {}, value));
}

TEST(ScriptControl, ErrorsBecomeFailuresWithAnErrorText) {
  struct Row {
    const char* name;
    std::u16string code;
    int number;
  } rows[] = {
      {"syntax error", u"function (", 1002},
      {"undefined name", u"noSuchName + 1", 5009},
      {"thrown value", u"throw 'stop'", 5},
      {"runaway recursion", u"function f() { return 1 + f(); } f()", 5},
      {"memory beyond the heap limit", u"var s = 'x'; while (true) s += s;", 5},
      {"memory beyond the heap limit in small blocks", u"var a = []; while (true) a.push({});", 5},
      {"error whose fields cannot be read",
       u"var e = new Error('x');"
       u"Object.defineProperty(e, 'name', {get: function() { throw 1; }}); throw e;",
       5},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ScriptControl engine;
    Ready(engine);
    ScriptValue value;
    EXPECT_FALSE(engine.Eval(row.code, value));
    EXPECT_EQ(engine.Error().number, row.number);
    EXPECT_FALSE(engine.LastErrorText().empty());
    // The engine stays usable and a success clears the error.
    ASSERT_TRUE(engine.Eval(u"1", value));
    EXPECT_TRUE(engine.LastErrorText().empty());
  }
}

TEST(ScriptControl, RunAndLanguageFailures) {
  ScriptControl engine;
  ScriptValue value;
  EXPECT_FALSE(engine.Eval(u"1", value)) << "no language set yet";
  engine.SetLanguage(u"vbs");
  EXPECT_FALSE(engine.Eval(u"1", value));
  engine.SetLanguage(u"javascript");
  EXPECT_TRUE(engine.Eval(u"1", value));
  EXPECT_FALSE(engine.Run(u"missing", {}, value));
  EXPECT_FALSE(engine.LastErrorText().empty());
  ASSERT_TRUE(engine.AddCode(u"var notAFunction = 3;"));
  EXPECT_FALSE(engine.Run(u"notAFunction", {}, value));
}

TEST(ScriptControl, GlobalTextIsAValueNeverCode) {
  ScriptControl engine;
  Ready(engine);
  const std::u16string hostile = u"'); throw 1; ('\\\"\r\n\u2028";
  ASSERT_TRUE(engine.SetGlobalText(u"input", hostile));
  ScriptValue value;
  ASSERT_TRUE(engine.Eval(u"input", value));
  EXPECT_EQ(value.AsText(), hostile);
}

// The second engine loads what the first compiled; both must behave as if the
// text had been run with AddCode.
TEST(ScriptControl, LibraryCodeRunsAlikeWhenCompiledAndWhenLoaded) {
  const std::u16string library =
      u"var greeting = 'hi';\n"
      u"function Greet(name) { return greeting + ' ' + name + ' \u4e2d'; }\n"
      u"function Fail() { throw new TypeError('no'); }\n";
  for (const char* name : {"compiled", "loaded", "loaded again"}) {
    SCOPED_TRACE(name);
    ScriptControl engine;
    Ready(engine);
    ASSERT_TRUE(engine.AddLibraryCode(library));
    ScriptValue value;
    ASSERT_TRUE(engine.Run(u"Greet", {u"you"}, value));
    EXPECT_EQ(value.text, u"hi you \u4e2d");
    ASSERT_TRUE(engine.Eval(u"greeting = 'bye'; this.greeting", value));
    EXPECT_EQ(value.text, u"bye");
    EXPECT_FALSE(engine.Run(u"Fail", {}, value));
    EXPECT_EQ(engine.Error().description, u"no");
  }
  // A text that does not compile fails every time, as AddCode does.
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    ScriptControl engine;
    Ready(engine);
    EXPECT_FALSE(engine.AddLibraryCode(u"function ("));
    EXPECT_EQ(engine.Error().number, 1002);
  }
  ScriptControl unready;
  EXPECT_FALSE(unready.AddLibraryCode(library));
}

}  // namespace
