#include "ui/signin/wv2_resource_response.h"

#include "ui/signin/wv2_calls.h"
#include "ui/signin/wv2_http_response_headers.h"

std::string Wv2ResourceResponse::GetReasonPhrase() {
  return Wv2CallTextOut<Wv2Export::wv2_ResourceResponse_GetReasonPhrase>(*this, kWv2Text);
}

int Wv2ResourceResponse::SetReasonPhrase(const std::string& reasonPhrase) {
  return Wv2Call<Wv2Export::wv2_ResourceResponse_SetReasonPhrase>(*this,
                                                                   Wv2TextArgument(reasonPhrase));
}

int Wv2ResourceResponse::GetStatusCode() {
  return Wv2Call<Wv2Export::wv2_ResourceResponse_GetStatusCode>(*this);
}

int Wv2ResourceResponse::SetStatusCode(int statusCode) {
  return Wv2Call<Wv2Export::wv2_ResourceResponse_SetStatusCode>(*this, statusCode);
}

std::string Wv2ResourceResponse::GetData() {
  return Wv2CallTextOut<Wv2Export::wv2_ResourceResponse_GetData>(*this, kWv2Bytes);
}

int Wv2ResourceResponse::SetData(const std::string& content) {
  return Wv2Call<Wv2Export::wv2_ResourceResponse_SetData>(*this, Wv2BytesArgument(content),
                                                          Wv2CountArgument(content));
}

Wv2HttpResponseHeaders Wv2ResourceResponse::GetHeaders() {
  return Wv2CallObjectOut<Wv2HttpResponseHeaders, Wv2Export::wv2_ResourceResponse_GetHeaders>(
      *this);
}
