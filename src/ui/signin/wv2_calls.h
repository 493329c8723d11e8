#pragma once
// Internal to the wrapper classes: the call shapes of the bridge's exports.
// Each helper first looks at the wrapper's handle: without one it calls
// nothing and gives the shape's empty result, and so it does when the bridge
// lacks the export (or does not load). With a handle it calls the export with
// the handle first, then the arguments, then its out-parameters, which start
// at 0.

#include <cstdint>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "ui/signin/bridge_object_handle.h"
#include "ui/signin/wv2_bridge.h"

// A UTF-16 text argument: the address of the caller's bytes, or null for an
// empty array (an absent text). Bytes that hold no NUL code unit are passed as
// a terminated copy, so the bridge never reads past the end of the array.
class Wv2TextArgument {
 public:
  explicit Wv2TextArgument(const std::string& utf16);
  Wv2TextArgument(const Wv2TextArgument&) = delete;
  Wv2TextArgument& operator=(const Wv2TextArgument&) = delete;
  operator const char16_t*() const { return m_text; }

 private:
  std::string m_copy;
  const char16_t* m_text = nullptr;
};

// A byte-array argument: the address of the first byte (null when empty).
inline const unsigned char* Wv2BytesArgument(const std::string& bytes) {
  return bytes.empty() ? nullptr : reinterpret_cast<const unsigned char*>(bytes.data());
}
inline std::uint32_t Wv2CountArgument(const std::string& bytes) {
  return static_cast<std::uint32_t>(bytes.size());
}

// Gives a block the bridge handed out back to it (nothing for null).
void Wv2GiveBack(void* block);

// The attach and detach operations of one event of a class, defined in the
// class's source file: WV2_EVENT_OPERATIONS(Wv2Webview, wv2_Webview_, SourceChanged).
#define WV2_EVENT_OPERATIONS(Class, prefix, Event)                                  \
  Wv2Token Class::Attach_##Event(Wv2Routine routine, std::uint32_t userValue) {     \
    return Wv2Call<Wv2Export::prefix##Attach_##Event>(*this, routine, userValue);   \
  }                                                                                 \
  int Class::Detach_##Event(Wv2Token token) {                                       \
    return Wv2CallDetach<Wv2Export::prefix##Detach_##Event>(*this, token);          \
  }

// Plain, attach, completion and floating-point results: the export's result,
// or a zero of its type.
template <Wv2Export id, typename... Args>
auto Wv2Call(const BridgeObjectHandle& self, Args&&... args) {
  using Result = decltype(std::declval<typename Wv2ExportType<id>::Type*>()(Wv2Handle{}, args...));
  if (!self.HasHandle()) {
    return Result{};
  }
  auto* export_ = Wv2Bound<id>();
  return export_ != nullptr ? export_(self.BridgeHandle(), args...) : Result{};
}

// Detach: the token as two 32-bit halves, low half first.
template <Wv2Export id>
std::int32_t Wv2CallDetach(const BridgeObjectHandle& self, Wv2Token token) {
  const auto bits = static_cast<std::uint64_t>(token);
  return Wv2Call<id>(self, static_cast<std::uint32_t>(bits),
                     static_cast<std::uint32_t>(bits >> 32));
}

// How a text-out result is made.
enum Wv2TextOutKind : int {
  kWv2Text = 0,      // empty result: the UTF-16 terminator alone
  kWv2Bytes = 1,     // empty result: no bytes
  kWv2Returned = 2,  // the bridge's block is given back after copying
};

// Text out: a copy of the bytes the bridge points at, as many as it counts.
template <Wv2Export id, typename... Args>
std::string Wv2CallTextOut(const BridgeObjectHandle& self, int kind, Args&&... args) {
  std::string empty = (kind & kWv2Bytes) != 0 ? std::string() : std::string(2, '\0');
  if (!self.HasHandle()) {
    return empty;
  }
  auto* export_ = Wv2Bound<id>();
  if (export_ == nullptr) {
    return empty;
  }
  void* bytes = nullptr;
  std::uint32_t count = 0;
  export_(self.BridgeHandle(), args..., &bytes, &count);
  std::string result;
  if (bytes != nullptr) {
    result.assign(static_cast<const char*>(bytes), count);
    if ((kind & kWv2Returned) != 0) {
      Wv2GiveBack(bytes);
    }
  }
  return result;
}

// Object out: a new wrapper of class Result holding the handle the bridge
// wrote (without one when it wrote none).
template <typename Result, Wv2Export id, typename... Args>
Result Wv2CallObjectOut(const BridgeObjectHandle& self, Args&&... args) {
  Result result;
  if (!self.HasHandle()) {
    return result;
  }
  auto* export_ = Wv2Bound<id>();
  if (export_ == nullptr) {
    return result;
  }
  Wv2Handle handle = 0;
  export_(self.BridgeHandle(), args..., &handle);
  result.SetBridgeHandle(handle);
  return result;
}

// Record out: a copy of a zeroed record as the bridge filled it.
template <typename Record, Wv2Export id>
Record Wv2CallRecordOut(const BridgeObjectHandle& self) {
  Record record{};
  if (self.HasHandle()) {
    if (auto* export_ = Wv2Bound<id>()) {
      export_(self.BridgeHandle(), &record);
    }
  }
  return record;
}

// List out: the block and the count the bridge wrote, handed to `read`
// (which copies what it needs) and then given back. False, with nothing
// called, without a handle or the export.
template <Wv2Export id, typename Read, typename... Args>
bool Wv2CallListOut(const BridgeObjectHandle& self, Read read, Args&&... args) {
  if (!self.HasHandle()) {
    return false;
  }
  auto* export_ = Wv2Bound<id>();
  if (export_ == nullptr) {
    return false;
  }
  void* block = nullptr;
  std::uint32_t count = 0;
  export_(self.BridgeHandle(), args..., &block, &count);
  read(block, block != nullptr ? count : 0u);
  Wv2GiveBack(block);
  return true;
}
