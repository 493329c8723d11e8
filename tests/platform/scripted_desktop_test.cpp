#include "platform/scripted_desktop.h"

#include "platform/code_page_codec.h"
#include "platform/fake_clock.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

struct Fixture {
  std::vector<std::string> reported;
  FakeClock clock;
  ScriptedDesktop desktop{[this](const std::string& m) { reported.push_back(m); }};
  ScopedClock useClock{clock};
  ScopedDesktop useDesktop{desktop};
};

TEST(ScriptedDesktop, AnswersBoxesInScriptOrderAndRecordsThem) {
  Fixture f;
  f.desktop.AnswerNext(kBoxResultYes);
  f.desktop.AnswerNext(kBoxResultNo);
  EXPECT_EQ(GetDesktop().ShowMessageBox("确定：", "关闭？", kBoxYesNo + kBoxIconQuestion, 0),
            kBoxResultYes);
  int second = 0;
  std::thread worker([&] { second = GetDesktop().ShowMessageBox("提示：", "b", 36, 0); });
  worker.join();
  EXPECT_EQ(second, kBoxResultNo);
  const auto boxes = f.desktop.Boxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].caption, "确定：");
  EXPECT_EQ(boxes[0].text, "关闭？");
  EXPECT_EQ(boxes[0].type, 36);
  EXPECT_NE(boxes[1].thread, std::this_thread::get_id());
  EXPECT_TRUE(f.reported.empty());
}

TEST(ScriptedDesktop, UnscriptedBoxIsReportedAndAnsweredNone) {
  Fixture f;
  EXPECT_EQ(ShowPlainMessageBox("没有选中"), kBoxResultNone);
  ASSERT_EQ(f.reported.size(), 1u);
  EXPECT_NE(f.reported[0].find(reinterpret_cast<const char*>(u8"没有选中")), std::string::npos);
  ASSERT_EQ(f.desktop.Boxes().size(), 1u);
  EXPECT_EQ(f.desktop.Boxes()[0].caption, "信息：");
  EXPECT_FALSE(f.desktop.Boxes()[0].scripted);
}

TEST(ScriptedDesktop, ScriptedTimeOutRunsTheBoxOutOnTheClock) {
  Fixture f;
  f.desktop.AnswerNext(kBoxResultTimedOut);
  EXPECT_EQ(GetDesktop().ShowMessageBox("提示：", "x", 64, 5000), kBoxResultTimedOut);
  EXPECT_EQ(f.clock.SteadyMs(), 5000);
  EXPECT_TRUE(f.reported.empty());

  f.desktop.AnswerNext(kBoxResultTimedOut);
  GetDesktop().ShowMessageBox("提示：", "waits for the user", 64, 0);
  EXPECT_EQ(f.reported.size(), 1u) << "a box without time-out cannot time out";
}

TEST(ScriptedDesktop, StatusPanelsKeepTheLastTextOfEachPanel) {
  Fixture f;
  const std::string hangulBytes = Utf16ToLeBytes(std::u16string(u"A\uAC00") + u'\0');
  struct Row {
    const char* name;
    int panel;
    std::string local;
    std::string utf16;
    std::string expectText;
    std::u16string expectUnicode;
  } rows[] = {
      {"local text", 1, "正在改名", "", "正在改名", u"正在改名"},
      {"utf16 shows what code page 936 cannot", 1, "", hangulBytes, "A?", u"A\uAC00"},
      {"other panel", 2, "提交中", "", "提交中", u"提交中"},
      {"clear", 1, "", "", "", u""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    if (row.utf16.empty())
      GetDesktop().SetStatusPanel(row.panel, row.local);
    else
      GetDesktop().SetStatusPanelUtf16(row.panel, row.utf16);
    EXPECT_EQ(f.desktop.StatusText(row.panel), row.expectText);
    EXPECT_EQ(f.desktop.StatusUnicode(row.panel), row.expectUnicode);
  }
  EXPECT_EQ(f.desktop.StatusText(2), "提交中");
  EXPECT_EQ(f.desktop.StatusHistory().size(), 4u);
}

TEST(ScriptedDesktop, UiThreadIsTheMakingThread) {
  Fixture f;
  EXPECT_TRUE(f.desktop.IsUiThread());
  bool onWorker = true;
  std::thread worker([&] { onWorker = f.desktop.IsUiThread(); });
  worker.join();
  EXPECT_FALSE(onWorker);
}

}  // namespace
