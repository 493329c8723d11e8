#include "ui/signin/wv2_cookie_manager.h"

#include <cstring>

#include "ui/signin/wv2_calls.h"
#include "ui/signin/wv2_cookie.h"

using Text = Wv2TextArgument;

Wv2Cookie Wv2CookieManager::CreateCookie(const std::string& name, const std::string& value,
                                         const std::string& domain, const std::string& path) {
  return Wv2CallObjectOut<Wv2Cookie, Wv2Export::wv2_CookieManager_CreateCookie>(
      *this, Text(name), Text(value), Text(domain), Text(path));
}

Wv2Cookie Wv2CookieManager::CopyCookie(const Wv2Cookie& cookie) {
  return Wv2CallObjectOut<Wv2Cookie, Wv2Export::wv2_CookieManager_CopyCookie>(
      *this, cookie.BridgeHandle());
}

int Wv2CookieManager::GetCookie(const std::string& address, Wv2Routine routine,
                                std::uint32_t userValue) {
  return Wv2Call<Wv2Export::wv2_CookieManager_GetCookie>(*this, Text(address), routine,
                                                         userValue);
}

bool Wv2CookieManager::GetCookie_Sync(const std::string& address,
                                      std::vector<Wv2Cookie>& cookies) {
  const auto read = [&cookies](const void* block, std::uint32_t count) {
    cookies.clear();
    cookies.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
      Wv2Handle handle = 0;
      std::memcpy(&handle, static_cast<const unsigned char*>(block) + i * sizeof(Wv2Handle),
                  sizeof(Wv2Handle));
      Wv2Cookie cookie;
      cookie.SetBridgeHandle(handle);
      cookies.push_back(cookie);
    }
  };
  return Wv2CallListOut<Wv2Export::wv2_CookieManager_GetCookie_Sync>(*this, read, Text(address));
}

int Wv2CookieManager::SetCookie(const Wv2Cookie& cookie) {
  return Wv2Call<Wv2Export::wv2_CookieManager_SetCookie>(*this, cookie.BridgeHandle());
}

int Wv2CookieManager::DeleteCookie(const Wv2Cookie& cookie) {
  return Wv2Call<Wv2Export::wv2_CookieManager_DeleteCookie>(*this, cookie.BridgeHandle());
}

int Wv2CookieManager::DeleteCookies(const std::string& name, const std::string& address) {
  return Wv2Call<Wv2Export::wv2_CookieManager_DeleteCookies>(*this, Text(name), Text(address));
}

int Wv2CookieManager::DeleteCookieWithParam(const std::string& name, const std::string& domain,
                                            const std::string& path) {
  return Wv2Call<Wv2Export::wv2_CookieManager_DeleteCookieWithParam>(*this, Text(name),
                                                                     Text(domain), Text(path));
}

int Wv2CookieManager::DeleteAllCookies() {
  return Wv2Call<Wv2Export::wv2_CookieManager_DeleteAllCookies>(*this);
}
