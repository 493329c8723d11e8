#include "platform/browser_cookies.h"

#include <algorithm>
#include <cctype>

namespace {

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return out;
}

struct UrlParts {
  bool secure = false;
  std::string host;
  std::string path;
};

bool SplitUrl(std::string_view url, UrlParts& parts) {
  const size_t schemeEnd = url.find("://");
  if (schemeEnd == std::string_view::npos) {
    return false;
  }
  const std::string scheme = Lower(url.substr(0, schemeEnd));
  if (scheme != "http" && scheme != "https") {
    return false;
  }
  parts.secure = scheme == "https";
  std::string_view rest = url.substr(schemeEnd + 3);
  const size_t authorityEnd = rest.find_first_of("/?#");
  std::string_view authority = rest.substr(0, authorityEnd);
  rest = authorityEnd == std::string_view::npos ? std::string_view() : rest.substr(authorityEnd);
  if (const size_t at = authority.rfind('@'); at != std::string_view::npos) {
    authority = authority.substr(at + 1);
  }
  if (!authority.empty() && authority.front() == '[') {
    authority = authority.substr(0, authority.find(']') + 1);
  } else if (const size_t colon = authority.find(':'); colon != std::string_view::npos) {
    authority = authority.substr(0, colon);
  }
  parts.host = Lower(authority);
  if (!parts.host.empty() && parts.host.back() == '.') {
    parts.host.pop_back();
  }
  const std::string_view path = rest.substr(0, rest.find_first_of("?#"));
  parts.path = path.empty() || path.front() != '/' ? std::string("/") : std::string(path);
  return !parts.host.empty();
}

bool DomainMatches(const BrowserCookie& cookie, const std::string& host) {
  const std::string domain = Lower(cookie.domain);
  if (domain.empty()) {
    return false;
  }
  if (domain.front() != '.') {
    return host == domain;
  }
  const std::string_view bare = std::string_view(domain).substr(1);
  if (host == bare) {
    return true;
  }
  return host.size() > domain.size() && host.compare(host.size() - domain.size(), domain.size(),
                                                     domain) == 0;
}

bool PathMatches(const std::string& cookiePath, const std::string& requestPath) {
  const std::string path = cookiePath.empty() ? std::string("/") : cookiePath;
  if (requestPath == path) {
    return true;
  }
  if (requestPath.compare(0, path.size(), path) != 0) {
    return false;
  }
  return path.back() == '/' || requestPath[path.size()] == '/';
}

bool SameCookie(const BrowserCookie& a, const BrowserCookie& b) {
  return a.name == b.name && Lower(a.domain) == Lower(b.domain) && a.path == b.path;
}

}  // namespace

std::vector<const BrowserCookie*> CookiesForUrl(const std::vector<BrowserCookie>& cookies,
                                                std::string_view url, std::int64_t nowSeconds) {
  UrlParts parts;
  if (!SplitUrl(url, parts)) {
    return {};
  }
  std::vector<const BrowserCookie*> sent;
  for (const BrowserCookie& cookie : cookies) {
    if ((cookie.secure && !parts.secure) || (cookie.expires != 0 && cookie.expires <= nowSeconds) ||
        !DomainMatches(cookie, parts.host) || !PathMatches(cookie.path, parts.path)) {
      continue;
    }
    sent.push_back(&cookie);
  }
  std::stable_sort(sent.begin(), sent.end(), [](const BrowserCookie* a, const BrowserCookie* b) {
    if (a->path.size() != b->path.size()) {
      return a->path.size() > b->path.size();
    }
    return a->order < b->order;
  });
  return sent;
}

std::string CookieTextForUrl(const std::vector<BrowserCookie>& cookies, std::string_view url,
                             std::int64_t nowSeconds) {
  std::string text;
  for (const BrowserCookie* cookie : CookiesForUrl(cookies, url, nowSeconds)) {
    if (!text.empty()) {
      text += "; ";
    }
    text += cookie->name.empty() ? cookie->value : cookie->name + "=" + cookie->value;
  }
  return text;
}

void StoreBrowserCookie(std::vector<BrowserCookie>& store, BrowserCookie cookie) {
  for (BrowserCookie& held : store) {
    if (SameCookie(held, cookie)) {
      cookie.order = held.order;
      held = std::move(cookie);
      return;
    }
  }
  store.push_back(std::move(cookie));
}

void RemoveBrowserCookie(std::vector<BrowserCookie>& store, const BrowserCookie& cookie) {
  std::erase_if(store, [&](const BrowserCookie& held) { return SameCookie(held, cookie); });
}
