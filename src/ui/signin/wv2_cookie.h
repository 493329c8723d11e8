#pragma once
// Wv2Cookie: a wrapper round one cookie of the WebView2 bridge library
// (exports "wv2_CookieData_"). Name, value, domain and path come back as
// UTF-16 bytes with their terminator, as the bridge counts them. Without a
// handle, or when the bridge lacks an export, an operation calls nothing and
// gives 0 or the UTF-16 terminator alone. User-interface thread only.

#include <string>

#include "ui/signin/wv2_object.h"

class Wv2Cookie : public Wv2Object<Wv2Cookie> {
 public:
  using Wv2Object::Wv2Object;

  std::string GetName();
  std::string GetValue();
  std::string GetDomain();
  std::string GetPath();
  int SetValue(const std::string& value);
  // The expiry as the bridge gives it (0 without a handle).
  double GetExpires();
  int SetExpires(double expires);
  int GetHTTPOnly();
  int SetHTTPOnly(bool httpOnly);
  int GetSameSite();
  int SetSameSite(int sameSite);
  int GetSecure();
  int SetSecure(bool secure);
  int GetSession();
};
