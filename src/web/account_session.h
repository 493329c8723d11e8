#pragma once
// The working account: the user name, the cookie text and the bdstoken that
// every job request uses. It is kept as one snapshot that is swapped whole
// under a lock, so a reader never sees the user of one account with the
// cookies of another. A job or a request copies the snapshot once when it
// starts and works on that copy; switching accounts meanwhile does not
// redirect it.
//
// Texts are code page 936 (the cookie text is ASCII). Any thread.

#include <string>

struct AccountSession {
  std::string user;      // g_workingUser: the remote user name
  std::string cookies;   // g_workingCookies: the cookie text sent as the Cookie header
  std::string bdstoken;  // g_workingBdstoken: the request token of file operations
};

// The notice of a job refused because its snapshot has cookies but no
// bdstoken: the session check found no token, or the service answered that
// the sign-in is no longer valid. File operations carry the token, so none
// is sent without it; the user has to sign the account in again.
inline constexpr const char* kSignInAgainNotice =
    "当前帐号没有取得 bdstoken（登陆已失效，或尚未验证成功），文件操作未发送。\r\n\r\n"
    "请重新登陆此帐号（登陆百度帐号，或重新添加cookies），再点击 刷新根目录 后重试。";

// Whether file operations may go out with `session`: it has cookies and a
// bdstoken.
inline bool CanSendFileOperations(const AccountSession& session) {
  return !session.cookies.empty() && !session.bdstoken.empty();
}

// A copy of the current snapshot (all empty before an account is chosen).
AccountSession GetAccountSession();

// Replaces the whole snapshot.
void SetAccountSession(const AccountSession& session);

// Switches to another account: user and cookies replaced, bdstoken emptied
// (it belongs to the previous account until the session check reads it).
void SetWorkingAccount(const std::string& user, const std::string& cookies);

// Writes what a session check read for `cookies`: the user name and bdstoken.
// Nothing changes when the working cookie text is no longer `cookies` (the
// account was switched while the check ran). Returns true when written.
bool SetCheckedIdentity(const std::string& cookies, const std::string& user,
                        const std::string& bdstoken);
