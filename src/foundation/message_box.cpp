#include "foundation/message_box.h"

#include "foundation/shared_locks.h"
#include "platform/desktop.h"

#include <mutex>

namespace {
// The status bar panel that holds the status line; other writers use others.
constexpr int kStatusLinePanel = 1;
}  // namespace

int ShowTimedMessageBox(std::string_view caption, std::string_view text, std::int64_t timeoutMs,
                        int type) {
  return GetDesktop().ShowMessageBox(caption, text, type, timeoutMs);
}

int ShowTimedMessageBoxUtf16(std::string_view caption, std::string_view utf16Bytes,
                             std::int64_t timeoutMs, int type) {
  return GetDesktop().ShowMessageBoxUtf16(caption, utf16Bytes, type, timeoutMs);
}

void ShowStatusText(std::string_view text, std::string_view utf16Bytes) {
  std::lock_guard lock(g_statusLock);
  if (!text.empty())
    GetDesktop().SetStatusPanel(kStatusLinePanel, text);
  else
    GetDesktop().SetStatusPanelUtf16(kStatusLinePanel, utf16Bytes);
}
