#include "ui/signin/wv2_http_request_headers.h"

#include "ui/signin/wv2_calls.h"

void Wv2HttpRequestHeaders::GetRawData(std::vector<Wv2HeaderRecord>& headers) {
  Wv2CallListOut<Wv2Export::wv2_Webview_HTTPRequestHeader_GetRawData>(
      *this, [&headers](const void* block, std::uint32_t count) {
        ReadWv2HeaderBlock(block, count, headers);
      });
}

std::string Wv2HttpRequestHeaders::GetHeader(const std::string& name) {
  return Wv2CallTextOut<Wv2Export::wv2_Webview_HTTPRequestHeader_GetHeader>(
      *this, kWv2Text, Wv2TextArgument(name));
}

int Wv2HttpRequestHeaders::Contains(const std::string& name) {
  return Wv2Call<Wv2Export::wv2_Webview_HTTPRequestHeader_Contains>(*this, Wv2TextArgument(name));
}

int Wv2HttpRequestHeaders::SetHeader(const std::string& name, const std::string& value) {
  return Wv2Call<Wv2Export::wv2_Webview_HTTPRequestHeader_SetHeader>(
      *this, Wv2TextArgument(name), Wv2TextArgument(value));
}

int Wv2HttpRequestHeaders::RemoveHeader(const std::string& name) {
  return Wv2Call<Wv2Export::wv2_Webview_HTTPRequestHeader_RemoveHeader>(*this,
                                                                         Wv2TextArgument(name));
}

bool Wv2HttpRequestHeaders::GetHeaders(const std::string& name,
                                       std::vector<Wv2HeaderRecord>& headers) {
  return Wv2CallListOut<Wv2Export::wv2_Webview_HTTPRequestHeader_GetHeaders>(
      *this,
      [&headers](const void* block, std::uint32_t count) {
        ReadWv2HeaderBlock(block, count, headers);
      },
      Wv2TextArgument(name));
}
