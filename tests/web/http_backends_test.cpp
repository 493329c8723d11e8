// SendHttpRequest against the local service emulator, the same behaviour table
// run once per back end (request object and libcurl client).

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>

#include "support/emulator_fixture.h"
#include "fakeservice/fake_service.h"
#include "web/http_request.h"
#include "web/http_request_internal.h"
#include "web/service_config.h"

namespace {

using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

struct Backend {
  const char* name;
  int useCurl;
};

void PrintTo(const Backend& backend, std::ostream* out) {
  *out << backend.name;
}

const std::string kDefaultUserAgent = std::string(kDefaultHttpHeaderLine).substr(12);

class HttpBackendTest : public EmulatorFixture<::testing::TestWithParam<Backend>> {
 protected:
  static void SetUpTestSuite() {
    EmulatorFixture::SetUpTestSuite();
    LoadServiceConfig();
  }
  void SetUp() override {
    ASSERT_NE(s_service, nullptr);
    g_useCurl = GetParam().useCurl;
    s_service->ClearRequests();
    s_service->ClearFailures();
    s_service->ClearHook();
  }
  void TearDown() override {
    EmulatorFixture::TearDown();
    g_useCurl = 0;
  }
  bool Curl() const { return GetParam().useCurl != 0; }
  static std::string Url(const std::string& target) { return s_service->BaseUrl() + target; }
  static void ReplyWith(FakeReply reply) {
    s_service->SetHook([reply](const RecordedRequest&) { return std::optional<FakeReply>(reply); });
  }
  static RecordedRequest OnlyRequest() {
    std::vector<RecordedRequest> requests = s_service->Requests();
    EXPECT_EQ(requests.size(), 1u);
    return requests.empty() ? RecordedRequest() : requests[0];
  }
};

TEST_P(HttpBackendTest, SendsHeadersInEachBackEndsOrder) {
  struct Row {
    const char* name;
    int method;
    std::string headers;
    std::string body;
    std::vector<std::string> winHttp;
    std::vector<std::string> curl;
  };
  const Row rows[] = {
      {"GET with the default header line",
       kHttpGet,
       "",
       "",
       {"Host", "Cookie", "User-Agent", "Accept", "Referer", "Accept-Language"},
       {"Host", "Accept-Encoding", "Cookie", "User-Agent", "Accept", "Accept-Language"}},
      {"POST with the default header line",
       kHttpPost,
       "",
       "x=1",
       {"Host", "Cookie", "User-Agent", "Accept", "Referer", "Accept-Language", "Content-Type",
        "Content-Length"},
       {"Host", "Accept-Encoding", "Cookie", "User-Agent", "Content-Type", "Accept",
        "Accept-Language", "Content-Length"}},
      {"caller's own line without a user agent",
       kHttpGet,
       "A: 1",
       "",
       {"Host", "Cookie", "A", "Accept", "Referer", "Accept-Language", "User-Agent"},
       {"Host", "Accept-Encoding", "Cookie", "A", "User-Agent", "Accept", "Accept-Language"}},
      {"lower-case names; keep-alive only dropped by the request object",
       kHttpGet,
       "accept: text/html\r\nconnection: keep-alive\r\nuser-agent: U",
       "",
       {"Host", "Cookie", "Accept", "User-Agent", "Referer", "Accept-Language"},
       {"Host", "Accept-Encoding", "Cookie", "accept", "connection", "user-agent",
        "Accept-Language"}},
      {"keep-alive in other letters is sent",
       kHttpGet,
       "User-Agent: U\r\nConnection: Keep-Alive",
       "",
       {"Host", "Cookie", "User-Agent", "Connection", "Accept", "Referer", "Accept-Language"},
       {"Host", "Accept-Encoding", "Cookie", "User-Agent", "Connection", "Accept",
        "Accept-Language"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    s_service->ClearRequests();
    ReplyWith(FakeReply::Json("{}"));
    std::string cookies = "a=1; b=2";
    std::string headers = row.headers;
    int status = -1;
    std::string body = SendHttpRequest(Url("/h?q=1"), {.method = row.method,
                                                       .body = row.body,
                                                       .cookies = &cookies,
                                                       .headers = &headers,
                                                       .status = &status});
    EXPECT_EQ(body, "{}");
    EXPECT_EQ(status, 200);
    RecordedRequest got = OnlyRequest();
    EXPECT_EQ(got.version, "HTTP/1.1");
    EXPECT_EQ(got.method, row.method == kHttpPost ? "POST" : "GET");
    EXPECT_THAT(got.HeaderNames(), ElementsAreArray(Curl() ? row.curl : row.winHttp));
    EXPECT_EQ(got.Header("Cookie"), "a=1; b=2");
    EXPECT_EQ(got.body, row.body);
    std::string expectedHeaders = row.headers.empty() ? kDefaultHttpHeaderLine : row.headers;
    EXPECT_EQ(headers, Curl() ? expectedHeaders + "\r\n" : expectedHeaders);
  }
}

TEST_P(HttpBackendTest, FillsInTheDefaultLineAndCompletedValues) {
  ReplyWith(FakeReply::Json("{}"));
  std::string headers;
  SendHttpRequest(Url("/v"), {.method = kHttpPost, .body = "k=v", .headers = &headers});
  RecordedRequest got = OnlyRequest();
  EXPECT_EQ(got.Header("User-Agent"), kDefaultUserAgent);
  EXPECT_EQ(got.Header("Accept"), "*/*");
  EXPECT_EQ(got.Header("Accept-Language"), "zh-cn");
  EXPECT_EQ(got.Header("Content-Type"), "application/x-www-form-urlencoded");
  EXPECT_EQ(got.Header("Content-Length"), "3");
  EXPECT_EQ(got.Header("Referer"), Curl() ? std::nullopt : std::optional(Url("/v")));
  EXPECT_EQ(got.Header("Accept-Encoding"),
            Curl() ? std::optional<std::string>("gzip") : std::nullopt);
  EXPECT_EQ(got.Header("Cookie"), std::nullopt);
}

TEST_P(HttpBackendTest, PostWithoutBodyStatesLengthZeroNeverChunked) {
  ReplyWith(FakeReply::Json("{}"));
  int status = 0;
  SendHttpRequest(Url("/empty"), {.method = kHttpPost, .status = &status});
  EXPECT_EQ(status, 200);
  RecordedRequest got = OnlyRequest();
  EXPECT_FALSE(got.chunked);
  EXPECT_EQ(got.Header("Transfer-Encoding"), std::nullopt);
  EXPECT_EQ(got.Header("Content-Length"), "0");
}

TEST_P(HttpBackendTest, ReceivedCookiesFollowEachBackEndsRules) {
  struct Row {
    const char* name;
    std::string cookies;
    std::vector<std::pair<std::string, std::string>> setCookies;
    std::optional<bool> merge;
    std::string winHttpReceived;
    std::string curlReceived;
    std::string winHttpCookiesAfter;
    std::string sentWinHttp;
    std::string sentCurl;
  };
  const Row rows[] = {
      {"attributes cut; empty value and lower-case name per back end",
       "sid=old; x=1",
       {{"Set-Cookie", "a=1; path=/"}, {"Set-Cookie", "b="}, {"set-cookie", "c=3"}},
       std::nullopt,
       "a=1; b=",
       "sid=old; x=1; a=1; c=3",
       "sid=old; x=1",
       "sid=old; x=1",
       "sid=old; x=1"},
      {"a reply cookie replaces the sent one",
       "sid=old; x=1",
       {{"Set-Cookie", "sid=abc; Path=/"}},
       std::nullopt,
       "sid=abc",
       "sid=abc; x=1",
       "sid=old; x=1",
       "sid=old; x=1",
       "sid=old; x=1"},
      {"merge asked: the request object merges too",
       "sid=old; x=1",
       {{"Set-Cookie", "sid=abc; Path=/"}, {"Set-Cookie", "x=deleted"}},
       true,
       "sid=abc",
       "sid=abc; x=deleted",
       "sid=abc",
       "sid=old; x=1",
       "sid=old; x=1"},
      {"an empty reply value removes the cookie from the jar",
       "a=1; b=2",
       {{"Set-Cookie", "a=; Max-Age=0"}},
       std::nullopt,
       "a=",
       "b=2",
       "a=1; b=2",
       "a=1; b=2",
       "a=1; b=2"},
      {"Cookie: prefix is removed by the request object only",
       "Cookie: a=1",
       {},
       std::nullopt,
       "",
       "Cookie: a=1",
       " a=1",
       "a=1",
       "Cookie: a=1"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    s_service->ClearRequests();
    FakeReply reply = FakeReply::Json("{}");
    for (const auto& header : row.setCookies) {
      reply.headers.push_back(header);
    }
    ReplyWith(reply);
    std::string cookies = row.cookies;
    std::string received = "stale";
    SendHttpRequest(Url("/c"),
                    {.cookies = &cookies, .receivedCookies = &received, .mergeCookies = row.merge});
    EXPECT_EQ(received, Curl() ? row.curlReceived : row.winHttpReceived);
    EXPECT_EQ(cookies, Curl() ? row.cookies : row.winHttpCookiesAfter);
    EXPECT_EQ(OnlyRequest().Header("Cookie"), Curl() ? row.sentCurl : row.sentWinHttp);
  }
}

TEST_P(HttpBackendTest, TimeOutRuleAgainstASlowReply) {
  // One "second" of the rule lasts 50 ms here, so the default is 750 ms. A
  // reply that must arrive has 600 ms to spare, since other programs may be
  // loading the machine; one that must not is held well past its limit.
  SetHttpSecondMsForTesting(50);
  struct Row {
    const char* name;
    int timeoutSeconds;
    long delayMs;
    bool answered;
  };
  const Row rows[] = {
      {"left out: the default outlasts a short delay", 0, 100, true},
      {"left out: the default ends a longer delay", 0, 900, false},
      {"below one second counts as left out", -3, 900, false},
      {"two seconds end a delay the default would outlast", 2, 500, false},
      {"thirty seconds outlast a delay the default would end", 30, 900, true},
      {"-1 keeps the back end's own longer limits", -1, 900, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ReplyWith(FakeReply::Slow(row.delayMs, FakeReply::Json("{\"late\":1}")));
    int status = -1;
    std::string body =
        SendHttpRequest(Url("/slow"), {.status = &status, .timeoutSeconds = row.timeoutSeconds});
    EXPECT_EQ(status, row.answered ? 200 : 0);
    EXPECT_EQ(body, row.answered ? "{\"late\":1}" : "");
  }
  SetHttpSecondMsForTesting(1000);
}

TEST_P(HttpBackendTest, NoRedirectReturnsTheRedirectItself) {
  s_service->SetHook([](const RecordedRequest& request) -> std::optional<FakeReply> {
    if (request.Path() == "/start") {
      FakeReply reply = FakeReply::Redirect(302, "/final");
      reply.headers.emplace_back("Set-Cookie", "hop=1; path=/");
      return reply;
    }
    return FakeReply::Json("final");
  });
  struct Row {
    const char* name;
    bool noRedirect;
    int status;
    std::string body;
    size_t requests;
  };
  const Row rows[] = {
      {"followed by default", false, 200, "final", 2},
      {"returned with no-redirect", true, 302, "", 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    s_service->ClearRequests();
    std::string headers;
    std::string received;
    std::string cookies;
    int status = 0;
    std::string body = SendHttpRequest(Url("/start"), {.cookies = &cookies,
                                                       .receivedCookies = &received,
                                                       .receivedHeaders = &headers,
                                                       .status = &status,
                                                       .noRedirect = row.noRedirect});
    EXPECT_EQ(status, row.status);
    EXPECT_EQ(s_service->Requests().size(), row.requests);
    if (row.noRedirect) {
      EXPECT_THAT(headers, HasSubstr("Location: /final\r\n"));
      EXPECT_EQ(received, "hop=1");
    } else {
      EXPECT_EQ(body, row.body);
      // The request object shows the final reply only; the libcurl client
      // every reply of the transfer, and its jar keeps the redirect's cookie.
      if (Curl()) {
        EXPECT_THAT(headers, HasSubstr("Location: /final\r\n"));
        EXPECT_EQ(received, "hop=1");
      } else {
        EXPECT_THAT(headers, Not(HasSubstr("Location:")));
        EXPECT_EQ(received, "");
      }
    }
  }
}

TEST_P(HttpBackendTest, ARequestWithoutACompleteReplyGivesEmptyBodyAndStatusZero) {
  struct Row {
    const char* name;
    FakeReply reply;
  };
  FakeReply promised = FakeReply::Json("{\"errno\":0,\"list\":[]}");
  promised.fault = ReplyFault::kDropAfterHeaders;
  const Row rows[] = {
      {"closed without a reply", FakeReply::Fault(ReplyFault::kCloseWithoutReply)},
      {"connection reset", FakeReply::Fault(ReplyFault::kResetConnection)},
      {"head sent, body never came", promised},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ReplyWith(row.reply);
    int status = -1;
    std::string received = "stale";
    std::string body =
        SendHttpRequest(Url("/gone"), {.receivedCookies = &received, .status = &status});
    EXPECT_EQ(body, "");
    EXPECT_EQ(status, 0);
  }
}

TEST_P(HttpBackendTest, RepliesComeBackDecodedAsAsked) {
  FakeReply reply = FakeReply::Json(
      std::string("\x78\x9C\xCB\x48\xCD\xC9\xC9\x57\xC8\x40\x90\x00\x3A\x2E\x06\x7D", 16));
  reply.headers.emplace_back("Content-Encoding", "deflate");
  ReplyWith(reply);
  std::string headers = "User-Agent: U\r\nAccept-Encoding: deflate, compress";
  std::string body = SendHttpRequest(Url("/z"), {.headers = &headers});
  EXPECT_EQ(body, "hello hello hello");
  EXPECT_EQ(OnlyRequest().Header("Accept-Encoding"), "deflate");
}

TEST_P(HttpBackendTest, ProxyVariablesOfTheEnvironmentAreIgnoredAGivenProxyIsUsed) {
  ReplyWith(FakeReply::Json("{}"));
  setenv("https_proxy", "http://127.0.0.1:9", 1);
  setenv("HTTPS_PROXY", "http://127.0.0.1:9", 1);
  int status = 0;
  std::string body = SendHttpRequest(Url("/p"), {.status = &status});
  unsetenv("https_proxy");
  unsetenv("HTTPS_PROXY");
  EXPECT_EQ(status, 200);
  EXPECT_EQ(body, "{}");

  // Port 9 (discard) on loopback has no listener: the request cannot pass.
  status = -1;
  body = SendHttpRequest(Url("/p"), {.status = &status, .proxy = "127.0.0.1:9"});
  EXPECT_EQ(status, 0);
  EXPECT_EQ(body, "");
}

TEST_P(HttpBackendTest, CurlBackEndSendsOnlyGetAndPost) {
  ReplyWith(FakeReply::Json("{}"));
  std::string headers;
  std::string received = "untouched";
  int status = -7;
  std::string body = SendHttpRequest(
      Url("/m"),
      {.method = kHttpPut, .receivedCookies = &received, .headers = &headers, .status = &status});
  EXPECT_EQ(headers, kDefaultHttpHeaderLine);
  if (Curl()) {
    EXPECT_EQ(body, "");
    EXPECT_EQ(status, -7);
    EXPECT_EQ(received, "untouched");
    EXPECT_THAT(s_service->Requests(), IsEmpty());
  } else {
    EXPECT_EQ(status, 200);
    EXPECT_EQ(OnlyRequest().method, "PUT");
  }
  s_service->ClearRequests();
  SendHttpRequest(Url("/m"), {.method = 9});
  if (!Curl()) {
    EXPECT_EQ(OnlyRequest().method, "GET");
  }
}

TEST_P(HttpBackendTest, ACertificateNotFromTheTrustedCaIsRefused) {
  FakeService stranger(FakeServiceOptions{.selfSignedCertificate = true});
  std::string error;
  ASSERT_TRUE(stranger.Start(&error)) << error;
  stranger.SetHook([](const RecordedRequest&) { return std::optional(FakeReply::Json("{}")); });
  int status = -1;
  std::string body = SendHttpRequest(stranger.BaseUrl() + "/", {.status = &status});
  EXPECT_EQ(status, 0);
  EXPECT_EQ(body, "");
  EXPECT_THAT(stranger.Requests(), IsEmpty());
}

TEST_P(HttpBackendTest, ByteBodyReplacesTheTextBodyOnlyInTheRequestObject) {
  ReplyWith(FakeReply::Json("{}"));
  SendHttpRequest(Url("/b"),
                  {.method = kHttpPost, .body = "text=1", .byteBody = std::string("a\0b", 3)});
  EXPECT_EQ(OnlyRequest().body, Curl() ? "text=1" : std::string("a\0b", 3));
}

TEST_P(HttpBackendTest, ConcurrentCallsShareNothing) {
  s_service->SetHook([](const RecordedRequest& request) -> std::optional<FakeReply> {
    FakeReply reply = FakeReply::Json(request.Header("Cookie").value_or("none"));
    reply.headers.emplace_back("Set-Cookie", "echo=" + request.Path().substr(1) + "; path=/");
    return reply;
  });
  constexpr int kThreads = 8;
  constexpr int kRounds = 2;
  std::vector<int> mismatches(kThreads, 0);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([t, &mismatches] {
      for (int round = 0; round < kRounds; ++round) {
        std::string tag = std::to_string(t) + "-" + std::to_string(round);
        std::string cookies = "t=" + tag;
        std::string received;
        int status = 0;
        std::string body = SendHttpRequest(
            Url("/" + tag), {.cookies = &cookies, .receivedCookies = &received, .status = &status});
        std::string expectedReceived = "echo=" + tag;
        bool ok = status == 200 && body == cookies &&
                  received.find(expectedReceived) != std::string::npos;
        mismatches[t] += ok ? 0 : 1;
      }
    });
  }
  for (std::thread& thread : threads) {
    thread.join();
  }
  EXPECT_THAT(mismatches, ::testing::Each(0));
  EXPECT_EQ(s_service->Requests().size(), size_t{kThreads * kRounds});
}

INSTANTIATE_TEST_SUITE_P(BothBackEnds, HttpBackendTest,
                         ::testing::Values(Backend{"RequestObject", 0}, Backend{"Curl", 1}),
                         [](const ::testing::TestParamInfo<Backend>& backend) {
                           return std::string(backend.param.name);
                         });

}  // namespace
