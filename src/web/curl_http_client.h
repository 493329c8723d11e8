#pragma once
// CurlHttpClient: an HTTP client over one libcurl easy handle, the back end of
// SendHttpRequest when g_useCurl is set. It buffers the reply body and every
// header line of a transfer (redirected replies included), keeps a CookieJar
// that it sends as the Cookie header and updates from Set-Cookie lines, and
// holds the request header lines it sends.
//
// A client belongs to one thread. It never calls libcurl's global set-up (the
// program does that once at start-up). Every transfer verifies certificates
// (the extra CA file given is trusted besides the system's), speaks HTTP/1.1,
// uses no proxy unless one is set, and fails when a reply piece cannot be
// stored, the body or header block passing its cap included.

#include <curl/curl.h>

#include <cstddef>
#include <string>
#include <vector>

#include "web/cookie_jar.h"

class CurlHttpClient {
 public:
  // Caps on what one transfer may deliver; replies of this program are small
  // JSON texts and pages.
  static constexpr size_t kDefaultMaxBodyBytes = size_t{64} << 20;
  static constexpr size_t kDefaultMaxHeaderBytes = size_t{1} << 20;

  CurlHttpClient() = default;
  ~CurlHttpClient();
  CurlHttpClient(const CurlHttpClient&) = delete;
  CurlHttpClient& operator=(const CurlHttpClient&) = delete;

  // Opens with redirects followed and signals off. False when libcurl gives no
  // handle; every later transfer then fails.
  bool Open() { return OpenWith(true, true); }
  bool OpenWith(bool followRedirects, bool noSignals);
  // Releases the handle, the buffers and the header list.
  void Close();

  // Starts a transfer: empties the reply buffers, sets GET ("GET" or empty) or
  // POST ("POST") and the URL; other verbs leave the method as it was.
  // `clearHeaders` empties the request header lines first.
  bool SetMethodAndUrl(const std::string& verb, const std::string& url, bool clearHeaders = true);
  // Removes every LF CR pair from the caller's text (so blank lines vanish),
  // then takes its trimmed lines as the request header lines.
  void SetHeaderLines(std::string& headerText);
  // Appends "name: value" to the request header lines.
  void AddHeader(const std::string& name, const std::string& value);
  const std::vector<std::string>& HeaderLines() const { return m_headerLines; }
  // Scheme 1 http, 2 socks4, 3 socks5, 4 socks4a, 5 socks5h; any other scheme
  // switches the proxy off.
  bool SetProxy(const std::string& address, int scheme = 1, const std::string& user = {},
                const std::string& password = {});
  bool SetFollowRedirects(bool on);
  bool SetTimeoutsMs(long connectMs = 15000, long totalMs = 15000);
  // "gzip" only, or every coding this libcurl decodes. A request header line
  // "Accept-Encoding" is cut down to the codings libcurl decodes.
  bool SetAcceptEncoding(bool gzipOnly);
  void SetExtraCaFile(const std::string& file) { m_extraCaFile = file; }
  void SetMaxBodyBytes(size_t bytes) { m_maxBodyBytes = bytes; }
  void SetMaxHeaderBytes(size_t bytes) { m_maxHeaderBytes = bytes; }

  // Automatic cookies: send the jar as the Cookie header and merge the reply's
  // Set-Cookie lines into it after every transfer. Off until set.
  void SetAutoCookies(bool on) { m_autoCookies = on; }
  std::string GetCookies() { return m_jar.GetOrSetAll({}, false); }
  std::string SetCookies(const std::string& text) { return m_jar.GetOrSetAll(text, true); }
  std::string GetCookie(const std::string& name, bool withName) const {
    return m_jar.GetValue(name, withName);
  }
  bool AddCookies(const std::string& cookieText) { return m_jar.MergePairs(cookieText); }
  bool AddSetCookieHeaders(const std::string& headers) {
    return m_jar.MergeSetCookieHeaders(headers);
  }
  bool DeleteCookies(const std::string& names) { return m_jar.DeleteNames(names); }
  const CookieJar& Jar() const { return m_jar; }

  // Runs the transfer with the header lines and the body. A POST always states
  // its length, also 0. True when libcurl reports success.
  bool SendText(const std::string& body);

  // The header lines of every reply of the last transfer, as received.
  const std::string& ResponseHeaders() const { return m_headers; }
  // The last reply's status code, 0 when none arrived.
  int StatusCode() const;
  const std::string& ResponseBody() const { return m_body; }
  // libcurl's message for the last failed transfer.
  const std::string& LastError() const { return m_lastError; }

 private:
  static size_t OnBody(char* data, size_t size, size_t count, void* self);
  static size_t OnHeader(char* data, size_t size, size_t count, void* self);
  bool ApplyHeaderList();
  bool SetOk(CURLcode code) { return code == CURLE_OK; }

  CURL* m_handle = nullptr;
  std::string m_body;
  std::string m_headers;
  std::vector<std::string> m_headerLines;
  curl_slist* m_headerList = nullptr;
  bool m_autoCookies = false;
  bool m_isPost = false;
  CookieJar m_jar;
  std::string m_extraCaFile;
  size_t m_maxBodyBytes = kDefaultMaxBodyBytes;
  size_t m_maxHeaderBytes = kDefaultMaxHeaderBytes;
  std::string m_lastError;
};

// Makes a fresh client ready for SendHttpRequest: opened with redirects
// followed, "gzip" accepted, automatic cookies on, the service configuration's
// extra CA file trusted.
bool PrepareCurlClient(CurlHttpClient& client);
