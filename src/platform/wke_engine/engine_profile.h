#pragma once
// The engine's one browser profile: off the record (nothing reaches the disk),
// shared by every view. It keeps a copy of its cookie store, fed by the
// store's change signals, from which wkeGetCookie answers; it judges
// certificate errors and downloads for every view; and it sets each view's
// user agent on the view's requests.

#include <QObject>
#include <string>
#include <vector>

#include "platform/browser_cookies.h"

class EngineView;
class QWebEngineCertificateError;
class QWebEngineProfile;

class EngineProfile : public QObject {
 public:
  // The profile of the process (made on first use).
  static EngineProfile& Get();

  QWebEngineProfile* Profile() const { return m_profile; }
  // The cookies the view sends to its current address.
  std::string CookieTextFor(const std::string& url) const;
  // Clears every cookie: a fresh, empty profile takes the place of the old
  // one, and every view moves onto it before anything else can load, so that
  // no page load races an asynchronous deletion.
  void ClearAllCookies();
  // Drops session cookies from the copy and the store.
  void ClearSessionCookies();

  void AddView(EngineView* view);
  void RemoveView(EngineView* view);
  const std::vector<EngineView*>& Views() const { return m_views; }

  // Accepts an unknown authority whose chain the program's trust store
  // (system authorities plus the configured extra CA file) verifies for the
  // host; refuses every other certificate error.
  static void JudgeCertificate(const QWebEngineCertificateError& error);

 private:
  EngineProfile();
  void MakeProfile();

  QWebEngineProfile* m_profile = nullptr;
  std::vector<BrowserCookie> m_cookies;
  std::uint64_t m_nextOrder = 1;
  std::vector<EngineView*> m_views;
};
