#pragma once
// Wv2HttpRequestHeaders: a wrapper round the headers of a web resource
// request (exports "wv2_Webview_HTTPRequestHeader_"). Without a handle, or
// when the bridge lacks an export, an operation calls nothing and gives 0,
// false, the UTF-16 terminator alone, or leaves the caller's list as it was.
// User-interface thread only.

#include <string>
#include <vector>

#include "ui/signin/wv2_header_record.h"
#include "ui/signin/wv2_object.h"

class Wv2HttpRequestHeaders : public Wv2Object<Wv2HttpRequestHeaders> {
 public:
  using Wv2Object::Wv2Object;

  // Every header replaces the contents of `headers`.
  void GetRawData(std::vector<Wv2HeaderRecord>& headers);
  std::string GetHeader(const std::string& name);
  int Contains(const std::string& name);
  int SetHeader(const std::string& name, const std::string& value);
  int RemoveHeader(const std::string& name);
  // The headers named `name` replace the contents of `headers`; true when it ran.
  bool GetHeaders(const std::string& name, std::vector<Wv2HeaderRecord>& headers);
};
