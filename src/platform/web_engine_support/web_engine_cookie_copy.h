#pragma once
// A copy of one Qt WebEngine profile's cookie store, kept up to date from the
// store's change signals (on the thread of the object). Qt WebEngine offers no
// synchronous read of its store; the browser libraries answer cookie
// questions from this copy, matched by platform/browser_cookies.h.

#include <QObject>
#include <cstdint>
#include <vector>

#include "platform/browser_cookies.h"

class QNetworkCookie;
class QWebEngineCookieStore;

BrowserCookie BrowserCookieFromQt(const QNetworkCookie& cookie);

class WebEngineCookieCopy : public QObject {
 public:
  explicit WebEngineCookieCopy(QObject* parent = nullptr) : QObject(parent) {}

  // Follows `store` from now on, starting from an empty copy (a store that
  // was followed before is let go).
  void Follow(QWebEngineCookieStore* store);
  const std::vector<BrowserCookie>& Cookies() const { return m_cookies; }
  // Drops `cookie` from the copy and from the store.
  void Delete(const BrowserCookie& cookie);

 private:
  QWebEngineCookieStore* m_store = nullptr;
  std::vector<BrowserCookie> m_cookies;
  std::uint64_t m_nextOrder = 1;
};
