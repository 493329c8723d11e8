#include "jobs/rename_rules.h"

#include <gtest/gtest.h>

#include "platform/control_store.h"
#include "support/scripted_desktop_guard.h"

namespace {

// BuildNewName reads the program's store, lists and counter: each test starts
// from an empty store and empty lists.
class BuildNewNameTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetProgramState(); }
  void TearDown() override { ResetProgramState(); }

  static void ResetProgramState() {
    GetControlStore().Clear();
    g_numberPrefixCounter.Reset();
    ForgetReportedRegexFailure();
    std::lock_guard lock(g_keywordRulesLock);
    g_keywordReplaceMode = kNormalReplaceMode;
    g_replaceKeywords.clear();
    g_replacementWords.clear();
    g_specifiedReplacements.clear();
  }

  ControlStore& store = GetControlStore();
};

TEST_F(BuildNewNameTest, ReadsTheOptionsAtEveryCall) {
  store.SetChecked(kPrefixRuleBox, true);
  store.SetText(kPrefixEdit, "P_");
  EXPECT_EQ(BuildNewName("a.txt", 0, 0, 0, "", kPlainNameVariant), "P_a.txt");
  store.SetText(kPrefixEdit, "Q_");
  store.SetChecked(kNewExtensionRuleBox, true);
  store.SetText(kNewExtensionEdit, "doc");
  EXPECT_EQ(BuildNewName("a.txt", 0, 0, 0, "", kPlainNameVariant), "Q_a.doc");
  EXPECT_EQ(BuildNewName("a.txt", 0, 0, 1, "", kPlainNameVariant), "Q_a.txt") << "folder";
  store.SetChecked(kPrefixRuleBox, false);
  EXPECT_EQ(BuildNewName("a.txt", 0, 0, 0, "", kEscapedNameVariant), "a.doc");
}

TEST_F(BuildNewNameTest, UsesTheProgramListsAndCounter) {
  {
    std::lock_guard lock(g_keywordRulesLock);
    g_keywordReplaceMode = kSpecifiedReplaceMode;
    g_specifiedReplacements = {"旧---->新"};
  }
  store.SetChecked(kReplaceRuleBox, true);
  store.SetChecked(kNumberPrefixRuleBox, true);
  store.SetText(kNumberPrefixEdit, "9");
  EXPECT_EQ(BuildNewName("旧.txt", 0, 0, 0, "", kPlainNameVariant), "10新.txt");
  EXPECT_EQ(BuildNewName("\\u65E7.txt", 0, 0, 0, "", kEscapedNameVariant), "11\\u65B0.txt");
  EXPECT_EQ(g_numberPrefixCounter.Text(), "11");
}

TEST_F(BuildNewNameTest, ReportsABrokenExpressionOncePerPattern) {
  ScriptedDesktopGuard ui;
  store.SetChecked(kRegexDeletionRuleBox, true);
  store.SetText(kRegexDeletionEdit, "[a-");
  ui.desktop.AnswerNext(kBoxResultOk);
  for (const char* name : {"a1", "b2", "c3"})
    EXPECT_EQ(BuildNewName(name, 0, 0, 0, "", kPlainNameVariant), name);
  ASSERT_EQ(ui.desktop.Boxes().size(), 1u);
  EXPECT_EQ(ui.desktop.Boxes()[0].caption, "提示：");
  EXPECT_NE(ui.desktop.Boxes()[0].text.find("[a-"), std::string::npos);
  EXPECT_GT(ui.desktop.Boxes()[0].timeoutMs, 0) << "a job is never held up by the notice";

  store.SetText(kRegexDeletionEdit, "(x");
  ui.desktop.AnswerNext(kBoxResultOk);
  EXPECT_EQ(BuildNewName("x1", 0, 0, 0, "", kEscapedNameVariant), "x1");
  EXPECT_EQ(BuildNewName("x2", 0, 0, 0, "", kEscapedNameVariant), "x2");
  EXPECT_EQ(ui.desktop.Boxes().size(), 2u);

  ForgetReportedRegexFailure();
  ui.desktop.AnswerNext(kBoxResultOk);
  BuildNewName("x3", 0, 0, 0, "", kPlainNameVariant);
  EXPECT_EQ(ui.desktop.Boxes().size(), 3u);
}

}  // namespace
