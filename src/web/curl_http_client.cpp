#include "web/curl_http_client.h"

#include <new>

#include "platform/code_page_codec.h"
#include "platform/curl_support.h"
#include "web/http_text_util.h"
#include "web/service_config.h"

namespace {

bool StartsWithNoCase(const std::string& line, const char* prefix) {
  return FindNoCase(line, prefix) == 0;
}

}  // namespace

CurlHttpClient::~CurlHttpClient() {
  Close();
}

bool CurlHttpClient::OpenWith(bool followRedirects, bool noSignals) {
  Close();
  m_handle = curl_easy_init();
  if (m_handle == nullptr) {
    return false;
  }
  bool ok = ApplyCommonCurlOptions(m_handle, &m_extraCaFile) == CURLE_OK;
  ok = ok && SetOk(curl_easy_setopt(m_handle, CURLOPT_NOSIGNAL, noSignals ? 1L : 0L));
  ok = ok && SetOk(curl_easy_setopt(m_handle, CURLOPT_FOLLOWLOCATION, followRedirects ? 1L : 0L));
  ok = ok && SetOk(curl_easy_setopt(m_handle, CURLOPT_WRITEFUNCTION, &CurlHttpClient::OnBody));
  ok = ok && SetOk(curl_easy_setopt(m_handle, CURLOPT_WRITEDATA, this));
  ok = ok && SetOk(curl_easy_setopt(m_handle, CURLOPT_HEADERFUNCTION, &CurlHttpClient::OnHeader));
  ok = ok && SetOk(curl_easy_setopt(m_handle, CURLOPT_HEADERDATA, this));
  m_body.reserve(4096);
  return ok;
}

void CurlHttpClient::Close() {
  if (m_handle != nullptr) {
    curl_easy_cleanup(m_handle);
    m_handle = nullptr;
  }
  curl_slist_free_all(m_headerList);
  m_headerList = nullptr;
  m_body.clear();
  m_headers.clear();
}

bool CurlHttpClient::SetMethodAndUrl(const std::string& verb, const std::string& url,
                                     bool clearHeaders) {
  if (clearHeaders) {
    m_headerLines.clear();
  }
  m_body.clear();
  m_headers.clear();
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
  m_headerLines = SplitText(TrimBlanks(headerText), "\r\n");
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

bool CurlHttpClient::ApplyHeaderList() {
  curl_slist_free_all(m_headerList);
  m_headerList = nullptr;
  std::vector<std::string> lines = m_headerLines;
  // libcurl asks for "100 Continue" before large bodies; this program's
  // services do not expect that round trip.
  lines.push_back("Expect:");
  for (std::string& line : lines) {
    if (StartsWithNoCase(line, "Accept-Encoding:")) {
      line = line.substr(0, 16) + " " + FilterAcceptEncoding(line.substr(16));
    }
    curl_slist* grown = curl_slist_append(m_headerList, line.c_str());
    if (grown == nullptr) {
      return false;
    }
    m_headerList = grown;
  }
  return SetOk(curl_easy_setopt(m_handle, CURLOPT_HTTPHEADER, m_headerList));
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

bool PrepareCurlClient(CurlHttpClient& client) {
  client.SetExtraCaFile(GetServiceConfig().caFile);
  bool ok = client.Open();
  ok = client.SetAcceptEncoding(true) && ok;
  client.SetAutoCookies(true);
  return ok;
}
