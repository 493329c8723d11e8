#include "platform/wke_engine/engine_profile.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QNetworkCookie>
#include <QWebEngineCookieStore>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>
#include <algorithm>

#include "platform/wke_engine/engine_view.h"

EngineProfile& EngineProfile::Get() {
  // Lives until the application object goes: its profiles are children of it.
  static EngineProfile* profile = new EngineProfile;
  return *profile;
}

EngineProfile::EngineProfile() : QObject(QCoreApplication::instance()) {
  MakeProfile();
}

void EngineProfile::MakeProfile() {
  if (m_profile != nullptr) {
    m_profile->disconnect(this);
  }
  // A profile without a storage name is off the record.
  m_profile = new QWebEngineProfile(this);
  m_cookies.Follow(m_profile->cookieStore());
  HandleDownloads(m_profile);
}

QWebEngineProfile* EngineProfile::CookielessProfile() {
  if (m_cookieless == nullptr) {
    m_cookieless = new QWebEngineProfile(this);
    QWebEngineCookieStore* store = m_cookieless->cookieStore();
    // No request sends a cookie and no response stores one; a cookie that a
    // page's script still puts into the store is dropped at once.
    store->setCookieFilter([](const QWebEngineCookieStore::FilterRequest&) { return false; });
    connect(store, &QWebEngineCookieStore::cookieAdded, this,
            [store](const QNetworkCookie& cookie) { store->deleteCookie(cookie); });
    HandleDownloads(m_cookieless);
  }
  return m_cookieless;
}

void EngineProfile::HandleDownloads(QWebEngineProfile* profile) {
  connect(profile, &QWebEngineProfile::downloadRequested, this,
          [this](QWebEngineDownloadRequest* download) {
            EngineView* owner = nullptr;
            for (EngineView* view : m_views) {
              if (view->Page() == download->page()) {
                owner = view;
              }
            }
            const auto& slot = owner != nullptr ? owner->Callbacks().download
                                                : EngineCallbacks::Slot<WkeDownloadCallback>{};
            const QByteArray url = download->url().toString().toUtf8();
            if (slot.fn != nullptr && slot.fn(owner->Handle(), slot.param, url.constData()) != 0) {
              download->cancel();
            } else {
              download->accept();
            }
          });
}

std::string EngineProfile::CookieTextFor(const std::string& url) const {
  return CookieTextForUrl(m_cookies.Cookies(), url, QDateTime::currentSecsSinceEpoch());
}

void EngineProfile::ClearAllCookies() {
  QWebEngineProfile* old = m_profile;
  MakeProfile();
  for (EngineView* view : m_views) {
    if (view->CookiesEnabled()) {
      view->MovePageTo(m_profile);
    }
  }
  // Its pages are gone (MovePageTo deletes them); pop-up pages that Qt still
  // holds keep it until the application ends.
  Q_UNUSED(old);
}

void EngineProfile::ClearSessionCookies() {
  std::vector<BrowserCookie> session;
  for (const BrowserCookie& cookie : m_cookies.Cookies()) {
    if (cookie.expires == 0) {
      session.push_back(cookie);
    }
  }
  for (const BrowserCookie& cookie : session) {
    m_cookies.Delete(cookie);
  }
}

void EngineProfile::AddView(EngineView* view) {
  m_views.push_back(view);
}

void EngineProfile::RemoveView(EngineView* view) {
  std::erase(m_views, view);
}
