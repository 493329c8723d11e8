#include "foundation/screen_scaling.h"

#include <algorithm>
#include <cstdint>
#include <mutex>

#include "platform/desktop.h"
#include "platform/window_system.h"

int g_screenDpi = 96;

namespace {

// The pure red of an outline without a colour.
constexpr unsigned kDefaultOutlineColour = 0x0000FF;
constexpr int kDefaultPenWidth = 3;
constexpr int kOutlineShowMs = 100;
constexpr int kOutlineGapMs = 80;

void RescaleTopLevel(WindowSystem& system, WindowHandle window, const WindowRect& outer,
                     int fromDpi, int toDpi) {
  int clientWidth = 0;
  int clientHeight = 0;
  if (!system.GetClientSize(window, clientWidth, clientHeight)) {
    return;
  }
  int w = outer.Width();
  int h = outer.Height();
  int newWidth = (w - clientWidth) + MulDiv(clientWidth, toDpi, fromDpi);
  int newHeight = (h - clientHeight) + MulDiv(clientHeight, toDpi, fromDpi);
  // Centred on the old centre; computed in floating point, truncated toward 0.
  int x = static_cast<int>(outer.left - (newWidth - w) / 2.0);
  int y = static_cast<int>(outer.top - (newHeight - h) / 2.0);
  system.MoveWindow(window, x, y, newWidth, newHeight);
}

}  // namespace

void ReadScreenDpi() {
  ScreenMetrics metrics = GetWindowSystem().GetScreenMetrics();
  g_screenDpi = std::min(metrics.logicalDpiX, metrics.logicalDpiY);
}

int MulDiv(int value, int numerator, int denominator) {
  if (denominator == 0) {
    return -1;
  }
  std::int64_t product = static_cast<std::int64_t>(value) * numerator;
  std::int64_t half = (denominator < 0 ? -denominator : denominator) / 2;
  bool negative = (product < 0) != (denominator < 0);
  std::int64_t magnitude = (product < 0 ? -product : product) + half;
  std::int64_t quotient =
      magnitude / (denominator < 0 ? -static_cast<std::int64_t>(denominator) : denominator);
  return static_cast<int>(negative ? -quotient : quotient);
}

void RescaleWindowForDpi(WindowHandle window, int fromDpi, std::optional<int> toDpi) {
  int target = toDpi.value_or(g_screenDpi);
  if (window <= 0 || fromDpi <= 0 || target <= 0) {
    return;
  }
  WindowSystem& system = GetWindowSystem();
  for (WindowHandle child : system.ChildWindows(window)) {
    RescaleWindowForDpi(child, fromDpi, target);
  }
  WindowRect outer;
  if (!system.GetWindowRect(window, outer)) {
    return;
  }
  WindowHandle parent = system.ParentWindow(window);
  if (parent == 0) {
    RescaleTopLevel(system, window, outer, fromDpi, target);
    return;
  }
  int x = outer.left;
  int y = outer.top;
  if (!system.ScreenToClient(parent, x, y)) {
    return;
  }
  system.MoveWindow(window, MulDiv(x, target, fromDpi), MulDiv(y, target, fromDpi),
                    MulDiv(outer.Width(), target, fromDpi),
                    MulDiv(outer.Height(), target, fromDpi));
}

int ScreenScalePercent() {
  ScreenMetrics metrics = GetWindowSystem().GetScreenMetrics();
  int byRatio = static_cast<int>(metrics.devicePixelRatio * 100.0);
  int byDpi = static_cast<int>(metrics.logicalDpiX / 96.0 * 100.0);
  if (byRatio == 100) {
    return byDpi;
  }
  if (byDpi == 100 || byRatio == byDpi) {
    return byRatio;
  }
  return 0;
}

void DrawXorOutline(WindowHandle window, int penWidth, std::optional<unsigned> colour, bool twice) {
  int width = penWidth == 0 ? kDefaultPenWidth : penWidth;
  unsigned penColour = colour.value_or(kDefaultOutlineColour);
  WindowSystem& system = GetWindowSystem();
  system.ToggleOutline(window, width, penColour);
  if (twice) {
    GetDesktop().PumpEventsFor(kOutlineShowMs);
    system.ToggleOutline(window, width, penColour);
  }
}

void FlashWindowOutline(WindowHandle window, unsigned colour) {
  if (window <= 0) {
    return;
  }
  DrawXorOutline(window, kDefaultPenWidth, colour, true);
  GetDesktop().PumpEventsFor(kOutlineGapMs);
  DrawXorOutline(window, kDefaultPenWidth, colour, true);
}

namespace {
std::mutex& LookupMutex() {
  static std::mutex mutex;
  return mutex;
}
ControlWindowLookup& InstalledLookup() {
  static ControlWindowLookup lookup;
  return lookup;
}
}  // namespace

void InstallControlWindowLookup(ControlWindowLookup lookup) {
  std::lock_guard lock(LookupMutex());
  InstalledLookup() = std::move(lookup);
}

WindowHandle ControlWindowOf(std::string_view controlName) {
  ControlWindowLookup lookup;
  {
    std::lock_guard lock(LookupMutex());
    lookup = InstalledLookup();
  }
  return lookup ? lookup(controlName) : 0;
}

void FlashControlOutline(std::string_view controlName) {
  FlashWindowOutline(ControlWindowOf(controlName), 0);
}
