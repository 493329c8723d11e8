#include "web/curl_http_client.h"

#include <algorithm>
#include <new>
#include <utility>

#include "platform/code_page_codec.h"
#include "platform/curl_support.h"
#include "web/http_text_util.h"
#include "web/service_config.h"

namespace {

bool StartsWithNoCase(const std::string& line, const char* prefix) {
  return FindNoCase(line, prefix) == 0;
}

// A copy of a libcurl string list; null when `list` is empty or memory runs out.
curl_slist* CopyList(const curl_slist* list) {
  curl_slist* copy = nullptr;
  for (; list != nullptr; list = list->next) {
    curl_slist* grown = curl_slist_append(copy, list->data);
    if (grown == nullptr) {
      curl_slist_free_all(copy);
      return nullptr;
    }
    copy = grown;
  }
  return copy;
}

}  // namespace

CurlHttpClient::~CurlHttpClient() {
  Close();
}

CurlHttpClient::CurlHttpClient(const CurlHttpClient& other)
    : m_body(other.m_body),
      m_headers(other.m_headers),
      m_headerLines(other.m_headerLines),
      m_autoCookies(other.m_autoCookies),
      m_isPost(other.m_isPost),
      m_jar(other.m_jar),
      m_extraCaFile(other.m_extraCaFile),
      m_maxBodyBytes(other.m_maxBodyBytes),
      m_maxHeaderBytes(other.m_maxHeaderBytes),
      m_lastError(other.m_lastError),
      m_upload(other.m_upload),
      m_uploadPos(other.m_uploadPos),
      m_bodyHook(other.m_bodyHook),
      m_headerHook(other.m_headerHook),
      m_uploadHook(other.m_uploadHook) {
  if (other.m_handle == nullptr) {
    return;
  }
  // The duplicate still points at the other client's buffers, CA file and
  // header list; each copy owns its own, so both can be destroyed safely.
  m_handle = curl_easy_duphandle(other.m_handle);
  if (m_handle != nullptr) {
    m_headerList = CopyList(other.m_headerList);
    AttachHandle();
  }
}

CurlHttpClient& CurlHttpClient::operator=(const CurlHttpClient& other) {
  if (this != &other) {
    CurlHttpClient copy(other);
    TakeOver(copy);
    m_autoCookies = copy.m_autoCookies;
    m_jar = copy.m_jar;
    m_maxBodyBytes = copy.m_maxBodyBytes;
    m_maxHeaderBytes = copy.m_maxHeaderBytes;
    m_lastError = copy.m_lastError;
  }
  return *this;
}

bool CurlHttpClient::OpenWith(bool followRedirects, bool noSignals) {
  Close();
  m_handle = curl_easy_init();
  if (m_handle == nullptr) {
    return false;
  }
  return ApplyOpenSettings(followRedirects, noSignals);
}

bool CurlHttpClient::ApplyOpenSettings(bool followRedirects, bool noSignals) {
  bool ok = ApplyCommonCurlOptions(m_handle, &m_extraCaFile) == CURLE_OK;
  ok = ok && SetOk(curl_easy_setopt(m_handle, CURLOPT_NOSIGNAL, noSignals ? 1L : 0L));
  ok = ok && SetOk(curl_easy_setopt(m_handle, CURLOPT_FOLLOWLOCATION, followRedirects ? 1L : 0L));
  ok = ok && SetOk(curl_easy_setopt(m_handle, CURLOPT_WRITEFUNCTION, &CurlHttpClient::OnBody));
  ok = ok && SetOk(curl_easy_setopt(m_handle, CURLOPT_HEADERFUNCTION, &CurlHttpClient::OnHeader));
  ok = ok && SetOk(curl_easy_setopt(m_handle, CURLOPT_READFUNCTION, &CurlHttpClient::OnUpload));
  ok = ok && AttachHandle();
  m_body.reserve(4096);
  return ok;
}

bool CurlHttpClient::AttachHandle() {
  bool ok = SetOk(curl_easy_setopt(m_handle, CURLOPT_PRIVATE, this));
  ok = SetOk(curl_easy_setopt(m_handle, CURLOPT_WRITEDATA, this)) && ok;
  ok = SetOk(curl_easy_setopt(m_handle, CURLOPT_HEADERDATA, this)) && ok;
  ok = SetOk(curl_easy_setopt(m_handle, CURLOPT_READDATA, this)) && ok;
  ok = SetOk(curl_easy_setopt(m_handle, CURLOPT_SSL_CTX_DATA, &m_extraCaFile)) && ok;
  return SetOk(curl_easy_setopt(m_handle, CURLOPT_HTTPHEADER, m_headerList)) && ok;
}

void CurlHttpClient::Close() {
  ReleaseHandle();
  curl_slist_free_all(m_headerList);
  m_headerList = nullptr;
}

void CurlHttpClient::ReleaseHandle() {
  if (m_handle != nullptr) {
    curl_easy_cleanup(m_handle);
    m_handle = nullptr;
  }
  m_body.clear();
  m_headers.clear();
  m_upload.clear();
  m_uploadPos = 0;
  m_bodyHook = {};
  m_headerHook = {};
  m_uploadHook = {};
}

void CurlHttpClient::TakeOver(CurlHttpClient& owner) {
  Close();
  std::swap(m_handle, owner.m_handle);
  std::swap(m_headerList, owner.m_headerList);
  m_body = std::move(owner.m_body);
  m_headers = std::move(owner.m_headers);
  m_upload = std::move(owner.m_upload);
  m_uploadPos = owner.m_uploadPos;
  m_bodyHook = owner.m_bodyHook;
  m_headerHook = owner.m_headerHook;
  m_uploadHook = owner.m_uploadHook;
  m_headerLines = std::move(owner.m_headerLines);
  m_extraCaFile = std::move(owner.m_extraCaFile);
  m_isPost = owner.m_isPost;
  owner.Close();
  owner.m_headerLines.clear();
  if (m_handle != nullptr) {
    AttachHandle();
  }
}

bool CurlHttpClient::AdoptHandle(CURL* handle) {
  char* owned = nullptr;
  if (handle == nullptr || handle == m_handle ||
      curl_easy_getinfo(handle, CURLINFO_PRIVATE, &owned) != CURLE_OK || owned == nullptr) {
    return false;
  }
  auto* owner = reinterpret_cast<CurlHttpClient*>(owned);
  if (owner->m_handle != handle) {
    return false;
  }
  TakeOver(*owner);
  return true;
}

bool CurlHttpClient::AdoptHandle(CurlHandle handle) {
  if (!handle) {
    return false;
  }
  Close();
  m_handle = handle.release();
  m_isPost = false;
  return AttachHandle();
}

CurlHandle CurlHttpClient::DuplicateHandle() const {
  CurlHandle copy(m_handle != nullptr ? curl_easy_duphandle(m_handle) : nullptr);
  if (copy) {
    // Null user data makes the callbacks refuse every piece, so a transfer on
    // the loose handle fails instead of writing into this client.
    void* none = nullptr;
    curl_easy_setopt(copy.get(), CURLOPT_PRIVATE, none);
    curl_easy_setopt(copy.get(), CURLOPT_WRITEDATA, none);
    curl_easy_setopt(copy.get(), CURLOPT_HEADERDATA, none);
    curl_easy_setopt(copy.get(), CURLOPT_READDATA, none);
    curl_easy_setopt(copy.get(), CURLOPT_SSL_CTX_DATA, none);
    curl_easy_setopt(copy.get(), CURLOPT_HTTPHEADER, static_cast<curl_slist*>(nullptr));
  }
  return copy;
}

bool CurlHttpClient::Reset(bool keepOptions) {
  m_body.clear();
  m_headers.clear();
  m_upload.clear();
  m_uploadPos = 0;
  if (keepOptions) {
    return true;
  }
  if (m_handle == nullptr) {
    return false;
  }
  curl_easy_reset(m_handle);
  curl_slist_free_all(m_headerList);
  m_headerList = nullptr;
  m_bodyHook = {};
  m_headerHook = {};
  m_uploadHook = {};
  m_isPost = false;
  return ApplyOpenSettings(true, true);
}

bool CurlHttpClient::SetMethodAndUrl(const std::string& verb, const std::string& url,
                                     bool clearHeaders) {
  if (clearHeaders) {
    m_headerLines.clear();
  }
  Reset(true);
  if (m_handle == nullptr) {
    return false;
  }
  bool ok = true;
  if (verb.empty() || verb == "GET") {
    m_isPost = false;
    ok = SetOk(curl_easy_setopt(m_handle, CURLOPT_POST, 0L));
  } else if (verb == "POST") {
    m_isPost = true;
    ok = SetOk(curl_easy_setopt(m_handle, CURLOPT_POST, 1L));
  }
  std::string utf8Url = Cp936ToUtf8(url);
  return SetOk(curl_easy_setopt(m_handle, CURLOPT_URL, utf8Url.c_str())) && ok;
}

void CurlHttpClient::SetHeaderLines(std::string& headerText) {
  for (size_t pos = headerText.find("\n\r"); pos != std::string::npos;
       pos = headerText.find("\n\r", pos)) {
    headerText.erase(pos, 2);
  }
  m_headerLines = SplitItems(TrimBlanks(headerText), "\r\n");
}

void CurlHttpClient::AddHeader(const std::string& name, const std::string& value) {
  m_headerLines.push_back(name + ": " + value);
}

bool CurlHttpClient::SetProxy(const std::string& address, int scheme, const std::string& user,
                              const std::string& password) {
  static const char* const kPrefixes[] = {"http://", "socks4://", "socks5://", "socks4a://",
                                          "socks5h://"};
  std::string proxy;
  if (scheme >= 1 && scheme <= 5) {
    proxy = kPrefixes[scheme - 1];
    // Empty credentials are left out rather than sent as an empty login.
    if (!user.empty() || !password.empty()) {
      proxy += user + ":" + password + "@";
    }
    proxy += address;
  }
  return m_handle != nullptr && SetOk(curl_easy_setopt(m_handle, CURLOPT_PROXY, proxy.c_str()));
}

bool CurlHttpClient::SetFollowRedirects(bool on) {
  return m_handle != nullptr &&
         SetOk(curl_easy_setopt(m_handle, CURLOPT_FOLLOWLOCATION, on ? 1L : 0L));
}

bool CurlHttpClient::SetTimeoutsMs(long connectMs, long totalMs) {
  return m_handle != nullptr &&
         SetOk(curl_easy_setopt(m_handle, CURLOPT_CONNECTTIMEOUT_MS, connectMs)) &&
         SetOk(curl_easy_setopt(m_handle, CURLOPT_TIMEOUT_MS, totalMs));
}

bool CurlHttpClient::SetAcceptEncoding(bool gzipOnly) {
  std::string codings = gzipOnly ? "gzip" : DecodableContentEncodings();
  return m_handle != nullptr &&
         SetOk(curl_easy_setopt(m_handle, CURLOPT_ACCEPT_ENCODING, codings.c_str()));
}

bool CurlHttpClient::SetHeaderList(const std::vector<std::string>& lines) {
  curl_slist_free_all(m_headerList);
  m_headerList = nullptr;
  bool ok = true;
  for (std::string line : lines) {
    if (StartsWithNoCase(line, "Accept-Encoding:")) {
      line = line.substr(0, 16) + " " + FilterAcceptEncoding(line.substr(16));
    }
    curl_slist* grown = curl_slist_append(m_headerList, line.c_str());
    if (grown == nullptr) {
      ok = false;
      break;
    }
    m_headerList = grown;
  }
  return m_handle != nullptr &&
         SetOk(curl_easy_setopt(m_handle, CURLOPT_HTTPHEADER, m_headerList)) && ok;
}

bool CurlHttpClient::ApplyHeaderList() {
  std::vector<std::string> lines = m_headerLines;
  // libcurl asks for "100 Continue" before large bodies; this program's
  // services do not expect that round trip.
  lines.push_back("Expect:");
  return SetHeaderList(lines);
}

bool CurlHttpClient::SendText(const std::string& body) {
  m_lastError.clear();
  if (m_handle == nullptr) {
    m_lastError = "no handle";
    return false;
  }
  bool ok = ApplyHeaderList();
  if (!body.empty() || m_isPost) {
    // A POST states its length even when it is 0, so it is never sent chunked.
    ok = ok && SetOk(curl_easy_setopt(m_handle, CURLOPT_POSTFIELDSIZE_LARGE,
                                      static_cast<curl_off_t>(body.size())));
    ok = ok && SetOk(curl_easy_setopt(m_handle, CURLOPT_COPYPOSTFIELDS, body.c_str()));
  }
  std::string cookies = m_autoCookies ? GetCookies() : std::string();
  if (!cookies.empty()) {
    ok = ok && SetOk(curl_easy_setopt(m_handle, CURLOPT_COOKIE, cookies.c_str()));
  }
  char errorText[CURL_ERROR_SIZE] = {};
  ok = ok && SetOk(curl_easy_setopt(m_handle, CURLOPT_ERRORBUFFER, errorText));
  CURLcode code = ok ? curl_easy_perform(m_handle) : CURLE_BAD_FUNCTION_ARGUMENT;
  curl_easy_setopt(m_handle, CURLOPT_ERRORBUFFER, nullptr);
  if (m_autoCookies) {
    m_jar.MergeSetCookieHeaders(m_headers);
  }
  if (code != CURLE_OK) {
    if (m_lastError.empty()) {
      m_lastError = errorText[0] != '\0' ? errorText : curl_easy_strerror(code);
    }
    return false;
  }
  return true;
}

int CurlHttpClient::StatusCode() const {
  long status = 0;
  if (m_handle == nullptr ||
      curl_easy_getinfo(m_handle, CURLINFO_RESPONSE_CODE, &status) != CURLE_OK) {
    return 0;
  }
  return static_cast<int>(status);
}

size_t CurlHttpClient::OnBody(char* data, size_t size, size_t count, void* self) {
  auto* client = static_cast<CurlHttpClient*>(self);
  if (client == nullptr) {
    return 0;  // a duplicated handle that no client owns
  }
  if (client->m_bodyHook.routine != nullptr) {
    return client->m_bodyHook.routine(data, size, count, client->m_bodyHook.value);
  }
  size_t length = size * count;
  if (client->m_body.size() + length > client->m_maxBodyBytes) {
    client->m_lastError = "reply body larger than allowed";
    return 0;  // libcurl ends the transfer with a write error
  }
  try {
    client->m_body.append(data, length);
  } catch (const std::bad_alloc&) {
    return 0;
  }
  return length;
}

size_t CurlHttpClient::OnHeader(char* data, size_t size, size_t count, void* self) {
  auto* client = static_cast<CurlHttpClient*>(self);
  if (client == nullptr) {
    return 0;
  }
  if (client->m_headerHook.routine != nullptr) {
    return client->m_headerHook.routine(data, size, count, client->m_headerHook.value);
  }
  size_t length = size * count;
  if (client->m_headers.size() + length > client->m_maxHeaderBytes) {
    client->m_lastError = "reply headers larger than allowed";
    return 0;
  }
  try {
    client->m_headers.append(data, length);
  } catch (const std::bad_alloc&) {
    return 0;
  }
  return length;
}

size_t CurlHttpClient::OnUpload(char* buffer, size_t size, size_t count, void* self) {
  auto* client = static_cast<CurlHttpClient*>(self);
  if (client == nullptr) {
    return CURL_READFUNC_ABORT;
  }
  if (client->m_uploadHook.routine != nullptr) {
    return client->m_uploadHook.routine(buffer, size, count, client->m_uploadHook.value);
  }
  size_t left = client->m_upload.size() - client->m_uploadPos;
  size_t length = std::min(size * count, left);
  client->m_upload.copy(buffer, length, client->m_uploadPos);
  client->m_uploadPos += length;
  return length;
}

bool PrepareCurlClient(CurlHttpClient& client) {
  client.SetExtraCaFile(GetServiceConfig().caFile);
  bool ok = client.Open();
  ok = client.SetAcceptEncoding(true) && ok;
  client.SetAutoCookies(true);
  return ok;
}
