#pragma once
// What every wrapper round an object of the WebView2 bridge library holds: the
// bridge's handle of the object (null while none). Copies share the handle.
// Releasing a wrapper releases nothing in the bridge: the bridge's objects
// live until the process ends.

class BridgeObjectHandle {
 public:
  BridgeObjectHandle() = default;
  explicit BridgeObjectHandle(void* handle) : m_handle(handle) {}

  void* GetHandle() const { return m_handle; }
  void SetHandle(void* handle) { m_handle = handle; }

 private:
  void* m_handle = nullptr;
};
