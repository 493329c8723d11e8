#pragma once
// The engine's browser profiles, both off the record (nothing reaches the
// disk): the one every view shares, and one without cookies for the views
// whose cookies are switched off (wkeSetCookieEnabled). The shared profile
// keeps a copy of its cookie store, fed by the store's change signals, from
// which wkeGetCookie answers; the other one lets no page send or store a
// cookie. Both handle downloads for their views. Each view's page judges its
// certificate errors (web_engine_support/web_engine_certificates.h) and sets
// the view's user agent on its requests.

#include <QObject>
#include <string>
#include <vector>

#include "platform/web_engine_support/web_engine_cookie_copy.h"

class EngineView;
class QWebEngineProfile;

class EngineProfile : public QObject {
 public:
  // The profile of the process (made on first use).
  static EngineProfile& Get();

  QWebEngineProfile* Profile() const { return m_profile; }
  // The profile of views whose cookies are off (made on first use).
  QWebEngineProfile* CookielessProfile();
  // The cookies the view sends to its current address.
  std::string CookieTextFor(const std::string& url) const;
  // Clears every cookie: a fresh, empty profile takes the place of the old
  // one, and every view with cookies moves onto it before anything else can
  // load, so that no page load races an asynchronous deletion.
  void ClearAllCookies();
  // Drops session cookies from the copy and the store.
  void ClearSessionCookies();

  void AddView(EngineView* view);
  void RemoveView(EngineView* view);
  const std::vector<EngineView*>& Views() const { return m_views; }

 private:
  EngineProfile();
  void MakeProfile();
  void HandleDownloads(QWebEngineProfile* profile);

  QWebEngineProfile* m_profile = nullptr;
  QWebEngineProfile* m_cookieless = nullptr;
  WebEngineCookieCopy m_cookies;
  std::vector<EngineView*> m_views;
};
