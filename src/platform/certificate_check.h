#pragma once
// Whether a server's certificate chain is trusted for a host: verified
// against a trust store (shared_trust_store.h) with the host name checked.
// The browser views accept a certificate of an unknown authority only when
// this says yes, so that a page signed by the emulator's test CA (trusted
// through the extra CA file) loads and any other certificate is refused.

#include <openssl/x509.h>

#include <string>
#include <vector>

// `derChain`: the server's certificate first, then the intermediates, each in
// DER form. False for an empty or unreadable chain, a null store, a chain that
// does not lead to the store's authorities, an expired certificate or one not
// issued for `host` (a name or an IP address).
bool IsCertificateChainTrusted(const std::vector<std::string>& derChain, const std::string& host,
                               X509_STORE* store);
