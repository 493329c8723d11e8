// CommonDialogs through scripted dialogs: what each dialog is asked, what the
// caller gets back, and the auto-answer of the wide open dialog.

#include "foundation/common_dialogs.h"

#include <gtest/gtest.h>

#include "platform/code_page_codec.h"
#include "platform/scripted_file_dialogs.h"
#include "support/scripted_desktop_guard.h"

namespace {

struct CommonDialogsTest : ::testing::Test {
  ScriptedFileDialogs dialogs{ReportToGtest};
  ScopedFileDialogs use{dialogs};
  CommonDialogs common;

  ~CommonDialogsTest() override {
    EXPECT_EQ(dialogs.PendingAnswers(), 0) << "scripted dialog answers were never asked for";
  }
};

TEST_F(CommonDialogsTest, SaveFileAsksWithTheFilterAndFolderAndGivesThePath) {
  dialogs.AnswerNextFile({"/run/renset/ren-set-20260102.ini"});
  std::string chosen = common.SaveFile(false, "", "ren-set-20260102.ini",
                                       "改名参数界面配置ini文件|*.ini", "/run/renset");
  EXPECT_EQ(chosen, "/run/renset/ren-set-20260102.ini");
  ASSERT_EQ(dialogs.FileRequests().size(), 1u);
  const FileDialogRequest request = dialogs.FileRequests()[0];
  EXPECT_EQ(request.kind, FileDialogKind::kSave);
  ASSERT_EQ(request.filters.size(), 1u);
  EXPECT_EQ(request.filters[0].description, "改名参数界面配置ini文件");
  EXPECT_EQ(request.filters[0].patterns, "*.ini");
  EXPECT_EQ(request.initialFile, "ren-set-20260102.ini");
  EXPECT_EQ(request.initialFolder, "/run/renset");
  EXPECT_FALSE(request.overwritePrompt);
}

TEST_F(CommonDialogsTest, InitialFoldersReachTheDialogWithSlashes) {
  // The windows compose run directory + "\renset"; a trail byte equal to "\"
  // inside a double-byte character stays as it is.
  const std::string kTrailBackslash = "\x81\x5c";
  dialogs.AnswerNextFile({});
  dialogs.AnswerNextFile({});
  dialogs.AnswerNextFile({});
  common.SaveFile(false, "", "ren-set-1.ini", "改名参数界面配置ini文件|*.ini", "/run\\renset");
  common.OpenFile(false, "", "", "文本文件|*.txt", "/run/" + kTrailBackslash + "\\关键词");
  common.OpenFiles(false, "", "", "/run\\");
  EXPECT_EQ(dialogs.FileRequests()[0].initialFolder, "/run/renset");
  EXPECT_EQ(dialogs.FileRequests()[1].initialFolder, "/run/" + kTrailBackslash + "/关键词");
  EXPECT_EQ(dialogs.FileRequests()[2].initialFolder, "/run/");
}

TEST_F(CommonDialogsTest, CancelledDialogsGiveTheEmptyText) {
  dialogs.AnswerNextFile({});
  dialogs.AnswerNextFile({});
  EXPECT_EQ(common.OpenFile(false, "", "", "文本文件|*.txt", "/run"), "");
  EXPECT_EQ(common.OpenFiles(), "");
  EXPECT_EQ(dialogs.FileRequests()[0].kind, FileDialogKind::kOpen);
  EXPECT_EQ(dialogs.FileRequests()[1].kind, FileDialogKind::kOpenMany);
}

TEST_F(CommonDialogsTest, OpenFilesJoinsPathsWithCrLf) {
  dialogs.AnswerNextFile({"/d/a.txt"});
  dialogs.AnswerNextFile({"/d/a.txt", "/d/关键词.txt"});
  EXPECT_EQ(common.OpenFiles(), "/d/a.txt");
  EXPECT_EQ(common.OpenFiles(), "/d/a.txt\r\n/d/关键词.txt");
}

TEST(DialogFilter, PairsDescriptionsWithPatterns) {
  struct Row {
    const char* name;
    std::string filter;
    size_t count;
  };
  const Row rows[] = {
      {"empty", "", 0},
      {"one pair", "文本文件|*.txt", 1},
      {"two pairs", "文本文件|*.txt|全部|*.*", 2},
      {"description without patterns dropped", "文本文件|*.txt|全部", 1},
      {"trailing bar", "文本文件|*.txt|", 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(ParseDialogFilter(row.filter).size(), row.count);
  }
}

// "東" is 0x96 0x7C in code page 936: its trail byte is a "|".
TEST(DialogFilter, TrailByteEqualToBarIsNoSeparator) {
  const std::vector<FileDialogFilter> filters = ParseDialogFilter("東京文件|*.東|全部|*.*");
  ASSERT_EQ(filters.size(), 2u);
  EXPECT_EQ(filters[0].description, "東京文件");
  EXPECT_EQ(filters[0].patterns, "*.東");
  EXPECT_EQ(filters[1].description, "全部");
}

TEST_F(CommonDialogsTest, LongInitialNamesAreCutBetweenCharacters) {
  dialogs.AnswerNextFile({});
  std::string name = "a";
  for (int i = 0; i < 200; ++i) {
    name += "字";
  }
  common.OpenFile(false, "", name);
  std::string sent = dialogs.FileRequests()[0].initialFile;
  EXPECT_EQ(sent.size(), 253u);  // "a" and 126 double-byte characters
  EXPECT_EQ(sent, name.substr(0, 253));
}

TEST_F(CommonDialogsTest, FontDialogConfirmedOrCancelled) {
  FontDialogAnswer answer;
  answer.faceName = "黑体";
  answer.pointSizeTenths = 125;
  answer.weight = 700;
  answer.italic = true;
  answer.underline = true;
  dialogs.AnswerNextFont(answer);
  dialogs.AnswerNextFont(std::nullopt);

  bool confirmed = false;
  FontRecord chosen = common.ChooseFont("宋体", 9, 0, false, false, false, false, &confirmed);
  EXPECT_TRUE(confirmed);
  EXPECT_EQ(chosen.faceName, "黑体");
  EXPECT_EQ(chosen.size, 12);
  EXPECT_TRUE(chosen.bold);
  EXPECT_TRUE(chosen.italic);
  EXPECT_TRUE(chosen.underline);
  EXPECT_FALSE(chosen.strikeout);

  FontRecord cancelled = common.ChooseFont("Arial", 30, 0xFF, true, true, true, true, &confirmed);
  EXPECT_FALSE(confirmed);
  EXPECT_EQ(cancelled.faceName, "宋体");
  EXPECT_EQ(cancelled.size, 9);
  EXPECT_FALSE(cancelled.bold || cancelled.italic || cancelled.underline || cancelled.strikeout);
  EXPECT_EQ(dialogs.FontRequests()[1].faceName, "Arial");
  EXPECT_TRUE(dialogs.FontRequests()[1].bold);
}

TEST_F(CommonDialogsTest, AutoAnswerAnswersTheWideOpenDialogUntilRemoved) {
  common.SetAutoAnswerPath(Utf16ToLeBytes(u"/home/u/上传.txt") + std::string(2, '\0'));
  EXPECT_TRUE(common.InstallAutoAnswer());
  WideOpenFileName dialog;
  EXPECT_TRUE(GetOpenFileNameWide(dialog));
  EXPECT_EQ(dialog.file, u"/home/u/上传.txt");
  EXPECT_EQ(dialog.flags & (kOfnExplorer | kOfnEnableHook), kOfnExplorer | kOfnEnableHook);
  EXPECT_TRUE(dialogs.WideOpenRequests().empty());

  common.RemoveAutoAnswer();
  dialogs.AnswerNextWideOpen(std::nullopt);
  WideOpenFileName shown;
  EXPECT_FALSE(GetOpenFileNameWide(shown));
  EXPECT_EQ(dialogs.WideOpenRequests().size(), 1u);
}

TEST_F(CommonDialogsTest, AutoAnswerWithoutFittingPathLeavesTheFileAlone) {
  struct Row {
    const char* name;
    std::u16string preset;
    size_t room;
  };
  const Row rows[] = {
      {"empty preset", u"", 260},
      {"no room for the terminator", u"/abcd", 5},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    common.SetAutoAnswerPath(Utf16ToLeBytes(row.preset));
    WideOpenFileName dialog;
    dialog.file = u"before";
    dialog.maxFileChars = row.room;
    EXPECT_EQ(common.AutoAnswerHook(dialog), 1);
    EXPECT_EQ(dialog.file, u"before");
  }
}

TEST_F(CommonDialogsTest, ReleasingTheObjectRemovesItsAutoAnswer) {
  {
    CommonDialogs temporary;
    temporary.InstallAutoAnswer();
    EXPECT_TRUE(HasWideOpenAnswerer());
  }
  EXPECT_FALSE(HasWideOpenAnswerer());
}

}  // namespace
