// The browser sign-in against the service emulator, through the real engine
// library (Qt WebEngine, offscreen).

#include <QApplication>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <algorithm>
#include <atomic>
#include <filesystem>
#include <mutex>

#include "fakeservice/fake_service.h"
#include "page_scripts.h"
#include "signin_test_support.h"
#include "support/scripted_desktop_guard.h"
#include "ui/account_list.h"
#include "ui/main_window_handlers.h"
#include "ui/main_window_setup.h"
#include "ui/signin/sign_in_pages.h"
#include "ui/signin/sign_in_windows.h"
#include "web/service_config.h"

namespace {

// One emulator for the whole suite, named as the standalone one names itself.
class BrowserSignInTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    s_service = new FakeService;
    ASSERT_TRUE(StartSignInEmulator(*s_service, "signin-user"));
  }
  static void TearDownTestSuite() {
    // The engine keeps the process's profile until exit; the emulator may go,
    // with its certificate folder.
    delete s_service;
    s_service = nullptr;
  }

  void SetUp() override {
    ResetWkeEngineForTesting();
    SetWkeSearchFolderForTesting(std::filesystem::path(WKE_REAL_ENGINE).parent_path().string());
    s_service->ClearRequests();
  }
  void TearDown() override { SetWkeSearchFolderForTesting({}); }

  static QWebEnginePage* PageOf(const BrowserSignInWindow& window) {
    auto* view = qobject_cast<QWebEngineView*>(WidgetOf(HostedWindow(window.Browser())));
    return view != nullptr ? view->page() : nullptr;
  }
  static bool Requested(const std::string& target) {
    for (const RecordedRequest& request : s_service->Requests()) {
      if (request.target == target) {
        return true;
      }
    }
    return false;
  }
  static std::string Port() { return std::to_string(s_service->Port()); }
  static std::string Cookies(const BrowserSignInWindow& window) {
    return WkeBrowserControl::GetCookieText(
        {window.WindowId(), BrowserSignInWindow::kBrowserControlId, nullptr});
  }
  static bool LoadedAndIdle(QWebEnginePage* page, std::atomic<int>& finished, int count) {
    return page != nullptr && finished.load() >= count;
  }

  // The web host's cookies after the emulator's user signed in.
  static std::string SignedInCookies() {
    const FakeAccount account = *s_service->Model().Account("signin-user");
    return "BDUSS=" + account.bduss + "; STOKEN=" + account.stoken + "; BAIDUID=" + account.baiduid;
  }
  // From the passport page the window opened with, signs the emulator's user
  // in through its form and waits until the control holds the web host's
  // cookies.
  static void SignInThroughTheForm(const BrowserSignInWindow& window) {
    const std::string passport =
        "/v2/?login&tpl=service_feedback&u=https%3A%2F%2Fpan.quill.localhost:" + Port() +
        "%2Fmbox%2Fhomepage%23share%2Ftype%3Dsession";
    ASSERT_TRUE(ProcessEventsUntil([&] { return Requested(passport); })) << [] {
      std::string all;
      for (const RecordedRequest& request : s_service->Requests())
        all += request.target + "\n";
      return all;
    }();
    QWebEnginePage* page = PageOf(window);
    ASSERT_NE(page, nullptr);
    // Signs in through the emulator's form once it is there.
    ASSERT_TRUE(RunScriptWhenReady(page, "document.getElementById('signin')!=null",
                                   "document.getElementById('submit').click()"))
        << page->url().toString().toStdString() << " " << page->title().toStdString();
    ASSERT_TRUE(ProcessEventsUntil([&] { return Requested("/mbox/homepage"); })) << [] {
      std::string all;
      for (const RecordedRequest& request : s_service->Requests())
        all += request.method + " " + request.target + " " + request.body + "\n";
      return all;
    }();
    // HttpOnly cookies included, the parent domain's and the web host's own.
    ASSERT_TRUE(ProcessEventsUntil([&] { return Cookies(window) == SignedInCookies(); }))
        << Cookies(window);
  }

  static FakeService* s_service;
};

FakeService* BrowserSignInTest::s_service = nullptr;

TEST_F(BrowserSignInTest, SignsInAndHandsOverTheWebHostsCookiesThenStartsEmptyAgain) {
  std::mutex mutex;
  std::string handedOver;
  std::atomic<int> handOffs{0};
  SetSignInHandOff([&](int value, const std::string& cookies, const std::string& second,
                       const std::string&, const std::string&) {
    std::lock_guard lock(mutex);
    EXPECT_EQ(value, 0);
    EXPECT_EQ(second, "");
    handedOver = cookies;
    ++handOffs;
  });
  {
    BrowserSignInWindow window;
    ASSERT_NE(window.Browser(), 0);
    window.OnCreated();
    window.show();
    ASSERT_NO_FATAL_FAILURE(SignInThroughTheForm(window));
    const std::string expected = SignedInCookies();
    window.close();
    ASSERT_TRUE(ProcessEventsUntil([&] { return handOffs.load() == 1; }));
    std::lock_guard lock(mutex);
    EXPECT_EQ(handedOver, expected);
    EXPECT_FALSE(window.isVisible());
  }
  ScriptedDesktopGuard ui;
  BrowserSignInWindow reopened;
  reopened.OnCreated();
  reopened.show();
  EXPECT_EQ(Cookies(reopened), "");
  ui.desktop.AnswerNext(kBoxResultYes);
  reopened.close();
  EXPECT_EQ(ui.desktop.Boxes().at(0).text, "可能没有登陆成功，确定退出吗？");
  EXPECT_EQ(handOffs.load(), 1);
  SetSignInHandOff({});
}

// The chooser's browser method with the program's own hand-off: the sign-in
// window closes, the chooser with it, and the account list gains the user.
TEST_F(BrowserSignInTest, TheChoosersBrowserSignInAddsTheUserToTheAccountList) {
  ScriptedDesktopGuard ui;
  MainWindowHandlers handlers;
  InstallSignInHandlers(handlers, nullptr);
  ReplaceAccountRows({});
  SignInMethodWindow chooser;
  chooser.OnCreated();
  chooser.show();
  // The sign-in window runs modally inside ChooseBrowserSignIn: it is driven
  // from its own event loop once it shows.
  bool closed = false;
  QTimer driver;
  QObject::connect(&driver, &QTimer::timeout, &chooser, [&] {
    auto* window = dynamic_cast<BrowserSignInWindow*>(QApplication::activeModalWidget());
    if (window == nullptr || !window->isVisible()) {
      return;
    }
    driver.stop();
    SignInThroughTheForm(*window);
    window->close();
    closed = !window->isVisible();
  });
  driver.start(20);
  ui.desktop.AnswerNext(kBoxResultOk);  // the account's "added" box
  chooser.ChooseBrowserSignIn();
  ASSERT_TRUE(closed);
  EXPECT_FALSE(chooser.isVisible());
  EXPECT_EQ(chooser.result(), QDialog::Accepted);
  ASSERT_TRUE(ProcessEventsUntil([] { return ReadAccountRows().size() == 1; }));
  const AccountRow row = ReadAccountRows()[0];
  EXPECT_EQ(row.user, "signin-user");
  EXPECT_EQ(row.status, "刚添加");
  EXPECT_EQ(row.cookies, SignedInCookies());
  ASSERT_TRUE(ProcessEventsUntil([&] { return ui.desktop.PendingAnswers() == 0; }));
  EXPECT_EQ(ui.desktop.Boxes().back().text,
            "添加成功，如果需要软件下次自动导入此cookies，请点击 保存帐号列表 按钮。");
  ReplaceAccountRows({});
  SetSignInHandOff({});
  // The next window starts without the signed-in cookies, as a new sign-in
  // window does.
  BrowserSignInWindow emptying;
  emptying.OnCreated();
}

TEST_F(BrowserSignInTest, NewWindowRequestsRaiseTheEventAndOpenNothing) {
  BrowserSignInWindow window;
  ASSERT_NE(window.Browser(), 0);
  std::vector<std::string> requested;
  BindControlEvent(window.WindowId(), BrowserSignInWindow::kBrowserControlId,
                   kWkeEventNewWindowRequested,
                   [&](ControlEvent& event) -> std::optional<std::intptr_t> {
                     requested.push_back(event.arguments[1].text);
                     return window.OnNewWindowRequest(0, event.arguments[1].text) ? 1 : 0;
                   });
  window.show();
  // Shown windows only: the browser makes its drawing widgets without a
  // parent for a moment, and such a widget counts as a top level meanwhile.
  const auto shownWindows = [] {
    const QWidgetList all = QApplication::topLevelWidgets();
    return std::count_if(all.begin(), all.end(), [](QWidget* w) { return w->isVisible(); });
  };
  const auto windowsBefore = shownWindows();
  WkeBrowserControl::LoadUrl({window.WindowId(), BrowserSignInWindow::kBrowserControlId, nullptr},
                             "https://pan.quill.localhost:" + Port() + "/signin/popup");
  QWebEnginePage* page = PageOf(window);
  ASSERT_TRUE(RunScriptWhenReady(page, "document.getElementById('blank')!=null",
                                 "document.getElementById('blank').click();openPopup();"));
  ASSERT_TRUE(ProcessEventsUntil([&] { return requested.size() >= 2; }));
  const std::string origin = "https://pan.quill.localhost:" + Port();
  EXPECT_EQ(requested.at(0), origin + "/disk/main");
  EXPECT_EQ(requested.at(1), origin + "/disk/home");
  EXPECT_EQ(shownWindows(), windowsBefore);
  ScriptedDesktopGuard ui;
  ui.desktop.AnswerNext(kBoxResultYes);
  window.close();
}

// A control with cookies switched off (its DisableCookies property) signs in
// through the emulator, which answers with its sign-in cookies, and loads the
// web host again: no request of it carries a cookie, neither its own nor those
// of a control with cookies signed in beside it, and it keeps none; clearing
// all cookies leaves it without them.
TEST_F(BrowserSignInTest, AControlWithCookiesOffSendsAndKeepsNone) {
  const std::string webHost = "https://pan.quill.localhost:" + Port();
  struct Row {
    const char* name;
    bool cookiesOff;
  };
  const Row rows[] = {
      {"cookies on", false},
      {"cookies off, beside a signed-in control", true},
  };
  QWidget parent;
  parent.show();
  WkeControlReference control{};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const int windowId = NewOwnerWindowId();
    const HostHandle host = CreateTestControl(parent, windowId);
    ASSERT_NE(host, 0);
    WkePropertyValue off;
    off.integer = row.cookiesOff ? 1 : 0;
    WkeBrowserControl::SetProperty(host, 3, off);
    control = {windowId, 1, nullptr};
    s_service->ClearRequests();
    WkeBrowserControl::LoadUrl(control,
                               webHost + "/login/submit?user=signin-user&redirect=%2Fdisk%2Fmain");
    ASSERT_TRUE(ProcessEventsUntil([] { return Requested("/disk/main"); }));
    WkeBrowserControl::LoadUrl(control, webHost + "/disk/home");
    ASSERT_TRUE(ProcessEventsUntil([] { return Requested("/disk/home"); }));
    for (const RecordedRequest& request : s_service->Requests()) {
      if (request.Path() == "/disk/home") {
        EXPECT_EQ(request.Header("Cookie").has_value(), !row.cookiesOff) << request.target;
      } else if (row.cookiesOff && request.Path() != "/favicon.ico") {
        // The signed-in control's icon request may arrive after the requests
        // were cleared, and icon requests do not say which view sent them.
        EXPECT_FALSE(request.Header("Cookie").has_value()) << request.target;
      }
    }
    if (row.cookiesOff) {
      EXPECT_TRUE(
          ProcessEventsUntil([&] { return WkeBrowserControl::GetCookieText(control).empty(); }));
    } else {
      EXPECT_TRUE(ProcessEventsUntil([&] {
        return WkeBrowserControl::GetCookieText(control) == SignedInCookies();
      })) << WkeBrowserControl::GetCookieText(control);
    }
  }
  // Clearing every cookie leaves the control with cookies off on its own
  // profile: it still sends none.
  WkeBrowserControl::RunCookieCommand(control, 0);
  s_service->ClearRequests();
  WkeBrowserControl::LoadUrl(control, webHost + "/disk/main");
  ASSERT_TRUE(ProcessEventsUntil([] { return Requested("/disk/main"); }));
  for (const RecordedRequest& request : s_service->Requests()) {
    // As above: a late icon request of the signed-in control does not say
    // which view sent it.
    if (request.Path() != "/favicon.ico") {
      EXPECT_FALSE(request.Header("Cookie").has_value()) << request.target;
    }
  }
  EXPECT_EQ(WkeBrowserControl::GetCookieText(control), "");
}

TEST_F(BrowserSignInTest, APageSignedByAnotherAuthorityIsRefused) {
  FakeService stranger;
  ASSERT_TRUE(stranger.Start());
  BrowserSignInWindow window;
  ASSERT_NE(window.Browser(), 0);
  std::atomic<int> finished{0};
  std::intptr_t result = -1;
  BindControlEvent(window.WindowId(), BrowserSignInWindow::kBrowserControlId,
                   kWkeEventLoadingFinished,
                   [&](ControlEvent& event) -> std::optional<std::intptr_t> {
                     result = event.arguments[1].integer;
                     ++finished;
                     return std::nullopt;
                   });
  window.show();
  WkeBrowserControl::LoadUrl({window.WindowId(), BrowserSignInWindow::kBrowserControlId, nullptr},
                             stranger.BaseUrl() + "/");
  ASSERT_TRUE(ProcessEventsUntil([&] { return finished.load() > 0; }));
  EXPECT_NE(result, 0);
  EXPECT_TRUE(stranger.Requests().empty());
  ScriptedDesktopGuard ui;
  ui.desktop.AnswerNext(kBoxResultYes);
  window.close();
}

}  // namespace
