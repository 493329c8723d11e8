#include "platform/desktop.h"

#include <atomic>

#include "platform/code_page_codec.h"

namespace {

// Used until a real or scripted desktop is installed: a program without a
// window cannot ask anybody, so boxes report that they could not be shown.
class SilentDesktop final : public Desktop {
 public:
  int ShowMessageBox(std::string_view, std::string_view, int, std::int64_t) override {
    return kBoxResultNone;
  }
  void SetStatusPanel(int, std::string_view) override {}
  void SetStatusPanelUtf16(int, std::string_view) override {}
  int OpenTarget(std::string_view) override { return 2; }
  bool IsUiThread() const override { return false; }
  void PumpEvents() override {}
  bool PumpEventsFor(std::int64_t ms, const StopCondition& stop) override {
    return GetClock().SleepFor(ms, stop);
  }
};

SilentDesktop s_silentDesktop;
std::atomic<Desktop*> s_installedDesktop{nullptr};

}  // namespace

std::u16string DesktopUtf16Units(std::string_view utf16Bytes) {
  std::u16string units = LeBytesToUtf16(utf16Bytes);
  const size_t nul = units.find(u'\0');
  if (nul != std::u16string::npos)
    units.resize(nul);
  return units;
}

int Desktop::ShowMessageBoxUtf16(std::string_view caption, std::string_view utf16Bytes, int type,
                                 std::int64_t timeoutMs) {
  return ShowMessageBox(caption, EncodeFromUtf16(DesktopUtf16Units(utf16Bytes), kCodePageLocal),
                        type, timeoutMs);
}

Desktop& GetDesktop() {
  Desktop* desktop = s_installedDesktop.load(std::memory_order_acquire);
  return desktop ? *desktop : s_silentDesktop;
}

Desktop* InstallDesktop(Desktop* desktop) {
  return s_installedDesktop.exchange(desktop, std::memory_order_acq_rel);
}

int ShowPlainMessageBox(std::string_view text, int type, std::string_view caption) {
  return GetDesktop().ShowMessageBox(caption, text, type, 0);
}
