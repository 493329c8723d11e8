// The libcurl path of SendHttpRequest: one CurlHttpClient per request, seeded
// with the caller's cookie text, its whole jar handed back as the received
// cookies.

#include "platform/curl_support.h"
#include "web/curl_http_client.h"
#include "web/http_request_internal.h"
#include "web/http_text_util.h"

namespace {

// Browser-like headers added when the caller's header text lacks them.
void CompleteCurlHeaders(CurlHttpClient& client, const std::string& headerText, bool post) {
  struct Completion {
    bool postOnly;
    const char* tested;
    const char* name;
    const char* value;
  };
  static const Completion kRows[] = {
      {true, "Content-Type:", "Content-Type", "application/x-www-form-urlencoded"},
      {false, "User-Agent:", "User-Agent",
       "Mozilla/5.0 (Windows NT 10.0; WOW64) AppleWebKit/537.36 (KHTML, like Gecko) "
       "Chrome/63.0.3239.132 Safari/537.36"},
      {false, "Accept:", "Accept", "*/*"},
      {false, "Accept-Language:", "Accept-Language", "zh-cn"},
  };
  for (const Completion& row : kRows) {
    if ((post || !row.postOnly) && FindNoCase(headerText, row.tested) == std::string::npos) {
      client.AddHeader(row.name, row.value);
    }
  }
}

}  // namespace

std::string SendCurlHttpRequest(const std::string& url, const HttpRequestArgs& args) {
  if (args.method > kHttpPost) {
    return {};  // GET and POST only; nothing sent, the caller's variables untouched
  }
  bool post = args.method == kHttpPost;
  CurlHttpClient client;
  PrepareCurlClient(client);
  std::string& headers = *args.headers;
  headers += "\r\n";
  if (std::optional<long> ms = HttpTimeoutMs(args.timeoutSeconds)) {
    client.SetTimeoutsMs(*ms, *ms);
  }
  if (args.noRedirect) {
    client.SetFollowRedirects(false);
  }
  if (args.stopFlag != nullptr) {
    client.SetProgressCallback(&AbortWhenStopFlagSet,
                               const_cast<std::atomic<bool>*>(args.stopFlag));
  }
  client.SetMethodAndUrl(post ? "POST" : "GET", url, true);
  if (!args.proxy.empty()) {
    client.SetProxy(args.proxy);
  }
  client.SetHeaderLines(headers);
  CompleteCurlHeaders(client, headers, post);
  client.SetCookies(args.cookies != nullptr ? *args.cookies : std::string());
  bool done = client.SendText(args.body);

  if (args.receivedHeaders != nullptr) {
    *args.receivedHeaders = client.ResponseHeaders();
  }
  if (args.receivedCookies != nullptr) {
    *args.receivedCookies = client.GetCookies();
  }
  // A transfer that did not complete (time-out, dropped connection, a reply
  // piece that could not be stored) is a failure: a partial body must never
  // pass for a reply.
  if (args.status != nullptr) {
    *args.status = done ? client.StatusCode() : 0;
  }
  return done ? client.ResponseBody() : std::string();
}
