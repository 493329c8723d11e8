#pragma once
// WinHttpRequest: the synchronous HTTP request object the default web back end
// drives, built over libcurl. It offers the operations that back end uses, in
// the order it uses them: time-outs, proxy, open, the redirect option,
// credentials, request headers, send, and the final reply's status, headers
// and body.
//
// One object serves one request on the thread that made it. Failures never
// throw: an operation that fails returns false, and after a failed Send the
// body and headers read empty and the status 0.
//
// Differences from the platform object it stands in for, by decision:
// certificates are always verified (an extra CA file may be trusted), no proxy
// is taken from the environment, a redirect is followed to https only (one to
// another scheme is handed back, as the platform object does for https to
// http) and the Cookie header goes to the request's own host only, "Proxy-" headers go to a proxy
// only, HTTP/1.1 only, the Content-Length sent is the true one, and the reply body and header block
// are capped in size; a reply piece that cannot be stored fails the send.

#include <curl/curl.h>

#include <atomic>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

class WinHttpRequest {
 public:
  // Option numbers of the platform object that this stand-in honours.
  static constexpr int kOptionEnableRedirects = 6;
  // SetProxy setting: a named proxy server.
  static constexpr int kProxyNamed = 2;
  // SetCredentials targets.
  static constexpr int kCredentialsServer = 0;
  static constexpr int kCredentialsProxy = 1;

  // Replies of this program are small JSON texts and pages; a reply beyond
  // these sizes is refused rather than held in memory.
  static constexpr size_t kDefaultMaxBodyBytes = size_t{64} << 20;
  static constexpr size_t kDefaultMaxHeaderBytes = size_t{1} << 20;

  WinHttpRequest();
  ~WinHttpRequest();
  WinHttpRequest(const WinHttpRequest&) = delete;
  WinHttpRequest& operator=(const WinHttpRequest&) = delete;

  // Time-outs in milliseconds; 0 means none. Resolve and connect bound the
  // connection; the larger of send and receive bounds the whole exchange.
  // Without a call: 60 s to connect, 30 s for the exchange, as the platform
  // object has.
  void SetTimeouts(long resolveMs, long connectMs, long sendMs, long receiveMs);
  // Only kProxyNamed is supported; any other setting means no proxy.
  void SetProxy(int setting, const std::string& proxy);
  // Prepares a request. The verb is sent as given ("GET", "POST", "HEAD",
  // "PUT", ...); the URL is a text of the program (code page 936). Only
  // synchronous requests exist; async must be false.
  [[nodiscard]] bool Open(const std::string& verb, const std::string& url, bool async = false);
  // kOptionEnableRedirects: 0 returns redirects to the caller, anything else
  // follows them (the default). Other options are refused (false).
  bool SetOption(int option, long value);
  // Offered when the server (target 0) or the proxy (target 1) challenges.
  void SetCredentials(const std::string& user, const std::string& password, int target);
  // Adds a header line; a second call with the same name (any case) replaces
  // the value in place, and an empty value removes the header. Lines go out in
  // the order they were first set. False before Open or for an empty name.
  bool SetRequestHeader(const std::string& name, const std::string& value);
  // Sends the body bytes as they are and waits for the whole reply. False when
  // no reply arrived completely (no connection, time-out, refused certificate,
  // reply over a cap); the reply then reads as empty with status 0.
  bool Send(const std::string& body = {});

  // The final reply's body bytes.
  const std::string& ResponseBody() const { return m_body; }
  // The final reply's header lines (status line left out), each ending in CRLF.
  const std::string& GetAllResponseHeaders() const { return m_headers; }
  // The final reply's status code, 0 when none arrived.
  int Status() const { return m_status; }

  // Stand-in settings without a platform counterpart.
  void SetExtraCaFile(const std::string& file) { m_extraCaFile = file; }
  void SetMaxBodyBytes(size_t bytes) { m_maxBodyBytes = bytes; }
  void SetMaxHeaderBytes(size_t bytes) { m_maxHeaderBytes = bytes; }
  // A flag that ends a Send in flight within about a second once it is true
  // (the send then fails); nullptr: none. Must outlive the sends.
  void SetStopFlag(const std::atomic<bool>* flag) { m_stopFlag = flag; }
  // libcurl's message for the last failed Send, for logs and tests.
  const std::string& LastError() const { return m_lastError; }

 private:
  static size_t OnBody(char* data, size_t size, size_t count, void* self);
  static size_t OnHeader(char* data, size_t size, size_t count, void* self);
  // The header lists of one send, freed when it ends.
  struct HeaderLists {
    curl_slist* server = nullptr;
    curl_slist* proxy = nullptr;
    HeaderLists() = default;
    HeaderLists(const HeaderLists&) = delete;
    HeaderLists& operator=(const HeaderLists&) = delete;
    ~HeaderLists() {
      curl_slist_free_all(server);
      curl_slist_free_all(proxy);
    }
  };
  [[nodiscard]] bool ApplyOptions(const std::string& body, HeaderLists& lists);
  [[nodiscard]] bool ApplyBody(const std::string& body);
  [[nodiscard]] bool ApplyHeaders(size_t bodyBytes, HeaderLists& lists);
  // After a failed transfer: whether it ended at a redirect to a scheme other
  // than https, which is not followed; that redirect is then the reply.
  bool RedirectNotFollowed() const;
  void ClearReply();

  CURL* m_handle = nullptr;
  std::string m_verb;
  std::string m_url;
  long m_connectMs = 60000;
  long m_transferMs = 30000;
  std::string m_proxy;
  bool m_followRedirects = true;
  std::string m_user;
  std::string m_password;
  int m_credentialsTarget = -1;
  std::vector<std::pair<std::string, std::string>> m_requestHeaders;
  std::string m_extraCaFile;
  const std::atomic<bool>* m_stopFlag = nullptr;
  size_t m_maxBodyBytes = kDefaultMaxBodyBytes;
  size_t m_maxHeaderBytes = kDefaultMaxHeaderBytes;
  bool m_overCap = false;
  std::string m_body;
  std::string m_headers;
  int m_status = 0;
  std::string m_lastError;
};
