#pragma once
// Cookie managers and cookies of the bridge. A manager answers from the copy
// of its environment's cookie store; a cookie object holds one cookie as it
// was when listed, its name and value as UTF-16 owned by the object.

#include <memory>
#include <string>
#include <vector>

#include "platform/browser_cookies.h"
#include "platform/wv2_bridge/bridge_environment.h"
#include "platform/wv2_bridge/bridge_objects.h"

class BridgeCookieManager : public BridgeObject {
 public:
  explicit BridgeCookieManager(std::shared_ptr<BridgeProfile> profile)
      : m_profile(std::move(profile)) {}
  // The cookies that apply to `url`, in the order the engine library's
  // cookie text gives them, each as a new cookie object.
  std::vector<Wv2Handle> ListCookies(const std::string& url) const;

 private:
  std::shared_ptr<BridgeProfile> m_profile;
};

class BridgeCookie : public BridgeObject {
 public:
  explicit BridgeCookie(const BrowserCookie& cookie);
  // UTF-16 with the terminator.
  const std::u16string& Name() const { return m_name; }
  const std::u16string& Value() const { return m_value; }
  bool HttpOnly() const { return m_httpOnly; }

 private:
  std::u16string m_name;
  std::u16string m_value;
  bool m_httpOnly;
};
