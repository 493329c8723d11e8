#pragma once
// Wv2CookieManager: a wrapper round the cookie manager of a view (exports
// "wv2_CookieManager_"). Texts are UTF-16 bytes with their terminator.
// Without a handle, or when the bridge lacks an export, an operation calls
// nothing and gives 0, false or a wrapper without a handle. User-interface
// thread only.

#include <cstdint>
#include <string>
#include <vector>

#include "ui/signin/wv2_object.h"

class Wv2Cookie;

class Wv2CookieManager : public Wv2Object<Wv2CookieManager> {
 public:
  using Wv2Object::Wv2Object;

  Wv2Cookie CreateCookie(const std::string& name, const std::string& value,
                         const std::string& domain, const std::string& path);
  Wv2Cookie CopyCookie(const Wv2Cookie& cookie);
  int GetCookie(const std::string& address, Wv2Routine routine, std::uint32_t userValue);
  // The cookies that apply to `address`, in the bridge's order, replace the
  // contents of `cookies`; true. Without a handle: false, `cookies` as it was.
  bool GetCookie_Sync(const std::string& address, std::vector<Wv2Cookie>& cookies);
  int SetCookie(const Wv2Cookie& cookie);
  int DeleteCookie(const Wv2Cookie& cookie);
  int DeleteCookies(const std::string& name, const std::string& address);
  int DeleteCookieWithParam(const std::string& name, const std::string& domain,
                            const std::string& path);
  int DeleteAllCookies();
};
