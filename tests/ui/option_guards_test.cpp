#include "ui/option_guards.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "jobs/rename_rule_options.h"
#include "jobs/rename_task_controls.h"
#include "platform/control_store.h"
#include "support/scripted_desktop_guard.h"
#include "ui/prompt_dialog.h"
#include "web/main_window_controls.h"
#include "web/rename_task_state.h"

namespace {

// Answers the prompt as a user would: OK with `typed`, or Cancel.
struct ScriptedPrompt {
  explicit ScriptedPrompt(bool ok, std::string typed = {}) {
    previous = InstallPromptRoutine([this, ok, typed](QWidget*) {
      seen.push_back(g_promptDialogOptions);
      if (ok) {
        g_promptText = typed;
      }
      return ok;
    });
  }
  ~ScriptedPrompt() { InstallPromptRoutine(previous); }
  PromptRoutine previous;
  std::vector<PromptDialogOptions> seen;
};

class OptionGuardsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    GetControlStore().Clear();
    g_renameStopRequested = false;
    g_keywordPanelMode.clear();
  }
  void TearDown() override { GetControlStore().Clear(); }
  ControlStore& store = GetControlStore();
  ScriptedDesktopGuard ui;
};

struct GuardCase {
  bool jobRuns;
  const char* clicked;
  bool prefetchBefore;
  bool fastBefore;
  bool clickedNow;  // the clicked box's state after the click
  bool prefetchAfter;
  bool fastAfter;
  const char* boxText;  // nullptr: no box
  const char* boxTitle;
  int timeoutMs;
};

TEST_F(OptionGuardsTest, GuardTable) {
  const char* later = "任务开始前修改才会生效。";
  const char* fastWarning =
      "此模式时，修改失败数量可能不准（百度可能会将修改成功的标识为失败），如非必要，"
      "不建议启用此功能。";
  const GuardCase cases[] = {
      // A running job undoes clicks on either box.
      {true, kPrefetchBox, true, true, false, true, true, later, "提示：", 7000},
      {true, kPrefetchBox, false, false, true, false, false, later, "提示：", 7000},
      {true, kFastModeBox, true, false, true, true, false, later, "提示：", 7000},
      {true, kFastModeBox, true, true, false, true, true, later, "提示：", 7000},
      // No job: unticking prefetch unticks fast mode; ticking fast ticks prefetch.
      {false, kPrefetchBox, true, true, false, false, false, nullptr, nullptr, 0},
      {false, kPrefetchBox, false, false, true, true, false, nullptr, nullptr, 0},
      {false, kFastModeBox, false, false, true, true, true, fastWarning, "提示：", 7000},
      {false, kFastModeBox, true, true, false, true, false, nullptr, nullptr, 0},
      // The two warnings, shown only when the box is ticked.
      {false, kReplaceRuleBox, false, false, true, false, false,
       "请自行确认设置的要替换的关键词正确。", "提示：", 0},
      {true, kReplaceRuleBox, false, false, false, false, false, nullptr, nullptr, 0},
      {false, kDeleteFilesBox, false, false, true, false, false,
       "此操作会删除包含关键词的文件，不会删除任何目录，删除后不能找回，请确认后再启用。", "提示：",
       20000},
  };
  for (const GuardCase& c : cases) {
    SCOPED_TRACE(std::string(c.clicked) + (c.jobRuns ? " running" : " idle"));
    ScriptedDesktopGuard local;
    store.SetEnabled(kStartRenameButton, !c.jobRuns);
    store.SetChecked(kPrefetchBox, c.prefetchBefore);
    store.SetChecked(kFastModeBox, c.fastBefore);
    store.SetChecked(c.clicked, c.clickedNow);
    if (c.boxText != nullptr) {
      local.desktop.AnswerNext(kBoxResultOk);
    }
    OnOptionBoxClicked(c.clicked);
    EXPECT_EQ(store.Checked(kPrefetchBox), c.prefetchAfter);
    EXPECT_EQ(store.Checked(kFastModeBox), c.fastAfter);
    const auto boxes = local.desktop.Boxes();
    if (c.boxText == nullptr) {
      EXPECT_TRUE(boxes.empty());
    } else {
      ASSERT_EQ(boxes.size(), 1u);
      EXPECT_EQ(boxes[0].text, c.boxText);
      EXPECT_EQ(boxes[0].caption, c.boxTitle);
      EXPECT_EQ(boxes[0].timeoutMs, c.timeoutMs);
    }
  }
}

struct ConfirmCase {
  const char* box;
  bool ok;
  const char* typed;
  bool stays;
};

TEST_F(OptionGuardsTest, ConfirmByTypingDelTable) {
  const ConfirmCase cases[] = {
      {kDeleteFoldersBox, true, "del", true},    {kDeleteFoldersBox, true, "DEL", true},
      {kDeleteFoldersBox, true, "Del", true},    {kDeleteFoldersBox, true, " del", false},
      {kDeleteFoldersBox, true, "", false},      {kDeleteFoldersBox, true, "delete", false},
      {kDeleteFoldersBox, false, "", false},     {kRegexDeletionRuleBox, true, "dEl", true},
      {kRegexDeletionRuleBox, true, "x", false}, {kRegexDeletionRuleBox, false, "", false},
  };
  for (const ConfirmCase& c : cases) {
    SCOPED_TRACE(std::string(c.box) + " typed '" + c.typed + "'");
    ScriptedDesktopGuard local;
    ScriptedPrompt prompt(c.ok, c.typed);
    store.SetChecked(kDeleteFoldersBox, c.box == kDeleteFoldersBox);
    store.SetChecked(c.box, true);
    const bool wrongText = c.ok && !c.stays;
    if (wrongText) {
      local.desktop.AnswerNext(kBoxResultOk);
    }
    OnOptionBoxClicked(c.box);
    EXPECT_EQ(store.Checked(c.box), c.stays);
    ASSERT_EQ(prompt.seen.size(), 1u);
    EXPECT_EQ(prompt.seen[0].editHeight, 24);
    EXPECT_EQ(prompt.seen[0].title,
              c.box == kDeleteFoldersBox ? "再次确认删除：" : "再次确认启用正则：");
    EXPECT_EQ(prompt.seen[0].defaultText, "");
    EXPECT_EQ(prompt.seen[0].message,
              c.box == kDeleteFoldersBox
                  ? "\r\n手动在下方输入字符 'del' (不含'号)，以确定删除目录。\r\n\r\n"
                    "此操作会删除目录下的所有文件，请谨慎选择！\r\n\r\n"
                  : "\r\n手动在下方输入字符 'del' (不含'号)，确认启用正则删除。\r\n\r\n"
                    "如果不熟悉正则匹配，请联系客服！\r\n");
    const auto boxes = local.desktop.Boxes();
    ASSERT_EQ(boxes.size(), wrongText ? 1u : 0u);
    if (wrongText) {
      EXPECT_EQ(boxes[0].text, "确认错误。需要输入的是 del ");
      EXPECT_EQ(boxes[0].type, 48);
    }
  }
}

TEST_F(OptionGuardsTest, CancellingTheRegexPromptLeavesTheFolderBoxAlone) {
  ScriptedPrompt prompt(false);
  store.SetChecked(kDeleteFoldersBox, true);
  store.SetChecked(kRegexDeletionRuleBox, true);
  OnOptionBoxClicked(kRegexDeletionRuleBox);
  EXPECT_FALSE(store.Checked(kRegexDeletionRuleBox));
  EXPECT_TRUE(store.Checked(kDeleteFoldersBox));
}

TEST_F(OptionGuardsTest, UntickingADeletionBoxAsksNothing) {
  ScriptedPrompt prompt(true, "del");
  store.SetChecked(kDeleteFoldersBox, false);
  OnOptionBoxClicked(kDeleteFoldersBox);
  EXPECT_TRUE(prompt.seen.empty());
}

TEST_F(OptionGuardsTest, KeywordPanelWritesBackOnlyUnderItsMarker) {
  store.SetText(kDeleteFilesKeywordsEdit, "old");
  ASSERT_TRUE(FillKeywordPanel(kDeleteFilesKeywordsEdit));
  EXPECT_EQ(g_keywordPanelMode, "删除文件关键词");
  EXPECT_EQ(store.Text(kKeywordPanelEdit), "old");
  store.SetText(kKeywordPanelEdit, "a,b");
  CloseKeywordPanel();
  EXPECT_EQ(store.Text(kDeleteFilesKeywordsEdit), "a,b");
  EXPECT_FALSE(store.Visible(kKeywordPanelGroup));

  // A prompt without the mode's marker writes nothing.
  ASSERT_TRUE(FillKeywordPanel(kDeleteFoldersKeywordsEdit));
  store.SetText(kKeywordPanelPrompt, "something else");
  store.SetText(kKeywordPanelEdit, "typed");
  CloseKeywordPanel();
  EXPECT_EQ(store.Text(kDeleteFoldersKeywordsEdit), "");
  EXPECT_FALSE(FillKeywordPanel("编辑框_其他"));
}

TEST_F(OptionGuardsTest, StopRenameDoesNothingWithoutAJob) {
  store.SetEnabled(kStartRenameButton, true);
  store.SetChecked(kLoopBox, true);
  StopRenameJob();
  EXPECT_FALSE(g_renameStopRequested);
  EXPECT_TRUE(store.Checked(kLoopBox));
  EXPECT_TRUE(ui.desktop.Boxes().empty());
}

TEST_F(OptionGuardsTest, StopRenameAsksThenSetsTheFlagAndEndsTheLoop) {
  store.SetEnabled(kStartRenameButton, false);
  store.SetChecked(kLoopBox, true);
  ui.desktop.AnswerNext(kBoxResultNo);
  StopRenameJob();
  EXPECT_FALSE(g_renameStopRequested);
  EXPECT_TRUE(store.Checked(kLoopBox));

  ui.desktop.AnswerNext(kBoxResultYes);
  StopRenameJob();
  EXPECT_TRUE(g_renameStopRequested);
  EXPECT_FALSE(store.Checked(kLoopBox));
  const auto boxes = ui.desktop.Boxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[1].text, "确定停止？");
  EXPECT_EQ(boxes[1].type, 36);
  EXPECT_FALSE(store.Enabled(kStartRenameButton));  // the task enables it itself
}

}  // namespace

#include "ui/maker_pages.h"
#include "ui/start_up.h"
#include "web/service_config.h"

namespace {

TEST(MakerPages, AddressesOnTheMakersHost) {
  const std::string host = "https://" + GetServiceConfig().updateHost;
  EXPECT_EQ(MakerPageUrl("透明标签10").rfind(host, 0), 0u);
  EXPECT_EQ(MakerPageUrl("按钮5").rfind(host, 0), 0u);
  EXPECT_NE(MakerPageUrl("透明标签10"), MakerPageUrl("按钮5"));
  EXPECT_EQ(MakerPageUrl("其他"), "");
  const std::string software = MakerPageUrl("透明标签7");
  const std::string head = host + "/softupdate/index.html?" + g_productKey + "?rand=";
  ASSERT_EQ(software.rfind(head, 0), 0u);
  const std::string stamp = software.substr(head.size());
  EXPECT_EQ(stamp.size(), 13u);
  EXPECT_EQ(stamp.find_first_not_of("0123456789"), std::string::npos);
}

}  // namespace
