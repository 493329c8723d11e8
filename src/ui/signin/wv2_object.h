#pragma once
// The common operations of a wrapper round a bridge object, after those of
// BridgeObjectHandle (Free, GetHandle, SetHandle, HasHandle): Copy, a new
// wrapper of the same class sharing the handle, and Release, which gives the
// bridge object back (wv2_Object_Release) and leaves the wrapper without a
// handle. Every wrapper class but Wv2Deferral derives from it.

#include "ui/signin/bridge_object_handle.h"
#include "ui/signin/wv2_bridge.h"

template <typename Derived>
class Wv2Object : public BridgeObjectHandle {
 public:
  using BridgeObjectHandle::BridgeObjectHandle;

  Derived Copy() const { return static_cast<const Derived&>(*this); }
  // With a handle: the export's result, and the handle becomes 0; without: 0.
  int Release() { return ReleaseBridgeObject(*this); }
};
