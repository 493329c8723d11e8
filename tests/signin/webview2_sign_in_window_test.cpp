// The WebView2 sign-in window and its preparation over the recording bridge,
// with a scripted desktop and the test clock: the carried image, the profile
// folder and its guard, the UTF-16 routines, the page buttons, the new-window
// routine and the close question.

#include <QApplication>
#include <QTimer>
#include <fstream>
#include <sstream>

#include "foundation/run_directory.h"
#include "foundation/screen_scaling.h"
#include "platform/qt/registry_values.h"
#include "signin_test_support.h"
#include "support/scripted_desktop_guard.h"
#include "ui/global_objects.h"
#include "ui/qt_text.h"
#include "ui/signin/sign_in_pages.h"
#include "ui/signin/sign_in_windows.h"
#include "ui/signin/utf16_text.h"
#include "ui/signin/webview2_environment.h"
#include "ui/signin/webview2_sign_in_window.h"
#include "wv2_test_support.h"

namespace {

namespace fs = std::filesystem;

std::string Cp(const char16_t* text) {
  return Cp936FromWidgetText(QString::fromUtf16(text));
}

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// The program-wide wrappers empty, the carried image that of the recording
// bridge, and the design DPI, for one test.
struct WindowFixture {
  WindowFixture() {
    g_wv2Environment.SetHandle(nullptr);
    g_wv2Controller.SetHandle(nullptr);
    g_wv2Webview.SetHandle(nullptr);
    g_screenDpi = 96;
    SetCarriedBridgeImageForTesting([this] { return std::string_view(image); });
  }
  ~WindowFixture() { SetCarriedBridgeImageForTesting({}); }
  std::string image = ReadBytes(WV2_RECORDING_FULL);
};

const char* const kCloseQuestion = "可能没有登陆成功，确定关闭此登陆窗口吗？";

TEST(WebView2Preparation, AMissingBridgeIsWrittenByteForByteAndMakesTheEnvironment) {
  ScriptedDesktopGuard ui;
  WindowFixture fixture;
  BridgeRunFolder folder("");
  WebView2SignInWindow window;
  window.OnCreated();
  const fs::path bridge = folder.Folder().Path() / kWv2BridgeFileName;
  ASSERT_EQ(ReadBytes(bridge), fixture.image);
  EXPECT_TRUE(fs::is_directory(folder.Folder().Path() / "cache"));
  EXPECT_EQ(g_webviewUserDataFolder, RunDirectoryPath("cache/"));
  EXPECT_EQ(folder.Log(),
            "wv2_Global_CreateEnv_Sync [--allow-file-access-from-files "
            "--autoplay-policy=no-user-gesture-required] [(null)] [(null)] 0 [] [" +
                RunDirectoryFileSystemPath() + "/cache/] 0\n");
  EXPECT_EQ(g_wv2Environment.BridgeHandle(), 1u);
}

TEST(WebView2Preparation, TheUserDataFolderReachesTheBridgeWithItsExactName) {
  ScriptedDesktopGuard ui;
  WindowFixture fixture;
  ScratchFolder scratch;
  // "한" has no code page 936 form: the program's text of the folder holds "?".
  const fs::path run = scratch.Path() / "run-\xED\x95\x9C";
  fs::create_directories(run);
  fs::copy_file(WV2_RECORDING_FULL, run / kWv2BridgeFileName);
  ScopedEnvironment home("QUILLMERE_HOME", run.string());
  ResetWv2BridgeForTesting();
  PrepareWebView2Environment();
  EXPECT_TRUE(fs::is_directory(run / "cache"));
  EXPECT_NE(RecordingLog((run / kWv2BridgeFileName).string()).find("[" + run.string() + "/cache/]"),
            std::string::npos)
      << RecordingLog((run / kWv2BridgeFileName).string());
  ResetWv2BridgeForTesting();
}

TEST(WebView2Preparation, TheEnvironmentsOptionValueComesBack) {
  BridgeRunFolder folder;
  Wv2OptionsRecord options;
  options.browserArguments = Utf16Of("--x");
  options.value = 4;
  const Wv2Environment environment =
      CreateWv2Environment(Utf16Of(""), Utf16Of("/data/"), options);
  EXPECT_EQ(options.value, 9);
  EXPECT_TRUE(environment.HasHandle());
  EXPECT_EQ(folder.Log(), "wv2_Global_CreateEnv_Sync [--x] [(null)] [(null)] 4 [] [/data/] 0\n");
}

TEST(WebView2SignInWindowTest, AForeignFileOfTheBridgesNameStaysAndTheWindowShowsNoPage) {
  ScriptedDesktopGuard ui;
  WindowFixture fixture;
  BridgeRunFolder folder("");
  const fs::path bridge = folder.Folder().Path() / kWv2BridgeFileName;
  WriteBytes(bridge, "not our library");
  WebView2SignInWindow window;
  window.OnCreated();
  window.show();
  window.OnFirstActivation();
  window.ShowPassportPage();
  EXPECT_EQ(ReadBytes(bridge), "not our library");
  EXPECT_FALSE(g_wv2Environment.HasHandle());
  EXPECT_FALSE(g_wv2Controller.HasHandle());
  EXPECT_FALSE(g_wv2Webview.HasHandle());
  ui.desktop.AnswerNext(kBoxResultNo);
  window.close();
  EXPECT_TRUE(window.isVisible());
  ui.desktop.AnswerNext(kBoxResultYes);
  window.close();
  EXPECT_FALSE(window.isVisible());
  ASSERT_EQ(ui.desktop.Boxes().size(), 2u);
  EXPECT_EQ(ui.desktop.Boxes()[0].text, kCloseQuestion);
}

TEST(WebView2Preparation, TheProfileFolderGoesButWhatItsLinksPointAtStays) {
  ScriptedDesktopGuard ui;
  WindowFixture fixture;
  BridgeRunFolder folder;
  ScratchFolder outside;
  WriteBytes(outside.Path() / "sentinel.txt", "keep");
  const fs::path cache = folder.Folder().Path() / "cache";
  const fs::path profile = cache / "EBWebView";
  fs::create_directories(profile / "Default/Network");
  fs::create_directories(profile / "locked/inner");
  WriteBytes(profile / "Default/Network/Cookies", "cookies");
  WriteBytes(profile / "Default/read-only", "x");
  WriteBytes(profile / "locked/inner/file", "x");
  fs::permissions(profile / "Default/read-only", fs::perms::owner_read);
  fs::permissions(profile / "locked", fs::perms::owner_read | fs::perms::owner_exec);
  fs::create_directory_symlink(outside.Path(), profile / "Default/outside-link");
  WriteBytes(cache / "beside.txt", "stays");

  PrepareWebView2Environment();
  EXPECT_FALSE(fs::exists(fs::symlink_status(profile)));
  EXPECT_EQ(ReadBytes(outside.Path() / "sentinel.txt"), "keep");
  EXPECT_EQ(ReadBytes(cache / "beside.txt"), "stays");
  EXPECT_TRUE(g_wv2Environment.HasHandle());
}

TEST(WebView2Preparation, WithoutACacheFolderItIsMadeAndNothingDeleted) {
  ScriptedDesktopGuard ui;
  WindowFixture fixture;
  BridgeRunFolder folder;
  WriteBytes(folder.Folder().Path() / "baiduset.ini", "accounts");
  PrepareWebView2Environment();
  EXPECT_TRUE(fs::is_directory(folder.Folder().Path() / "cache"));
  EXPECT_TRUE(fs::is_empty(folder.Folder().Path() / "cache"));
  EXPECT_EQ(ReadBytes(folder.Folder().Path() / "baiduset.ini"), "accounts");
}

TEST(WebView2Preparation, TheFolderDeletionStaysInsideTheRunDirectory) {
  BridgeRunFolder folder;
  ScratchFolder outside;
  const fs::path run = folder.Folder().Path();
  fs::create_directories(outside.Path() / "EBWebView");
  WriteBytes(outside.Path() / "EBWebView/sentinel.txt", "keep");
  fs::create_directories(run / "cache/EBWebView");
  WriteBytes(run / "cache/EBWebView/a", "x");
  fs::create_directory_symlink(outside.Path(), run / "linked-cache");
  struct Row {
    const char* name;
    std::string path;
    bool removed;
  };
  const std::string runText = GetRunDirectory();
  const Row rows[] = {
      {"the empty path", "", false},
      {"the root", "/", false},
      {"the run directory itself", runText, false},
      {"the run directory with a separator", runText + "/", false},
      {"a folder outside", outside.Utf8("EBWebView"), false},
      {"up and out of the run directory", runText + "/cache/../../" +
                                              outside.Path().filename().string() + "/EBWebView",
       false},
      {"through a linked parent folder", runText + "/linked-cache/EBWebView", false},
      {"the profile folder", runText + "/cache/EBWebView", true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(DeleteFolderTree(row.path), row.removed);
    EXPECT_EQ(ReadBytes(outside.Path() / "EBWebView/sentinel.txt"), "keep");
    EXPECT_TRUE(fs::is_directory(run / "cache"));
  }
  EXPECT_FALSE(fs::exists(run / "cache/EBWebView"));
}

TEST(WebView2Text, EncodingAndDecodingUtf16) {
  EXPECT_EQ(HexOf(EncodeUtf16Text("")), "0000");
  EXPECT_EQ(HexOf(EncodeUtf16Text("ab")), "610062000000");
  EXPECT_EQ(HexOf(EncodeUtf16Text(Cp(u"中"))), "2d4e0000");
  struct Row {
    const char* name;
    std::string bytes;
    std::string text;
  };
  const Row rows[] = {
      {"no bytes", std::string(), ""},
      {"one zero byte", std::string(1, '\0'), ""},
      {"a NUL code unit alone", std::string(2, '\0'), ""},
      {"one byte", "a", ""},
      {"an odd length: the last byte is ignored", std::string("a\0b", 3), "a"},
      {"text after the first NUL is not read", std::string("a\0\0\0b\0", 6), "a"},
      {"no terminator", std::string("a\0b\0", 4), "ab"},
      {"a double-byte character", std::string("\x2d\x4e\0\0", 4), Cp(u"中")},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(DecodeUtf16Text(row.bytes), row.text);
  }
}

// A window opened and activated over the recording bridge: environment 1,
// controller 2, view 3.
struct OpenedWindow {
  OpenedWindow() {
    window.OnCreated();
    window.show();
    window.OnFirstActivation();
  }
  ~OpenedWindow() {
    if (window.isVisible()) {
      // Closed signed in; the hand-off thread ends before its counter goes.
      const int before = handOffs.count.load();
      folder.SetCookies("STOKEN=s;BDUSS=b");
      window.close();
      EXPECT_TRUE(ProcessEventsUntil([&] { return handOffs.count.load() > before; }));
    }
  }
  ScriptedDesktopGuard ui;
  WindowFixture fixture;
  BridgeRunFolder folder;
  HandOffCounter handOffs;
  WebView2SignInWindow window;
};

TEST(WebView2SignInWindowTest, TheFirstActivationCoversThePanelAndLoadsThePassportPage) {
  OpenedWindow opened;
  EXPECT_EQ(opened.window.windowTitle(), QString::fromUtf16(u"百度帐号登陆_方式1"));
  const std::string log = opened.folder.Log();
  EXPECT_NE(log.find("wv2_Env_CreateController_Sync 1 window 0\n"
                     "wv2_Controller_SetBounds 2 8 30 1208 610\n"
                     "wv2_Controller_GetWebview2 2 0\n"
                     "wv2_Webview_Attach_NewWindowRequest 3 routine 3\n"
                     "wv2_Webview_Navigate 3 " +
                     PassportSignInPageUrl() + "\n"),
            std::string::npos)
      << log;
  EXPECT_EQ(g_wv2Controller.BridgeHandle(), 2u);
  EXPECT_EQ(g_wv2Webview.BridgeHandle(), 3u);
}

TEST(WebView2SignInWindowTest, ANewWindowRequestOpensInTheRequestingView) {
  OpenedWindow opened;
  opened.folder.ClearLog();
  EXPECT_EQ(opened.folder.RequestNewWindow(3), 3);
  EXPECT_EQ(opened.folder.Log(),
            "new window request 3 4\nwv2_Webview_NewWindowRequestArgs_SetNewWindow 4 3\n");
}

TEST(WebView2SignInWindowTest, PageButtonsNavigateAndStayDisabledUntilThePauseHasPassed) {
  OpenedWindow opened;
  ControlStore& store = opened.window.Store();
  const auto anyEnabled = [&] {
    return store.Enabled(Cp(u"按钮1")) || store.Enabled(Cp(u"按钮2")) ||
           store.Enabled(Cp(u"按钮3"));
  };
  const auto allEnabled = [&] {
    return store.Enabled(Cp(u"按钮1")) && store.Enabled(Cp(u"按钮2")) &&
           store.Enabled(Cp(u"按钮3"));
  };
  struct Row {
    const char* name;
    void (WebView2SignInWindow::*show)();
    std::string address;
    std::vector<std::int64_t> pauses;  // a timed-out notice waits on the clock too
    std::vector<bool> navigatedBefore;  // per pause: the page was asked for before it
    bool notice;
  };
  const Row rows[] = {
      {"web host sign-in", &WebView2SignInWindow::ShowServiceLoginPage, WebHostSignInPageUrl(),
       {1500}, {true}, false},
      {"passport", &WebView2SignInWindow::ShowPassportPage, PassportSignInPageUrl(), {1500},
       {true}, false},
      {"portal", &WebView2SignInWindow::ShowPortalPage, PortalPageUrl(), {30, 10000},
       {false, true}, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    opened.folder.ClearLog();
    const std::string navigated = "wv2_Webview_Navigate 3 " + row.address + "\n";
    std::vector<std::int64_t> pauses;
    std::vector<bool> navigatedBefore;
    opened.ui.clock.SetSleepHook([&](std::int64_t ms) {
      pauses.push_back(ms);
      navigatedBefore.push_back(opened.folder.Log() == navigated);
      EXPECT_FALSE(anyEnabled());
    });
    if (row.notice) {
      opened.ui.desktop.SetBoxHook([&](const RecordedBox&) { EXPECT_FALSE(anyEnabled()); });
      opened.ui.desktop.AnswerNext(kBoxResultTimedOut);
    }
    (opened.window.*row.show)();
    EXPECT_EQ(opened.folder.Log(), navigated);
    EXPECT_EQ(pauses, row.pauses);
    EXPECT_EQ(navigatedBefore, row.navigatedBefore);
    EXPECT_TRUE(allEnabled());
    opened.ui.clock.SetSleepHook({});
  }
  ExpectPortalNotice(opened.ui.desktop.Boxes().back());
}

TEST(WebView2SignInWindowTest, ClosingHandsOverSignedInCookiesAndOtherwiseAsks) {
  struct Row {
    const char* name;
    const char* cookies;
    int answer;  // 0: no question
    bool closes;
    std::string handedOver;
  };
  const Row rows[] = {
      {"no cookies, No keeps the window", "", kBoxResultNo, false, ""},
      {"no bduss, Yes closes without an account", "STOKEN=s;a=1", kBoxResultYes, true, ""},
      {"signed in: the text in the bridge's order", "a=1;b=2;STOKEN=s;BDUSS=b", 0, true,
       "a=1; b=2; STOKEN=s; BDUSS=b; "},
      {"names in capitals or inside others count", "xstokenx=1;BdUsS=2", 0, true,
       "xstokenx=1; BdUsS=2; "},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    OpenedWindow opened;
    opened.folder.SetCookies(row.cookies);
    opened.folder.ClearLog();
    if (row.answer != 0) {
      opened.ui.desktop.AnswerNext(row.answer);
    }
    opened.window.close();
    EXPECT_EQ(opened.window.isVisible(), !row.closes);
    const std::string log = opened.folder.Log();
    // A fresh view of the controller (4) gives the cookie manager (5).
    EXPECT_EQ(log.rfind("wv2_Controller_GetWebview2 2 0\n"
                        "wv2_Webview_GetCookieManager 4 0\n"
                        "wv2_CookieManager_GetCookie_Sync 5 " +
                            WebHostCookieAddress() + " out=null 0\n",
                        0),
              0u)
        << log;
    if (row.answer != 0) {
      ASSERT_EQ(opened.ui.desktop.Boxes().size(), 1u);
      const RecordedBox box = opened.ui.desktop.Boxes()[0];
      EXPECT_EQ(box.caption, "确认操作：");
      EXPECT_EQ(box.text, kCloseQuestion);
      EXPECT_EQ(box.type, kBoxYesNo | kBoxIconQuestion);
      EXPECT_EQ(box.timeoutMs, 0);
    }
    ASSERT_TRUE(ProcessEventsUntil([&] { return opened.handOffs.count.load() == (row.answer == 0 ? 1 : 0); }));
    EXPECT_EQ(opened.handOffs.Last(), row.handedOver);
    if (!row.closes) {
      EXPECT_EQ(g_wv2Webview.BridgeHandle(), 3u) << "the page stays";
    }
  }
}

TEST(WebView2SignInWindowTest, ABridgeWithoutTheCookieListAsksOnClosing) {
  ScriptedDesktopGuard ui;
  WindowFixture fixture;
  BridgeRunFolder folder(WV2_RECORDING_LACKING_COOKIES);
  WebView2SignInWindow window;
  window.OnCreated();
  window.show();
  window.OnFirstActivation();
  EXPECT_TRUE(g_wv2Webview.HasHandle());
  ui.desktop.AnswerNext(kBoxResultYes);
  window.close();
  EXPECT_FALSE(window.isVisible());
  ASSERT_EQ(ui.desktop.Boxes().size(), 1u);
  EXPECT_EQ(ui.desktop.Boxes()[0].text, kCloseQuestion);
}

TEST(WebView2SignInWindowTest, TheChoosersFirstMethodOpensTheWindowModally) {
  ScriptedDesktopGuard ui;
  WindowFixture fixture;
  BridgeRunFolder folder;
  SetWebView2RuntimeVersionForTesting("120.0");
  SetWebView2SignInOpener(OpenWebView2SignInWindow);
  SignInMethodWindow chooser;
  chooser.show();
  bool sawWindow = false;
  QTimer::singleShot(0, [&] {
    auto* window = dynamic_cast<WebView2SignInWindow*>(QApplication::activeModalWidget());
    sawWindow = window != nullptr && window->parentWidget() == &chooser;
    ui.desktop.AnswerNext(kBoxResultYes);
    if (window != nullptr) {
      window->close();
    }
  });
  chooser.ChooseWebView2SignIn();
  EXPECT_TRUE(sawWindow);
  EXPECT_FALSE(chooser.isVisible());
  // Created, then activated: the passport page was asked for.
  EXPECT_NE(folder.Log().find("wv2_Global_CreateEnv_Sync"), std::string::npos);
  EXPECT_NE(folder.Log().find("wv2_Webview_Navigate 3 " + PassportSignInPageUrl() + "\n"),
            std::string::npos)
      << folder.Log();
  SetWebView2SignInOpener({});
  SetWebView2RuntimeVersionForTesting(std::nullopt);
}

}  // namespace
