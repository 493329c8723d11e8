#include "web/account_session.h"

#include <mutex>

namespace {

std::mutex s_sessionMutex;
AccountSession s_session;

}  // namespace

AccountSession GetAccountSession() {
  std::lock_guard lock(s_sessionMutex);
  return s_session;
}

void SetAccountSession(const AccountSession& session) {
  std::lock_guard lock(s_sessionMutex);
  s_session = session;
}

void SetWorkingAccount(const std::string& user, const std::string& cookies) {
  std::lock_guard lock(s_sessionMutex);
  s_session = AccountSession{user, cookies, ""};
}

bool SetCheckedIdentity(const std::string& cookies, const std::string& user,
                        const std::string& bdstoken) {
  std::lock_guard lock(s_sessionMutex);
  if (s_session.cookies != cookies) {
    return false;
  }
  s_session.user = user;
  s_session.bdstoken = bdstoken;
  return true;
}
