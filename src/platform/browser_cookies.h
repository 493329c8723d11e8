#pragma once
// The cookies a browser view sends to an address, computed from a copy of the
// view's cookie store: the embedded browser engine and the WebView2 bridge
// both read cookies this way, never through the page's script (which cannot
// see HttpOnly cookies).

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct BrowserCookie {
  std::string name;
  std::string value;
  // A host-only cookie holds the host exactly; a domain cookie holds the
  // domain with a leading "." and applies to it and to every host below it.
  std::string domain;
  std::string path = "/";
  bool secure = false;
  bool httpOnly = false;
  // Seconds since 1970 (UTC); 0 for a session cookie.
  std::int64_t expires = 0;
  // Creation order: a smaller value was set earlier.
  std::uint64_t order = 0;
};

// The cookies that apply to `url` (domain, path, secure and expiry matched as
// a browser matches them; HttpOnly ones included), longer paths first, then
// older first, as "name=value" pairs joined by "; ". Empty when none applies
// or `url` is not an http or https address.
std::string CookieTextForUrl(const std::vector<BrowserCookie>& cookies, std::string_view url,
                             std::int64_t nowSeconds);
// The same cookies in the same order, one entry each (pointers into `cookies`).
std::vector<const BrowserCookie*> CookiesForUrl(const std::vector<BrowserCookie>& cookies,
                                                std::string_view url, std::int64_t nowSeconds);

// Puts `cookie` into `store`, replacing the cookie of the same name, domain
// and path (which keeps its creation order).
void StoreBrowserCookie(std::vector<BrowserCookie>& store, BrowserCookie cookie);
// Removes the cookie of the same name, domain and path.
void RemoveBrowserCookie(std::vector<BrowserCookie>& store, const BrowserCookie& cookie);
