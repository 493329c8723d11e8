#pragma once
// The maker's web pages the windows link to: the tutorials on the prefetch
// mode and on deletion by regular expression, the software page, and the help
// page of the keyword rules window.
// All on the maker's update host; opened through OpenWebPage.

#include <string>
#include <string_view>

std::string PrefetchTutorialUrl();
std::string RegexDeletionTutorialUrl();
// "/softupdate/index.html?" + product key + "?rand=" + a 13-digit stamp.
std::string SoftwarePageUrl();
std::string KeywordHelpPageUrl();

// The address behind the link or button `controlName` ("按钮5", "透明标签10",
// "透明标签7"); empty for any other name.
std::string MakerPageUrl(std::string_view controlName);

// Opens MakerPageUrl(controlName); nothing for an unknown name.
void OpenMakerPage(std::string_view controlName);

// Opens KeywordHelpPageUrl() (the keyword rules window's "帮助说明" links).
void OpenKeywordHelpPage();
