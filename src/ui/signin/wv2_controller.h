#pragma once
// Wv2Controller: a wrapper round one object of the WebView2 bridge library, held as
// the bridge's handle (null while none). Only the handle is here so far; the
// wrapper's operations come with the sign-in window that uses them.
// Releasing the object releases nothing in the bridge: the bridge's object
// lives until the process ends.

class Wv2Controller {
 public:
  Wv2Controller() = default;
  explicit Wv2Controller(void* handle) : m_handle(handle) {}
  ~Wv2Controller() = default;
  Wv2Controller(const Wv2Controller&) = default;
  Wv2Controller& operator=(const Wv2Controller&) = default;

  void* GetHandle() const { return m_handle; }
  void SetHandle(void* handle) { m_handle = handle; }

 private:
  void* m_handle = nullptr;
};
