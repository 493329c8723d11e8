#pragma once
// The sign-in chooser and the browser sign-in window. The chooser offers the
// WebView2 sign-in (or its installer), the browser sign-in and the cookie
// tutorial; the browser sign-in window shows the service's sign-in page in a
// WkeBrowserControl and, when it closes with a signed-in cookie text, hands
// that text to the account list on a new thread. Each window binds its
// controls to a ControlStore of its own (their names repeat the main
// window's). User-interface thread only.

#include <QDialog>
#include <functional>
#include <memory>
#include <string>

#include "foundation/thread_start.h"
#include "platform/control_store.h"
#include "ui/control_events.h"

class ControlBinding;

// What a closed browser sign-in starts with the cookie text (integer 0, the
// text, an empty second text): the account list's check and addition. Set
// once by the program; tests set their own.
void SetSignInHandOff(ThreadRoutine routine);
// The routine set above (empty before), for both sign-in windows.
const ThreadRoutine& SignInHandOff();
// What the chooser's WebView2 method opens when the runtime is there (set by
// the WebView2 sign-in window's code); without it that method does nothing.
void SetWebView2SignInOpener(std::function<void(QWidget* chooser)> opener);

class SignInMethodWindow : public QDialog {
 public:
  explicit SignInMethodWindow(QWidget* parent = nullptr);
  ~SignInMethodWindow() override;

  ControlStore& Store() { return m_store; }

  void OnCreated();
  void ChooseWebView2SignIn();
  void ChooseBrowserSignIn();
  void OpenCookieTutorialPage();
  void OpenWebView2Installer();

 private:
  ControlStore m_store;
  ControlBinding* m_binding = nullptr;
};

class BrowserSignInWindow : public QDialog {
 public:
  explicit BrowserSignInWindow(QWidget* parent = nullptr);
  ~BrowserSignInWindow() override;

  ControlStore& Store() { return m_store; }
  // The browser control's host handle (0 when it was not made) and reference.
  HostHandle Browser() const { return m_browser; }
  int WindowId() const { return m_windowId; }

  void OnCreated();
  bool OnCloseQuery();
  bool CollectBrowserCookies();
  void ShowServiceHomePage();
  void ShowPassportPage();
  void ShowPortalPage();
  bool OnNewWindowRequest(int navigationType, const std::string& address);

  static constexpr int kBrowserControlId = 1;

 protected:
  // Every way of closing (the frame's close button, Esc) asks the close query.
  void done(int result) override;

 private:
  // Disables the page buttons, loads `address`, pauses, enables them again
  // unless the window was closed meanwhile.
  void ShowPage(const std::string& address, bool portalNotice);
  void SetPageButtons(bool enabled);

  ControlStore m_store;
  ControlBinding* m_binding = nullptr;
  int m_windowId = 0;
  HostHandle m_browser = 0;
  bool m_closed = false;
  std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};
