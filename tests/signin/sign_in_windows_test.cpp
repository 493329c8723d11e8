// The sign-in chooser and the browser sign-in window over the recording
// engine, with a scripted desktop and the test clock.

#include <atomic>

#include "platform/qt/registry_values.h"
#include "signin_test_support.h"
#include "support/scripted_desktop_guard.h"
#include "ui/qt_text.h"
#include "ui/signin/sign_in_pages.h"
#include "ui/signin/sign_in_windows.h"

namespace {

std::string Cp(const char16_t* text) {
  return Cp936FromWidgetText(QString::fromUtf16(text));
}

TEST(SignInCookieJudgement, NeedsStokenAndBdussAnywhereInAnyCase) {
  struct Row {
    const char* text;
    bool signedIn;
  };
  const Row rows[] = {
      {"BAIDUID=1; BDUSS=a; STOKEN=b", true},
      {"BDUSS=a; BAIDUID=1", false},
      {"bduss=a; stoken=b", true},
      {"BDUSS=a; HINT=no-stoken-here", true},
      {"", false},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(CookiesLookSignedIn(row.text), row.signedIn) << row.text;
  }
}

TEST(BrowserSignInWindowTest, ClosingAsksUnlessSignedInAndHandsOverOnlyThen) {
  struct Row {
    const char* cookies;
    int answer;  // 0: no question
    bool closes;
  };
  const Row rows[] = {
      {"BDUSS=a; BAIDUID=1", kBoxResultNo, false},
      {"BDUSS=a; BAIDUID=1", kBoxResultYes, true},
      {"", kBoxResultYes, true},
      {"BDUSS=a; STOKEN=b", 0, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.cookies);
    ScriptedDesktopGuard ui;
    EngineFolder folder;
    HandOffCounter handOffs;
    BrowserSignInWindow window;
    ASSERT_NE(window.Browser(), 0);
    folder.SetCookie(row.cookies);
    window.show();
    if (row.answer != 0) {
      ui.desktop.AnswerNext(row.answer);
    }
    window.close();
    EXPECT_EQ(window.isVisible(), !row.closes);
    if (row.answer != 0) {
      ASSERT_EQ(ui.desktop.Boxes().size(), 1u);
      EXPECT_EQ(ui.desktop.Boxes()[0].caption, "确认操作：");
      EXPECT_EQ(ui.desktop.Boxes()[0].text, "可能没有登陆成功，确定退出吗？");
      EXPECT_EQ(ui.desktop.Boxes()[0].type, kBoxYesNo | kBoxIconQuestion);
      EXPECT_EQ(ui.desktop.Boxes()[0].timeoutMs, 0);
    } else {
      EXPECT_TRUE(ui.desktop.Boxes().empty());
    }
    ASSERT_TRUE(
        ProcessEventsUntil([&] { return handOffs.count.load() == (row.answer == 0 ? 1 : 0); }));
    if (row.answer == 0) {
      EXPECT_EQ(handOffs.Last(), row.cookies);
    }
    if (window.isVisible()) {
      ui.desktop.AnswerNext(kBoxResultYes);
      window.close();
    }
  }
}

TEST(BrowserSignInWindowTest, CreationAndOpeningCallTheEngineAsSpecified) {
  ScriptedDesktopGuard ui;
  EngineFolder folder;
  BrowserSignInWindow window;
  window.OnCreated();
  const std::string log = folder.Log();
  const size_t created = log.find("wkeCreateWebWindow 2 8 29 1200 560\n");
  const size_t during = log.find("wkeSetNavigationToNewWindowEnable 1\n");
  const size_t applied = log.find("wkeSetNavigationToNewWindowEnable 0\n");
  const size_t cleared = log.find("wkePerformCookieCommand 0\n");
  const size_t loaded = log.find("wkeLoadURL " + PassportSignInPageUrl() + "\n");
  ASSERT_NE(created, std::string::npos) << log;
  EXPECT_LT(created, during);
  EXPECT_LT(during, applied);
  EXPECT_NE(applied, std::string::npos);
  EXPECT_LT(applied, cleared);
  EXPECT_LT(cleared, loaded);
  EXPECT_NE(loaded, std::string::npos) << log;
}

TEST(BrowserSignInWindowTest, PageButtonsStayDisabledDuringTheirPause) {
  ScriptedDesktopGuard ui;
  EngineFolder folder;
  BrowserSignInWindow window;
  const std::string buttons[] = {Cp(u"按钮1"), Cp(u"按钮2"), Cp(u"按钮3")};
  const auto anyEnabled = [&] {
    return window.Store().Enabled(buttons[0]) || window.Store().Enabled(buttons[1]) ||
           window.Store().Enabled(buttons[2]);
  };
  const auto allEnabled = [&] {
    return window.Store().Enabled(buttons[0]) && window.Store().Enabled(buttons[1]) &&
           window.Store().Enabled(buttons[2]);
  };
  struct Row {
    const char* name;
    void (BrowserSignInWindow::*show)();
    std::string address;
    std::vector<std::int64_t> pauses;  // a timed-out notice waits on the clock too
    bool notice;
  };
  const Row rows[] = {
      {"service home page",
       &BrowserSignInWindow::ShowServiceHomePage,
       ServiceHomePageUrl(),
       {3000},
       false},
      {"passport", &BrowserSignInWindow::ShowPassportPage, PassportSignInPageUrl(), {3000}, false},
      {"portal", &BrowserSignInWindow::ShowPortalPage, PortalPageUrl(), {10000}, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    folder.ClearLog();
    const std::string loaded = "wkeLoadURL " + row.address + "\n";
    std::vector<std::int64_t> pauses;
    std::vector<bool> loadedBefore;  // per pause: the page was asked for before it
    ui.clock.SetSleepHook([&](std::int64_t ms) {
      pauses.push_back(ms);
      loadedBefore.push_back(folder.Log() == loaded);
      EXPECT_FALSE(anyEnabled());
    });
    if (row.notice) {
      ui.desktop.SetBoxHook([&](const RecordedBox&) { EXPECT_FALSE(anyEnabled()); });
      ui.desktop.AnswerNext(kBoxResultTimedOut);
    }
    (window.*row.show)();
    EXPECT_EQ(folder.Log(), loaded);
    EXPECT_EQ(pauses, row.pauses);
    EXPECT_EQ(loadedBefore, std::vector<bool>(row.pauses.size(), true));
    EXPECT_TRUE(allEnabled());
    ui.clock.SetSleepHook({});
  }
  ExpectPortalNotice(ui.desktop.Boxes().back());
}

TEST(BrowserSignInWindowTest, AWindowClosedDuringThePauseIsLeftAlone) {
  ScriptedDesktopGuard ui;
  EngineFolder folder;
  BrowserSignInWindow window;
  window.show();
  folder.SetCookie("");
  ui.clock.SetSleepHook([&](std::int64_t) {
    ui.desktop.AnswerNext(kBoxResultYes);
    window.close();
  });
  window.ShowPassportPage();
  EXPECT_FALSE(window.isVisible());
  EXPECT_FALSE(window.Store().Enabled(Cp(u"按钮2")));
}

TEST(SignInMethodWindowTest, WithoutTheRuntimeTheInstallerIsOffered) {
  SetWebView2RuntimeVersionForTesting("");
  struct Row {
    int answer;
    bool opens;
  };
  for (const Row row :
       {Row{kBoxResultNo, false}, Row{kBoxResultTimedOut, false}, Row{kBoxResultYes, true}}) {
    ScriptedDesktopGuard ui;
    SignInMethodWindow chooser;
    chooser.show();
    ui.desktop.AnswerNext(row.answer);
    chooser.ChooseWebView2SignIn();
    const RecordedBox box = ui.desktop.Boxes().at(0);
    EXPECT_EQ(box.caption, "提示：");
    EXPECT_EQ(box.timeoutMs, 30000);
    EXPECT_EQ(box.type, kBoxYesNo | kBoxIconQuestion);
    EXPECT_EQ(box.text,
              "当前系统可能未安装 Microsoft Edge WebView2，是否打开下载地址手动进行安装？\r\n\r\n"
              "也可通过 方式2 进行登陆。");
    EXPECT_TRUE(chooser.Store().Enabled(Cp(u"按钮1")));
    EXPECT_TRUE(chooser.isVisible());
    EXPECT_EQ(ui.desktop.OpenedTargets(), row.opens
                                              ? std::vector<std::string>{WebView2InstallerUrl()}
                                              : std::vector<std::string>{});
  }
  SetWebView2RuntimeVersionForTesting(std::nullopt);
}

TEST(SignInMethodWindowTest, TheTutorialButtonAndTheInstallerLabelOpenTheirPages) {
  ScriptedDesktopGuard ui;
  SignInMethodWindow chooser;
  chooser.OpenCookieTutorialPage();
  chooser.OpenWebView2Installer();
  EXPECT_EQ(ui.desktop.OpenedTargets(),
            (std::vector<std::string>{CookieTutorialPageUrl(), WebView2InstallerUrl()}));
  EXPECT_EQ(chooser.windowTitle(), QString::fromUtf16(u"网盘登陆方式选择"));
}

}  // namespace
