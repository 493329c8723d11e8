#pragma once
// The WebView2 sign-in window: the service's sign-in page in a view that the
// bridge library hosts on the window (through the wrappers and the
// program-wide g_wv2Environment, g_wv2Controller and g_wv2Webview). Opening
// prepares the environment (webview2_environment.h); the first activation
// makes the view over the panel `画板2` and loads the passport sign-in page;
// closing collects the web host's cookies and, when they look signed in, hands
// them to the account list on a new thread. Without a bridge, or with an
// environment the bridge did not make, no page shows and closing asks. The
// window binds its controls to a ControlStore of its own (their names repeat
// the main window's). User-interface thread only.

#include <QDialog>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/control_store.h"
#include "platform/wv2_bridge_exports.h"
#include "ui/signin/wv2_webview.h"

class ControlBinding;

class WebView2SignInWindow : public QDialog {
 public:
  explicit WebView2SignInWindow(QWidget* parent = nullptr);
  ~WebView2SignInWindow() override;

  ControlStore& Store() { return m_store; }
  // The panel the view covers.
  QWidget* Panel() const { return m_panel; }

  void OnCreated();
  void OnFirstActivation();
  bool OnCloseQuery();
  void ShowServiceLoginPage();
  void ShowPassportPage();
  void ShowPortalPage();

  // Makes a controller on this window over `画板2` and its view (replacing the
  // program-wide ones), attaches the new-window routine and, when `navigate`
  // is set, loads `address`. Returns a copy of g_wv2Webview.
  Wv2Webview ShowWebView2Page(const std::string& address, bool navigate);
  // Reads, judges and hands over the web host's cookies; true lets the window
  // close.
  bool CollectWebView2Cookies();

 protected:
  // Every way of closing (the frame's close button, Esc) asks the close query.
  void done(int result) override;
  void changeEvent(QEvent* event) override;

 private:
  // Disables the page buttons, navigates, pauses (or shows the portal notice)
  // and enables them again unless the window was closed meanwhile.
  void ShowPage(const std::string& address, bool portal);
  void SetPageButtons(bool enabled);

  ControlStore m_store;
  ControlBinding* m_binding = nullptr;
  QWidget* m_panel = nullptr;
  bool m_activated = false;
  bool m_closed = false;
  std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

// The new-window routine attached to the sign-in view: the requested page
// opens in the requesting view itself. Returns 3.
std::int32_t OnWv2NewWindowRequested(Wv2Handle view, Wv2Handle requestArgs,
                                     std::uint32_t userValue);

// The web host's cookies in the view of g_wv2Controller, as "name=value; "
// pairs in the order the view lists them (empty without a view).
std::string ReadWebView2CookieText();

// Opens the window modally over the chooser (the chooser's first method).
void OpenWebView2SignInWindow(QWidget* chooser);
