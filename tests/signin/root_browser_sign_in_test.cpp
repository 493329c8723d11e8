// Started as root, the chooser's browser sign-in (method 2) runs the real
// engine library against the emulator with the browser's sandbox switched off
// and says so on the status line; the program goes on running afterwards.

#include <QApplication>
#include <filesystem>

#include "fakeservice/fake_service.h"
#include "root_sign_in_support.h"
#include "support/scripted_desktop_guard.h"
#include "ui/signin/sign_in_windows.h"

namespace {

TEST(BrowserStartAsRoot, OnlyRootSwitchesTheSandboxOffAndSaysSo) {
  struct Row {
    const char* name;
    unsigned uid;
    bool switchedOff;
  };
  const Row rows[] = {
      {"another user", 1000, false},
      {"root", 0, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    unsetenv(kSandboxSwitch);
    SetEffectiveUserIdForTesting(row.uid);
    ScriptedDesktopGuard ui;
    PrepareBrowserStart();
    PrepareBrowserStart();
    const char* value = std::getenv(kSandboxSwitch);
    EXPECT_EQ(value != nullptr && std::string(value) == "1", row.switchedOff);
    std::vector<std::string> lines;
    for (const RecordedStatus& status : ui.desktop.StatusHistory()) {
      lines.push_back(status.text);
    }
    EXPECT_EQ(lines, row.switchedOff ? std::vector<std::string>{kBrowserSandboxOffText}
                                     : std::vector<std::string>{});
  }
  SetEffectiveUserIdForTesting({});
  unsetenv(kSandboxSwitch);
}

TEST(BrowserSignInAsRoot, RunsWithTheSandboxOffAndTheProgramGoesOn) {
  StartedAsRoot root;
  FakeService service;
  ASSERT_TRUE(StartSignInEmulator(service, "root-user"));
  ScriptedDesktopGuard ui;
  ResetWkeEngineForTesting();
  SetWkeSearchFolderForTesting(std::filesystem::path(WKE_REAL_ENGINE).parent_path().string());
  ExpectSignInAsRootRunsAndTheProgramGoesOn<BrowserSignInWindow>(
      service, ui.desktop, &SignInMethodWindow::ChooseBrowserSignIn);
  SetWkeSearchFolderForTesting({});
  service.Stop();
}

}  // namespace
