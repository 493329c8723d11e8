#pragma once
// Wv2Deferral: a wrapper round a deferral of an event of the WebView2 bridge
// library (export "wv2_Deferral_Complete"). In place of Release it has
// Complete, which keeps the handle. User-interface thread only.

#include "ui/signin/bridge_object_handle.h"

class Wv2Deferral : public BridgeObjectHandle {
 public:
  using BridgeObjectHandle::BridgeObjectHandle;

  Wv2Deferral Copy() const { return *this; }
  // With a handle: the export's result, the handle stays; without: 0.
  int Complete();
};
