#include "platform/win_http_request.h"

#include <algorithm>
#include <new>

#include "platform/code_page_codec.h"
#include "platform/curl_support.h"

namespace {

bool EqualsNoCase(const std::string& a, const std::string& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return lower(x) == lower(y);
  });
}

std::string WithoutLineEnd(const char* data, size_t length) {
  while (length > 0 && (data[length - 1] == '\r' || data[length - 1] == '\n')) {
    --length;
  }
  return std::string(data, length);
}

}  // namespace

WinHttpRequest::WinHttpRequest() {
  InitializeCurlOnce();
}

WinHttpRequest::~WinHttpRequest() {
  if (m_handle != nullptr) {
    curl_easy_cleanup(m_handle);
  }
}

void WinHttpRequest::SetTimeouts(long resolveMs, long connectMs, long sendMs, long receiveMs) {
  m_connectMs = std::max(resolveMs, connectMs);
  m_transferMs = std::max(sendMs, receiveMs);
}

void WinHttpRequest::SetProxy(int setting, const std::string& proxy) {
  m_proxy = setting == kProxyNamed ? proxy : std::string();
}

bool WinHttpRequest::Open(const std::string& verb, const std::string& url, bool async) {
  if (async || verb.empty()) {
    return false;
  }
  if (m_handle == nullptr) {
    m_handle = curl_easy_init();
  } else {
    curl_easy_reset(m_handle);
  }
  if (m_handle == nullptr) {
    return false;
  }
  m_verb = verb;
  m_url = Cp936ToUtf8(url);
  m_requestHeaders.clear();
  m_followRedirects = true;
  ClearReply();
  return true;
}

bool WinHttpRequest::SetOption(int option, long value) {
  if (option != kOptionEnableRedirects) {
    return false;
  }
  m_followRedirects = value != 0;
  return true;
}

void WinHttpRequest::SetCredentials(const std::string& user, const std::string& password,
                                    int target) {
  m_user = user;
  m_password = password;
  m_credentialsTarget = target;
}

bool WinHttpRequest::SetRequestHeader(const std::string& name, const std::string& value) {
  if (m_handle == nullptr || name.empty()) {
    return false;
  }
  auto same =
      std::find_if(m_requestHeaders.begin(), m_requestHeaders.end(),
                   [&name](const auto& header) { return EqualsNoCase(header.first, name); });
  if (value.empty()) {
    if (same != m_requestHeaders.end()) {
      m_requestHeaders.erase(same);
    }
  } else if (same != m_requestHeaders.end()) {
    same->second = value;
  } else {
    m_requestHeaders.emplace_back(name, value);
  }
  return true;
}

void WinHttpRequest::ClearReply() {
  m_body.clear();
  m_headers.clear();
  m_status = 0;
  m_overCap = false;
}

size_t WinHttpRequest::OnBody(char* data, size_t size, size_t count, void* self) {
  auto* request = static_cast<WinHttpRequest*>(self);
  size_t length = size * count;
  if (request->m_body.size() + length > request->m_maxBodyBytes) {
    request->m_overCap = true;
    return 0;  // libcurl ends the transfer with a write error
  }
  try {
    request->m_body.append(data, length);
  } catch (const std::bad_alloc&) {
    return 0;
  }
  return length;
}

size_t WinHttpRequest::OnHeader(char* data, size_t size, size_t count, void* self) {
  auto* request = static_cast<WinHttpRequest*>(self);
  size_t length = size * count;
  try {
    std::string line = WithoutLineEnd(data, length);
    if (line.rfind("HTTP/", 0) == 0) {
      // A new reply begins (a redirect or an interim reply came before it):
      // only the final reply's headers are kept.
      request->m_headers.clear();
      return length;
    }
    if (line.empty()) {
      return length;
    }
    if (request->m_headers.size() + line.size() + 2 > request->m_maxHeaderBytes) {
      request->m_overCap = true;
      return 0;
    }
    request->m_headers += line;
    request->m_headers += "\r\n";
  } catch (const std::bad_alloc&) {
    return 0;
  }
  return length;
}

bool WinHttpRequest::ApplyOptions(const std::string& body, HeaderLists& lists) {
  CURL* h = m_handle;
  bool ok = ApplyCommonCurlOptions(h, &m_extraCaFile) == CURLE_OK;
  auto set = [&ok](CURLcode code) { ok = ok && code == CURLE_OK; };
  set(curl_easy_setopt(h, CURLOPT_URL, m_url.c_str()));
  set(curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, m_followRedirects ? 1L : 0L));
  set(curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, m_connectMs));
  set(curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, m_transferMs));
  set(curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &WinHttpRequest::OnBody));
  set(curl_easy_setopt(h, CURLOPT_WRITEDATA, this));
  set(curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, &WinHttpRequest::OnHeader));
  set(curl_easy_setopt(h, CURLOPT_HEADERDATA, this));
  if (!m_proxy.empty()) {
    set(curl_easy_setopt(h, CURLOPT_PROXY, m_proxy.c_str()));
  }
  if (m_stopFlag != nullptr) {
    set(curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, &AbortWhenStopFlagSet));
    set(curl_easy_setopt(h, CURLOPT_XFERINFODATA, m_stopFlag));
    set(curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L));
  }
  if (m_credentialsTarget == kCredentialsProxy) {
    set(curl_easy_setopt(h, CURLOPT_PROXYUSERNAME, m_user.c_str()));
    set(curl_easy_setopt(h, CURLOPT_PROXYPASSWORD, m_password.c_str()));
    set(curl_easy_setopt(h, CURLOPT_PROXYAUTH, CURLAUTH_ANY));
  } else if (m_credentialsTarget == kCredentialsServer) {
    set(curl_easy_setopt(h, CURLOPT_USERNAME, m_user.c_str()));
    set(curl_easy_setopt(h, CURLOPT_PASSWORD, m_password.c_str()));
    set(curl_easy_setopt(h, CURLOPT_HTTPAUTH, CURLAUTH_ANY));
  }
  ok = ok && ApplyBody(body) && ApplyHeaders(body.size(), lists);
  return ok;
}

bool WinHttpRequest::ApplyBody(const std::string& body) {
  CURL* h = m_handle;
  if (m_verb == "HEAD") {
    return curl_easy_setopt(h, CURLOPT_NOBODY, 1L) == CURLE_OK;
  }
  if (m_verb == "GET" && body.empty()) {
    return curl_easy_setopt(h, CURLOPT_HTTPGET, 1L) == CURLE_OK;
  }
  // Every other request states its body length, also 0, so no request is ever
  // sent chunked.
  bool ok = curl_easy_setopt(h, CURLOPT_POSTFIELDSIZE_LARGE,
                             static_cast<curl_off_t>(body.size())) == CURLE_OK &&
            curl_easy_setopt(h, CURLOPT_COPYPOSTFIELDS, body.c_str()) == CURLE_OK;
  if (m_verb != "POST") {
    ok = ok && curl_easy_setopt(h, CURLOPT_CUSTOMREQUEST, m_verb.c_str()) == CURLE_OK;
  }
  return ok;
}

bool WinHttpRequest::ApplyHeaders(size_t bodyBytes, HeaderLists& lists) {
  bool sendsBody = m_verb != "GET" && m_verb != "HEAD";
  sendsBody = sendsBody || (m_verb == "GET" && bodyBytes > 0);
  bool ok = true;
  auto append = [&ok](curl_slist*& list, const std::string& line) {
    curl_slist* grown = ok ? curl_slist_append(list, line.c_str()) : nullptr;
    ok = grown != nullptr;
    list = ok ? grown : list;
  };
  auto asked = [this](const char* name) {
    return std::any_of(m_requestHeaders.begin(), m_requestHeaders.end(),
                       [name](const auto& header) { return EqualsNoCase(header.first, name); });
  };
  for (const auto& [name, value] : m_requestHeaders) {
    std::string line = name + ": " + value;
    if (EqualsNoCase(name, "Content-Length")) {
      line = name + ": " + std::to_string(bodyBytes);  // the length sent is always the true one
    } else if (EqualsNoCase(name, "Accept-Encoding")) {
      std::string codings = FilterAcceptEncoding(value);
      line = name + ": " + codings;
      ok = ok && curl_easy_setopt(m_handle, CURLOPT_ACCEPT_ENCODING, codings.c_str()) == CURLE_OK;
    } else if (EqualsNoCase(name.substr(0, 6), "Proxy-")) {
      // Proxy credentials go to the proxy only, never to the server.
      if (!m_proxy.empty()) {
        append(lists.proxy, line);
      }
      continue;
    }
    append(lists.server, line);
  }
  // libcurl adds headers of its own that the request did not ask for; these
  // lines without a value switch them off.
  for (const char* name : {"Expect", "Accept", "Content-Type"}) {
    if (!asked(name) && (sendsBody || std::string(name) != "Content-Type")) {
      append(lists.server, std::string(name) + ":");
    }
  }
  ok = ok && curl_easy_setopt(m_handle, CURLOPT_HTTPHEADER, lists.server) == CURLE_OK;
  ok = ok && curl_easy_setopt(m_handle, CURLOPT_PROXYHEADER, lists.proxy) == CURLE_OK;
  return ok;
}

bool WinHttpRequest::RedirectNotFollowed() const {
  long status = 0;
  if (curl_easy_getinfo(m_handle, CURLINFO_RESPONSE_CODE, &status) != CURLE_OK ||
      (status != 301 && status != 302 && status != 303 && status != 307 && status != 308)) {
    return false;
  }
  // The header block is the redirect's own: an absolute target whose scheme
  // is not https.
  for (size_t start = 0; start < m_headers.size();) {
    size_t end = m_headers.find("\r\n", start);
    end = end == std::string::npos ? m_headers.size() : end;
    const std::string line = m_headers.substr(start, end - start);
    if (line.size() > 9 && EqualsNoCase(line.substr(0, 9), "Location:")) {
      std::string target = line.substr(9);
      target.erase(0, target.find_first_not_of(' '));
      return target.find("://") != std::string::npos &&
             !EqualsNoCase(target.substr(0, 6), "https:");
    }
    start = end + 2;
  }
  return false;
}

bool WinHttpRequest::Send(const std::string& body) {
  ClearReply();
  m_lastError.clear();
  if (m_handle == nullptr) {
    m_lastError = "the request was not opened";
    return false;
  }
  HeaderLists lists;
  char errorText[CURL_ERROR_SIZE] = {};
  bool ok = ApplyOptions(body, lists) &&
            curl_easy_setopt(m_handle, CURLOPT_ERRORBUFFER, errorText) == CURLE_OK;
  CURLcode code = ok ? curl_easy_perform(m_handle) : CURLE_BAD_FUNCTION_ARGUMENT;
  curl_easy_setopt(m_handle, CURLOPT_ERRORBUFFER, nullptr);
  curl_easy_setopt(m_handle, CURLOPT_HTTPHEADER, nullptr);
  curl_easy_setopt(m_handle, CURLOPT_PROXYHEADER, nullptr);
  if (code != CURLE_OK && RedirectNotFollowed()) {
    code = CURLE_OK;
  }
  if (code != CURLE_OK) {
    m_lastError = m_overCap ? "reply larger than allowed"
                            : (errorText[0] != '\0' ? errorText : curl_easy_strerror(code));
    ClearReply();
    return false;
  }
  long status = 0;
  curl_easy_getinfo(m_handle, CURLINFO_RESPONSE_CODE, &status);
  m_status = static_cast<int>(status);
  return true;
}
