#pragma once
// The bridge's objects behind the handles it hands out. Handles come from one
// table: 32-bit, never 0, never given out twice. A handle that was released
// (or never handed out) names no object, and every export answers it as it
// answers 0. Objects that stand for a widget hold it weakly, so an object
// whose widget went with its window reaches nothing.

#include <cstdint>
#include <memory>

#include "platform/wv2_bridge_exports.h"

// Results of the exports that report success or failure.
inline constexpr std::int32_t kWv2Ok = 0;
inline constexpr std::int32_t kWv2Failed = -1;

class BridgeObject {
 public:
  virtual ~BridgeObject() = default;
};

// The table; user-interface thread only.
class BridgeObjects {
 public:
  // Takes `object` and gives its new handle (0, and the object is dropped,
  // once every 32-bit number has been handed out).
  static Wv2Handle Add(std::unique_ptr<BridgeObject> object);
  // The object of `handle` when it is one of kind T, else null.
  template <typename T>
  static T* Find(Wv2Handle handle) {
    return dynamic_cast<T*>(FindAny(handle));
  }
  // Drops the object; false when the handle names none.
  static bool Release(Wv2Handle handle);

 private:
  static BridgeObject* FindAny(Wv2Handle handle);
};

// A new registration token of an attached routine, never 0 or repeated.
Wv2Token NextRegistrationToken();
