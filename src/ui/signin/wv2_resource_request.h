#pragma once
// Wv2ResourceRequest: a wrapper round a web resource request of the WebView2
// bridge library (exports "wv2_ResourceRequest_"). Without a handle, or when
// the bridge lacks an export, an operation calls nothing and gives 0, the
// UTF-16 terminator alone (an empty array for the data) or a wrapper without a
// handle. User-interface thread only.

#include <string>

#include "ui/signin/wv2_object.h"

class Wv2HttpRequestHeaders;

class Wv2ResourceRequest : public Wv2Object<Wv2ResourceRequest> {
 public:
  using Wv2Object::Wv2Object;

  std::string GetURL();
  int SetURL(const std::string& address);
  std::string GetMethod();
  int SetMethod(const std::string& method);
  // The post data bytes.
  std::string GetData();
  int SetData(const std::string& postData);
  Wv2HttpRequestHeaders GetHeaders();
};
