#include "web/account_session_check.h"

#include <algorithm>

#include "foundation/random_values.h"
#include "foundation/text_encodings.h"
#include "foundation/text_search.h"
#include "foundation/waits.h"
#include "web/account_session_check_internal.h"
#include "web/http_request.h"
#include "web/remote_name_text.h"
#include "web/service_config.h"
#include "web/service_conventions.h"

namespace {

constexpr int kPageTimeoutSeconds = 10;
constexpr int kProbeTimeoutSeconds = 15;
// A redirect loop of the home page ends after this many passes.
constexpr int kMaxRedirectPasses = 10;
// The probe follows at most this many redirects.
constexpr int kMaxProbeRedirects = 10;

struct PageReply {
  std::string body;
  std::string headers;
  int status = 0;
};

PageReply FetchPage(const std::string& url, const std::string& cookies,
                    int timeoutSeconds = kPageTimeoutSeconds) {
  PageReply reply;
  std::string cookieText = cookies;
  std::string headerText = kDefaultHttpHeaderLine;
  reply.body = SendHttpRequest(url, {.cookies = &cookieText,
                                     .headers = &headerText,
                                     .receivedHeaders = &reply.headers,
                                     .status = &reply.status,
                                     .noRedirect = true,
                                     .timeoutSeconds = timeoutSeconds});
  return reply;
}

// The home page after following up to ten redirects.
PageReply FetchHomePage(const std::string& cookies) {
  PageReply reply = FetchPage(ServiceUrl("/"), cookies);
  for (int pass = 0; pass < kMaxRedirectPasses; ++pass) {
    if (reply.status == 200 || reply.status == 0) {
      break;
    }
    if (reply.status != 302) {
      continue;
    }
    const std::string target =
        SessionRedirectTarget(TextBetweenMarkers(reply.headers, "Location: ", "\r\n"));
    if (!target.empty()) {
      reply = FetchPage(target, cookies);
    }
  }
  return reply;
}

bool IsRedirectStatus(int status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// The follow-list probe. Its redirects are followed as a browser would, but
// only to the service's own hosts.
std::string Probe(const std::string& cookies) {
  PageReply reply = FetchPage(ServiceUrl("/mbox/relation/getfollowlist?clienttype=0&app_id=250528"
                                         "&web=1&dp-logid=" +
                                         MakeRandomLogId() + "&start=0&limit=10"),
                              cookies, kProbeTimeoutSeconds);
  for (int hop = 0; hop < kMaxProbeRedirects && IsRedirectStatus(reply.status); ++hop) {
    const std::string target =
        SessionRedirectTarget(TextBetweenMarkers(reply.headers, "Location: ", "\r\n", 0, true));
    if (target.empty()) {
      break;
    }
    reply = FetchPage(target, cookies, kProbeTimeoutSeconds);
  }
  return reply.body;
}

// "uk" as a quoted text or as a bare number.
std::string CutUk(std::string_view userInfo) {
  if (FindText(userInfo, "\"uk\":\"") != -1) {
    return TextBetweenMarkers(userInfo, "\"uk\":\"", "\"");
  }
  const int at = FindText(userInfo, "\"uk\":");
  if (at == -1) {
    return {};
  }
  std::string digits;
  for (size_t i = static_cast<size_t>(at - 1) + 5; i < userInfo.size(); ++i) {
    const char c = userInfo[i];
    if (c >= '0' && c <= '9') {
      digits += c;
    } else if (c != ' ' || !digits.empty()) {
      break;
    }
  }
  return digits;
}

bool IsOwnHostUrl(std::string_view url, const std::string& host) {
  if (host.empty()) {
    return false;
  }
  const std::string origin = "https://" + host;
  if (url.substr(0, origin.size()) != origin) {
    return false;
  }
  return url.size() == origin.size() || url[origin.size()] == '/' || url[origin.size()] == '?' ||
         url[origin.size()] == '#';
}

}  // namespace

std::string SessionRedirectTarget(std::string_view location) {
  if (location.empty()) {
    return {};
  }
  const ServiceConfig config = GetServiceConfig();
  if (FindText(location, "https://") == -1) {
    return location.front() == '/' ? "https://" + config.webHost + std::string(location)
                                   : std::string();
  }
  if (IsOwnHostUrl(location, config.webHost) || IsOwnHostUrl(location, config.passportHost)) {
    return std::string(location);
  }
  return {};
}

SessionIdentity CutSessionIdentity(std::string_view page) {
  SessionIdentity identity;
  identity.userInfo = DecodeUtf8Text(TextBetweenMarkers(page, "\"userInfo\":", "};"));
  // The name may come \u-escaped; characters that code page 936 cannot hold
  // stay in that notation rather than turning into "?".
  identity.userName =
      RemoteNameForDisplay(TextBetweenMarkers(identity.userInfo, "\"username\":\"", "\""));
  std::replace(identity.userName.begin(), identity.userName.end(), '*', '_');
  identity.uk = CutUk(identity.userInfo);
  identity.bdstoken = TextBetweenMarkers(identity.userInfo, "\"bdstoken\":\"", "\"");
  return identity;
}

std::string CheckAccountSession(const std::string& cookies, std::string& userName,
                                std::string& bdstoken, std::string& uk, int attempts) {
  if (attempts <= 0) {
    attempts = 2;
  }
  std::string kept;
  std::string lastPage;
  for (int attempt = 1; attempt <= attempts; ++attempt) {
    lastPage = FetchHomePage(cookies).body;
    const SessionIdentity identity = CutSessionIdentity(lastPage);
    userName = identity.userName;
    uk = identity.uk;
    bdstoken = identity.bdstoken;
    kept = identity.userInfo;
    if (!uk.empty()) {
      kept = Probe(cookies);
      if (FindText(kept, "errno\":0,") != -1) {
        return kept;
      }
      if (FindText(kept, "errno\":-6,") != -1) {
        uk.clear();
        bdstoken.clear();
        return kept;
      }
    }
    PumpMessages();
  }
  if (!kept.empty()) {
    return kept;
  }
  return lastPage.empty() ? std::string() : std::string(kSessionInvalidNotice);
}
