#include "web/win_http_backend.h"

#include <memory>

#include "foundation/base64.h"
#include "platform/win_http_request.h"
#include "web/http_header_text.h"
#include "web/http_text_util.h"
#include "web/service_config.h"

namespace {

const char* VerbOf(int method) {
  static const char* const kVerbs[] = {"GET",     "POST",   "HEAD",  "PUT",
                                       "OPTIONS", "DELETE", "TRACE", "CONNECT"};
  return method >= 0 && method <= 7 ? kVerbs[method] : "GET";
}

// Removes every "Cookie:" (any case), and nothing around it.
void RemoveCookiePrefixes(std::string& cookies) {
  for (size_t pos = FindNoCase(cookies, "Cookie:"); pos != std::string::npos;
       pos = FindNoCase(cookies, "Cookie:", pos)) {
    cookies.erase(pos, 7);
  }
}

void SetHeaderLine(WinHttpRequest& request, const std::string& line) {
  request.SetRequestHeader(GetHeaderName(line), GetHeaderValue(line));
}

void SetHeaderLines(WinHttpRequest& request, const std::string& headerText) {
  if (headerText.find("\r\n") == std::string::npos) {
    SetHeaderLine(request, headerText);
    return;
  }
  for (const std::string& line : SplitItems(headerText, "\r\n")) {
    if (line.empty()) {
      continue;
    }
    // The connection is never kept; a request asking for it would be misleading.
    if (GetHeaderName(line) == "Connection" && GetHeaderValue(line) == "keep-alive") {
      continue;
    }
    SetHeaderLine(request, line);
  }
}

}  // namespace

std::string CompleteWinHttpHeaders(const std::string& headerText, const std::string& url,
                                   int method) {
  struct Completion {
    const char* tested;
    std::string line;
  };
  const Completion rows[] = {
      {"Accept:", "Accept: */*"},
      {"Referer:", "Referer: " + url},
      {"Accept-Language:", "Accept-Language: zh-cn"},
      {"User-Agent:", "User-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)"},
      {"Content-Type:",
       method == kHttpPost ? "Content-Type: application/x-www-form-urlencoded" : ""},
  };
  std::string text = headerText;
  for (const Completion& row : rows) {
    if (!row.line.empty() && FindNoCase(text, row.tested) == std::string::npos) {
      text += "\r\n" + row.line;
    }
  }
  return text;
}

std::string ExtractSetCookiePairs(const std::string& receivedHeaders) {
  std::string pairs;
  for (const std::string& line : SplitItems(receivedHeaders, "\r\n")) {
    size_t nameEnd = line.find(": ");
    if (nameEnd == std::string::npos || line.compare(0, nameEnd, "Set-Cookie") != 0) {
      continue;
    }
    std::string pair;
    if (line.find(';') != std::string::npos) {
      size_t start = line.find("Set-Cookie:") + 11;
      size_t end = line.find(';', start);
      pair = end == std::string::npos ? std::string() : line.substr(start, end - start);
    } else {
      pair = line;
      for (size_t pos = FindNoCase(pair, "Set-Cookie:"); pos != std::string::npos;
           pos = FindNoCase(pair, "Set-Cookie:", pos)) {
        pair.erase(pos, 11);
      }
    }
    pairs += TrimBlanks(pair) + "; ";
  }
  if (pairs.size() >= 2) {
    pairs.resize(pairs.size() - 2);
  }
  return pairs;
}

std::string SendWinHttpRequest(const std::string& url, const HttpRequestArgs& args) {
  std::unique_ptr<WinHttpRequest> own;
  WinHttpRequest* request = args.requestObject;
  if (request == nullptr) {
    own = std::make_unique<WinHttpRequest>();
    request = own.get();
  }
  request->SetExtraCaFile(GetServiceConfig().caFile);
  if (std::optional<long> ms = HttpTimeoutMs(args.timeoutSeconds)) {
    request->SetTimeouts(*ms, *ms, *ms, *ms);
  }
  if (!args.proxy.empty()) {
    request->SetProxy(WinHttpRequest::kProxyNamed, args.proxy);
  }
  if (!request->Open(VerbOf(args.method), url, false)) {
    return {};  // no request object: nothing sent, the caller's variables untouched
  }
  if (args.noRedirect) {
    request->SetOption(WinHttpRequest::kOptionEnableRedirects, 0);
  }

  std::string headerText = args.headers != nullptr ? *args.headers : std::string();
  if (args.completeHeaders) {
    headerText = CompleteWinHttpHeaders(headerText, url, args.method);
  }
  if (args.normalizeHeaders) {
    headerText = NormalizeHeaderLines(headerText);
  }
  int credentialsTarget = args.credentialsTarget.value_or(WinHttpRequest::kCredentialsProxy);
  if (!args.proxy.empty() && !args.proxyUser.empty()) {
    request->SetCredentials(args.proxyUser, args.proxyPassword, credentialsTarget);
    if (credentialsTarget == WinHttpRequest::kCredentialsProxy) {
      request->SetRequestHeader("Proxy-Authorization",
                                "Basic " + Base64Encode(args.proxyUser + ":" + args.proxyPassword));
    }
  }
  if (args.cookies != nullptr) {
    if (!args.cookies->empty()) {
      RemoveCookiePrefixes(*args.cookies);
    }
    request->SetRequestHeader("Cookie", *args.cookies);
  }
  SetHeaderLines(*request, headerText);

  request->Send(args.byteBody.empty() ? args.body : args.byteBody);

  std::string body = request->ResponseBody();
  const std::string& receivedHeaders = request->GetAllResponseHeaders();
  if (args.receivedHeaders != nullptr) {
    *args.receivedHeaders = receivedHeaders;
  }
  if (args.status != nullptr) {
    *args.status = request->Status();
  }
  std::string receivedCookies = ExtractSetCookiePairs(receivedHeaders);
  if (args.mergeCookies.value_or(true) && args.cookies != nullptr) {
    receivedCookies = MergeCookieText(*args.cookies, receivedCookies);
  }
  if (args.receivedCookies != nullptr) {
    *args.receivedCookies = receivedCookies;
  }
  return body;
}
