#pragma once
// The addresses the sign-in windows show and open, built on the configured
// hosts (web/service_config.h), and the judgement of a collected cookie text.

#include <string>
#include <string_view>

// The passport sign-in page, returning to the web host's session page.
std::string PassportSignInPageUrl();
// The web host's root page.
std::string ServiceHomePageUrl();
// The web host's sign-in page, returning to its disk session page.
std::string WebHostSignInPageUrl();
// The address whose cookies the WebView2 sign-in collects: the web host's
// root.
std::string WebHostCookieAddress();
// The provider's portal.
std::string PortalPageUrl();
// The maker's tutorial on copying cookies out of another browser.
std::string CookieTutorialPageUrl();
// The WebView2 runtime's bootstrap installer on the maker's download storage.
std::string WebView2InstallerUrl();

// The notice both sign-in windows show after loading the provider's portal
// ("提示：", information icon, closing itself after 10 seconds).
void ShowPortalSignInNotice();

// True when the cookie text holds "stoken" and "bduss" anywhere, without
// regard to case (a plain substring search, as both sign-in windows judge it).
bool CookiesLookSignedIn(std::string_view cookieText);
