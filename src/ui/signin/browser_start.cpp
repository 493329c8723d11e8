#include "ui/signin/browser_start.h"

#include <unistd.h>

#include <cstdlib>

#include "foundation/message_box.h"
#include "platform/qt/browser_trust.h"
#include "web/service_config.h"

namespace {

// Qt WebEngine's own switch: set, its browser runs without the sandbox.
constexpr const char* kSandboxSwitch = "QTWEBENGINE_DISABLE_SANDBOX";

std::optional<unsigned> s_testUid;
bool s_announced = false;

unsigned EffectiveUserId() {
  return s_testUid ? *s_testUid : static_cast<unsigned>(geteuid());
}

}  // namespace

void PrepareBrowserStart() {
  PublishBrowserExtraCaFile(GetServiceConfig().caFile);
  if (EffectiveUserId() != 0) {
    return;
  }
  // Set before every load: once the first browser of the process has
  // started, a later change has no effect; a value set by whoever started the
  // program is kept.
  setenv(kSandboxSwitch, "1", 0);
  if (!s_announced) {
    s_announced = true;
    ShowStatusText(kBrowserSandboxOffText);
  }
}

void SetEffectiveUserIdForTesting(std::optional<unsigned> uid) {
  s_testUid = uid;
  s_announced = false;
}
