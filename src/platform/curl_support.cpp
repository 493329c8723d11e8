#include "platform/curl_support.h"

#include <mutex>
#include <vector>

#include "platform/shared_trust_store.h"

namespace {

// Gives the handshake the shared trust store: the system's authorities plus
// the extra CA file. A file that cannot be read fails the handshake: a broken
// configuration must not pass silently.
CURLcode InstallTrust(CURL*, void* sslCtx, void* userData) {
  static const std::string s_noFile;
  const auto* file = static_cast<const std::string*>(userData);
  return InstallTrustStore(static_cast<SSL_CTX*>(sslCtx), file != nullptr ? *file : s_noFile);
}

std::string Trimmed(std::string_view text) {
  size_t begin = text.find_first_not_of(" \t");
  if (begin == std::string_view::npos) {
    return {};
  }
  size_t end = text.find_last_not_of(" \t");
  return std::string(text.substr(begin, end - begin + 1));
}

std::string AsciiLower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') {
      c = static_cast<char>(c - 'A' + 'a');
    }
  }
  return text;
}

}  // namespace

void InitializeCurlOnce() {
  static std::once_flag s_once;
  std::call_once(s_once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

std::string DecodableContentEncodings() {
  InitializeCurlOnce();
  const curl_version_info_data* info = curl_version_info(CURLVERSION_NOW);
  std::string codings;
  auto add = [&codings](const char* name) {
    if (!codings.empty()) {
      codings += ", ";
    }
    codings += name;
  };
  if (info->features & CURL_VERSION_LIBZ) {
    add("gzip");
    add("deflate");
  }
  if (info->features & CURL_VERSION_BROTLI) {
    add("br");
  }
  if (info->features & CURL_VERSION_ZSTD) {
    add("zstd");
  }
  return codings;
}

std::string FilterAcceptEncoding(std::string_view value) {
  std::vector<std::string> decodable;
  std::string all = DecodableContentEncodings();
  for (size_t pos = 0; pos <= all.size();) {
    size_t comma = all.find(',', pos);
    decodable.push_back(Trimmed(std::string_view(all).substr(
        pos, comma == std::string::npos ? std::string::npos : comma - pos)));
    if (comma == std::string::npos) {
      break;
    }
    pos = comma + 1;
  }
  std::string kept;
  size_t pos = 0;
  while (pos <= value.size()) {
    size_t comma = value.find(',', pos);
    std::string item = Trimmed(
        value.substr(pos, comma == std::string_view::npos ? std::string_view::npos : comma - pos));
    std::string coding = AsciiLower(Trimmed(item.substr(0, item.find(';'))));
    bool ok = coding == "identity";
    for (const std::string& d : decodable) {
      ok = ok || coding == d;
    }
    if (ok) {
      kept += kept.empty() ? item : ", " + item;
    }
    if (comma == std::string_view::npos) {
      break;
    }
    pos = comma + 1;
  }
  return kept.empty() ? std::string("identity") : kept;
}

CURLcode ApplyCommonCurlOptions(CURL* handle, const std::string* extraCaFile) {
  CURLcode codes[] = {
      curl_easy_setopt(handle, CURLOPT_HTTP_VERSION, long{CURL_HTTP_VERSION_1_1}),
      curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https"),
      // Redirects lead to https only: the request's cookies never travel in clear.
      curl_easy_setopt(handle, CURLOPT_REDIR_PROTOCOLS_STR, "https"),
      // An empty proxy text switches off the proxy variables of the
      // environment; a request that wants a proxy sets one afterwards.
      curl_easy_setopt(handle, CURLOPT_PROXY, ""),
      curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L),
      curl_easy_setopt(handle, CURLOPT_SSL_VERIFYPEER, 1L),
      curl_easy_setopt(handle, CURLOPT_SSL_VERIFYHOST, 2L),
      // No connection outlives a request.
      curl_easy_setopt(handle, CURLOPT_FORBID_REUSE, 1L),
      curl_easy_setopt(handle, CURLOPT_MAXREDIRS, 10L),
  };
  for (CURLcode code : codes) {
    if (code != CURLE_OK) {
      return code;
    }
  }
  // libcurl would parse the whole system CA bundle for every handle; the
  // callback installs the store parsed once instead. The CA folder stays: it
  // is only searched when a certificate is looked up.
  CURLcode code = curl_easy_setopt(handle, CURLOPT_CAINFO, static_cast<const char*>(nullptr));
  if (code == CURLE_OK) {
    code = curl_easy_setopt(handle, CURLOPT_SSL_CTX_FUNCTION, &InstallTrust);
  }
  if (code == CURLE_OK) {
    code = curl_easy_setopt(handle, CURLOPT_SSL_CTX_DATA, extraCaFile);
  }
  return code;
}

int AbortWhenStopFlagSet(void* stopFlag, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  const auto* flag = static_cast<const std::atomic<bool>*>(stopFlag);
  return flag != nullptr && flag->load() ? 1 : 0;
}
