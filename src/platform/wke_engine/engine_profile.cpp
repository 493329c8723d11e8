#include "platform/wke_engine/engine_profile.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QNetworkCookie>
#include <QSslCertificate>
#include <QWebEngineCertificateError>
#include <QWebEngineCookieStore>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>
#include <algorithm>

#include "platform/certificate_check.h"
#include "platform/shared_trust_store.h"
#include "platform/wke_engine/engine_view.h"
#include "web/service_config.h"

namespace {

BrowserCookie FromQt(const QNetworkCookie& cookie) {
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

}  // namespace

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
    m_profile->cookieStore()->disconnect(this);
    m_profile->disconnect(this);
  }
  // A profile without a storage name is off the record.
  m_profile = new QWebEngineProfile(this);
  m_cookies.clear();
  QWebEngineCookieStore* store = m_profile->cookieStore();
  connect(store, &QWebEngineCookieStore::cookieAdded, this, [this](const QNetworkCookie& cookie) {
    BrowserCookie added = FromQt(cookie);
    added.order = m_nextOrder++;
    StoreBrowserCookie(m_cookies, std::move(added));
  });
  connect(store, &QWebEngineCookieStore::cookieRemoved, this,
          [this](const QNetworkCookie& cookie) { RemoveBrowserCookie(m_cookies, FromQt(cookie)); });
  connect(m_profile, &QWebEngineProfile::downloadRequested, this,
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
  return CookieTextForUrl(m_cookies, url, QDateTime::currentSecsSinceEpoch());
}

void EngineProfile::ClearAllCookies() {
  QWebEngineProfile* old = m_profile;
  MakeProfile();
  for (EngineView* view : m_views) {
    view->MovePageTo(m_profile);
  }
  // Its pages are gone (MovePageTo deletes them); pop-up pages that Qt still
  // holds keep it until the application ends.
  Q_UNUSED(old);
}

void EngineProfile::ClearSessionCookies() {
  std::vector<BrowserCookie> session;
  for (const BrowserCookie& cookie : m_cookies) {
    if (cookie.expires == 0) {
      session.push_back(cookie);
    }
  }
  for (const BrowserCookie& cookie : session) {
    QNetworkCookie qtCookie(QByteArray::fromStdString(cookie.name),
                            QByteArray::fromStdString(cookie.value));
    qtCookie.setDomain(QString::fromStdString(cookie.domain));
    qtCookie.setPath(QString::fromStdString(cookie.path));
    m_profile->cookieStore()->deleteCookie(qtCookie);
    RemoveBrowserCookie(m_cookies, cookie);
  }
}

void EngineProfile::AddView(EngineView* view) {
  m_views.push_back(view);
}

void EngineProfile::RemoveView(EngineView* view) {
  std::erase(m_views, view);
}

void EngineProfile::JudgeCertificate(const QWebEngineCertificateError& error) {
  QWebEngineCertificateError answer = error;
  bool trusted = false;
  if (error.type() == QWebEngineCertificateError::CertificateAuthorityInvalid) {
    std::vector<std::string> chain;
    for (const QSslCertificate& certificate : error.certificateChain()) {
      chain.push_back(certificate.toDer().toStdString());
    }
    CURLcode status = CURLE_OK;
    X509_STORE* store = AcquireTrustStore(GetServiceConfig().caFile, status);
    trusted = IsCertificateChainTrusted(chain, error.url().host().toStdString(), store);
    if (store != nullptr) {
      X509_STORE_free(store);
    }
  }
  if (trusted) {
    answer.acceptCertificate();
  } else {
    answer.rejectCertificate();
  }
}
