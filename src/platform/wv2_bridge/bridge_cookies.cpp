#include "platform/wv2_bridge/bridge_cookies.h"

#include <QDateTime>
#include <QString>

#include "platform/wv2_bridge/bridge_view.h"

std::vector<Wv2Handle> BridgeCookieManager::ListCookies(const std::string& url) const {
  std::vector<Wv2Handle> handles;
  for (const BrowserCookie* cookie :
       CookiesForUrl(m_profile->Cookies(), url, QDateTime::currentSecsSinceEpoch())) {
    handles.push_back(BridgeObjects::Add(std::make_unique<BridgeCookie>(*cookie)));
  }
  return handles;
}

BridgeCookie::BridgeCookie(const BrowserCookie& cookie)
    : m_name(TerminatedUtf16(QString::fromStdString(cookie.name))),
      m_value(TerminatedUtf16(QString::fromStdString(cookie.value))),
      m_httpOnly(cookie.httpOnly) {}
