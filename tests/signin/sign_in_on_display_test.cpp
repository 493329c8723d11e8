// On an X server of the test's own rather than the offscreen platform, so
// that activation and focus come through the window system as in the
// program: the chooser's two sign-in methods one after the other in one run,
// twice over, each window opened modally from the chooser, its sign-in page
// loaded from the emulator and the window closed. The process lives through
// it and its event loop goes on.

#include <QApplication>
#include <filesystem>

#include "fakeservice/fake_service.h"
#include "platform/qt/registry_values.h"
#include "root_sign_in_support.h"
#include "support/scoped_environment.h"
#include "support/scratch_folder.h"
#include "support/scripted_desktop_guard.h"
#include "ui/signin/sign_in_windows.h"
#include "ui/signin/webview2_sign_in_window.h"

namespace {

TEST(SignInOnADisplay, BothMethodsOneAfterTheOtherLeaveTheProgramRunning) {
  ASSERT_EQ(QGuiApplication::platformName(), "xcb");
  FakeService service;
  ASSERT_TRUE(StartSignInEmulator(service, "display-user"));
  ScriptedDesktopGuard ui;
  ScratchFolder run;
  ScopedEnvironment home("QUILLMERE_HOME", run.Utf8());
  ResetWkeEngineForTesting();
  SetWkeSearchFolderForTesting(std::filesystem::path(WKE_REAL_ENGINE).parent_path().string());
  SetWebView2RuntimeVersionForTesting("6");
  SetWebView2SignInOpener(OpenWebView2SignInWindow);
  for (int round = 1; round <= 2; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    OpenSignInWindowAndClose<BrowserSignInWindow>(service, ui.desktop,
                                                  &SignInMethodWindow::ChooseBrowserSignIn);
    OpenSignInWindowAndClose<WebView2SignInWindow>(service, ui.desktop,
                                                   &SignInMethodWindow::ChooseWebView2SignIn);
  }
  EXPECT_TRUE(EventLoopStillRuns());
  SetWebView2SignInOpener({});
  SetWebView2RuntimeVersionForTesting(std::nullopt);
  SetWkeSearchFolderForTesting({});
  service.Stop();
}

}  // namespace
