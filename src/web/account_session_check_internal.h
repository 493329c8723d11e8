#pragma once
// Internal parts of the session check, tested on their own.

#include <string>
#include <string_view>

// Where a redirect of the home page leads: a Location without "https://" is
// a path on the web host; one holding it is taken as it stands. Empty when
// the target is not one of the service's own hosts (web or passport host) over
// https, so that the account's cookies stay with the service.
std::string SessionRedirectTarget(std::string_view location);

// The identity cut from a home page: the userInfo text (converted from UTF-8)
// and the three values inside it. "uk" may be quoted or a bare number; the
// user name may be \u-escaped (decoded; characters outside code page 936 kept
// in backslash-u notation); "*" in the user name becomes "_".
struct SessionIdentity {
  std::string userInfo;
  std::string userName;
  std::string uk;
  std::string bdstoken;
};
SessionIdentity CutSessionIdentity(std::string_view page);
