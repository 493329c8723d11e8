// The WebView2 sign-in end to end: the program writes the carried bridge into
// its run directory, loads it, and signs two of the emulator's accounts in, one
// after the other, through the real bridge (Qt WebEngine, offscreen); each
// close hands the cookies to the account list, which adds the account.

#include <QApplication>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <fstream>
#include <sstream>

#include "fakeservice/fake_service.h"
#include "page_scripts.h"
#include "signin_test_support.h"
#include "support/scoped_environment.h"
#include "support/scripted_desktop_guard.h"
#include "ui/account_list.h"
#include "ui/global_objects.h"
#include "ui/signin/sign_in_pages.h"
#include "ui/signin/sign_in_windows.h"
#include "ui/signin/utf16_text.h"
#include "ui/signin/webview2_environment.h"
#include "ui/signin/webview2_sign_in_window.h"
#include "ui/signin/wv2_bridge.h"
#include "web/service_config.h"

namespace {

namespace fs = std::filesystem;

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

class WebView2SignInTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    s_service = new FakeService;
    ASSERT_TRUE(s_service->Start());
    const std::string port = std::to_string(s_service->Port());
    setenv("QUILLMERE_WEB_HOST", ("pan.quill.localhost:" + port).c_str(), 1);
    setenv("QUILLMERE_PASSPORT_HOST", ("passport.quill.localhost:" + port).c_str(), 1);
    setenv("QUILLMERE_PORTAL_HOST", ("portal.quill.localhost:" + port).c_str(), 1);
    setenv("QUILLMERE_CA_FILE", s_service->CaFile().c_str(), 1);
    LoadServiceConfig();
    s_service->Model().AddAccount(FakeAccount::Make("first-user"));
    s_service->Model().AddAccount(FakeAccount::Make("second-user"));
  }
  static void TearDownTestSuite() {
    delete s_service;  // with its certificate folder
    s_service = nullptr;
  }

  void SetUp() override {
    ResetWv2BridgeForTesting();
    s_service->ClearRequests();
    g_wv2Environment.SetHandle(nullptr);
    g_wv2Controller.SetHandle(nullptr);
    g_wv2Webview.SetHandle(nullptr);
    ReplaceAccountRows({});
  }

  static bool Requested(const std::string& path) {
    for (const RecordedRequest& request : s_service->Requests()) {
      if (request.Path() == path) {
        return true;
      }
    }
    return false;
  }
  static std::string RequestList() {
    std::string all;
    for (const RecordedRequest& request : s_service->Requests()) {
      all += request.method + " " + request.target + "\n";
    }
    return all;
  }

  // Opens the window, signs `user` in through the emulator's form and closes
  // the window once the web host's page has loaded.
  void SignIn(const std::string& user, ScriptedDesktopGuard& ui) {
    WebView2SignInWindow window;
    window.OnCreated();
    ASSERT_TRUE(g_wv2Environment.HasHandle()) << "no environment";
    window.show();
    window.activateWindow();
    ASSERT_TRUE(ProcessEventsUntil([] { return g_wv2Webview.HasHandle(); }, 5000))
        << "the window was never activated";
    // Each opening starts from an empty cookie store: the sign-in page is
    // asked for without cookies, also after an earlier sign-in.
    ASSERT_TRUE(ProcessEventsUntil([] { return Requested("/v2/"); })) << RequestList();
    for (const RecordedRequest& request : s_service->Requests()) {
      if (request.Path() == "/v2/") {
        EXPECT_FALSE(request.Header("Cookie").has_value()) << *request.Header("Cookie");
        break;
      }
    }
    auto* view = window.findChild<QWebEngineView*>();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->geometry(), window.Panel()->geometry());
    ASSERT_TRUE(
        RunScriptWhenReady(view->page(), "document.getElementById('signin')!=null",
                           QString::fromStdString("document.getElementById('user').value='" + user +
                                                  "';document.getElementById('submit').click();")))
        << RequestList();
    ASSERT_TRUE(ProcessEventsUntil([] { return Requested("/mbox/homepage"); })) << RequestList();
    // The view learns of the cookies the sign-in set on its own time, which
    // can be after the page they led to was asked for: the window is closed
    // once it holds them, as a user closes it once the page shows signed in.
    const FakeAccount account = *s_service->Model().Account(user);
    const std::string signedIn = "BDUSS=" + account.bduss + "; STOKEN=" + account.stoken +
                                 "; BAIDUID=" + account.baiduid + "; ";
    ASSERT_TRUE(ProcessEventsUntil([&] { return ReadWebView2CookieText() == signedIn; }))
        << ReadWebView2CookieText();
    // The account list's notice of the added account.
    ui.desktop.AnswerNext(kBoxResultOk);
    window.close();
    EXPECT_FALSE(window.isVisible());
  }

  // Opens the window, activates it and waits for its view.
  static void OpenAndActivate(WebView2SignInWindow& window) {
    window.OnCreated();
    window.show();
    window.activateWindow();
    ASSERT_TRUE(ProcessEventsUntil([] { return g_wv2Webview.HasHandle(); }, 5000))
        << "the window was never activated";
  }

  static FakeService* s_service;
};

FakeService* WebView2SignInTest::s_service = nullptr;

TEST_F(WebView2SignInTest, TwoSignInsInOneRunAddTwoAccounts) {
  ScriptedDesktopGuard ui;
  ScratchFolder run;
  ScopedEnvironment home("QUILLMERE_HOME", run.Utf8());
  SetSignInHandOff([](int, const std::string& cookies, const std::string&, const std::string&,
                      const std::string&) { AddOrUpdateAccountFromCookies(cookies); });

  SignIn("first-user", ui);
  // The carried image is the built bridge (compared whole, reported by size).
  const std::string written = ReadBytes(run.Path() / kWv2BridgeFileName);
  const std::string built = ReadBytes(WV2_BRIDGE_LIBRARY);
  EXPECT_EQ(written.size(), built.size());
  EXPECT_TRUE(written == built) << "the written bridge differs from the built one";
  ASSERT_TRUE(ProcessEventsUntil([] { return ReadAccountRows().size() == 1; }));
  s_service->ClearRequests();
  SignIn("second-user", ui);
  ASSERT_TRUE(ProcessEventsUntil([] { return ReadAccountRows().size() == 2; }));
  const std::vector<AccountRow> rows = ReadAccountRows();
  EXPECT_EQ(rows[0].user, "first-user");
  EXPECT_EQ(rows[1].user, "second-user");
  SetSignInHandOff({});
}

TEST_F(WebView2SignInTest, APageAskingForANewWindowShowsItInTheSignInView) {
  ScriptedDesktopGuard ui;
  ScratchFolder run;
  ScopedEnvironment home("QUILLMERE_HOME", run.Utf8());
  WebView2SignInWindow window;
  OpenAndActivate(window);
  ASSERT_FALSE(HasFatalFailure());
  auto* view = window.findChild<QWebEngineView*>();
  ASSERT_NE(view, nullptr);
  struct Row {
    const char* name;
    const char* visit;  // each visit of the test page has an address of its own
    const char* script;
    const char* target;
  };
  const Row rows[] = {
      {"a link to a new window", "first", "document.getElementById('blank').click()", "/disk/main"},
      {"window.open", "second", "openPopup()", "/disk/home"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    g_wv2Webview.Navigate(EncodeUtf16Text(ServiceHomePageUrl() + "/signin/popup?" + row.visit));
    // The action's own answer is not waited for: opening the page in this
    // view replaces the document that would give it.
    ASSERT_TRUE(RunScriptWhenReady(
        view->page(),
        QString("location.search=='?") + row.visit + "'&&document.getElementById('blank')!=null",
        row.script));
    ASSERT_TRUE(ProcessEventsUntil([&] { return Requested(row.target); })) << RequestList();
    EXPECT_TRUE(ProcessEventsUntil([&] { return view->url().path() == row.target; }))
        << view->url().toString().toStdString();
    int views = 0;
    for (QWidget* widget : QApplication::allWidgets()) {
      views += qobject_cast<QWebEngineView*>(widget) != nullptr ? 1 : 0;
    }
    EXPECT_EQ(views, 1) << "a second window was opened";
  }
  ui.desktop.AnswerNext(kBoxResultYes);
  window.close();
}

TEST_F(WebView2SignInTest, PageButtonsLoadTheirExactAddresses) {
  ScriptedDesktopGuard ui;
  ScratchFolder run;
  ScopedEnvironment home("QUILLMERE_HOME", run.Utf8());
  WebView2SignInWindow window;
  OpenAndActivate(window);
  ASSERT_FALSE(HasFatalFailure());
  const std::string port = std::to_string(s_service->Port());
  struct Row {
    const char* name;
    void (WebView2SignInWindow::*show)();
    std::string host;
    std::string target;
  };
  const Row rows[] = {
      {"登陆页面 1", &WebView2SignInWindow::ShowServiceLoginPage, "pan.quill.localhost:" + port,
       "/login?redirecturl=https%3A%2F%2Fpan.quill.localhost:" + port +
           "%2Fdisk%2Fmain%23%2Fim%2Fsession"},
      {"登陆页面 2", &WebView2SignInWindow::ShowPassportPage, "passport.quill.localhost:" + port,
       "/v2/?login&tpl=service_feedback&u=https%3A%2F%2Fpan.quill.localhost:" + port +
           "%2Fmbox%2Fhomepage%23share%2Ftype%3Dsession"},
      {"登陆页面 3", &WebView2SignInWindow::ShowPortalPage, "portal.quill.localhost:" + port, "/"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    s_service->ClearRequests();
    if (row.show == &WebView2SignInWindow::ShowPortalPage) {
      ui.desktop.AnswerNext(kBoxResultTimedOut);
    }
    (window.*row.show)();
    EXPECT_TRUE(ProcessEventsUntil([&] {
      for (const RecordedRequest& request : s_service->Requests()) {
        if (request.target == row.target && request.Header("Host") == row.host) {
          return true;
        }
      }
      return false;
    })) << RequestList();
  }
  ui.desktop.AnswerNext(kBoxResultYes);
  window.close();
}

}  // namespace
