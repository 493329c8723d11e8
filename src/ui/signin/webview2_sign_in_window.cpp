#include "ui/signin/webview2_sign_in_window.h"

#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <vector>

#include "foundation/message_box.h"
#include "foundation/screen_scaling.h"
#include "foundation/text_encodings.h"
#include "foundation/thread_start.h"
#include "foundation/waits.h"
#include "platform/desktop.h"
#include "platform/qt/qt_window_handle.h"
#include "ui/control_binding.h"
#include "ui/global_objects.h"
#include "ui/qt_text.h"
#include "ui/signin/browser_host_window.h"
#include "ui/signin/sign_in_pages.h"
#include "ui/signin/sign_in_windows.h"
#include "ui/signin/utf16_text.h"
#include "ui/signin/webview2_environment.h"
#include "ui/signin/wv2_controller.h"
#include "ui/signin/wv2_cookie.h"
#include "ui/signin/wv2_cookie_manager.h"
#include "ui/signin/wv2_environment.h"
#include "ui/signin/wv2_new_window_request_args.h"

namespace {

constexpr int kDesignDpi = 96;
constexpr std::int64_t kPagePauseMs = 1500;
constexpr std::int64_t kBeforePortalMs = 30;
constexpr int kQuestionBox = kBoxYesNo | kBoxIconQuestion;
constexpr std::int32_t kNewWindowResult = 3;

constexpr const char16_t* kPageButtons[3] = {u"按钮1", u"按钮2", u"按钮3"};

QString Text(const char16_t* text) {
  return QString::fromUtf16(text);
}

std::string Name(const char16_t* name) {
  return Cp936FromWidgetText(Text(name));
}

}  // namespace

WebView2SignInWindow::WebView2SignInWindow(QWidget* parent) : QDialog(parent) {
  setWindowTitle(Text(u"百度帐号登陆_方式1"));
  resize(1222, 643);
  const QRect places[3] = {{19, 4, 88, 20}, {133, 5, 88, 20}, {259, 5, 88, 20}};
  const char16_t* captions[3] = {u"登陆页面 1", u"登陆页面 2", u"登陆页面 3"};
  QPushButton* buttons[3];
  for (int i = 0; i < 3; ++i) {
    buttons[i] = new QPushButton(Text(captions[i]), this);
    buttons[i]->setObjectName(Text(kPageButtons[i]));
    buttons[i]->setGeometry(places[i]);
  }
  auto* label =
      new QLabel(Text(u"登陆成功后关闭此窗口即可    如页面打开不完整，关闭此窗口或点左边按钮再打开"
                      u"重试。    如果一直卡死，则结束软件重开再试。"),
                 this);
  label->setObjectName(Text(u"透明标签1"));
  label->setAttribute(Qt::WA_TranslucentBackground);
  label->setGeometry(463, 7, 734, 16);
  m_panel = new QWidget(this);
  m_panel->setObjectName(Text(u"画板2"));
  m_panel->setGeometry(8, 30, 1200, 580);
  m_binding = new ControlBinding(this, m_store);
  PrepareBrowserHostWindow(*this);
  connect(buttons[0], &QPushButton::clicked, this, [this] { ShowServiceLoginPage(); });
  connect(buttons[1], &QPushButton::clicked, this, [this] { ShowPassportPage(); });
  connect(buttons[2], &QPushButton::clicked, this, [this] { ShowPortalPage(); });
}

WebView2SignInWindow::~WebView2SignInWindow() {
  *m_alive = false;
  delete m_binding;
}

void WebView2SignInWindow::OnCreated() {
  RescaleWindowForDpi(WindowHandleOf(this), kDesignDpi);
  PrepareWebView2Environment();
}

void WebView2SignInWindow::OnFirstActivation() {
  ShowWebView2Page(PassportSignInPageUrl(), true).Free();
}

bool WebView2SignInWindow::OnCloseQuery() {
  return CollectWebView2Cookies();
}

void WebView2SignInWindow::ShowServiceLoginPage() {
  ShowPage(WebHostSignInPageUrl(), false);
}

void WebView2SignInWindow::ShowPassportPage() {
  ShowPage(PassportSignInPageUrl(), false);
}

void WebView2SignInWindow::ShowPortalPage() {
  ShowPage(PortalPageUrl(), true);
}

Wv2Webview WebView2SignInWindow::ShowWebView2Page(const std::string& address, bool navigate) {
  const QRect panel = m_panel->geometry();
  const Wv2Rect bounds{panel.left(), panel.top(), panel.left() + panel.width(),
                       panel.top() + panel.height()};
  Wv2Controller controller = g_wv2Environment.CreateController_Sync(WindowHandleOf(this));
  g_wv2Controller.Free();
  g_wv2Controller = controller;
  g_wv2Controller.SetBounds(bounds);
  Wv2Webview view = g_wv2Controller.GetWebview2();
  g_wv2Webview.Free();
  g_wv2Webview = view;
  // The token is not kept: the routine stays attached for the view's life.
  g_wv2Webview.Attach_NewWindowRequest(OnWv2NewWindowRequested, g_wv2Webview.BridgeHandle());
  if (navigate) {
    g_wv2Webview.Navigate(TextToUtf16(address));
  }
  return g_wv2Webview.Copy();
}

bool WebView2SignInWindow::CollectWebView2Cookies() {
  const std::string cookieText = ReadWebView2CookieText();
  if (!CookiesLookSignedIn(cookieText)) {
    return ShowTimedMessageBox("确认操作：", "可能没有登陆成功，确定关闭此登陆窗口吗？", 0,
                               kQuestionBox) == kBoxResultYes;
  }
  StartThreadWithTexts(SignInHandOff(), 0, cookieText, "");
  return true;
}

void WebView2SignInWindow::done(int result) {
  if (!m_closed && !OnCloseQuery()) {
    return;
  }
  m_closed = true;
  QDialog::done(result);
}

void WebView2SignInWindow::changeEvent(QEvent* event) {
  QDialog::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow() && !m_activated) {
    m_activated = true;
    OnFirstActivation();
  }
}

void WebView2SignInWindow::ShowPage(const std::string& address, bool portal) {
  const std::shared_ptr<bool> alive = m_alive;
  SetPageButtons(false);
  if (portal) {
    WaitWithoutPumping(kBeforePortalMs);
  }
  g_wv2Webview.Navigate(TextToUtf16(address));
  if (portal) {
    ShowPortalSignInNotice();
  } else {
    // The window is frozen for the pause, as the buttons are disabled.
    WaitWithoutPumping(kPagePauseMs);
  }
  // A window closed while the notice was open is left alone.
  if (!*alive || m_closed) {
    return;
  }
  SetPageButtons(true);
}

void WebView2SignInWindow::SetPageButtons(bool enabled) {
  for (const char16_t* name : kPageButtons) {
    m_store.SetEnabled(Name(name), enabled);
    if (!enabled) {
      PumpMessages();
    }
  }
}

std::int32_t OnWv2NewWindowRequested(Wv2Handle view, Wv2Handle requestArgs, std::uint32_t) {
  Wv2Webview requester;
  requester.SetBridgeHandle(view);
  Wv2NewWindowRequestArgs args;
  args.SetBridgeHandle(requestArgs);
  args.SetNewWindow(requester);
  requester.Free();
  args.Free();
  return kNewWindowResult;
}

std::string ReadWebView2CookieText() {
  std::vector<Wv2Cookie> cookies;
  Wv2Webview view = g_wv2Controller.GetWebview2();
  Wv2CookieManager manager = view.GetCookieManager();
  view.Free();
  manager.GetCookie_Sync(EncodeUtf16Text(WebHostCookieAddress()), cookies);
  manager.Free();
  std::string cookieText;
  for (Wv2Cookie& cookie : cookies) {
    cookieText += DecodeUtf16Text(cookie.GetName());
    cookieText += "=";
    cookieText += DecodeUtf16Text(cookie.GetValue());
    cookieText += "; ";
    cookie.Free();
  }
  return cookieText;
}

void OpenWebView2SignInWindow(QWidget* chooser) {
  WebView2SignInWindow window(chooser);
  window.OnCreated();
  window.exec();
}
