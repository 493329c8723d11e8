#pragma once
// Wv2Controller: a wrapper round one object of the WebView2 bridge library. Only the
// handle is here so far; the wrapper's operations come with the sign-in
// window that uses them.

#include "ui/signin/bridge_object_handle.h"

class Wv2Controller : public BridgeObjectHandle {
 public:
  using BridgeObjectHandle::BridgeObjectHandle;
};
