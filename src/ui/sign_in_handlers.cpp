// Fills the main window's slots that this feature owns. A slot left empty
// makes its control do nothing.

#include "ui/account_list.h"
#include "ui/main_window.h"
#include "ui/main_window_setup.h"
#include "ui/signin/sign_in_windows.h"
#include "ui/signin/webview2_sign_in_window.h"

void InstallSignInHandlers(MainWindowHandlers& handlers, MainWindow* window) {
  // A closed sign-in window's cookie text goes to the account list's check.
  SetSignInHandOff([](int, const std::string& cookieText, const std::string&, const std::string&,
                      const std::string&) { AddOrUpdateAccountFromCookies(cookieText); });
  // The chooser's first method opens the WebView2 sign-in window.
  SetWebView2SignInOpener(OpenWebView2SignInWindow);
  handlers.openSignInMethodWindow = [window] {
    SignInMethodWindow chooser(window);
    chooser.OnCreated();
    chooser.exec();
  };
}
