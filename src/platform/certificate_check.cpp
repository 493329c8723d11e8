#include "platform/certificate_check.h"

#include <openssl/x509v3.h>

#include <memory>

namespace {

struct X509Free {
  void operator()(X509* certificate) const { X509_free(certificate); }
};
using X509Pointer = std::unique_ptr<X509, X509Free>;

X509Pointer ReadDer(const std::string& der) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(der.data());
  return X509Pointer(d2i_X509(nullptr, &bytes, static_cast<long>(der.size())));
}

}  // namespace

bool IsCertificateChainTrusted(const std::vector<std::string>& derChain, const std::string& host,
                               X509_STORE* store) {
  if (derChain.empty() || store == nullptr || host.empty()) {
    return false;
  }
  std::vector<X509Pointer> certificates;
  for (const std::string& der : derChain) {
    X509Pointer certificate = ReadDer(der);
    if (!certificate) {
      return false;
    }
    certificates.push_back(std::move(certificate));
  }
  STACK_OF(X509)* untrusted = sk_X509_new_null();
  X509_STORE_CTX* context = X509_STORE_CTX_new();
  bool trusted = false;
  if (untrusted != nullptr && context != nullptr) {
    for (size_t i = 1; i < certificates.size(); ++i) {
      sk_X509_push(untrusted, certificates[i].get());
    }
    if (X509_STORE_CTX_init(context, store, certificates.front().get(), untrusted) == 1) {
      X509_VERIFY_PARAM* param = X509_STORE_CTX_get0_param(context);
      const bool isAddress = X509_VERIFY_PARAM_set1_ip_asc(param, host.c_str()) == 1;
      if (isAddress || X509_VERIFY_PARAM_set1_host(param, host.c_str(), host.size()) == 1) {
        trusted = X509_verify_cert(context) == 1;
      }
    }
  }
  X509_STORE_CTX_free(context);
  sk_X509_free(untrusted);
  return trusted;
}
