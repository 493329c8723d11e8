#include "platform/window_system.h"

#include <atomic>

namespace {

class HeadlessWindowSystem final : public WindowSystem {
 public:
  ScreenMetrics GetScreenMetrics() override { return {}; }
  std::vector<WindowHandle> ChildWindows(WindowHandle) override { return {}; }
  WindowHandle ParentWindow(WindowHandle) override { return 0; }
  bool GetWindowRect(WindowHandle, WindowRect&) override { return false; }
  bool GetClientSize(WindowHandle, int&, int&) override { return false; }
  bool ScreenToClient(WindowHandle, int&, int&) override { return false; }
  void MoveWindow(WindowHandle, int, int, int, int) override {}
  void ToggleOutline(WindowHandle, int, unsigned) override {}
};

HeadlessWindowSystem s_headless;
std::atomic<WindowSystem*> s_installed{nullptr};

}  // namespace

WindowSystem& GetWindowSystem() {
  WindowSystem* system = s_installed.load();
  return system != nullptr ? *system : s_headless;
}

WindowSystem* InstallWindowSystem(WindowSystem* system) {
  return s_installed.exchange(system);
}

WindowRect OutlineRectangle(const WindowRect& outer) {
  WindowRect rect = outer;
  rect.left = rect.left < 0 ? 0 : rect.left;
  rect.top = rect.top < 0 ? 0 : rect.top;
  return {rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1};
}
