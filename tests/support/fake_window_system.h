#pragma once
// A WindowSystem for tests: a tree of windows held in memory, with screen
// metrics the test sets and a log of every outline toggle (with the installed
// clock's steady time, so a test sees the waits between them).

#include <map>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/window_system.h"

struct FakeWindow {
  WindowHandle parent = 0;
  WindowRect outer;      // screen coordinates
  int clientWidth = 0;   // top-level windows: the area inside the frame
  int clientHeight = 0;  // controls: equal to the outer size
  int clientLeft = 0;    // screen position of the client area's origin
  int clientTop = 0;
};

struct OutlineToggle {
  WindowHandle window;
  int penWidth;
  unsigned colour;
  std::int64_t atMs;
};

class FakeWindowSystem final : public WindowSystem {
 public:
  ScreenMetrics metrics;
  std::map<WindowHandle, FakeWindow> windows;
  std::vector<OutlineToggle> toggles;
  std::vector<WindowHandle> moveOrder;

  // Adds a control at (x, y) of the parent's client area.
  void AddControl(WindowHandle handle, WindowHandle parent, int x, int y, int w, int h) {
    const FakeWindow& p = windows.at(parent);
    FakeWindow c;
    c.parent = parent;
    c.outer = {p.clientLeft + x, p.clientTop + y, p.clientLeft + x + w, p.clientTop + y + h};
    c.clientWidth = w;
    c.clientHeight = h;
    c.clientLeft = c.outer.left;
    c.clientTop = c.outer.top;
    windows[handle] = c;
  }

  ScreenMetrics GetScreenMetrics() override { return metrics; }
  std::vector<WindowHandle> ChildWindows(WindowHandle window) override {
    std::vector<WindowHandle> children;
    for (const auto& [handle, w] : windows) {
      if (w.parent == window) {
        children.push_back(handle);
      }
    }
    return children;
  }
  WindowHandle ParentWindow(WindowHandle window) override { return windows.at(window).parent; }
  bool GetWindowRect(WindowHandle window, WindowRect& rect) override {
    auto it = windows.find(window);
    if (it == windows.end()) {
      return false;
    }
    rect = it->second.outer;
    return true;
  }
  bool GetClientSize(WindowHandle window, int& width, int& height) override {
    width = windows.at(window).clientWidth;
    height = windows.at(window).clientHeight;
    return true;
  }
  bool ScreenToClient(WindowHandle window, int& x, int& y) override {
    x -= windows.at(window).clientLeft;
    y -= windows.at(window).clientTop;
    return true;
  }
  void MoveWindow(WindowHandle window, int x, int y, int width, int height) override {
    moveOrder.push_back(window);
    FakeWindow& w = windows.at(window);
    if (w.parent != 0) {
      const FakeWindow& p = windows.at(w.parent);
      x += p.clientLeft;
      y += p.clientTop;
    }
    int frameLeft = w.clientLeft - w.outer.left;
    int frameTop = w.clientTop - w.outer.top;
    int frameWidth = w.outer.Width() - w.clientWidth;
    int frameHeight = w.outer.Height() - w.clientHeight;
    w.outer = {x, y, x + width, y + height};
    w.clientWidth = width - frameWidth;
    w.clientHeight = height - frameHeight;
    int dx = x + frameLeft - w.clientLeft;
    int dy = y + frameTop - w.clientTop;
    w.clientLeft = x + frameLeft;
    w.clientTop = y + frameTop;
    ShiftDescendants(window, dx, dy);
  }
  // Controls move with their parent, as on screen.
  void ShiftDescendants(WindowHandle parent, int dx, int dy) {
    for (auto& [handle, child] : windows) {
      if (child.parent == parent) {
        child.outer = {child.outer.left + dx, child.outer.top + dy, child.outer.right + dx,
                       child.outer.bottom + dy};
        child.clientLeft += dx;
        child.clientTop += dy;
        ShiftDescendants(handle, dx, dy);
      }
    }
  }
  void ToggleOutline(WindowHandle window, int penWidth, unsigned colour) override {
    toggles.push_back({window, penWidth, colour, GetClock().SteadyMs()});
  }
};
