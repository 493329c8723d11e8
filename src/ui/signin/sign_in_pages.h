#pragma once
// The addresses the sign-in windows show and open, built on the configured
// hosts (web/service_config.h), and the judgement of a collected cookie text.

#include <string>
#include <string_view>

// The passport sign-in page, returning to the web host's session page.
std::string PassportSignInPageUrl();
// The web host's root page.
std::string ServiceHomePageUrl();
// The provider's portal.
std::string PortalPageUrl();
// The maker's tutorial on copying cookies out of another browser.
std::string CookieTutorialPageUrl();
// The WebView2 runtime's bootstrap installer on the maker's download storage.
std::string WebView2InstallerUrl();

// True when the cookie text holds "stoken" and "bduss" anywhere, without
// regard to case (a plain substring search, as both sign-in windows judge it).
bool CookiesLookSignedIn(std::string_view cookieText);
