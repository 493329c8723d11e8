// Started as root, the chooser's WebView2 sign-in (method 1) writes and loads
// the real bridge and shows the emulator's sign-in page with the browser's
// sandbox switched off, says so on the status line, and the program goes on
// running afterwards.

#include <QApplication>

#include "fakeservice/fake_service.h"
#include "platform/qt/registry_values.h"
#include "root_sign_in_support.h"
#include "support/scoped_environment.h"
#include "support/scratch_folder.h"
#include "support/scripted_desktop_guard.h"
#include "ui/global_objects.h"
#include "ui/signin/sign_in_windows.h"
#include "ui/signin/webview2_sign_in_window.h"

namespace {

TEST(WebView2SignInAsRoot, RunsWithTheSandboxOffAndTheProgramGoesOn) {
  StartedAsRoot root;
  FakeService service;
  ASSERT_TRUE(StartSignInEmulator(service, "root-user"));
  ScriptedDesktopGuard ui;
  ScratchFolder run;
  ScopedEnvironment home("QUILLMERE_HOME", run.Utf8());
  SetWebView2RuntimeVersionForTesting("6");
  SetWebView2SignInOpener(OpenWebView2SignInWindow);
  ExpectSignInAsRootRunsAndTheProgramGoesOn<WebView2SignInWindow>(
      service, ui.desktop, &SignInMethodWindow::ChooseWebView2SignIn);
  SetWebView2SignInOpener({});
  SetWebView2RuntimeVersionForTesting(std::nullopt);
  service.Stop();
}

}  // namespace
