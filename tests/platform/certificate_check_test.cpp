// Whether a server's chain is trusted for a host: certificates made for the
// test by the emulator's certificate maker (a CA and a server certificate it
// signs for 127.0.0.1, localhost and the emulator's names under
// quill.localhost), against the program's trust store with that CA as the
// extra CA file.

#include "platform/certificate_check.h"

#include <gtest/gtest.h>
#include <openssl/x509.h>

#include <string>
#include <vector>

#include "fakeservice/test_certificates.h"
#include "platform/shared_trust_store.h"

namespace {

std::string Der(X509* certificate) {
  unsigned char* bytes = nullptr;
  const int length = i2d_X509(certificate, &bytes);
  std::string der(reinterpret_cast<const char*>(bytes), length > 0 ? length : 0);
  OPENSSL_free(bytes);
  return der;
}

TEST(IsCertificateChainTrusted, OnlyAChainOfTheTrustedAuthorityForItsHost) {
  TestCertificates trusted;
  std::string error;
  ASSERT_TRUE(trusted.Make(false, 30, error)) << error;
  TestCertificates otherAuthority;
  ASSERT_TRUE(otherAuthority.Make(false, 30, error)) << error;
  TestCertificates selfSigned;
  ASSERT_TRUE(selfSigned.Make(true, 30, error)) << error;
  TestCertificates expired;
  ASSERT_TRUE(expired.Make(false, 30, error, -1)) << error;

  CURLcode status = CURLE_OK;
  X509_STORE* store = AcquireTrustStore(trusted.CaFile(), status);
  ASSERT_NE(store, nullptr) << status;
  // The expired leaf's authority is trusted too, so only its date can refuse it.
  X509_STORE* storeWithExpired = AcquireTrustStore(expired.CaFile(), status);
  ASSERT_NE(storeWithExpired, nullptr) << status;

  struct Row {
    const char* name;
    const TestCertificates* leaf;
    X509_STORE* store;
    const char* host;
    bool trusted;
  };
  const Row rows[] = {
      {"the web host", &trusted, store, "pan.quill.localhost", true},
      {"the host in capitals", &trusted, store, "PAN.QUILL.LOCALHOST", true},
      {"localhost", &trusted, store, "localhost", true},
      {"another name under the wildcard", &trusted, store, "other.quill.localhost", true},
      {"a name two levels under the domain", &trusted, store, "a.pan.quill.localhost", false},
      {"the domain itself", &trusted, store, "quill.localhost", false},
      {"another domain", &trusted, store, "pan.quill.example", false},
      {"the certificate's IP address", &trusted, store, "127.0.0.1", true},
      {"another IP address", &trusted, store, "127.0.0.2", false},
      {"a leaf of another authority", &otherAuthority, store, "pan.quill.localhost", false},
      {"a self-signed leaf", &selfSigned, store, "pan.quill.localhost", false},
      {"an expired leaf of a trusted authority", &expired, storeWithExpired, "pan.quill.localhost",
       false},
      {"an empty host", &trusted, store, "", false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(IsCertificateChainTrusted({Der(row.leaf->ServerCertificate())}, row.host, row.store),
              row.trusted);
  }
  EXPECT_FALSE(IsCertificateChainTrusted({}, "localhost", store));
  EXPECT_FALSE(IsCertificateChainTrusted({"not a certificate"}, "localhost", store));
  EXPECT_FALSE(IsCertificateChainTrusted({Der(trusted.ServerCertificate())}, "localhost", nullptr));
  X509_STORE_free(storeWithExpired);
  X509_STORE_free(store);
}

}  // namespace
