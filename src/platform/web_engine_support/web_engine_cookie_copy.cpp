#include "platform/web_engine_support/web_engine_cookie_copy.h"

#include <QDateTime>
#include <QNetworkCookie>
#include <QWebEngineCookieStore>

BrowserCookie BrowserCookieFromQt(const QNetworkCookie& cookie) {
  BrowserCookie out;
  out.name = cookie.name().toStdString();
  out.value = cookie.value().toStdString();
  out.domain = cookie.domain().toStdString();
  out.path = cookie.path().isEmpty() ? std::string("/") : cookie.path().toStdString();
  out.secure = cookie.isSecure();
  out.httpOnly = cookie.isHttpOnly();
  out.expires = cookie.isSessionCookie() ? 0 : cookie.expirationDate().toSecsSinceEpoch();
  return out;
}

void WebEngineCookieCopy::Follow(QWebEngineCookieStore* store) {
  if (m_store != nullptr) {
    m_store->disconnect(this);
  }
  m_store = store;
  m_cookies.clear();
  connect(store, &QWebEngineCookieStore::cookieAdded, this, [this](const QNetworkCookie& cookie) {
    BrowserCookie added = BrowserCookieFromQt(cookie);
    added.order = m_nextOrder++;
    StoreBrowserCookie(m_cookies, std::move(added));
  });
  connect(store, &QWebEngineCookieStore::cookieRemoved, this, [this](const QNetworkCookie& cookie) {
    RemoveBrowserCookie(m_cookies, BrowserCookieFromQt(cookie));
  });
}

void WebEngineCookieCopy::Delete(const BrowserCookie& cookie) {
  if (m_store != nullptr) {
    QNetworkCookie qtCookie(QByteArray::fromStdString(cookie.name),
                            QByteArray::fromStdString(cookie.value));
    qtCookie.setDomain(QString::fromStdString(cookie.domain));
    qtCookie.setPath(QString::fromStdString(cookie.path));
    m_store->deleteCookie(qtCookie);
  }
  RemoveBrowserCookie(m_cookies, cookie);
}
