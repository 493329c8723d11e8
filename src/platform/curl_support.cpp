#include "platform/curl_support.h"

#include <array>
#include <map>
#include <mutex>
#include <vector>

#include <openssl/crypto.h>

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

// One TLS session cache shared by the transfers of one trust setting, with a
// lock for each kind of data libcurl shares through it.
class SessionShare {
 public:
  SessionShare() : m_share(curl_share_init()) {
    if (m_share == nullptr)
      return;
    if (curl_share_setopt(m_share, CURLSHOPT_LOCKFUNC, &Lock) != CURLSHE_OK ||
        curl_share_setopt(m_share, CURLSHOPT_UNLOCKFUNC, &Unlock) != CURLSHE_OK ||
        curl_share_setopt(m_share, CURLSHOPT_USERDATA, this) != CURLSHE_OK ||
        curl_share_setopt(m_share, CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION) != CURLSHE_OK) {
      curl_share_cleanup(m_share);
      m_share = nullptr;
    }
  }
  // A share is freed only when no handle uses it any more.
  bool TryFree() {
    if (m_share != nullptr && curl_share_cleanup(m_share) != CURLSHE_OK)
      return false;
    m_share = nullptr;
    return true;
  }
  CURLSH* Handle() const { return m_share; }

 private:
  static void Lock(CURL*, curl_lock_data data, curl_lock_access, void* self) {
    static_cast<SessionShare*>(self)->Mutex(data).lock();
  }
  static void Unlock(CURL*, curl_lock_data data, void* self) {
    static_cast<SessionShare*>(self)->Mutex(data).unlock();
  }
  std::mutex& Mutex(curl_lock_data data) {
    const auto index = static_cast<size_t>(data);
    return m_locks[index < m_locks.size() ? index : 0];
  }

  CURLSH* m_share = nullptr;
  std::array<std::mutex, CURL_LOCK_DATA_LAST> m_locks;
};

// The share of a trust setting: the extra CA file and the generation of its
// content (shared_trust_store.h). A session verified under one trust is never
// resumed under another, since resuming skips the certificate check. Shares
// of settings no longer in use are retired and freed once no handle holds
// them. Process lifetime; never destroyed, so no exit-time cleanup can race a
// worker's transfer.
CURLSH* ShareForTrust(const std::string& extraCaFile, uint64_t generation) {
  constexpr size_t kMaxShares = 16;
  static std::mutex s_mutex;
  static auto* s_shares = new std::map<std::pair<std::string, uint64_t>, SessionShare*>();
  static auto* s_retired = new std::vector<SessionShare*>();
  std::lock_guard<std::mutex> lock(s_mutex);
  const auto key = std::make_pair(extraCaFile, generation);
  if (const auto found = s_shares->find(key); found != s_shares->end())
    return found->second->Handle();
  // Another content of the same file, or too many settings: the old shares
  // take no new handles.
  for (auto it = s_shares->begin(); it != s_shares->end();) {
    if (it->first.first == extraCaFile || s_shares->size() >= kMaxShares) {
      s_retired->push_back(it->second);
      it = s_shares->erase(it);
    } else {
      ++it;
    }
  }
  std::erase_if(*s_retired, [](SessionShare* share) {
    if (!share->TryFree())
      return false;
    delete share;
    return true;
  });
  auto* share = new SessionShare();
  s_shares->emplace(key, share);
  return share->Handle();
}

// Puts the handle into the TLS session share of the current trust setting.
// When the trust cannot be settled now (an unreadable extra file), the handle
// gets no share and its handshake reports the fault as before.
CURLcode ShareTlsSessions(CURL* handle, const std::string& extraCaFile) {
  CURLcode error = CURLE_OK;
  uint64_t generation = 0;
  X509_STORE* store = AcquireTrustStore(extraCaFile, error, &generation);
  if (store == nullptr)
    return CURLE_OK;
  X509_STORE_free(store);
  CURLSH* share = ShareForTrust(extraCaFile, generation);
  return share != nullptr ? curl_easy_setopt(handle, CURLOPT_SHARE, share) : CURLE_OK;
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
  std::call_once(s_once, [] {
    // Without this the TLS library frees its global state in an exit handler,
    // which can run while a worker that sent requests is still ending and
    // freeing its per-thread TLS state: a crash at exit. The state is left to
    // the process end instead. Only the first set-up of the library decides.
    OPENSSL_init_crypto(OPENSSL_INIT_NO_ATEXIT, nullptr);
    curl_global_init(CURL_GLOBAL_DEFAULT);
  });
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
  // A full handshake per request would decode and check the certificate
  // chain each time; the session of an earlier request to the same host is
  // resumed instead. Each request still opens its own connection.
  if (code == CURLE_OK) {
    static const std::string s_noFile;
    code = ShareTlsSessions(handle, extraCaFile != nullptr ? *extraCaFile : s_noFile);
  }
  return code;
}

int AbortWhenStopFlagSet(void* stopFlag, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  const auto* flag = static_cast<const std::atomic<bool>*>(stopFlag);
  return flag != nullptr && flag->load() ? 1 : 0;
}
