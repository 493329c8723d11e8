#pragma once
// CurlHttpClient: an HTTP client over one libcurl easy handle, the back end of
// SendHttpRequest when g_useCurl is set. It buffers the reply body and every
// header line of a transfer (redirected replies included), keeps a CookieJar
// that it sends as the Cookie header and updates from Set-Cookie lines, and
// holds the request header lines it sends. Besides what SendHttpRequest uses it
// offers the raw option and info forms, uploads from a buffer, hooks that take
// the body, header or upload stream over, and copies of itself.
//
// A client belongs to one thread. It never calls libcurl's global set-up (the
// program does that once at start-up). Every transfer verifies certificates
// (the extra CA file given is trusted besides the system's), speaks HTTP/1.1
// unless told otherwise, uses no proxy unless one is set, and fails when a
// reply piece cannot be stored, the body or header block passing its cap
// included. The raw option forms refuse the options that guard this
// (certificate and host checks, allowed protocols) and values of the wrong
// type, so no caller can switch verification off or hand libcurl a bad pointer.

#include <curl/curl.h>

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "web/cookie_jar.h"

// Owns an easy handle that no client holds, as DuplicateHandle gives it.
struct CurlEasyCleanup {
  void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
using CurlHandle = std::unique_ptr<CURL, CurlEasyCleanup>;

class CurlHttpClient {
 public:
  // Caps on what one transfer may deliver; replies of this program are small
  // JSON texts and pages.
  static constexpr size_t kDefaultMaxBodyBytes = size_t{64} << 20;
  static constexpr size_t kDefaultMaxHeaderBytes = size_t{1} << 20;

  CurlHttpClient() = default;
  ~CurlHttpClient();
  // A copy is independent: it gets a duplicate of the handle (every option,
  // the sent header list included) and its own copies of the buffers, header
  // lines, jar and hooks. A copy of a closed client is closed; when libcurl
  // cannot duplicate the handle the copy has none.
  CurlHttpClient(const CurlHttpClient& other);
  CurlHttpClient& operator=(const CurlHttpClient& other);

  // Opens with redirects followed and signals off. False when libcurl gives no
  // handle; every later transfer then fails.
  bool Open() { return OpenWith(true, true); }
  bool OpenWith(bool followRedirects, bool noSignals);
  // Releases the handle, the buffers and the header list.
  void Close();
  // Releases the handle, the three buffers and the hooks; the header list stays.
  void ReleaseHandle();

  CURL* GetHandle() const { return m_handle; }
  // Takes over the handle of the client that owns `handle` (one got from
  // another client's GetHandle), with its buffers, hooks, header lines, header
  // list and extra CA file; that client is left closed. False for a handle no
  // other client owns; this client is then unchanged.
  bool AdoptHandle(CURL* handle);
  // Takes over a handle that no client owns (one from DuplicateHandle) with
  // empty buffers. False when `handle` is empty.
  bool AdoptHandle(CurlHandle handle);
  // A duplicate of the handle with every option, cut loose from this client:
  // it has no reply buffers, header list or extra CA file, so a transfer on it
  // fails until a client adopts it. Empty without a handle.
  CurlHandle DuplicateHandle() const;
  // keepOptions: empties the body, header and upload buffers. Otherwise the
  // handle also loses every option and gets those of Open again; hooks go.
  bool Reset(bool keepOptions);

  // Raw option forms. CURLE_BAD_FUNCTION_ARGUMENT without a handle, for an
  // option of another type and for the options that guard the transfer.
  CURLcode SetOptionInteger(CURLoption option, long value);
  CURLcode SetOptionLarge(CURLoption option, curl_off_t value);
  // A text option; libcurl keeps its own copy.
  CURLcode SetOptionText(CURLoption option, const std::string& text);
  // A blob option, or CURLOPT_POSTFIELDS / CURLOPT_COPYPOSTFIELDS: libcurl
  // keeps a copy of the bytes with their length, zero bytes included.
  CURLcode SetOptionBytes(CURLoption option, const std::string& bytes);
  // curl_easy_perform on the options as they stand.
  CURLcode Perform();

  // Raw info forms: 0, 0.0 or the empty text without a handle, for an info of
  // another type and when libcurl has no value.
  long long GetInfoInteger(CURLINFO info) const;
  double GetInfoDouble(CURLINFO info) const;
  std::string GetInfoText(CURLINFO info) const;
  // CURLINFO_COOKIELIST or CURLINFO_SSL_ENGINES, one text per element.
  CURLcode GetInfoList(CURLINFO info, std::vector<std::string>& items) const;
  // CURLINFO_CERTINFO (after a transfer with CURLOPT_CERTINFO on): per
  // certificate of the chain its "name:value" texts.
  CURLcode GetInfoCertificates(CURLINFO info,
                               std::vector<std::vector<std::string>>& certificates) const;

  // Percent-encodes every byte but letters, digits and "-._~"; empty when
  // libcurl fails or the text is longer than it takes.
  static std::string Escape(const std::string& text);
  // Decodes %XX sequences into bytes (zero bytes kept); "+" stays "+".
  static std::string Unescape(const std::string& text);

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
  // Builds the libcurl header list from `lines` in order (none when empty),
  // an Accept-Encoding line cut down as above.
  bool SetHeaderList(const std::vector<std::string>& lines);
  bool SetTimeoutsSeconds(long connectSeconds = 15, long totalSeconds = 15);
  // 1 HTTP/1.0, 2 HTTP/1.1, 3 HTTP/2 (where the server agrees); any other
  // value changes nothing and gives true.
  bool SetHttpVersion(int version = 2);
  // CURLOPT_NOBODY: ask for the head only.
  bool SetHeadOnly(bool on);
  // Certificate and host checks cannot be switched off: false, and nothing
  // changes, when either flag is false; true when both checks are (still) on.
  bool SetSslVerify(bool verifyPeer, bool verifyHost = true);
  void SetExtraCaFile(const std::string& file) { m_extraCaFile = file; }
  void SetMaxBodyBytes(size_t bytes) { m_maxBodyBytes = bytes; }
  void SetMaxHeaderBytes(size_t bytes) { m_maxHeaderBytes = bytes; }

  // Automatic cookies: send the jar as the Cookie header and merge the reply's
  // Set-Cookie lines into it after every transfer. Off until set. 1 switches
  // them on (true), 0 off (false); any other value changes nothing (false).
  bool SetAutoCookies(int on = 1);
  std::string GetCookies() { return m_jar.GetOrSetAll({}, false); }
  // set: the jar becomes `text`, which is returned; otherwise as GetCookies.
  std::string SetCookies(const std::string& text, bool set = true) {
    return m_jar.GetOrSetAll(text, set);
  }
  std::string GetCookie(const std::string& name, bool withName) const {
    return m_jar.GetValue(name, withName);
  }
  bool AddCookies(const std::string& cookieText) { return m_jar.MergePairs(cookieText); }
  bool AddCookieText(const std::string& cookieText) { return m_jar.MergePairs(cookieText); }
  bool AddSetCookieHeaders(const std::string& headers) {
    return m_jar.MergeSetCookieHeaders(headers);
  }
  bool DeleteCookies(const std::string& names) { return m_jar.DeleteNames(names); }
  const CookieJar& Jar() const { return m_jar; }

  // Runs the transfer with the header lines and the body. A POST always states
  // its length, also 0. True when libcurl reports success.
  bool SendText(const std::string& body);
  // The same with a byte body, zero bytes included.
  bool SendBytes(const std::string& body) { return SendText(body); }

  // The upload buffer that the read callback hands out (CURLOPT_UPLOAD, or a
  // POST without post fields). False without a handle.
  bool SetUploadData(const std::string& bytes);
  bool AppendUploadData(const std::string& bytes);
  const char* UploadDataAddress() const { return m_upload.data(); }

  // Hooks with libcurl's own callback signatures, called with `value` as the
  // user data. A receive or header hook takes the stream over (the buffer
  // stays empty, no cap applies) and its result goes to libcurl as is; an
  // upload hook fills libcurl's buffer instead of the upload buffer. A null
  // routine restores the buffer. Open and Reset without keeping options drop
  // them.
  void SetReceiveHook(curl_write_callback routine, void* value) { m_bodyHook = {routine, value}; }
  void SetHeaderHook(curl_write_callback routine, void* value) { m_headerHook = {routine, value}; }
  void SetUploadHook(curl_read_callback routine, void* value) { m_uploadHook = {routine, value}; }
  // Progress reports during transfers; a non-zero result aborts the transfer.
  // A null routine switches them off.
  bool SetProgressCallback(curl_xferinfo_callback routine, void* value);

  // The header lines of every reply of the last transfer, as received.
  const std::string& ResponseHeaders() const { return m_headers; }
  // The last reply's status code, 0 when none arrived.
  int StatusCode() const;
  const std::string& ResponseBody() const { return m_body; }
  const std::string& ReceivedBodyBytes() const { return m_body; }
  const std::string& ReceivedHeaderBytes() const { return m_headers; }
  // The buffers read as texts: up to the first zero byte.
  std::string ReceivedBodyText() const { return m_body.substr(0, m_body.find('\0')); }
  std::string ReceivedHeaderText() const { return m_headers.substr(0, m_headers.find('\0')); }
  // The body read as UTF-8, in code page 936.
  std::string ResponseText() const;

  // About the last transfer.
  std::string RedirectUrl() const { return GetInfoText(CURLINFO_REDIRECT_URL); }
  double TotalTime() const { return GetInfoDouble(CURLINFO_TOTAL_TIME); }
  std::string EffectiveUrl() const { return GetInfoText(CURLINFO_EFFECTIVE_URL); }
  std::string PrimaryIp() const { return GetInfoText(CURLINFO_PRIMARY_IP); }
  int PrimaryPort() const { return static_cast<int>(GetInfoInteger(CURLINFO_PRIMARY_PORT)); }
  std::string LocalIp() const { return GetInfoText(CURLINFO_LOCAL_IP); }
  int LocalPort() const { return static_cast<int>(GetInfoInteger(CURLINFO_LOCAL_PORT)); }
  // libcurl's message for the last failed transfer.
  const std::string& LastError() const { return m_lastError; }

 private:
  static size_t OnBody(char* data, size_t size, size_t count, void* self);
  static size_t OnHeader(char* data, size_t size, size_t count, void* self);
  static size_t OnUpload(char* buffer, size_t size, size_t count, void* self);
  bool ApplyOpenSettings(bool followRedirects, bool noSignals);
  // Points the handle's user data, private pointer, CA file and header list
  // at this client.
  bool AttachHandle();
  // Moves the handle and everything tied to it from `owner` into this client.
  void TakeOver(CurlHttpClient& owner);
  bool ApplyHeaderList();
  static bool SetOk(CURLcode code) { return code == CURLE_OK; }

  template <typename Callback>
  struct Hook {
    Callback routine = nullptr;
    void* value = nullptr;
  };

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
  std::string m_upload;
  size_t m_uploadPos = 0;
  Hook<curl_write_callback> m_bodyHook;
  Hook<curl_write_callback> m_headerHook;
  Hook<curl_read_callback> m_uploadHook;
};

// Makes a fresh client ready for SendHttpRequest: opened with redirects
// followed, "gzip" accepted, automatic cookies on, the service configuration's
// extra CA file trusted.
bool PrepareCurlClient(CurlHttpClient& client);
