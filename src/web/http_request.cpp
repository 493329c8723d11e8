#include "web/http_request.h"

#include <atomic>

#include "platform/curl_support.h"
#include "web/http_request_internal.h"
#include "web/win_http_backend.h"

int g_useCurl = 0;

namespace {

std::atomic<long> s_secondMs{1000};
std::atomic<HttpRequestObserver> s_observer{nullptr};
std::atomic<HttpReplySource> s_replySource{nullptr};

}  // namespace

void SetHttpSecondMsForTesting(long milliseconds) {
  s_secondMs = milliseconds;
}

void SetHttpRequestObserverForTesting(HttpRequestObserver observer) {
  s_observer = observer;
}

void SetHttpReplySourceForTesting(HttpReplySource source) {
  s_replySource = source;
}

std::optional<long> HttpTimeoutMs(int timeoutSeconds) {
  long second = s_secondMs;
  if (timeoutSeconds == -1) {
    return std::nullopt;
  }
  if (timeoutSeconds < 1) {
    return HTTP_TIMEOUT_DEFAULT_MS * second / 1000;
  }
  return timeoutSeconds * second;
}

std::string SendHttpRequest(const std::string& url, const HttpRequestArgs& args) {
  if (const HttpRequestObserver observer = s_observer.load()) {
    observer(url, args);
  }
  if (const HttpReplySource source = s_replySource.load()) {
    int status = 0;
    std::string reply = source(url, args, status);
    if (args.status != nullptr) {
      *args.status = status;
    }
    return reply;
  }
  InitializeCurlOnce();
  HttpRequestArgs resolved = args;
  std::string localHeaders;
  if (resolved.headers == nullptr) {
    resolved.headers = &localHeaders;
  }
  if (resolved.headers->empty()) {
    *resolved.headers = kDefaultHttpHeaderLine;
  }
  if (g_useCurl != 0) {
    return SendCurlHttpRequest(url, resolved);
  }
  // The request-object back end gets every parameter as given, so its own
  // defaults for a left-out cookie text, credentials target and merge flag do
  // not apply.
  std::string localCookies;
  if (resolved.cookies == nullptr) {
    resolved.cookies = &localCookies;
  }
  resolved.credentialsTarget = args.credentialsTarget.value_or(0);
  resolved.mergeCookies = args.mergeCookies.value_or(false);
  resolved.requestObject = nullptr;
  resolved.completeHeaders = true;
  resolved.normalizeHeaders = true;
  return SendWinHttpRequest(url, resolved);
}
