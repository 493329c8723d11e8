#include "ui/signin/sign_in_pages.h"

#include <algorithm>
#include <cctype>

#include "web/service_config.h"

namespace {

bool ContainsIgnoringCase(std::string_view text, std::string_view word) {
  const auto it = std::search(text.begin(), text.end(), word.begin(), word.end(), [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
  });
  return it != text.end();
}

}  // namespace

std::string PassportSignInPageUrl() {
  const ServiceConfig config = GetServiceConfig();
  return "https://" + config.passportHost + "/v2/?login&tpl=service_feedback&u=https%3A%2F%2F" +
         config.webHost + "%2Fmbox%2Fhomepage%23share%2Ftype%3Dsession";
}

std::string ServiceHomePageUrl() {
  return "https://" + GetServiceConfig().webHost;
}

std::string PortalPageUrl() {
  return "https://" + GetServiceConfig().portalHost;
}

std::string CookieTutorialPageUrl() {
  return "https://" + GetServiceConfig().updateHost + "/help/cookies-tutorial.html";
}

std::string WebView2InstallerUrl() {
  return "https://" + GetServiceConfig().updateHost + "/download/MicrosoftEdgeWebview2Setup.exe";
}

bool CookiesLookSignedIn(std::string_view cookieText) {
  return ContainsIgnoringCase(cookieText, "stoken") && ContainsIgnoringCase(cookieText, "bduss");
}
