#include "fakeservice/test_certificates.h"

#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/rand.h>
#include <openssl/x509v3.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

namespace {

std::string OpenSslError(const std::string& what) {
  const unsigned long code = ERR_get_error();
  char text[256] = {};
  ERR_error_string_n(code, text, sizeof text);
  return what + ": " + text;
}

bool AddExtension(X509* certificate, X509* issuer, int nid, const char* value) {
  X509V3_CTX context;
  X509V3_set_ctx_nodb(&context);
  X509V3_set_ctx(&context, issuer, certificate, nullptr, nullptr, 0);
  X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &context, nid, value);
  if (extension == nullptr) {
    return false;
  }
  const int added = X509_add_ext(certificate, extension, -1);
  X509_EXTENSION_free(extension);
  return added == 1;
}

// A certificate for `key` named `commonName`, signed by `issuerKey` under the
// name of `issuer` (itself when `issuer` is null). Returns null on failure.
X509* MakeCertificate(EVP_PKEY* key, const char* commonName, X509* issuer, EVP_PKEY* issuerKey,
                      bool isCa, int days) {
  X509* certificate = X509_new();
  if (certificate == nullptr) {
    return nullptr;
  }
  unsigned char serial[16];
  RAND_bytes(serial, sizeof serial);
  serial[0] &= 0x7f;
  BIGNUM* number = BN_bin2bn(serial, sizeof serial, nullptr);
  bool ok = X509_set_version(certificate, 2) == 1 && number != nullptr &&
            BN_to_ASN1_INTEGER(number, X509_get_serialNumber(certificate)) != nullptr;
  BN_free(number);
  // Start an hour back so that a client clock slightly behind still accepts it
  // (one that has run out started twice its age back).
  const long startSeconds = days < 0 ? 2 * 86400L * days : -3600L;
  ok = ok && X509_gmtime_adj(X509_getm_notBefore(certificate), startSeconds) != nullptr &&
       X509_gmtime_adj(X509_getm_notAfter(certificate), 86400L * days) != nullptr &&
       X509_set_pubkey(certificate, key) == 1;
  X509_NAME* name = X509_get_subject_name(certificate);
  ok = ok &&
       X509_NAME_add_entry_by_txt(name, "O", MBSTRING_ASC,
                                  reinterpret_cast<const unsigned char*>("Quillmere test"), -1, -1,
                                  0) == 1 &&
       X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                                  reinterpret_cast<const unsigned char*>(commonName), -1, -1,
                                  0) == 1;
  X509* signer = issuer != nullptr ? issuer : certificate;
  ok = ok && X509_set_issuer_name(certificate, X509_get_subject_name(signer)) == 1;
  ok = ok && AddExtension(certificate, signer, NID_subject_key_identifier, "hash");
  if (issuer != nullptr) {
    ok = ok && AddExtension(certificate, signer, NID_authority_key_identifier, "keyid:always");
  }
  if (isCa) {
    ok = ok && AddExtension(certificate, signer, NID_basic_constraints, "critical,CA:TRUE") &&
         AddExtension(certificate, signer, NID_key_usage, "critical,keyCertSign,cRLSign");
  } else {
    ok = ok && AddExtension(certificate, signer, NID_basic_constraints, "critical,CA:FALSE") &&
         AddExtension(certificate, signer, NID_key_usage, "critical,digitalSignature") &&
         AddExtension(certificate, signer, NID_ext_key_usage, "serverAuth") &&
         AddExtension(
             certificate, signer, NID_subject_alt_name,
             "IP:127.0.0.1,DNS:localhost,DNS:*.quill.localhost,"
             "DNS:pan.quill.localhost,DNS:passport.quill.localhost,DNS:portal.quill.localhost");
  }
  ok = ok && X509_sign(certificate, issuerKey, EVP_sha256()) > 0;
  if (!ok) {
    X509_free(certificate);
    return nullptr;
  }
  return certificate;
}

std::string ToPem(X509* certificate) {
  BIO* bio = BIO_new(BIO_s_mem());
  if (bio == nullptr) {
    return {};
  }
  PEM_write_bio_X509(bio, certificate);
  char* data = nullptr;
  const long size = BIO_get_mem_data(bio, &data);
  std::string pem(data, static_cast<size_t>(size));
  BIO_free(bio);
  return pem;
}

std::string TempRoot() {
  const char* configured = std::getenv("QUILLMERE_TEST_TMP");
  std::string root = configured != nullptr && *configured != '\0' ? configured : "/tmp";
  std::error_code ignored;
  std::filesystem::create_directories(root, ignored);
  return root;
}

}  // namespace

TestCertificates::~TestCertificates() {
  X509_free(m_serverCertificate);
  EVP_PKEY_free(m_serverKey);
  X509_free(m_caCertificate);
  EVP_PKEY_free(m_caKey);
  if (!m_folder.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(m_folder, ignored);
  }
}

bool TestCertificates::Make(bool selfSigned, int days, std::string& error,
                            std::optional<int> serverDays) {
  m_caKey = EVP_EC_gen("P-256");
  m_serverKey = EVP_EC_gen("P-256");
  if (m_caKey == nullptr || m_serverKey == nullptr) {
    error = OpenSslError("key generation failed");
    return false;
  }
  m_caCertificate = MakeCertificate(m_caKey, "Quillmere test CA", nullptr, m_caKey, true, days);
  if (m_caCertificate == nullptr) {
    error = OpenSslError("CA certificate failed");
    return false;
  }
  const int leafDays = serverDays.value_or(days);
  m_serverCertificate =
      selfSigned
          ? MakeCertificate(m_serverKey, "localhost", nullptr, m_serverKey, false, leafDays)
          : MakeCertificate(m_serverKey, "localhost", m_caCertificate, m_caKey, false, leafDays);
  if (m_serverCertificate == nullptr) {
    error = OpenSslError("server certificate failed");
    return false;
  }
  std::string pattern = TempRoot() + "/fakeservice-XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (mkdtemp(buffer.data()) == nullptr) {
    error = "cannot make a temporary folder under " + TempRoot();
    return false;
  }
  m_folder = buffer.data();
  m_caFile = m_folder + "/test-ca.pem";
  m_caPem = ToPem(m_caCertificate);
  std::ofstream out(m_caFile, std::ios::binary);
  out << m_caPem;
  out.close();
  if (!out || m_caPem.empty()) {
    error = "cannot write " + m_caFile;
    return false;
  }
  return true;
}
