// The WebView2 bridge library over Qt WebEngine, called through its exports
// as the program calls them (the built library opened by path), against the
// service emulator; and the image of it that the program carries.

#include <dlfcn.h>

#include <QApplication>
#include <QWebEnginePage>
#include <QWebEngineSettings>
#include <QWebEngineView>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "fakeservice/fake_service.h"
#include "platform/qt/qt_window_handle.h"
#include "platform/wv2_bridge_exports.h"
#include "signin_test_support.h"
#include "ui/signin/wv2_bridge_image.h"
#include "web/service_config.h"

namespace {

constexpr const char16_t* kProgramArguments =
    u"--allow-file-access-from-files --autoplay-policy=no-user-gesture-required";

// The built bridge, opened once for the process.
void* Library() {
  static void* library = dlopen(WV2_BRIDGE_LIBRARY, RTLD_NOW | RTLD_LOCAL);
  return library;
}

#define BRIDGE(name) reinterpret_cast<decltype(&name)>(dlsym(Library(), #name))

std::u16string U16(const std::string& text) {
  return QString::fromStdString(text).toStdU16String();
}

// A text out of the bridge, without its terminator; "<none>" when the export failed.
template <typename Export>
std::string TextOf(Export textOut, Wv2Handle handle) {
  void* bytes = nullptr;
  std::uint32_t count = 0;
  if (textOut(handle, &bytes, &count) != 0) {
    return "<none>";
  }
  std::u16string text(static_cast<const char16_t*>(bytes), count / 2);
  EXPECT_TRUE(!text.empty() && text.back() == u'\0');
  if (!text.empty()) {
    text.pop_back();
  }
  return QString::fromStdU16String(text).toStdString();
}

Wv2Handle CreateEnvironment(const char16_t* arguments = kProgramArguments) {
  Wv2NativeEnvironmentOptions options{arguments, nullptr, nullptr, 0};
  Wv2Handle environment = 0;
  EXPECT_EQ(BRIDGE(wv2_Global_CreateEnv_Sync)(&options, u"", u"/tmp/cache/", &environment), 0);
  return environment;
}

// The sign-in window's stand-in: a window of the design size with the bridge's
// view on it.
struct SignInSurface {
  explicit SignInSurface(Wv2Handle environment) {
    window->resize(1222, 643);
    window->show();
    BRIDGE(wv2_Env_CreateController_Sync)(environment, WindowHandleOf(window.get()), &controller);
    const Wv2Rect bounds{8, 30, 1208, 610};
    BRIDGE(wv2_Controller_SetBounds)(controller, &bounds);
    BRIDGE(wv2_Controller_GetWebview2)(controller, &webview);
  }
  QWebEngineView* View() const { return window->findChild<QWebEngineView*>(); }
  QWebEnginePage* Page() const { return View() != nullptr ? View()->page() : nullptr; }

  std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
  Wv2Handle controller = 0;
  Wv2Handle webview = 0;
};

struct Cookie {
  std::string name;
  std::string value;
  int httpOnly;
};

// The cookies the view's environment holds for `url`, through a cookie manager.
std::vector<Cookie> CookiesOf(Wv2Handle webview, const std::string& url) {
  Wv2Handle manager = 0;
  BRIDGE(wv2_Webview_GetCookieManager)(webview, &manager);
  void* block = nullptr;
  std::uint32_t count = 0;
  std::vector<Cookie> cookies;
  if (BRIDGE(wv2_CookieManager_GetCookie_Sync)(manager, U16(url).c_str(), &block, &count) != 0) {
    return {{"<failed>", "", 0}};
  }
  for (std::uint32_t i = 0; i < count; ++i) {
    const Wv2Handle cookie = static_cast<const Wv2Handle*>(block)[i];
    cookies.push_back({TextOf(BRIDGE(wv2_CookieData_GetName), cookie),
                       TextOf(BRIDGE(wv2_CookieData_GetValue), cookie),
                       BRIDGE(wv2_CookieData_GetHTTPOnly)(cookie)});
  }
  BRIDGE(wv2_Utility_Mfree)(block);
  return cookies;
}

// The cookie text the sign-in window builds: name=value; per cookie.
std::string CookieText(const std::vector<Cookie>& cookies) {
  std::string text;
  for (const Cookie& cookie : cookies) {
    text += cookie.name + "=" + cookie.value + "; ";
  }
  return text;
}

// Runs `script` in the page until it answers true (the page may still be
// loading); each attempt is run once, its answer waited for.
bool RunScriptUntilTrue(QWebEnginePage* page, const QString& script) {
  bool answered = false;
  ProcessEventsUntil([&] {
    auto answer = std::make_shared<int>(-1);
    page->runJavaScript(script, [answer](const QVariant& result) { *answer = result.toBool(); });
    ProcessEventsUntil([&] { return *answer != -1; }, 2000);
    answered = *answer == 1;
    return answered;
  });
  return answered;
}

// A script that acts at most once per document: its answer may be lost when
// the page moves on, and the attempt that follows must not act again.
QString OncePerPage(const char* body) {
  return QStringLiteral(
             "(function(){var d=document.documentElement;"
             "if(d.getAttribute('data-acted'))return true;") +
         QString::fromUtf8(body) +
         QStringLiteral("d.setAttribute('data-acted','1');return true;})()");
}

// What the new-window routine was called with.
struct NewWindowCall {
  Wv2Handle sender;
  Wv2Handle arguments;
  std::uint32_t userValue;
  std::string url;
};
std::vector<NewWindowCall> g_newWindowCalls;

// The sign-in window's routine: the page opens in the view that asked.
std::int32_t OpenInSameView(Wv2Handle sender, Wv2Handle arguments, std::uint32_t userValue) {
  g_newWindowCalls.push_back({sender, arguments, userValue,
                              TextOf(BRIDGE(wv2_Webview_NewWindowRequestArgs_GetURL), arguments)});
  BRIDGE(wv2_Webview_NewWindowRequestArgs_SetNewWindow)(arguments, sender);
  return 3;
}

class Wv2BridgeTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    s_service = new FakeService;
    ASSERT_TRUE(StartSignInEmulator(*s_service, "bridge-user"));
  }
  static void TearDownTestSuite() {
    delete s_service;  // with its certificate folder
    s_service = nullptr;
  }

  void SetUp() override {
    ASSERT_NE(Library(), nullptr) << dlerror();
    s_service->ClearRequests();
    g_newWindowCalls.clear();
  }

  static std::string WebHost() {
    return "https://pan.quill.localhost:" + std::to_string(s_service->Port());
  }
  static bool Requested(const std::string& target) {
    for (const RecordedRequest& request : s_service->Requests()) {
      if (request.target == target) {
        return true;
      }
    }
    return false;
  }
  static const RecordedRequest* LastRequest(const std::string& target) {
    static RecordedRequest found;
    bool any = false;
    for (const RecordedRequest& request : s_service->Requests()) {
      if (request.target == target) {
        found = request;
        any = true;
      }
    }
    return any ? &found : nullptr;
  }

  static FakeService* s_service;
};

FakeService* Wv2BridgeTest::s_service = nullptr;

TEST_F(Wv2BridgeTest, TheCarriedImageIsTheBuiltBridge) {
  std::ifstream file(WV2_BRIDGE_LIBRARY, std::ios::binary);
  const std::string built{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  ASSERT_FALSE(built.empty());
  ASSERT_EQ(CarriedBridgeImageSize(), built.size());
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(CarriedBridgeImageData()), built.size()),
            built);
}

TEST_F(Wv2BridgeTest, TheControllerCoversTheDrawPanelOfTheWindow) {
  const Wv2Handle environment = CreateEnvironment();
  ASSERT_NE(environment, 0u);
  SignInSurface surface(environment);
  ASSERT_NE(surface.controller, 0u);
  ASSERT_NE(surface.webview, 0u);
  EXPECT_NE(surface.controller, environment);
  EXPECT_NE(surface.webview, surface.controller);
  ASSERT_NE(surface.View(), nullptr);
  EXPECT_EQ(surface.View()->parentWidget(), surface.window.get());
  EXPECT_EQ(surface.View()->geometry(), QRect(8, 30, 1200, 580));
  EXPECT_TRUE(surface.View()->isVisible());
  Wv2Rect bounds{};
  EXPECT_EQ(BRIDGE(wv2_Controller_GetBounds)(surface.controller, &bounds), 0);
  EXPECT_EQ(std::vector<int>({bounds.left, bounds.top, bounds.right, bounds.bottom}),
            std::vector<int>({8, 30, 1208, 610}));
  // The view of a controller keeps its one handle.
  Wv2Handle again = 0;
  BRIDGE(wv2_Controller_GetWebview2)(surface.controller, &again);
  EXPECT_EQ(again, surface.webview);
}

TEST_F(Wv2BridgeTest, TheTwoBrowserArgumentsBecomeSettingsAndOthersAreIgnored) {
  struct Case {
    const char16_t* arguments;
    bool fileAccess;
    bool gestureNeeded;
  };
  for (const Case& c :
       {Case{kProgramArguments, true, false},
        Case{u"--autoplay-policy=no-user-gesture-required --no-sandbox", false, false},
        Case{u"--allow-file-access-from-files", true, true}, Case{u"", false, true},
        Case{nullptr, false, true}}) {
    SCOPED_TRACE(
        QString::fromUtf16(c.arguments != nullptr ? c.arguments : u"<null>").toStdString());
    SignInSurface surface(CreateEnvironment(c.arguments));
    ASSERT_NE(surface.Page(), nullptr);
    QWebEngineSettings* settings = surface.Page()->settings();
    EXPECT_EQ(settings->testAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls),
              c.fileAccess);
    EXPECT_EQ(settings->testAttribute(QWebEngineSettings::PlaybackRequiresUserGesture),
              c.gestureNeeded);
  }
}

TEST_F(Wv2BridgeTest, SigningInGivesTheWebHostsCookiesWithHttpOnlyAndANewEnvironmentStartsEmpty) {
  SignInSurface first(CreateEnvironment());
  const std::string port = std::to_string(s_service->Port());
  const std::string passport =
      "/v2/?login&tpl=service_feedback&u=https%3A%2F%2Fpan.quill.localhost:" + port +
      "%2Fmbox%2Fhomepage%23share%2Ftype%3Dsession";
  ASSERT_EQ(BRIDGE(wv2_Webview_Navigate)(
                first.webview, U16("https://passport.quill.localhost:" + port + passport).c_str()),
            0);
  ASSERT_TRUE(ProcessEventsUntil([&] { return Requested(passport); }));
  // The form is sent after the script has answered: the page it loads replaces
  // the document, and an answer still due from the old one would be lost.
  ASSERT_TRUE(
      RunScriptUntilTrue(first.Page(),
                         "(function(){if(!document.getElementById('signin'))return false;"
                         "setTimeout(function(){document.getElementById('submit').click();},"
                         "0);return true;})()"));
  ASSERT_TRUE(ProcessEventsUntil([&] { return Requested("/mbox/homepage"); }));
  const FakeAccount account = *s_service->Model().Account("bridge-user");
  const std::string expected = "BDUSS=" + account.bduss + "; STOKEN=" + account.stoken +
                               "; BAIDUID=" + account.baiduid + "; ";
  ASSERT_TRUE(ProcessEventsUntil([&] {
    return CookieText(CookiesOf(first.webview, WebHost() + "/")) == expected;
  })) << CookieText(CookiesOf(first.webview, WebHost() + "/"));
  const std::vector<Cookie> cookies = CookiesOf(first.webview, WebHost() + "/");
  EXPECT_EQ(std::vector<int>({cookies[0].httpOnly, cookies[1].httpOnly, cookies[2].httpOnly}),
            std::vector<int>({1, 1, 0}));
  // Only what applies to the address: the passport host sees the service-wide BDUSS alone.
  EXPECT_EQ(CookieText(CookiesOf(first.webview, "https://passport.quill.localhost:" + port + "/")),
            "BDUSS=" + account.bduss + "; ");

  // A second sign-in while the first environment lives on.
  SignInSurface second(CreateEnvironment());
  EXPECT_TRUE(CookiesOf(second.webview, WebHost() + "/").empty());
  s_service->ClearRequests();
  BRIDGE(wv2_Webview_Navigate)(second.webview, U16(WebHost() + "/disk/main").c_str());
  ASSERT_TRUE(ProcessEventsUntil([&] { return Requested("/disk/main"); }));
  EXPECT_EQ(LastRequest("/disk/main")->Header("Cookie"), std::nullopt);
  EXPECT_EQ(CookieText(CookiesOf(first.webview, WebHost() + "/")), expected);
}

TEST_F(Wv2BridgeTest, CookiesComeInTheOrderTheyWereSet) {
  SignInSurface surface(CreateEnvironment());
  BRIDGE(wv2_Webview_Navigate)(surface.webview, U16(WebHost() + "/disk/main").c_str());
  ASSERT_TRUE(ProcessEventsUntil([&] { return Requested("/disk/main"); }));
  // "b" is set only once "a" has reached the cookie list, so that "a" is the
  // older of the two whatever order the engine reports writes of one script in.
  const auto setOnce = [&](const std::string& cookie, std::size_t countAfter) {
    const std::string script =
        "(function(){if(location.pathname!='/disk/main')return false;"
        "if(document.cookie.indexOf('" +
        cookie + "')<0)document.cookie='" + cookie + "; path=/';return true;})()";
    ASSERT_TRUE(RunScriptUntilTrue(surface.Page(), QString::fromStdString(script)));
    ASSERT_TRUE(ProcessEventsUntil(
        [&] { return CookiesOf(surface.webview, WebHost() + "/").size() == countAfter; }));
  };
  setOnce("a=1", 1);
  setOnce("b=2", 2);
  EXPECT_EQ(CookieText(CookiesOf(surface.webview, WebHost() + "/")), "a=1; b=2; ");
}

TEST_F(Wv2BridgeTest, ANewWindowRequestCallsTheRoutineAndOpensInTheSameView) {
  SignInSurface surface(CreateEnvironment());
  const Wv2Token token = BRIDGE(wv2_Webview_Attach_NewWindowRequest)(
      surface.webview, &OpenInSameView, surface.webview);
  EXPECT_NE(token, 0);
  const int windowsBefore = static_cast<int>(QApplication::topLevelWidgets().size());
  // Each visit of the test page has an address of its own, so that a script
  // never acts on the page of an earlier visit.
  const auto openFromTestPage = [&](const std::string& visit, const char* action) {
    BRIDGE(wv2_Webview_Navigate)
    (surface.webview, U16(WebHost() + "/signin/popup?" + visit).c_str());
    return RunScriptUntilTrue(
        surface.Page(),
        OncePerPage((QStringLiteral("if(location.search!='?%1'||typeof openPopup!='function')"
                                    "return false;%2")
                         .arg(QString::fromStdString(visit), QString::fromUtf8(action)))
                        .toUtf8()
                        .constData()));
  };
  const auto shows = [&](const std::string& path) {
    return RunScriptUntilTrue(surface.Page(),
                              QStringLiteral("location.pathname=='%1'").arg(path.c_str()));
  };
  // The action runs after the script has answered: the page it opens replaces
  // the document, and an answer still due from the old one would be lost.
  const char* clickLink = "setTimeout(function(){document.getElementById('blank').click();},0);";
  ASSERT_TRUE(openFromTestPage("first", clickLink));
  ASSERT_TRUE(ProcessEventsUntil([&] { return Requested("/disk/main"); }));
  ASSERT_TRUE(shows("/disk/main"));
  ASSERT_TRUE(openFromTestPage("second", "setTimeout(openPopup,0);"));
  ASSERT_TRUE(ProcessEventsUntil([&] { return Requested("/disk/home"); }));
  ASSERT_TRUE(shows("/disk/home"));
  EXPECT_EQ(TextOf(BRIDGE(wv2_Webview_GetURL), surface.webview), WebHost() + "/disk/home");
  ASSERT_EQ(g_newWindowCalls.size(), 2u);
  const std::string targets[] = {WebHost() + "/disk/main", WebHost() + "/disk/home"};
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(g_newWindowCalls[i].sender, surface.webview);
    EXPECT_EQ(g_newWindowCalls[i].userValue, surface.webview);
    EXPECT_NE(g_newWindowCalls[i].arguments, 0u);
    EXPECT_EQ(g_newWindowCalls[i].url, targets[i]);
    // The arguments end with their event.
    EXPECT_NE(BRIDGE(wv2_Webview_NewWindowRequestArgs_SetNewWindow)(g_newWindowCalls[i].arguments,
                                                                    surface.webview),
              0);
  }
  EXPECT_NE(g_newWindowCalls[0].arguments, g_newWindowCalls[1].arguments);
  EXPECT_EQ(static_cast<int>(QApplication::topLevelWidgets().size()), windowsBefore);
  EXPECT_EQ(surface.window->findChildren<QWebEngineView*>().size(), 1);

  // Detached, the first registration hears nothing more; a later one does.
  EXPECT_EQ(BRIDGE(wv2_Webview_Detach_NewWindowRequest)(
                surface.webview, static_cast<std::uint32_t>(token),
                static_cast<std::uint32_t>(static_cast<std::uint64_t>(token) >> 32)),
            0);
  const Wv2Token later =
      BRIDGE(wv2_Webview_Attach_NewWindowRequest)(surface.webview, &OpenInSameView, 77);
  EXPECT_NE(later, token);
  ASSERT_TRUE(openFromTestPage("third", "setTimeout(openPopup,0);"));
  ASSERT_TRUE(ProcessEventsUntil([&] { return g_newWindowCalls.size() == 3; }));
  EXPECT_EQ(g_newWindowCalls[2].userValue, 77u);
}

TEST_F(Wv2BridgeTest, ReleasedHandlesAndGoneWidgetsAnswerLikeNoObject) {
  const Wv2Handle environment = CreateEnvironment();
  SignInSurface surface(environment);
  const Wv2Handle webview = surface.webview;
  Wv2Handle manager = 0;
  BRIDGE(wv2_Webview_GetCookieManager)(webview, &manager);
  ASSERT_NE(manager, 0u);

  // Released: the environment makes no controller, the view no longer navigates.
  EXPECT_EQ(BRIDGE(wv2_Object_Release)(environment), 0);
  EXPECT_NE(BRIDGE(wv2_Object_Release)(environment), 0);
  Wv2Handle out = 0;
  EXPECT_NE(BRIDGE(wv2_Env_CreateController_Sync)(environment, WindowHandleOf(surface.window.get()),
                                                  &out),
            0);
  EXPECT_EQ(out, 0u);
  EXPECT_EQ(BRIDGE(wv2_Object_Release)(webview), 0);
  EXPECT_NE(BRIDGE(wv2_Webview_Navigate)(webview, U16(WebHost() + "/disk/main").c_str()), 0);
  // The controller and the manager made before still work; a new view handle is a new number.
  Wv2Handle renewed = 0;
  EXPECT_EQ(BRIDGE(wv2_Controller_GetWebview2)(surface.controller, &renewed), 0);
  EXPECT_NE(renewed, 0u);
  EXPECT_GT(renewed, manager);
  void* block = nullptr;
  std::uint32_t count = 7;
  EXPECT_EQ(BRIDGE(wv2_CookieManager_GetCookie_Sync)(manager, U16(WebHost() + "/").c_str(), &block,
                                                     &count),
            0);
  EXPECT_EQ(count, 0u);
  BRIDGE(wv2_Utility_Mfree)(block);
  for (Wv2Handle none : {0u, 0xFFFFFFFFu}) {
    EXPECT_NE(BRIDGE(wv2_Webview_Navigate)(none, u"https://x/"), 0);
    EXPECT_NE(BRIDGE(wv2_Object_Release)(none), 0);
  }
  // A handle of one kind is no object of another.
  const Wv2Rect bounds{0, 0, 10, 10};
  EXPECT_NE(BRIDGE(wv2_Controller_SetBounds)(renewed, &bounds), 0);

  // The window goes, and the view with it: nothing reaches the deleted widgets.
  const WindowHandle parent = WindowHandleOf(surface.window.get());
  surface.window.reset();
  EXPECT_NE(BRIDGE(wv2_Controller_SetBounds)(surface.controller, &bounds), 0);
  EXPECT_NE(BRIDGE(wv2_Webview_Navigate)(renewed, U16(WebHost() + "/disk/main").c_str()), 0);
  out = 0;
  EXPECT_NE(BRIDGE(wv2_Controller_GetWebview2)(surface.controller, &out), 0);
  EXPECT_EQ(out, 0u);
  EXPECT_NE(BRIDGE(wv2_Controller_Close)(surface.controller), 0);
  const Wv2Handle another = CreateEnvironment();
  EXPECT_NE(BRIDGE(wv2_Env_CreateController_Sync)(another, parent, &out), 0);
  EXPECT_EQ(out, 0u);
}

TEST_F(Wv2BridgeTest, AClosedControllerTakesItsViewOffTheWindow) {
  SignInSurface surface(CreateEnvironment());
  ASSERT_NE(surface.View(), nullptr);
  EXPECT_EQ(BRIDGE(wv2_Controller_Close)(surface.controller), 0);
  EXPECT_EQ(surface.View(), nullptr);
  const Wv2Rect bounds{0, 0, 10, 10};
  EXPECT_NE(BRIDGE(wv2_Controller_SetBounds)(surface.controller, &bounds), 0);
  EXPECT_NE(BRIDGE(wv2_Webview_Navigate)(surface.webview, u"https://x/"), 0);
}

TEST_F(Wv2BridgeTest, APageSignedByAnotherAuthorityIsRefused) {
  FakeService stranger;
  ASSERT_TRUE(stranger.Start());
  SignInSurface surface(CreateEnvironment());
  bool finished = false;
  bool succeeded = true;
  QObject::connect(surface.Page(), &QWebEnginePage::loadFinished, [&](bool ok) {
    finished = true;
    succeeded = ok;
  });
  BRIDGE(wv2_Webview_Navigate)(surface.webview, U16(stranger.BaseUrl() + "/").c_str());
  ASSERT_TRUE(ProcessEventsUntil([&] { return finished; }));
  EXPECT_FALSE(succeeded);
  EXPECT_TRUE(stranger.Requests().empty());
}

}  // namespace
