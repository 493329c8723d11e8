#pragma once
// What the screen-scaling routines need of the window system: the screen's
// DPI and scale, the window tree with its geometry, and an outline drawn round
// a window to point the user at it.
//
// Implementations: the Qt one (platform/qt/qt_window_system.h), installed by
// main(); a headless one until anything else is installed (96 DPI, scale 1, no
// windows, outlines dropped). Tests install their own.
//
// Coordinates are the window system's own pixels: Qt's device-independent
// pixels, which it already maps onto the screen's physical ones.

#include <vector>

#include "platform/window_handle.h"

struct ScreenMetrics {
  int logicalDpiX = 96;
  int logicalDpiY = 96;
  // Screen pixels per window-system pixel (Qt's device pixel ratio).
  double devicePixelRatio = 1.0;
};

struct WindowRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
};

class WindowSystem {
 public:
  virtual ~WindowSystem() = default;
  // Any thread.
  virtual ScreenMetrics GetScreenMetrics() = 0;

  // The window tree, user-interface thread only.
  // Direct child controls in their stacking order (top-level windows excluded).
  virtual std::vector<WindowHandle> ChildWindows(WindowHandle window) = 0;
  // The parent control; 0 for a top-level window.
  virtual WindowHandle ParentWindow(WindowHandle window) = 0;
  // The outer rectangle (frame included) in screen coordinates.
  virtual bool GetWindowRect(WindowHandle window, WindowRect& rect) = 0;
  // The size of the area inside the frame.
  virtual bool GetClientSize(WindowHandle window, int& width, int& height) = 0;
  // Screen coordinates to coordinates inside `window`'s client area.
  virtual bool ScreenToClient(WindowHandle window, int& x, int& y) = 0;
  // A top-level window: its outer rectangle in screen coordinates; a control:
  // its rectangle inside the parent's client area.
  virtual void MoveWindow(WindowHandle window, int x, int y, int width, int height) = 0;

  // Shows an outline of `penWidth` pixels and `colour` (0x00BBGGRR) just inside
  // the window's outer rectangle (a negative left or top counted as 0) on top
  // of everything, or takes away the one shown with the same three values:
  // toggling twice leaves the screen as it was. Any thread; a call from a
  // worker is carried out on the user-interface thread in call order.
  virtual void ToggleOutline(WindowHandle window, int penWidth, unsigned colour) = 0;
};

WindowSystem& GetWindowSystem();
// Installs `system` (nullptr: the headless one) and returns the previous
// (nullptr for the headless one). The caller keeps `system` alive.
WindowSystem* InstallWindowSystem(WindowSystem* system);

class ScopedWindowSystem {
 public:
  explicit ScopedWindowSystem(WindowSystem& system) : m_previous(InstallWindowSystem(&system)) {}
  ~ScopedWindowSystem() { InstallWindowSystem(m_previous); }
  ScopedWindowSystem(const ScopedWindowSystem&) = delete;
  ScopedWindowSystem& operator=(const ScopedWindowSystem&) = delete;

 private:
  WindowSystem* m_previous;
};

// The outline's rectangle for a window's outer rectangle: a negative left or
// top raised to 0, then one pixel inside on every side.
WindowRect OutlineRectangle(const WindowRect& outer);
