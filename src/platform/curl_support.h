#pragma once
// Settings that every libcurl transfer of the program shares, whichever HTTP
// back end runs it: one-time library set-up, verified TLS with an optional
// extra CA file, HTTP/1.1 only, no proxy taken from the environment, and
// content decoding limited to what this libcurl build can decode.
//
// Thread-safe: the set-up runs once; the other routines work on the handle
// they are given, which belongs to the calling thread.

#include <curl/curl.h>

#include <atomic>
#include <string>
#include <string_view>

// Runs curl_global_init exactly once for the process (the TLS library set up
// without its exit handler first). Call it at start-up,
// before any thread sends a request; the request routines call it too, so a
// forgotten start-up call costs nothing but a late initialisation.
void InitializeCurlOnce();

// The content encodings this libcurl build decodes, in the order they are
// offered ("gzip, deflate, br, zstd" when all are present).
std::string DecodableContentEncodings();

// Keeps from an Accept-Encoding value only the codings we can decode (and
// "identity"), preserving order and quality parameters. Returns "identity" when
// nothing is left, so the server never sends a body we cannot read.
std::string FilterAcceptEncoding(std::string_view value);

// The options every transfer sets on a fresh handle: HTTP/1.1, http and https
// only (redirects to https only), no proxy unless one is set later, no signals, certificates and
// host names always verified. `*extraCaFile` (read at each handshake, may be empty or null; must
// outlive the handle) is trusted in addition to the system's authorities. The trust store is not
// loaded by libcurl for each handle but shared by all of them (see shared_trust_store.h); the CA
// folder and CA material that a caller sets on the handle afterwards still count. TLS sessions are
// shared by every handle of the process with the same trust setting (extra CA file and its
// content), so a request to a host resumes the session of an earlier one instead of a full
// handshake; libcurl offers a session only to the host, port and TLS settings it was made with.
[[nodiscard]] CURLcode ApplyCommonCurlOptions(CURL* handle, const std::string* extraCaFile);

// A progress callback (CURLOPT_XFERINFOFUNCTION) whose data is a
// `const std::atomic<bool>*`: it ends the transfer once the flag is true.
// libcurl calls it at least about once a second, also while a reply is
// awaited, so a job's stop reaches a request in flight within about a second.
int AbortWhenStopFlagSet(void* stopFlag, curl_off_t, curl_off_t, curl_off_t, curl_off_t);
