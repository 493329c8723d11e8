#pragma once
// Wv2ResourceResponse: a wrapper round a web resource response of the
// WebView2 bridge library (exports "wv2_ResourceResponse_"). Without a handle,
// or when the bridge lacks an export, an operation calls nothing and gives 0,
// the UTF-16 terminator alone (an empty array for the data) or a wrapper
// without a handle. User-interface thread only.

#include <string>

#include "ui/signin/wv2_object.h"

class Wv2HttpResponseHeaders;

class Wv2ResourceResponse : public Wv2Object<Wv2ResourceResponse> {
 public:
  using Wv2Object::Wv2Object;

  std::string GetReasonPhrase();
  int SetReasonPhrase(const std::string& reasonPhrase);
  int GetStatusCode();
  int SetStatusCode(int statusCode);
  // The content bytes.
  std::string GetData();
  int SetData(const std::string& content);
  Wv2HttpResponseHeaders GetHeaders();
};
