// The rename task's option checks, in their order: the box each failure
// shows, the control it points at, the page it switches to, the state it
// leaves the prefetch boxes and the counters in, and the start button back.

#include <fstream>
#include <functional>

#include "jobs/number_prefix_counter.h"
#include "jobs/rename_rule_options.h"
#include "jobs/rename_rules.h"
#include "jobs/rename_task.h"
#include "jobs/rename_task_controls.h"
#include "platform/control_store.h"
#include "rename_task_harness.h"
#include "web/account_session.h"
#include "web/main_window_controls.h"
#include "web/rename_counters.h"

namespace {

constexpr const char* kNoFolderTicked =
    "没有勾选要修改的目录。批量处理功能只能处理目录，不能处理文件。";
constexpr int kQuestion = kBoxYesNo | kBoxIconQuestion;

class RenameTaskChecksTest : public RenameTaskFixture {};

struct Box {
  std::string text;
  int type;
  int answer = kBoxResultOk;
};

TEST_F(RenameTaskChecksTest, EachFailingCheckShowsItsBoxAndEndsTheTask) {
  struct Row {
    const char* name;
    std::function<void(ControlStore&)> arrange;
    std::vector<Box> boxes;
    const char* flashed;  // nullptr: no outline
    int page;             // -1: not switched
    bool countersZeroed;
    bool prefetchBoxesAfter;  // both prefetch boxes still ticked
  };
  const auto fastMode = [](ControlStore& s) {
    s.SetChecked(kFastModeBox, true);
    s.SetChecked(kPrefetchBox, true);
    s.SetChecked(kNumberPrefixRuleBox, true);
    s.SetChecked(kRegexDeletionRuleBox, true);
    s.SetText(kRegexDeletionEdit, "x");
    s.SetChecked(kChineseDeletionRuleBox, true);
    s.SetText(kChineseDeletionCountEdit, "2");
  };
  const std::string fastQuestion = "快速改名模式时，暂时不支持 ";
  const Row rows[] = {
      {"no account",
       [](ControlStore&) { SetAccountSession({}); },
       {{"请先双击或右键选择要操作的百度帐号cookies.", kBoxIconInformation}},
       nullptr,
       0,
       false,
       false},
      {"Chinese deletion without a count",
       [](ControlStore& s) {
         s.SetChecked(kChineseDeletionRuleBox, true);
         s.SetText(kChineseDeletionCountEdit, " 0个");
       },
       {{"选择了删除随机汉字，但未设置要删除的汉字数量。", kBoxIconInformation}},
       kChineseDeletionCountEdit,
       -1,
       false,
       false},
      {"fast mode without prefetch",
       [](ControlStore& s) { s.SetChecked(kFastModeBox, true); },
       {{"快速改名模式时，必须启用预读取所有文件模式。", kBoxIconInformation}},
       nullptr,
       1,
       false,
       false},
      {"fast mode with three rules it cannot apply, Yes to each",
       fastMode,
       {{fastQuestion + "自动增加数字序号前缀 功能。\r\n\r\n是否使用普通模式继续？", kQuestion,
         kBoxResultYes},
        {fastQuestion + "正则删除等 功能。\r\n\r\n是否使用普通模式继续？", kQuestion,
         kBoxResultYes},
        {fastQuestion + "删除包含的随机中文汉字 功能。\r\n\r\n是否使用普通模式继续？", kQuestion,
         kBoxResultYes},
        {kNoFolderTicked, kBoxIconInformation}},
       nullptr,
       -1,
       true,
       false},
      {"fast mode, Yes then No",
       fastMode,
       {{fastQuestion + "自动增加数字序号前缀 功能。\r\n\r\n是否使用普通模式继续？", kQuestion,
         kBoxResultYes},
        {fastQuestion + "正则删除等 功能。\r\n\r\n是否使用普通模式继续？", kQuestion,
         kBoxResultNo}},
       nullptr,
       -1,
       false,
       false},
      {"no rule",
       [](ControlStore&) {},
       {{"没有勾选要修改的改名规则。", kBoxIconWarning}},
       nullptr,
       -1,
       true,
       false},
      {"two ticked rules lacking their texts: only the first",
       [](ControlStore& s) {
         s.SetChecked(kSuffixRuleBox, true);
         s.SetChecked(kPrefixRuleBox, true);
       },
       {{"请填写要增加的前缀。", kBoxIconWarning}},
       kPrefixEdit,
       -1,
       true,
       false},
      {"a file delete box holding only commas",
       [](ControlStore& s) {
         s.SetChecked(kDeleteFilesBox, true);
         s.SetText(kDeleteFilesKeywordsEdit, ",,");
       },
       {{"启用了删除文件，但是没有设置要删除的关键词。", kBoxIconWarning}},
       kDeleteFilesKeywordsEdit,
       -1,
       true,
       false},
      {"a folder delete box holding only a comma",
       [](ControlStore& s) {
         s.SetChecked(kDeleteFoldersBox, true);
         s.SetText(kDeleteFoldersKeywordsEdit, ",");
       },
       {{"启用了删除目录，但是没有设置要删除的关键词。", kBoxIconWarning}},
       kDeleteFoldersKeywordsEdit,
       -1,
       true,
       false},
      {"keyword replacement without keyreplace.ini",
       [](ControlStore& s) { s.SetChecked(kReplaceRuleBox, true); },
       {{"选择了关键词替换，但是未设置普通要批量替换的关键词，设置完成后需要保存才会生效。",
         kBoxIconInformation}},
       nullptr,
       -1,
       true,
       false},
      {"ticked items mode with nothing ticked",
       [](ControlStore& s) {
         s.SetChecked(kTickedItemsOnlyRadio, true);
         s.SetChecked(kPrefixRuleBox, true);
         s.SetText(kPrefixEdit, "P_");
       },
       {{"没有勾选要修改的项目。", kBoxIconInformation}},
       nullptr,
       -1,
       true,
       false},
      {"folder modes with only a file ticked",
       [](ControlStore& s) {
         s.SetChecked(kPrefixRuleBox, true);
         s.SetText(kPrefixEdit, "P_");
         Tick(AddTreePath("/a.txt"));
       },
       {{kNoFolderTicked, kBoxIconInformation}},
       nullptr,
       -1,
       true,
       false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Reset();
    ControlStore& store = GetControlStore();
    row.arrange(store);
    g_renamedCount = 5;
    g_numberPrefixCounter.Reset("007");
    const size_t before = m_ui.desktop.Boxes().size();
    for (const Box& box : row.boxes) {
      m_ui.desktop.AnswerNext(box.answer);
    }
    RunTask(kRenameFirstRun);

    const std::vector<RecordedBox> all = m_ui.desktop.Boxes();
    ASSERT_EQ(all.size() - before, row.boxes.size());
    for (size_t i = 0; i < row.boxes.size(); ++i) {
      const RecordedBox& box = all[before + i];
      EXPECT_EQ(box.caption, "提示：");
      EXPECT_EQ(box.text, row.boxes[i].text);
      EXPECT_EQ(box.type, row.boxes[i].type);
      EXPECT_EQ(box.timeoutMs, 0);
    }
    const std::vector<std::string> flashed = m_controls.Flashed();
    EXPECT_EQ(flashed,
              row.flashed ? std::vector<std::string>(4, row.flashed) : std::vector<std::string>{});
    for (const OutlineToggle& toggle : m_windows.toggles) {
      EXPECT_EQ(toggle.colour, 0u);
    }
    EXPECT_EQ(store.Selection(kMainPages), row.page);
    EXPECT_EQ(g_renamedCount.load(), row.countersZeroed ? 0 : 5);
    EXPECT_EQ(g_numberPrefixCounter.Text(), row.countersZeroed ? "" : "007");
    EXPECT_EQ(store.Checked(kPrefetchBox) && store.Checked(kFastModeBox), row.prefetchBoxesAfter);
    EXPECT_TRUE(store.Enabled(kStartRenameButton));
  }
}

TEST_F(RenameTaskChecksTest, SpecifiedModeNeedsItsOwnList) {
  GetControlStore().SetChecked(kReplaceRuleBox, true);
  std::ofstream(m_folder.Path() / "keyreplace.ini", std::ios::binary)
      << R"({"替换方式":"指定替换","普通要被替换的词":"a","指定替换的词":""})";
  m_ui.desktop.AnswerNext(kBoxResultOk);
  RunTask(kRenameFirstRun);
  EXPECT_EQ(BoxTexts(),
            std::vector<std::string>{
                "选择了关键词替换，但是未设置要指定替换的关键词，设置完成后需要保存才会生效。"});
}

TEST_F(RenameTaskChecksTest, AStartLetsARegexFailureBeReportedAgain) {
  ControlStore& store = GetControlStore();
  store.SetChecked(kRegexDeletionRuleBox, true);
  store.SetText(kRegexDeletionEdit, "(");
  m_ui.desktop.AnswerNext(kBoxResultOk);
  BuildNewName("a.txt", 0, 0, 0, "", kPlainNameVariant);
  BuildNewName("a.txt", 0, 0, 0, "", kPlainNameVariant);
  ASSERT_EQ(m_ui.desktop.Boxes().size(), 1u) << "reported once";

  SetAccountSession({});
  m_ui.desktop.AnswerNext(kBoxResultOk);
  RunTask(kRenameFirstRun);  // ends before the reset
  BuildNewName("a.txt", 0, 0, 0, "", kPlainNameVariant);
  EXPECT_EQ(m_ui.desktop.Boxes().size(), 2u) << "the account box only";

  Reset();
  store.SetChecked(kRegexDeletionRuleBox, true);
  store.SetText(kRegexDeletionEdit, "(");
  m_ui.desktop.AnswerNext(kBoxResultOk);
  RunTask(kRenameFirstRun);  // reset, then no folder ticked
  m_ui.desktop.AnswerNext(kBoxResultOk);
  BuildNewName("a.txt", 0, 0, 0, "", kPlainNameVariant);
  EXPECT_EQ(m_ui.desktop.Boxes().size(), 4u) << "reported again";
  EXPECT_EQ(m_ui.desktop.Boxes().back().timeoutMs, 15000);
}

TEST_F(RenameTaskChecksTest, ATutorialClickOpensThePageOnTheMakersHost) {
  OnRenameTutorialLinkClicked();
  const std::vector<std::string> opened = m_ui.desktop.OpenedTargets();
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0], RenameTutorialUrl());
  EXPECT_EQ(RenameTutorialUrl().rfind("https://", 0), 0u);
}

}  // namespace
