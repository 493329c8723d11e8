#include "ui/signin/sign_in_pages.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

#include "foundation/message_box.h"
#include "platform/desktop.h"
#include "web/service_config.h"

namespace {

constexpr std::int64_t kPortalNoticeMs = 10000;

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

std::string WebHostSignInPageUrl() {
  const std::string webHost = GetServiceConfig().webHost;
  return "https://" + webHost + "/login?redirecturl=https%3A%2F%2F" + webHost +
         "%2Fdisk%2Fmain%23%2Fim%2Fsession";
}

std::string WebHostCookieAddress() {
  return ServiceHomePageUrl() + "/";
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

void ShowPortalSignInNotice() {
  ShowTimedMessageBox("提示：",
                      "先点网页最右边的登陆，登陆成功之后再点网页上方的 网盘 连接，"
                      "进入网盘后即可关闭此页面。",
                      kPortalNoticeMs, kBoxIconInformation);
}

bool CookiesLookSignedIn(std::string_view cookieText) {
  return ContainsIgnoringCase(cookieText, "stoken") && ContainsIgnoringCase(cookieText, "bduss");
}
