#pragma once
// The window system over Qt widgets: screen metrics of the primary screen,
// the widget tree with its geometry, and outlines drawn as small frameless
// windows on top of everything (Qt cannot draw on the desktop itself, so the
// outline is shown and taken away instead of being inverted twice).

#include <QObject>
#include <map>
#include <memory>
#include <mutex>
#include <tuple>

#include "platform/window_system.h"

class QWidget;

class QtWindowSystem final : public WindowSystem {
 public:
  // Make on the user-interface thread, after the QApplication.
  QtWindowSystem();
  ~QtWindowSystem() override;

  ScreenMetrics GetScreenMetrics() override;
  std::vector<WindowHandle> ChildWindows(WindowHandle window) override;
  WindowHandle ParentWindow(WindowHandle window) override;
  bool GetWindowRect(WindowHandle window, WindowRect& rect) override;
  bool GetClientSize(WindowHandle window, int& width, int& height) override;
  bool ScreenToClient(WindowHandle window, int& x, int& y) override;
  void MoveWindow(WindowHandle window, int x, int y, int width, int height) override;
  void ToggleOutline(WindowHandle window, int penWidth, unsigned colour) override;

  // Outlines shown right now (user-interface thread).
  int VisibleOutlineCount() const { return static_cast<int>(m_outlines.size()); }

 private:
  void ToggleOnUiThread(WindowHandle window, int penWidth, unsigned colour);

  using OutlineKey = std::tuple<WindowHandle, int, unsigned>;
  std::map<OutlineKey, std::unique_ptr<QWidget>> m_outlines;
  QObject m_context;  // queued calls die with the window system
  std::mutex m_metricsMutex;
  ScreenMetrics m_metrics;
};
