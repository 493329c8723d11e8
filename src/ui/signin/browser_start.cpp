#include "ui/signin/browser_start.h"

#include <unistd.h>

#include <atomic>
#include <cstdlib>

#include "foundation/message_box.h"
#include "platform/qt/browser_trust.h"
#include "web/service_config.h"

namespace {

// Qt WebEngine's own switch: set, its browser runs without the sandbox.
constexpr const char* kSandboxSwitch = "QTWEBENGINE_DISABLE_SANDBOX";

std::optional<unsigned> s_testUid;
std::atomic<bool> s_runAsRoot{false};  // decided by DecideBrowserSandbox
bool s_announced = false;

unsigned EffectiveUserId() {
  return s_testUid ? *s_testUid : static_cast<unsigned>(geteuid());
}

}  // namespace

void DecideBrowserSandbox() {
  s_runAsRoot = EffectiveUserId() == 0;
  if (s_runAsRoot) {
    setenv(kSandboxSwitch, "1", 0);  // a value already set is kept
  }
}

void PrepareBrowserStart() {
  PublishBrowserExtraCaFile(GetServiceConfig().caFile);
  if (s_runAsRoot && !s_announced) {
    s_announced = true;
    ShowStatusText(kBrowserSandboxOffText);
  }
}

void SetEffectiveUserIdForTesting(std::optional<unsigned> uid) {
  s_testUid = uid;
  s_runAsRoot = false;
  s_announced = false;
}
