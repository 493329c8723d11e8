#include "platform/web_engine_support/web_engine_certificates.h"

#include <QSslCertificate>
#include <QUrl>
#include <QWebEngineCertificateError>
#include <string>
#include <vector>

#include "platform/certificate_check.h"
#include "platform/qt/browser_trust.h"
#include "platform/shared_trust_store.h"

void JudgeWebEngineCertificate(const QWebEngineCertificateError& error) {
  QWebEngineCertificateError answer = error;
  bool trusted = false;
  if (error.type() == QWebEngineCertificateError::CertificateAuthorityInvalid) {
    std::vector<std::string> chain;
    for (const QSslCertificate& certificate : error.certificateChain()) {
      chain.push_back(certificate.toDer().toStdString());
    }
    CURLcode status = CURLE_OK;
    X509_STORE* store = AcquireTrustStore(PublishedBrowserExtraCaFile(), status);
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
