#pragma once
// Certificates made fresh for one run of the emulator: a test CA and a server
// certificate it signs for 127.0.0.1 and localhost, or (for tests of refused
// certificates) a self-signed server certificate that no CA vouches for. Keys
// are EC P-256, quick to make. The CA is written as PEM to a private temporary
// folder so that a client can be told to trust it; the folder goes away with
// the object.

#include <openssl/evp.h>
#include <openssl/x509.h>

#include <optional>
#include <string>

class TestCertificates {
 public:
  TestCertificates() = default;
  ~TestCertificates();
  TestCertificates(const TestCertificates&) = delete;
  TestCertificates& operator=(const TestCertificates&) = delete;

  // Makes the CA, the server certificate and the CA file. With `selfSigned`
  // the server certificate signs itself instead of coming from the CA (the CA
  // file is still written, so a client trusting it refuses the server).
  // `days` is the validity (of the server certificate `serverDays` when
  // given; a negative number makes one that has run out). Returns false and
  // fills `error` on failure.
  [[nodiscard]] bool Make(bool selfSigned, int days, std::string& error,
                          std::optional<int> serverDays = {});

  const std::string& CaFile() const { return m_caFile; }
  const std::string& CaPem() const { return m_caPem; }
  X509* ServerCertificate() const { return m_serverCertificate; }
  EVP_PKEY* ServerKey() const { return m_serverKey; }

 private:
  EVP_PKEY* m_caKey = nullptr;
  X509* m_caCertificate = nullptr;
  EVP_PKEY* m_serverKey = nullptr;
  X509* m_serverCertificate = nullptr;
  std::string m_folder;
  std::string m_caFile;
  std::string m_caPem;
};
