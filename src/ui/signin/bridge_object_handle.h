#pragma once
// What every wrapper round an object of the WebView2 bridge library holds: the
// bridge's handle of the object (null while none). Copies share the handle.
// Freeing or destroying a wrapper releases nothing in the bridge: the
// bridge's objects live until the process ends unless a wrapper's Release
// gives one back.

#include <cstdint>

class BridgeObjectHandle {
 public:
  BridgeObjectHandle() = default;
  explicit BridgeObjectHandle(void* handle) : m_handle(handle) {}

  // Does nothing: the bridge object stays alive.
  void Free() {}
  void* GetHandle() const { return m_handle; }
  void SetHandle(void* handle) { m_handle = handle; }
  bool HasHandle() const { return m_handle != nullptr; }

  // The handle as the bridge numbers its objects (32 bits; 0 = none).
  std::uint32_t BridgeHandle() const {
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(m_handle));
  }
  void SetBridgeHandle(std::uint32_t handle) {
    m_handle = reinterpret_cast<void*>(static_cast<std::uintptr_t>(handle));
  }

 private:
  void* m_handle = nullptr;
};
