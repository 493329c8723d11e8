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

// main() decides the switch before any thread starts; the first browser start
// only says so, and changes no environment variable (another thread may read
// the environment meanwhile).
TEST(BrowserStartAsRoot, OnlyRootSwitchesTheSandboxOffAtStartAndTheFirstBrowserSaysSo) {
  struct Row {
    const char* name;
    unsigned uid;
    const char* setByStarter;  // the value whoever started the program set; nullptr: none
    const char* switchValue;   // the value the browser finds; nullptr: none
    bool announced;
  };
  const Row rows[] = {
      {"another user", 1000, nullptr, nullptr, false},
      {"root", 0, nullptr, "1", true},
      {"root, a value already set is kept", 0, "0", "0", true},
  };
  const auto shown = [](const char* value) {
    return std::string(value == nullptr ? "(none)" : value);
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    if (row.setByStarter != nullptr) {
      setenv(kSandboxSwitch, row.setByStarter, 1);
    } else {
      unsetenv(kSandboxSwitch);
    }
    SetEffectiveUserIdForTesting(row.uid);
    DecideBrowserSandbox();
    ScriptedDesktopGuard ui;
    PrepareBrowserStart();
    PrepareBrowserStart();
    EXPECT_EQ(shown(std::getenv(kSandboxSwitch)), shown(row.switchValue));
    std::vector<std::string> lines;
    for (const RecordedStatus& status : ui.desktop.StatusHistory()) {
      lines.push_back(status.text);
    }
    EXPECT_EQ(lines, row.announced ? std::vector<std::string>{kBrowserSandboxOffText}
                                   : std::vector<std::string>{});
  }
  SetEffectiveUserIdForTesting({});
  unsetenv(kSandboxSwitch);
}

TEST(BrowserStartAsRoot, ABrowserStartChangesNoEnvironmentVariable) {
  unsetenv(kSandboxSwitch);
  SetEffectiveUserIdForTesting(0u);  // root, but nothing decided at start
  ScriptedDesktopGuard ui;
  PrepareBrowserStart();
  EXPECT_EQ(std::getenv(kSandboxSwitch), nullptr);
  SetEffectiveUserIdForTesting({});
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
