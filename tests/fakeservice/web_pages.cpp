// The service model's web pages: the session page with its user data (or a
// redirect to sign-in), the sign-in form that sets the session cookies, and
// the maker's update host. Runs under the model's lock.

#include <cctype>

#include "fakeservice/http_exchange.h"
#include "fakeservice/json_text.h"
#include "fakeservice/service_model.h"

namespace {

std::string HostOf(const RecordedRequest& request) {
  return request.Header("Host").value_or("127.0.0.1");
}

// The domain a cookie for the whole service is set for: the parent of a named
// host ("pan.quill.localhost" gives "quill.localhost"); empty for an address
// or a name without a parent.
std::string ParentDomainOf(const RecordedRequest& request) {
  std::string host = HostOf(request);
  host = host.substr(0, host.rfind(':') == std::string::npos || host.back() == ']' ? host.size()
                                                                                    : host.rfind(':'));
  const bool address = host.find_first_not_of("0123456789.") == std::string::npos;
  const size_t dot = host.find('.');
  if (address || dot == std::string::npos || host.find('.', dot + 1) == std::string::npos) {
    return {};
  }
  return host.substr(dot + 1);
}

std::string HtmlEscape(std::string_view text) {
  std::string out;
  for (const char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

// "https://host:port/path" -> "https://host:port"; empty when `url` is no absolute URL.
std::string OriginOf(std::string_view url) {
  const size_t scheme = url.find("://");
  if (scheme == std::string_view::npos) {
    return {};
  }
  return std::string(url.substr(0, url.find('/', scheme + 3)));
}

std::string ReplaceAll(std::string text, std::string_view from, std::string_view to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

}  // namespace

FakeReply ServiceModel::SessionPage(const RecordedRequest& request) {
  const FakeAccount* account = Authenticate(request);
  if (account == nullptr) {
    // The Location header is written in exactly this case: clients cut it from the raw head.
    return FakeReply::Redirect(302, "/login?redirecturl=https%3A%2F%2F" +
                                        PercentEncode(HostOf(request)) + "%2Fdisk%2Fmain");
  }
  if (m_options.numericUkEscapedName) {
    return FakeReply::Html(
        "<!DOCTYPE html><html><head><title>home</title></head><body>"
        "<script>var context={\"userInfo\":{\"username\":" +
        JsonQuote(account->userName) + ",\"uk\":" + account->uk + ",\"bdstoken\":\"" +
        account->bdstoken + "\"}};</script></body></html>");
  }
  // The user data is raw UTF-8 inside a script, as the service's page holds it.
  return FakeReply::Html(
      "<!DOCTYPE html><html><head><title>home</title></head><body>"
      "<script>var context={\"userInfo\":{\"username\":\"" +
      account->userName + "\",\"uk\":\"" + account->uk + "\",\"bdstoken\":\"" + account->bdstoken +
      "\"}};</script></body></html>");
}

FakeReply ServiceModel::SignInPage(const RecordedRequest& request, const std::string& redirect) {
  // The form posts to the web host named in the target, so that the cookies
  // it sets belong to that host even when this page came from another one.
  const std::string origin = OriginOf(redirect);
  const std::string firstUser = m_accounts.empty() ? "" : m_accounts.front().userName;
  return FakeReply::Html(
      "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>sign in</title></head><body>"
      "<form id=\"signin\" method=\"post\" action=\"" +
      HtmlEscape(origin) +
      "/login/submit\">"
      "<input id=\"user\" name=\"user\" value=\"" +
      HtmlEscape(firstUser) +
      "\">"
      "<input type=\"hidden\" name=\"redirect\" value=\"" +
      HtmlEscape(redirect) +
      "\">"
      "<button id=\"submit\" type=\"submit\">sign in</button></form></body></html>");
}

FakeReply ServiceModel::SignInSubmit(const RecordedRequest& request) {
  std::optional<std::string> user = request.FormValue("user");
  if (!user) {
    user = request.QueryValue("user");
  }
  std::optional<std::string> redirect = request.FormValue("redirect");
  if (!redirect) {
    redirect = request.QueryValue("redirect");
  }
  const FakeAccount* account = nullptr;
  for (const FakeAccount& known : m_accounts) {
    if (known.userName == user.value_or(m_accounts.empty() ? "" : m_accounts.front().userName)) {
      account = &known;
    }
  }
  if (account == nullptr) {
    return FakeReply::Html("<html><body>unknown user</body></html>");
  }
  FakeReply reply = FakeReply::Redirect(
      302, redirect && !redirect->empty() ? *redirect : std::string("/disk/main"));
  // BDUSS belongs to the whole service (the parent domain of a named host),
  // STOKEN and BAIDUID to the web host only.
  const std::string parent = ParentDomainOf(request);
  const auto cookie = [&](const std::string& name, const std::string& value, bool httpOnly,
                          bool wholeService) {
    reply.headers.emplace_back(
        "Set-Cookie", name + "=" + value + "; path=/" +
                          (wholeService && !parent.empty() ? "; domain=" + parent : "") +
                          (httpOnly ? "; HttpOnly" : ""));
  };
  switch (m_options.signInCookies) {
    case SignInCookies::kAll:
      cookie("BDUSS", account->bduss, true, true);
      cookie("STOKEN", account->stoken, true, false);
      cookie("BAIDUID", account->baiduid, false, false);
      break;
    case SignInCookies::kBdussOnly:
      cookie("BDUSS", account->bduss, true, true);
      cookie("BAIDUID", account->baiduid, false, false);
      break;
    case SignInCookies::kLowerCaseNames:
      cookie("bduss", account->bduss, true, true);
      cookie("stoken", account->stoken, true, false);
      cookie("BAIDUID", account->baiduid, false, false);
      break;
    case SignInCookies::kStokenOnlyInOther:
      cookie("BDUSS", account->bduss, true, true);
      cookie("HINT", "no-stoken-here", false, false);
      break;
    case SignInCookies::kNone:
      break;
  }
  return reply;
}

FakeReply ServiceModel::PortalPage() {
  return FakeReply::Html(
      "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>portal</title></head><body>"
      "<a id=\"signin\" href=\"/v2/?login\">sign in</a></body></html>");
}

FakeReply ServiceModel::UpdateHost(const RecordedRequest& request) {
  const std::string path = PercentDecode(request.Path(), false);
  if (path == "/softupdate/tarrowbyupdate.html") {
    const std::string manifest =
        m_options.manifest.empty()
            ? "{\"data\":[{\"softname\":\"quillmere\",\"version\":\"11211\",\"up_time\":"
              "\"2024-01-01\",\"version_explain\":\"line1\\nline2\",\"version_force_update\":"
              "\"false\",\"downurl\":\"https://{U}/softupdate/x.zip?[rand]\"}]}"
            : m_options.manifest;
    FakeReply reply = FakeReply::Html(ReplaceAll(manifest, "{U}", HostOf(request)));
    reply.headers = {{"Content-Type", "text/html; charset=utf-8"}};
    return reply;
  }
  if (path == reinterpret_cast<const char*>(u8"/softupdate/自动升级程序.exe")) {
    FakeReply reply;
    reply.headers = {{"Content-Type", "application/octet-stream"}};
    reply.body = m_options.updaterBody;
    return reply;
  }
  return FakeReply::Html("<html><head><title>404 Not Found</title></head></html>", 404);
}
