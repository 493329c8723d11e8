#include "ui/signin/sign_in_windows.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>

#include "foundation/message_box.h"
#include "foundation/screen_scaling.h"
#include "foundation/shell_open.h"
#include "foundation/waits.h"
#include "platform/desktop.h"
#include "platform/qt/qt_window_handle.h"
#include "platform/qt/registry_values.h"
#include "ui/clickable_label.h"
#include "ui/control_binding.h"
#include "ui/design_font.h"
#include "ui/qt_text.h"
#include "ui/signin/sign_in_pages.h"
#include "ui/signin/wke_browser_control.h"

namespace {

constexpr int kDesignDpi = 96;
constexpr std::int64_t kPagePauseMs = 3000;
constexpr std::int64_t kInstallerQuestionMs = 30000;
constexpr int kQuestionBox = kBoxYesNo | kBoxIconQuestion;

ThreadRoutine& HandOff() {
  static auto* routine = new ThreadRoutine;
  return *routine;
}

std::function<void(QWidget*)>& WebView2Opener() {
  static auto* opener = new std::function<void(QWidget*)>;
  return *opener;
}

QString Text(const char16_t* text) {
  return QString::fromUtf16(text);
}

template <typename Widget>
Widget* Place(QWidget* parent, const char16_t* name, const char16_t* caption, QRect place) {
  auto* widget = new Widget(parent);
  widget->setObjectName(Text(name));
  widget->setText(Text(caption));
  widget->setGeometry(place);
  return widget;
}

QLabel* PlaceLabel(QWidget* parent, const char16_t* name, const char16_t* caption, QRect place) {
  QLabel* label = Place<QLabel>(parent, name, caption, place);
  label->setAttribute(Qt::WA_TranslucentBackground);
  return label;
}

// The control names of these windows, as the store names them.
std::string Name(const char16_t* name) {
  return Cp936FromWidgetText(Text(name));
}

}  // namespace

void SetSignInHandOff(ThreadRoutine routine) {
  HandOff() = std::move(routine);
}

const ThreadRoutine& SignInHandOff() {
  return HandOff();
}

void SetWebView2SignInOpener(std::function<void(QWidget* chooser)> opener) {
  WebView2Opener() = std::move(opener);
}

SignInMethodWindow::SignInMethodWindow(QWidget* parent) : QDialog(parent) {
  setWindowTitle(Text(u"网盘登陆方式选择"));
  setFixedSize(338, 299);
  PlaceLabel(this, u"透明标签_下方任意方式都可实现登陆网盘",
             u"下方任意方式都可实现登陆网盘，选择任意方式即可：", {18, 7, 301, 32});
  auto* webView2 = Place<QPushButton>(this, u"按钮1",
                                      u"方式1，适用win10和win11，或其他安装有Edge的系统", {16, 47, 304, 32});
  PlaceLabel(this, u"透明标签1", u"↑↑↑ghost系统会报错，登陆后关闭窗口即可", {14, 88, 258, 32});
  auto* installer = Place<ClickableLabel>(this, u"透明标签_安装edge", u"安装Edge", {272, 88, 59, 32});
  installer->setAttribute(Qt::WA_TranslucentBackground);
  auto* browser = Place<QPushButton>(this, u"按钮2",
                                     u"方式2，适用于所有系统，但可能因兼容问题偶尔报错", {14, 129, 304, 32});
  PlaceLabel(this, u"透明标签2", u"↑↑↑如果出错请重试，登陆成功后关闭登陆窗口即可", {14, 165, 301, 32});
  auto* tutorial = Place<QPushButton>(this, u"按钮3",
                                      u"方式3，教程：手动从其他浏览器获取cookies进行添加", {14, 213, 304, 32});
  UseDesignFont(*this);
  FitCaptionsByFontSize(*this);
  m_binding = new ControlBinding(this, m_store);
  connect(webView2, &QPushButton::clicked, this, [this] { ChooseWebView2SignIn(); });
  connect(browser, &QPushButton::clicked, this, [this] { ChooseBrowserSignIn(); });
  connect(tutorial, &QPushButton::clicked, this, [this] { OpenCookieTutorialPage(); });
  connect(installer, &ClickableLabel::leftButtonDown, this, [this] { OpenWebView2Installer(); });
}

SignInMethodWindow::~SignInMethodWindow() {
  delete m_binding;
}

void SignInMethodWindow::OnCreated() {
  RescaleWindowForDpi(WindowHandleOf(this), kDesignDpi);
}

void SignInMethodWindow::ChooseWebView2SignIn() {
  const std::string button = Name(u"按钮1");
  m_store.SetEnabled(button, false);
  const std::string version = ReadLocalMachineText(kWebView2RuntimeKey, "DisplayVersion");
  if (!version.empty()) {
    if (WebView2Opener()) {
      WebView2Opener()(this);
      done(QDialog::Accepted);
    } else {
      m_store.SetEnabled(button, true);
    }
    return;
  }
  const int answer = ShowTimedMessageBox(
      "提示：",
      "当前系统可能未安装 Microsoft Edge WebView2，是否打开下载地址手动进行安装？\r\n\r\n"
      "也可通过 方式2 进行登陆。",
      kInstallerQuestionMs, kQuestionBox);
  if (answer == kBoxResultYes) {
    ShellOpen(WebView2InstallerUrl());
  }
  m_store.SetEnabled(button, true);
}

void SignInMethodWindow::ChooseBrowserSignIn() {
  m_store.SetEnabled(Name(u"按钮2"), false);
  {
    BrowserSignInWindow window(this);
    window.OnCreated();
    window.exec();
  }
  done(QDialog::Accepted);
}

void SignInMethodWindow::OpenCookieTutorialPage() {
  ShellOpen(CookieTutorialPageUrl());
}

void SignInMethodWindow::OpenWebView2Installer() {
  ShellOpen(WebView2InstallerUrl());
}

BrowserSignInWindow::BrowserSignInWindow(QWidget* parent)
    : QDialog(parent), m_windowId(NewOwnerWindowId()) {
  setWindowTitle(Text(u"百度帐号登陆_方式2"));
  resize(1222, 623);
  const QRect places[3] = {{19, 5, 88, 20}, {133, 6, 88, 20}, {259, 6, 88, 20}};
  const char16_t* names[3] = {u"按钮1", u"按钮2", u"按钮3"};
  const char16_t* captions[3] = {u"登陆页面 1", u"登陆页面 2", u"登陆页面 3"};
  QPushButton* buttons[3];
  for (int i = 0; i < 3; ++i) {
    buttons[i] = Place<QPushButton>(this, names[i], captions[i], places[i]);
  }
  PlaceLabel(this, u"透明标签1",
             u"登陆成功后关闭此窗口即可      如页面打开不完整，关闭此窗口再打开重试。            "
             u"如果一直卡死，则结束软件重开再试。",
             {504, 7, 704, 16});
  UseDesignFont(*this);
  FitCaptionsByFontSize(*this);
  m_binding = new ControlBinding(this, m_store);
  connect(buttons[0], &QPushButton::clicked, this, [this] { ShowServiceHomePage(); });
  connect(buttons[1], &QPushButton::clicked, this, [this] { ShowPassportPage(); });
  connect(buttons[2], &QPushButton::clicked, this, [this] { ShowPortalPage(); });
  BindControlEvent(m_windowId, kBrowserControlId, kWkeEventNewWindowRequested,
                   [this](ControlEvent& event) -> std::optional<std::intptr_t> {
                     return OnNewWindowRequest(static_cast<int>(event.arguments[0].integer),
                                               event.arguments[1].text)
                                ? 1
                                : 0;
                   });
  m_browser = WkeBrowserControl::Create(nullptr, 0, 0, WindowHandleOf(this), kBrowserControlId, 8,
                                        29, 1200, 560, m_windowId, kBrowserControlId, 0, false);
}

BrowserSignInWindow::~BrowserSignInWindow() {
  *m_alive = false;
  UnbindWindowEvents(m_windowId);
  delete m_binding;
}

void BrowserSignInWindow::OnCreated() {
  RescaleWindowForDpi(WindowHandleOf(this), kDesignDpi);
  const WkeControlReference browser{m_windowId, kBrowserControlId, nullptr};
  WkeBrowserControl::RunCookieCommand(browser, 0);
  WkeBrowserControl::LoadUrl(browser, PassportSignInPageUrl());
}

bool BrowserSignInWindow::OnCloseQuery() {
  return CollectBrowserCookies();
}

bool BrowserSignInWindow::CollectBrowserCookies() {
  const std::string cookies =
      WkeBrowserControl::GetCookieText({m_windowId, kBrowserControlId, nullptr});
  if (!CookiesLookSignedIn(cookies)) {
    return ShowTimedMessageBox("确认操作：", "可能没有登陆成功，确定退出吗？", 0, kQuestionBox) ==
           kBoxResultYes;
  }
  StartThreadWithTexts(HandOff(), 0, cookies, "");
  return true;
}

void BrowserSignInWindow::ShowServiceHomePage() {
  ShowPage(ServiceHomePageUrl(), false);
}

void BrowserSignInWindow::ShowPassportPage() {
  ShowPage(PassportSignInPageUrl(), false);
}

void BrowserSignInWindow::ShowPortalPage() {
  ShowPage(PortalPageUrl(), true);
}

bool BrowserSignInWindow::OnNewWindowRequest(int, const std::string&) {
  return false;
}

void BrowserSignInWindow::done(int result) {
  if (!m_closed && !OnCloseQuery()) {
    return;
  }
  m_closed = true;
  QDialog::done(result);
}

void BrowserSignInWindow::ShowPage(const std::string& address, bool portalNotice) {
  const std::shared_ptr<bool> alive = m_alive;
  SetPageButtons(false);
  WkeBrowserControl::LoadUrl({m_windowId, kBrowserControlId, nullptr}, address);
  if (portalNotice) {
    ShowPortalSignInNotice();
  } else {
    WaitPumpingMessages(kPagePauseMs);
  }
  // A window closed during the pause is left alone.
  if (!*alive || m_closed) {
    return;
  }
  SetPageButtons(true);
}

void BrowserSignInWindow::SetPageButtons(bool enabled) {
  for (const char16_t* name : {u"按钮1", u"按钮2", u"按钮3"}) {
    m_store.SetEnabled(Name(name), enabled);
  }
}
