// The account session check against the service emulator: identity cuts,
// the follow-list probe, redirects and attempts.

#include "web/account_session_check.h"

#include "support/service_test_fixture.h"
#include "web/account_session_check_internal.h"

namespace {

using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::MatchesRegex;

struct CheckResult {
  std::string text;
  std::string user;
  std::string bdstoken;
  std::string uk;
};

class AccountSessionCheckTest : public ServiceTest {
 protected:
  static CheckResult Check(const std::string& cookies, int attempts = 2) {
    CheckResult result{"", "stale", "stale", "stale"};
    result.text = CheckAccountSession(cookies, result.user, result.bdstoken, result.uk, attempts);
    return result;
  }
  static std::string HomePage(const std::string& user, const std::string& uk,
                              const std::string& bdstoken) {
    return "<html><script>var context={\"userInfo\":{\"username\":\"" + user + "\",\"uk\":\"" + uk +
           "\",\"bdstoken\":\"" + bdstoken + "\"}};</script></html>";
  }
  // Serves `reply` for GET `path`; everything else goes to the service.
  static void Serve(std::map<std::string, FakeReply> replies) {
    Service().SetHook([replies](const RecordedRequest& request) -> std::optional<FakeReply> {
      const auto found = replies.find(request.Path());
      if (found == replies.end()) {
        return std::nullopt;
      }
      return found->second;
    });
  }
};

TEST_F(AccountSessionCheckTest, LiveCookiesGiveTheIdentity) {
  const CheckResult result = Check(Account().CookieText());
  EXPECT_EQ(result.user, "demo");
  EXPECT_EQ(result.uk, Account().uk);
  EXPECT_EQ(result.bdstoken, Account().bdstoken);
  EXPECT_THAT(result.text, HasSubstr("errno\":0,"));

  const std::vector<RecordedRequest> requests = Service().Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].target, "/");
  EXPECT_THAT(requests[1].target, MatchesRegex("/mbox/relation/getfollowlist\\?clienttype=0&app_id="
                                               "250528&web=1&dp-logid=[0-9]{16}&start=0&limit=10"));
  for (const RecordedRequest& request : requests) {
    EXPECT_TRUE(request.tls);
    EXPECT_EQ(request.Header("Cookie"), Account().CookieText());
    EXPECT_EQ(request.Header("User-Agent"), std::string(kDefaultHttpHeaderLine).substr(12));
  }
}

TEST_F(AccountSessionCheckTest, AsterisksInTheUserNameBecomeUnderscores) {
  Service().Model().AddAccount(FakeAccount::Make("a*b*c"));
  const CheckResult result = Check(Service().Model().CookieText("a*b*c"));
  EXPECT_EQ(result.user, "a_b_c");
}

// The home page may give "uk" as a bare number and the user name \u-escaped;
// the check reads both forms and still confirms the session with the probe.
TEST_F(AccountSessionCheckTest, IdentityIsReadInEitherFormTheServiceSends) {
  struct Row {
    const char* name;
    bool numericUkEscapedName;
    std::string account;  // UTF-8
    std::string user;     // as the check gives it
  };
  const Row rows[] = {
      {"quoted uk, raw UTF-8 name", false, U8(u8"演示*01"), "演示_01"},
      {"bare uk, escaped name", true, U8(u8"演示*01"), "演示_01"},
      {"bare uk, escaped name outside code page 936", true, U8(u8"한*1"), "\\uD55C_1"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Reset();
    ModelOptions options;
    options.numericUkEscapedName = row.numericUkEscapedName;
    Service().Model().SetOptions(options);
    const FakeAccount account = FakeAccount::Make(row.account);
    Service().Model().AddAccount(account);
    const CheckResult result = Check(account.CookieText());
    EXPECT_EQ(result.user, row.user);
    EXPECT_EQ(result.uk, account.uk);
    EXPECT_EQ(result.bdstoken, account.bdstoken);
    EXPECT_THAT(result.text, HasSubstr("errno\":0,"));
    EXPECT_EQ(RequestsTo("/mbox/relation/getfollowlist").size(), 1u);
  }
  const char* const cuts[][2] = {
      {"{\"userInfo\":{\"uk\":1234567,\"username\":\"a\"};", "1234567"},
      {"{\"userInfo\":{\"username\":\"a\",\"uk\": 42}};", "42"},
      {"{\"userInfo\":{\"username\":\"a\",\"uk\":\"\"}};", ""},
      {"{\"userInfo\":{\"username\":\"a\",\"uk\":null}};", ""},
  };
  for (const auto& cut : cuts) {
    SCOPED_TRACE(cut[0]);
    EXPECT_EQ(CutSessionIdentity(cut[0]).uk, cut[1]);
  }
}

TEST_F(AccountSessionCheckTest, RevokedCookiesGiveNoUserAfterTwoAttempts) {
  Service().Model().RevokeAccount("demo");
  for (int attempts : {0, -3, 2}) {
    SCOPED_TRACE(attempts);
    Service().ClearRequests();
    const CheckResult result = Check(Account().CookieText(), attempts);
    EXPECT_EQ(result.user, "");
    EXPECT_EQ(result.uk, "");
    EXPECT_EQ(result.bdstoken, "");
    EXPECT_EQ(result.text, kSessionInvalidNotice);
    // Each attempt: the home page, then the sign-in page it redirects to; no probe.
    EXPECT_EQ(RequestsTo("/").size(), 2u);
    EXPECT_EQ(RequestsTo("/login").size(), 2u);
    EXPECT_THAT(RequestsTo("/mbox/relation/getfollowlist"), IsEmpty());
  }
}

TEST_F(AccountSessionCheckTest, ProbeVerdicts) {
  struct Row {
    const char* name;
    std::string probe;
    int pages;
    bool cleared;
  };
  const std::string invalid = InvalidReply();
  const Row rows[] = {
      {"errno -6 clears uk and bdstoken, keeps the user", invalid, 1, true},
      {"errno 0 without a comma is no answer", "{\"errno\":0}", 2, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Reset();
    Fault(row.name, "/mbox/relation/getfollowlist", "", FakeReply::Json(row.probe));
    const CheckResult result = Check(Account().CookieText());
    EXPECT_EQ(result.user, "demo");
    EXPECT_EQ(result.uk, row.cleared ? "" : Account().uk);
    EXPECT_EQ(result.bdstoken, row.cleared ? "" : Account().bdstoken);
    EXPECT_EQ(result.text, row.probe);
    EXPECT_EQ(static_cast<int>(RequestsTo("/").size()), row.pages);
  }
}

TEST_F(AccountSessionCheckTest, WithoutUkNoProbeIsSentAndTheUserInfoComesBack) {
  Serve({{"/", FakeReply::Html(HomePage("demo", "", "abc"))}});
  const CheckResult result = Check(Account().CookieText());
  EXPECT_EQ(result.user, "demo");
  EXPECT_EQ(result.bdstoken, "abc");
  EXPECT_EQ(result.text, "{\"username\":\"demo\",\"uk\":\"\",\"bdstoken\":\"abc\"}");
  EXPECT_EQ(RequestsTo("/").size(), 2u);
  EXPECT_THAT(RequestsTo("/mbox/relation/getfollowlist"), IsEmpty());
}

TEST_F(AccountSessionCheckTest, RedirectsAreFollowedOnlyToTheServicesHosts) {
  const std::string page = HomePage(U8(u8"张三"), "77", "tok");
  struct Row {
    const char* name;
    std::map<std::string, FakeReply> replies;
    const char* user;
    std::vector<std::string> fetched;
  };
  const std::string self = "https://" + Service().Host();
  std::map<std::string, FakeReply> chain10;
  std::map<std::string, FakeReply> chain11;
  for (int i = 0; i <= 10; ++i) {
    const std::string from = i == 0 ? "/" : "/r" + std::to_string(i);
    const std::string to = "/r" + std::to_string(i + 1);
    chain11[from] = FakeReply::Redirect(302, to);
    chain10[from] = i < 10 ? FakeReply::Redirect(302, to) : FakeReply::Html(page);
  }
  const Row rows[] = {
      {"relative location on the web host",
       {{"/", FakeReply::Redirect(302, "/disk/main")}, {"/disk/main", FakeReply::Html(page)}},
       "张三",
       {"/", "/disk/main"}},
      {"absolute location on the web host",
       {{"/", FakeReply::Redirect(302, self + "/home?x=1")}, {"/home", FakeReply::Html(page)}},
       "张三",
       {"/", "/home"}},
      {"another host is not followed",
       {{"/", FakeReply::Redirect(302, "https://127.0.0.2:1/steal")}},
       "",
       {"/"}},
      {"a relative location without a slash is not followed",
       {{"/", FakeReply::Redirect(302, "evil.example/x")}},
       "",
       {"/"}},
      {"301 only counts", {{"/", FakeReply::Redirect(301, "/disk/main")}}, "", {"/"}},
      {"ten redirects are followed",
       chain10,
       "张三",
       {"/", "/r1", "/r2", "/r3", "/r4", "/r5", "/r6", "/r7", "/r8", "/r9", "/r10"}},
      {"the eleventh is not",
       chain11,
       "",
       {"/", "/r1", "/r2", "/r3", "/r4", "/r5", "/r6", "/r7", "/r8", "/r9", "/r10"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Reset();
    Serve(row.replies);
    const CheckResult result = Check(Account().CookieText(), 1);
    EXPECT_EQ(result.user, row.user);
    std::vector<std::string> fetched;
    for (const RecordedRequest& request : Service().Requests()) {
      if (request.Path() != "/mbox/relation/getfollowlist") {
        fetched.push_back(request.Path());
        EXPECT_EQ(request.Header("Cookie"), Account().CookieText());
      }
    }
    EXPECT_EQ(fetched, row.fetched);
  }
}

TEST_F(AccountSessionCheckTest, ProbeRedirectsAreFollowedOnlyToTheServicesHosts) {
  struct Row {
    const char* name;
    std::string location;
    size_t pages;   // home pages fetched: one when the probe decided
    bool followed;  // the probe's target was fetched
  };
  const Row rows[] = {
      {"relative location on the web host", "/mbox/moved", 1, true},
      {"absolute location on the web host", "https://" + Service().Host() + "/mbox/moved", 1, true},
      {"another host is not followed", "https://127.0.0.2:1/mbox/moved", 2, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Reset();
    Serve({{"/mbox/relation/getfollowlist", FakeReply::Redirect(302, row.location)},
           {"/mbox/moved", FakeReply::Json("{\"errno\":0,\"request_id\":1}")}});
    const CheckResult result = Check(Account().CookieText());
    EXPECT_EQ(result.user, "demo");
    EXPECT_EQ(result.uk, Account().uk);
    EXPECT_EQ(RequestsTo("/").size(), row.pages);
    EXPECT_EQ(RequestsTo("/mbox/moved").size(), row.followed ? 1u : 0u);
    EXPECT_EQ(result.text.find("errno\":0,") != std::string::npos, row.followed);
    for (const RecordedRequest& request : RequestsTo("/mbox/moved")) {
      EXPECT_EQ(request.Header("Cookie"), Account().CookieText());
    }
  }
}

TEST_F(AccountSessionCheckTest, RedirectTargets) {
  const std::string self = "https://" + Service().Host();
  EXPECT_EQ(SessionRedirectTarget("/disk/main"), self + "/disk/main");
  EXPECT_EQ(SessionRedirectTarget(self + "/x"), self + "/x");
  EXPECT_EQ(SessionRedirectTarget(self), self);
  EXPECT_EQ(SessionRedirectTarget("https://passport.test/v2/?login"),
            "https://passport.test/v2/?login");
  EXPECT_EQ(SessionRedirectTarget(self + ".evil.example/x"), "");
  EXPECT_EQ(SessionRedirectTarget("https://evil.example/?u=" + self), "");
  EXPECT_EQ(SessionRedirectTarget("/login?u=https://evil.example/"), "");
  EXPECT_EQ(SessionRedirectTarget(""), "");
}

}  // namespace
