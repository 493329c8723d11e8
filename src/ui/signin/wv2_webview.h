#pragma once
// Wv2Webview: a wrapper round one object of the WebView2 bridge library, held as
// the bridge's handle (null while none). Only the handle is here so far; the
// wrapper's operations come with the sign-in window that uses them.
// Releasing the object releases nothing in the bridge: the bridge's object
// lives until the process ends.

class Wv2Webview {
 public:
  Wv2Webview() = default;
  explicit Wv2Webview(void* handle) : m_handle(handle) {}
  ~Wv2Webview() = default;
  Wv2Webview(const Wv2Webview&) = default;
  Wv2Webview& operator=(const Wv2Webview&) = default;

  void* GetHandle() const { return m_handle; }
  void SetHandle(void* handle) { m_handle = handle; }

 private:
  void* m_handle = nullptr;
};
