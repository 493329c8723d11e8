#pragma once
// SendHttpRequest: the program's one HTTP request routine. Every request to the
// cloud-disk service and to the update host goes through it, from any thread.
// It fills in the default header line, hands the request to the back end that
// g_useCurl chooses (the request-object back end or the libcurl client) and
// gives the reply back. Nothing is reported and nothing is thrown: a request
// that fails yields an empty body and status 0, and each caller retries as it
// sees fit. Each call makes and releases its own objects and keeps nothing.
//
// Certificates are always verified (the extra CA file of the service
// configuration is trusted besides the system's), no proxy is taken from the
// environment, and requests speak HTTP/1.1.

#include <atomic>
#include <optional>
#include <string>

class WinHttpRequest;

// 0: the request-object back end (SendWinHttpRequest); anything else: the
// libcurl client. Written once at start-up before the first request, only read
// afterwards.
extern int g_useCurl;

// The time-out when none, or one below one second, is given.
inline constexpr int HTTP_TIMEOUT_DEFAULT_MS = 15000;

// The header text of a request whose caller gives none.
inline constexpr const char* kDefaultHttpHeaderLine =
    "User-Agent: Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like "
    "Gecko) Chrome/114.0.0.0 Safari/537.36 Edg/114.0.1823.41";

// Method codes. The libcurl back end sends GET and POST only; the request-object
// back end also the others, and sends any unknown code as GET.
enum HttpMethod : int {
  kHttpGet = 0,
  kHttpPost = 1,
  kHttpHead = 2,
  kHttpPut = 3,
  kHttpOptions = 4,
  kHttpDelete = 5,
  kHttpTrace = 6,
  kHttpConnect = 7,
};

// The optional parameters of SendHttpRequest, in their fixed order, so callers
// name only what they give: SendHttpRequest(url, {.cookies = &c, .timeoutSeconds = 5}).
// Every member has an initializer, so naming only some of them compiles
// without warnings. Pointers are the caller's own variables (nullptr: left out); texts are code
// page 936, bodies are bytes.
struct HttpRequestArgs {
  int method = kHttpGet;
  std::string body{};
  // In: the cookie text sent as the Cookie header. The request-object back end
  // removes every "Cookie:" from it and, with mergeCookies, leaves the merged
  // cookies in it.
  std::string* cookies = nullptr;
  // Out: the reply's cookies as name=value pairs joined by "; ".
  std::string* receivedCookies = nullptr;
  // In and out: header lines joined by CRLF. An empty text is replaced in the
  // caller's variable by kDefaultHttpHeaderLine; the libcurl back end appends
  // CRLF to it.
  std::string* headers = nullptr;
  // Out: the reply's header block.
  std::string* receivedHeaders = nullptr;
  // Out: the HTTP status, 0 when no complete reply arrived.
  int* status = nullptr;
  bool noRedirect = false;
  // Raw bytes sent instead of `body` when not empty (request-object back end).
  std::string byteBody{};
  // Proxy address; empty: no proxy.
  std::string proxy{};
  // Seconds; -1: no time-out; below 1: HTTP_TIMEOUT_DEFAULT_MS.
  int timeoutSeconds = 0;
  // Request-object back end only.
  std::string proxyUser{};
  std::string proxyPassword{};
  // Request-object back end only: 0 server, 1 proxy. Left out: 0 here, 1 when
  // SendWinHttpRequest is called directly.
  std::optional<int> credentialsTarget{};
  // Accepted and not read: every call makes its own request object.
  WinHttpRequest* requestObject = nullptr;
  // Request-object back end only: merge the sent cookies into the received
  // ones. Left out: off here, on when SendWinHttpRequest is called directly.
  std::optional<bool> mergeCookies{};
  // Accepted and not read: the request-object back end always completes and
  // normalises the header lines.
  bool completeHeaders = true;
  bool normalizeHeaders = true;
  // A job's stop flag: when set and true, the transfer ends within about a
  // second (status 0, empty body). nullptr: the request runs to its end.
  const std::atomic<bool>* stopFlag = nullptr;
};

// Sends one request and returns the reply body (empty on failure). Any thread.
std::string SendHttpRequest(const std::string& url, const HttpRequestArgs& args = {});

// The time-out rule both back ends apply to the time-out in seconds: -1 gives
// no time-out (std::nullopt), below 1 HTTP_TIMEOUT_DEFAULT_MS, otherwise the
// seconds in milliseconds.
std::optional<long> HttpTimeoutMs(int timeoutSeconds);
