#include "ui/signin/wv2_http_response_headers.h"

#include "ui/signin/wv2_calls.h"

void Wv2HttpResponseHeaders::GetRawData(std::vector<Wv2HeaderRecord>& headers) {
  Wv2CallListOut<Wv2Export::wv2_Webview_HTTPResponseHeader_GetRawData>(
      *this, [&headers](const void* block, std::uint32_t count) {
        ReadWv2HeaderBlock(block, count, headers);
      });
}

int Wv2HttpResponseHeaders::Contains(const std::string& name) {
  return Wv2Call<Wv2Export::wv2_Webview_HTTPResponseHeader_Contains>(*this, Wv2TextArgument(name));
}

bool Wv2HttpResponseHeaders::GetHeaders(const std::string& name,
                                        std::vector<Wv2HeaderRecord>& headers) {
  return Wv2CallListOut<Wv2Export::wv2_Webview_HTTPResponseHeader_GetHeaders>(
      *this,
      [&headers](const void* block, std::uint32_t count) {
        ReadWv2HeaderBlock(block, count, headers);
      },
      Wv2TextArgument(name));
}

std::string Wv2HttpResponseHeaders::GetHeader(const std::string& name) {
  return Wv2CallTextOut<Wv2Export::wv2_Webview_HTTPResponseHeader_GetHeader>(
      *this, kWv2Text, Wv2TextArgument(name));
}

int Wv2HttpResponseHeaders::AppendHeader(const std::string& name, const std::string& value) {
  return Wv2Call<Wv2Export::wv2_Webview_HTTPResponseHeader_AppendHeader>(
      *this, Wv2TextArgument(name), Wv2TextArgument(value));
}
