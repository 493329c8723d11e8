#pragma once
// Wv2Controller: a wrapper round a controller of the WebView2 bridge library
// (exports "wv2_Controller_"): the host of one view on a parent window, its
// place, visibility, zoom and background. Without a handle, or when the
// bridge lacks an export, an operation calls nothing and gives 0, a zeroed
// record or a view wrapper without a handle. User-interface thread only.

#include <cstdint>

#include "ui/signin/wv2_object.h"

class Wv2Webview;

// A background colour: four channels of 0-255, passed to the bridge packed
// into one 32-bit value, the first field in the lowest byte.
struct Wv2ColorRecord {
  std::int32_t alpha = 0;
  std::int32_t red = 0;
  std::int32_t green = 0;
  std::int32_t blue = 0;
};

std::uint32_t PackWv2Color(const Wv2ColorRecord& color);
Wv2ColorRecord UnpackWv2Color(std::uint32_t packed);

class Wv2Controller : public Wv2Object<Wv2Controller> {
 public:
  using Wv2Object::Wv2Object;

  // Closes the controller; like Release, the wrapper holds no handle after.
  int Close();
  int GetVisible();
  int SetVisible(bool visible);
  Wv2Rect GetBounds();
  int SetBounds(const Wv2Rect& bounds);
  // The zoom factor (0 without a handle).
  double GetZoomFactor();
  int SetZoomFactor(double factor);
  Wv2Webview GetWebview2();
  Wv2ColorRecord GetBackgroundColor();
  // `color` holds afterwards what the bridge left in the packed value.
  int SetBackgroundColor(Wv2ColorRecord& color);
  Wv2Token Attach_AcceleratorKeyPressed(Wv2Routine routine, std::uint32_t userValue);
  int Detach_AcceleratorKeyPressed(Wv2Token token);
  Wv2Token Attach_ZoomFactorChanged(Wv2Routine routine, std::uint32_t userValue);
  int Detach_ZoomFactorChanged(Wv2Token token);
  int GetAllowExternalDrop();
  int SetAllowExternalDrop(bool allow);
};
