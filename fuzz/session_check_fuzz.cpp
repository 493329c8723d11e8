// The session check: the identity cut from a home page, the redirect rule,
// and the whole check over the input's replies (home pages, redirects and
// the probe).

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "support/fuzz_session.h"
#include "support/fuzz_support.h"
#include "web/account_session_check.h"
#include "web/account_session_check_internal.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  PrepareFuzzEnvironment();
  const std::vector<std::string> replies = SplitFuzzInput(data, size);
  CutSessionIdentity(replies[0]);
  SessionRedirectTarget(replies[0]);
  ServeFuzzReplies(replies);
  std::string user;
  std::string bdstoken;
  std::string uk;
  CheckAccountSession(FuzzSession().cookies, user, bdstoken, uk, 2);
  return 0;
}
