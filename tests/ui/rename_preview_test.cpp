#include "ui/rename_preview.h"

#include <gtest/gtest.h>

#include <string>

#include "jobs/number_prefix_counter.h"
#include "jobs/rename_rule_options.h"
#include "platform/control_store.h"
#include "support/scripted_desktop_guard.h"
#include "ui/prompt_dialog.h"
#include "web/main_window_controls.h"

namespace {

class RenamePreviewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    GetControlStore().Clear();
    store.SetEnabled(kStartRenameButton, true);
    g_numberPrefixCounter.Reset();
  }
  void TearDown() override {
    GetControlStore().Clear();
    g_numberPrefixCounter.Reset();
    InstallPromptRoutine({});
  }
  void NumberPrefixOn() {
    store.SetChecked(kNumberPrefixRuleBox, true);
    store.SetText(kNumberPrefixEdit, "");
  }
  ControlStore& store = GetControlStore();
  ScriptedDesktopGuard ui;
};

bool HasNumber(const std::string& name, const char* number) {
  return name.find(number) != std::string::npos;
}

TEST_F(RenamePreviewTest, NumbersContinueFromOnePreviewToTheNext) {
  NumberPrefixOn();
  const RenamePreviewResults first = PreviewNewNames("a.txt");
  EXPECT_TRUE(HasNumber(first.folder, "001")) << first.folder;
  EXPECT_TRUE(HasNumber(first.file1, "002")) << first.file1;
  EXPECT_TRUE(HasNumber(first.file2, "003")) << first.file2;
  const RenamePreviewResults next = PreviewNewNames("a.txt");
  EXPECT_TRUE(HasNumber(next.folder, "004")) << next.folder;
}

TEST_F(RenamePreviewTest, APreviewDuringARunTakesNoNumbersFromIt) {
  NumberPrefixOn();
  store.SetEnabled(kStartRenameButton, false);
  g_numberPrefixCounter.Reset("007");
  const RenamePreviewResults preview = PreviewNewNames("a.txt");
  EXPECT_TRUE(HasNumber(preview.folder, "008")) << preview.folder;
  EXPECT_TRUE(HasNumber(preview.file2, "010")) << preview.file2;
  EXPECT_EQ(g_numberPrefixCounter.Text(), "007");
}

TEST_F(RenamePreviewTest, TypedCharactersComeBackAsCharacters) {
  const std::string name = "a &中 b.txt";
  const RenamePreviewResults same = PreviewNewNames(name);
  EXPECT_EQ(same.folder, name);
  EXPECT_EQ(same.file1, name);

  store.SetChecked(kRegexDeletionRuleBox, true);
  store.SetText(kRegexDeletionEdit, "[0-9]+");
  EXPECT_EQ(PreviewNewNames("a b1.txt").file1, "a b.txt");
}

TEST_F(RenamePreviewTest, TheBoxShowsTheTypedNameAndTheThreeResults) {
  InstallPromptRoutine([](QWidget*) {
    EXPECT_EQ(g_promptDialogOptions.title, "改名预览");
    EXPECT_EQ(g_promptDialogOptions.defaultText, "自己随便输入文件名，将根据设置做出改名预览.txt");
    g_promptText = "x.txt";
    return true;
  });
  ui.desktop.AnswerNext(kBoxResultOk);
  ShowRenamePreview(0, 1);
  const auto boxes = ui.desktop.Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "信息：");
  EXPECT_EQ(
      boxes[0].text,
      "原文件名：\r\nx.txt\r\n\r\n新文件名（1为目录，2\\3为文件）：\r\nx.txt\r\nx.txt\r\nx.txt");

  ShowRenamePreview(0, 0);  // only the second argument 1 does anything
  InstallPromptRoutine([](QWidget*) { return false; });
  ShowRenamePreview(0, 1);  // cancelled: no box
  EXPECT_EQ(ui.desktop.Boxes().size(), 1u);
}

TEST_F(RenamePreviewTest, ChineseDeletionWithoutACountStopsBeforeThePrompt) {
  bool asked = false;
  InstallPromptRoutine([&](QWidget*) { return asked = true; });
  store.SetChecked(kChineseDeletionRuleBox, true);
  store.SetText(kChineseDeletionCountEdit, "0");
  ui.desktop.AnswerNext(kBoxResultOk);
  ShowRenamePreview(0, 1);
  EXPECT_FALSE(asked);
  ASSERT_EQ(ui.desktop.Boxes().size(), 1u);
  EXPECT_EQ(ui.desktop.Boxes()[0].text, "选择了删除随机汉字，但未设置要删除的汉字数量。");
}

}  // namespace
