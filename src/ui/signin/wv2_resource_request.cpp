#include "ui/signin/wv2_resource_request.h"

#include "ui/signin/wv2_calls.h"
#include "ui/signin/wv2_http_request_headers.h"

std::string Wv2ResourceRequest::GetURL() {
  return Wv2CallTextOut<Wv2Export::wv2_ResourceRequest_GetURL>(*this, kWv2Text);
}

int Wv2ResourceRequest::SetURL(const std::string& address) {
  return Wv2Call<Wv2Export::wv2_ResourceRequest_SetURL>(*this, Wv2TextArgument(address));
}

std::string Wv2ResourceRequest::GetMethod() {
  return Wv2CallTextOut<Wv2Export::wv2_ResourceRequest_GetMethod>(*this, kWv2Text);
}

int Wv2ResourceRequest::SetMethod(const std::string& method) {
  return Wv2Call<Wv2Export::wv2_ResourceRequest_SetMethod>(*this, Wv2TextArgument(method));
}

std::string Wv2ResourceRequest::GetData() {
  return Wv2CallTextOut<Wv2Export::wv2_ResourceRequest_GetData>(*this, kWv2Bytes);
}

int Wv2ResourceRequest::SetData(const std::string& postData) {
  return Wv2Call<Wv2Export::wv2_ResourceRequest_SetData>(*this, Wv2BytesArgument(postData),
                                                         Wv2CountArgument(postData));
}

Wv2HttpRequestHeaders Wv2ResourceRequest::GetHeaders() {
  return Wv2CallObjectOut<Wv2HttpRequestHeaders, Wv2Export::wv2_ResourceRequest_GetHeaders>(
      *this);
}
