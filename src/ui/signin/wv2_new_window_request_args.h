#pragma once
// Wv2NewWindowRequestArgs: a wrapper round the arguments of a view's
// new-window request (exports "wv2_Webview_NewWindowRequestArgs_"), as the
// bridge hands them to the new-window routine. Without a handle, or when the
// bridge lacks an export, an operation calls nothing and gives 0, the UTF-16
// terminator alone, a zeroed record or a wrapper without a handle.
// User-interface thread only.

#include <string>

#include "ui/signin/wv2_object.h"

class Wv2Deferral;
class Wv2Webview;

class Wv2NewWindowRequestArgs : public Wv2Object<Wv2NewWindowRequestArgs> {
 public:
  using Wv2Object::Wv2Object;

  Wv2Deferral GetDeferral();
  std::string GetURL();
  Wv2Webview GetNewWindow();
  // The view that shows the requested page.
  int SetNewWindow(const Wv2Webview& view);
  int SetHandled(bool handled);
  int GetHandled();
  Wv2WindowFeatures GetFeatures();
};
