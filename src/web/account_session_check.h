#pragma once
// The account session check: tells whether a cookie text is a live session of
// the cloud-disk service and reads the account's identity (user name, uk,
// bdstoken) from the web host's home page, then confirms the session with a
// probe of the follow list.
//
// Redirects of the home page are followed by hand, and only to the service's
// own hosts, and so are those of the probe: the cookie text is never sent to
// another host.
//
// Runs on the caller's thread and blocks it for its requests (10 s per page,
// 15 s per probe at most). Touches no shared state.

#include <string>

// Checks `cookies` with up to `attempts` attempts (0 or below: 2). The three
// outputs are written on every attempt, also when empty; callers take a
// non-empty user name as a live session. Returns the last probe reply or the
// last userInfo text when not empty, otherwise the errno -6 notice when the
// last page fetched was not empty, otherwise the empty text.
std::string CheckAccountSession(const std::string& cookies, std::string& userName,
                                std::string& bdstoken, std::string& uk, int attempts = 2);

// The text returned when no identity could be read from a page that came back.
inline constexpr const char* kSessionInvalidNotice = "{\"errno\":-6,\"}，请重新登陆帐号后再试。";
