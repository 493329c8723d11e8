#pragma once
// The trust store TLS handshakes verify against: the system's authorities
// (libcurl's built-in CA bundle) plus an optional extra CA file.
// Parsing the system bundle costs tens of milliseconds, so it is read once per
// process; the store with an extra CA file is built once per content of that
// file and shared by every handshake until the file, or the setting naming it,
// changes. Each call looks at the extra file's size, times and identity and
// reads it again only when they changed, or when they are too recent to prove
// that nothing changed (a write in the same clock tick keeps the times), so a
// change is picked up by the next handshake.
//
// Thread-safe: any number of threads may acquire and use the stores at once
// (OpenSSL locks a store shared between contexts).

#include <curl/curl.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>

#include <cstdint>
#include <string>

// The shared store trusting the system's authorities and, when
// `extraCaFile` is not empty, every certificate (and revocation list) in that
// PEM file. The caller owns one reference (X509_STORE_free). Null with
// `error` set when the system bundle or the extra file cannot be read or the
// extra file holds nothing usable (CURLE_SSL_CACERT_BADFILE), or when memory
// runs out (CURLE_OUT_OF_MEMORY). `*generation` (when given) names the
// content the store trusts: 0 for the system's authorities alone, and a number
// never used before for each new content of an extra file, so whatever was
// verified under one trust can be told from what was verified under another.
X509_STORE* AcquireTrustStore(const std::string& extraCaFile, CURLcode& error,
                              uint64_t* generation = nullptr);

// Sets up the trust of a libcurl TLS context, called from its SSL_CTX
// callback: the context's own store gets a lookup into the shared store, so a
// handshake finds the system's authorities and the extra CA file's
// certificates without parsing anything. libcurl fills the context's store
// only after the callback (CA folder, verification flags, CA material a caller
// set on the handle), and that store belongs to this handshake alone: nothing
// shared is ever changed by a handshake.
CURLcode InstallTrustStore(SSL_CTX* context, const std::string& extraCaFile);
