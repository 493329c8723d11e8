#pragma once
// Wv2Environment: a wrapper round one object of the WebView2 bridge library, held as
// the bridge's handle (null while none). Only the handle is here so far; the
// wrapper's operations come with the sign-in window that uses them.
// Releasing the object releases nothing in the bridge: the bridge's object
// lives until the process ends.

class Wv2Environment {
 public:
  Wv2Environment() = default;
  explicit Wv2Environment(void* handle) : m_handle(handle) {}
  ~Wv2Environment() = default;
  Wv2Environment(const Wv2Environment&) = default;
  Wv2Environment& operator=(const Wv2Environment&) = default;

  void* GetHandle() const { return m_handle; }
  void SetHandle(void* handle) { m_handle = handle; }

 private:
  void* m_handle = nullptr;
};
