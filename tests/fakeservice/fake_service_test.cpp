// The emulator's transport: what it records, the replies and faults it serves,
// and its certificates, seen through an ordinary libcurl client.

#include "fakeservice/fake_service.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "fakeservice/test_client.h"

namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Pair;

class FakeServiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(m_service.Start(&error)) << error;
  }

  ClientRequest To(const std::string& target) {
    ClientRequest request;
    request.url = m_service.BaseUrl() + target;
    request.caFile = m_service.CaFile();
    return request;
  }

  FakeService m_service;
};

TEST_F(FakeServiceTest, RecordsHeadersInOrderWithCaseTargetAndBody) {
  m_service.SetHook([](const RecordedRequest&) { return FakeReply::Json("{}"); });
  ClientRequest request = To("/api/list?b=2&a=%2F+x&logid=QUJD+/=");
  request.method = "POST";
  request.headers = {"zeta: 1", "User-Agent: UA", "Accept:", "accept-LANGUAGE: zh-cn",
                     "Content-Type: application/x-www-form-urlencoded"};
  request.body = "path=%E4%B8%AD&x=1";
  const ClientReply reply = Fetch(request);
  ASSERT_EQ(reply.code, CURLE_OK) << curl_easy_strerror(reply.code);
  EXPECT_EQ(reply.status, 200);

  const std::vector<RecordedRequest> requests = m_service.Requests();
  ASSERT_EQ(requests.size(), 1u);
  const RecordedRequest& got = requests[0];
  EXPECT_TRUE(got.tls);
  EXPECT_EQ(got.method, "POST");
  EXPECT_EQ(got.target, "/api/list?b=2&a=%2F+x&logid=QUJD+/=");
  EXPECT_EQ(got.Path(), "/api/list");
  EXPECT_EQ(got.QueryValue("a"), "/ x");
  EXPECT_EQ(got.RawQueryValue("logid"), "QUJD+/=");
  EXPECT_EQ(got.FormValue("path"), reinterpret_cast<const char*>(u8"中"));
  EXPECT_EQ(got.body, "path=%E4%B8%AD&x=1");
  EXPECT_THAT(got.HeaderNames(), ElementsAre("Host", "zeta", "User-Agent", "accept-LANGUAGE",
                                             "Content-Type", "Content-Length"));
  EXPECT_EQ(got.Header("ACCEPT-language"), "zh-cn");
  EXPECT_EQ(got.Header("Accept"), std::nullopt);
  EXPECT_THAT(m_service.Failures(), IsEmpty());

  m_service.ClearRequests();
  EXPECT_THAT(m_service.Requests(), IsEmpty());
}

TEST_F(FakeServiceTest, HookRepliesKeepHeaderOrderAndRepeatedSetCookie) {
  m_service.SetHook([](const RecordedRequest&) {
    FakeReply reply = FakeReply::Html("<p>hi</p>");
    reply.headers.emplace_back("Set-Cookie", "BDUSS=b1; path=/; HttpOnly");
    reply.headers.emplace_back("set-cookie", "STOKEN=s1; path=/");
    reply.headers.emplace_back("Set-Cookie", "BAIDUID=x:FG=1; path=/");
    return std::optional<FakeReply>(reply);
  });
  const ClientReply reply = Fetch(To("/"));
  ASSERT_EQ(reply.code, CURLE_OK);
  EXPECT_EQ(reply.body, "<p>hi</p>");
  EXPECT_THAT(reply.head, HasSubstr("Set-Cookie: BDUSS=b1; path=/; HttpOnly\r\n"
                                    "set-cookie: STOKEN=s1; path=/\r\n"
                                    "Set-Cookie: BAIDUID=x:FG=1; path=/\r\n"));
}

TEST_F(FakeServiceTest, FaultsReachTheClientAsTheirTransportErrors) {
  struct Row {
    const char* name;
    FakeReply reply;
    CURLcode code;
    long status;
    const char* headHolds;
  };
  FakeReply dropped = FakeReply::Json(R"({"errno":0})");
  dropped.fault = ReplyFault::kDropAfterHeaders;
  const Row rows[] = {
      {"close without a byte", FakeReply::Fault(ReplyFault::kCloseWithoutReply), CURLE_GOT_NOTHING,
       0, ""},
      {"reset", FakeReply::Fault(ReplyFault::kResetConnection), CURLE_RECV_ERROR, 0, ""},
      {"drop after headers", dropped, CURLE_PARTIAL_FILE, 200, "Content-Length: 11\r\n"},
      {"empty 200", FakeReply::Json(""), CURLE_OK, 200, "Content-Length: 0\r\n"},
      {"redirect", FakeReply::Redirect(302, "/login?x=1"), CURLE_OK, 302,
       "HTTP/1.1 302 Found\r\nLocation: /login?x=1\r\n"},
      {"html error", FakeReply::Html("<title>502</title>", 502), CURLE_OK, 502, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    m_service.SetHook([&row](const RecordedRequest&) { return std::optional(row.reply); });
    const ClientReply reply = Fetch(To("/x"));
    EXPECT_EQ(reply.code, row.code) << curl_easy_strerror(reply.code);
    EXPECT_EQ(reply.status, row.status);
    EXPECT_THAT(reply.head, HasSubstr(row.headHolds));
  }
}

TEST_F(FakeServiceTest, SlowReplyEndsWhenTheClientGivesUp) {
  m_service.SetHook([](const RecordedRequest&) {
    return std::optional(FakeReply::Slow(300000, FakeReply::Json("{}")));
  });
  ClientRequest request = To("/slow");
  request.timeoutMs = 50;
  EXPECT_EQ(Fetch(request).code, CURLE_OPERATION_TIMEDOUT);
  // The held reply must not keep the server from stopping promptly.
  const auto before = std::chrono::steady_clock::now();
  m_service.Stop();
  EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(3));
}

TEST_F(FakeServiceTest, UnexpectedRequestGets500AndARecordedFailure) {
  const ClientReply reply = Fetch(To("/nowhere?a=1"));
  EXPECT_EQ(reply.code, CURLE_OK);
  EXPECT_EQ(reply.status, 500);
  EXPECT_THAT(m_service.Failures(), ElementsAre("unexpected request: GET /nowhere?a=1"));
  m_service.ClearFailures();
  EXPECT_THAT(m_service.Failures(), IsEmpty());
}

TEST_F(FakeServiceTest, ChunkedBodyIsRecordedAndRefused) {
  m_service.SetHook([](const RecordedRequest&) { return FakeReply::Json("{}"); });
  ClientRequest request = To("/api/create");
  request.method = "POST";
  request.headers = {"Transfer-Encoding: chunked"};
  request.body = "path=%2Fa";
  const ClientReply reply = Fetch(request);
  EXPECT_EQ(reply.status, 400);
  ASSERT_EQ(m_service.Requests().size(), 1u);
  EXPECT_TRUE(m_service.Requests()[0].chunked);
  EXPECT_EQ(m_service.Requests()[0].body, "path=%2Fa");
  EXPECT_THAT(m_service.Failures(), ElementsAre("chunked request body refused: POST /api/create"));
}

TEST_F(FakeServiceTest, LargeBodyAfterExpectContinueArrivesWhole) {
  m_service.SetHook([](const RecordedRequest&) { return FakeReply::Json("{}"); });
  ClientRequest request = To("/big");
  request.method = "POST";
  request.headers = {"Expect: 100-continue"};
  request.body = std::string(200000, 'a');
  EXPECT_EQ(Fetch(request).code, CURLE_OK);
  ASSERT_EQ(m_service.Requests().size(), 1u);
  EXPECT_EQ(m_service.Requests()[0].body.size(), 200000u);
}

TEST_F(FakeServiceTest, SamePortServesPlainHttpAndLocalhostName) {
  m_service.SetHook([](const RecordedRequest&) { return FakeReply::Json("{}"); });
  ClientRequest plain;
  plain.url = "http://" + m_service.Host() + "/share/taskquery?taskid=1";
  EXPECT_EQ(Fetch(plain).status, 200);
  ClientRequest named = To("/");
  named.url = "https://localhost:" + std::to_string(m_service.Port()) + "/";
  EXPECT_EQ(Fetch(named).code, CURLE_OK);
  const std::vector<RecordedRequest> requests = m_service.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_FALSE(requests[0].tls);
  EXPECT_TRUE(requests[1].tls);
}

TEST_F(FakeServiceTest, OversizedRequestsAreRefusedAndRecordedAsFailures) {
  m_service.SetHook([](const RecordedRequest&) { return FakeReply::Json("{}"); });
  struct Row {
    const char* name;
    std::vector<std::string> headers;
  };
  const Row rows[] = {
      {"header block over 64 KiB", {"X-Big: " + std::string(70 * 1024, 'h')}},
      {"declared body over 16 MiB", {"Content-Length: 16777217"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    m_service.ClearFailures();
    ClientRequest request = To("/big");
    request.headers = row.headers;
    const ClientReply reply = Fetch(request);
    EXPECT_EQ(reply.status, 400);
    EXPECT_THAT(m_service.Failures(), ElementsAre("malformed request"));
  }
  EXPECT_THAT(m_service.Requests(), IsEmpty());
  m_service.ClearFailures();
}

TEST_F(FakeServiceTest, ConcurrentClientsAreAllRecorded) {
  m_service.SetHook([](const RecordedRequest&) { return FakeReply::Json("{}"); });
  std::vector<std::thread> clients;
  std::atomic<int> answered{0};
  for (int client = 0; client < 8; ++client) {
    clients.emplace_back([&, client] {
      for (int i = 0; i < 5; ++i) {
        if (Fetch(To("/c" + std::to_string(client))).status == 200) {
          ++answered;
        }
      }
    });
  }
  for (std::thread& client : clients) {
    client.join();
  }
  EXPECT_EQ(answered, 40);
  EXPECT_EQ(m_service.Requests().size(), 40u);
  EXPECT_EQ(m_service.RequestsTo("/c3").size(), 5u);
}

TEST(FakeServiceCertificateTest, SelfSignedServerIsRefusedByTheTestCa) {
  FakeServiceOptions options;
  options.selfSignedCertificate = true;
  FakeService service(options);
  ASSERT_TRUE(service.Start());
  service.SetHook([](const RecordedRequest&) { return FakeReply::Json("{}"); });
  ClientRequest request;
  request.url = service.BaseUrl() + "/";
  request.caFile = service.CaFile();
  EXPECT_EQ(Fetch(request).code, CURLE_PEER_FAILED_VERIFICATION);
  EXPECT_THAT(service.Requests(), IsEmpty());
}

TEST(FakeServiceCertificateTest, TwoServicesHaveDifferentCas) {
  FakeService first;
  FakeService second;
  ASSERT_TRUE(first.Start());
  ASSERT_TRUE(second.Start());
  EXPECT_NE(first.Port(), second.Port());
  first.SetHook([](const RecordedRequest&) { return FakeReply::Json("{}"); });
  ClientRequest request;
  request.url = first.BaseUrl() + "/";
  request.caFile = second.CaFile();
  EXPECT_EQ(Fetch(request).code, CURLE_PEER_FAILED_VERIFICATION);
}

TEST(FaultTableTest, WindowsPickTheNthRequestsOfTheirKind) {
  FaultTable table;
  FaultRule rule;
  rule.name = "second and third rename";
  rule.path = "/api/filemanager";
  rule.queryContains = "opera=rename";
  rule.textContains = "/a/x.txt";
  rule.fromOccurrence = 2;
  rule.times = 2;
  rule.reply = FakeReply::Json("busy");
  table.Add(rule);
  RecordedRequest rename;
  rename.method = "POST";
  rename.target = "/api/filemanager?opera=rename&async=2";
  rename.body = "filelist=%5B%7B%22path%22%3A%22%2Fa%2Fx.txt%22%7D%5D";
  RecordedRequest other = rename;
  other.target = "/api/filemanager?opera=delete";

  std::vector<bool> answered;
  for (int i = 0; i < 5; ++i) {
    EXPECT_FALSE(table.Match(other).has_value());
    answered.push_back(table.Match(rename).has_value());
  }
  EXPECT_THAT(answered, ElementsAre(false, true, true, false, false));
  EXPECT_EQ(table.Picked("second and third rename"), 5);
  EXPECT_EQ(table.Picked("none"), -1);
}

TEST(HttpWireTest, HeadParsing) {
  struct Row {
    const char* name;
    const char* head;
    HeadParse result;
  };
  const Row rows[] = {
      {"complete", "GET /a?b HTTP/1.1\r\nHost: x\r\nX:  y \r\n\r\n", HeadParse::kComplete},
      {"unfinished", "GET /a HTTP/1.1\r\nHost: x\r\n", HeadParse::kNeedMore},
      {"no version", "GET /a\r\n\r\n", HeadParse::kMalformed},
      {"folded line", "GET / HTTP/1.1\r\nA: b\r\n c\r\n\r\n", HeadParse::kMalformed},
      {"no colon", "GET / HTTP/1.1\r\nAb\r\n\r\n", HeadParse::kMalformed},
      {"other protocol", "GET / SPDY/3\r\n\r\n", HeadParse::kMalformed},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    RecordedRequest request;
    EXPECT_EQ(ParseRequestHead(row.head, request), row.result);
  }
  RecordedRequest request;
  ASSERT_EQ(ParseRequestHead(rows[0].head, request), HeadParse::kComplete);
  EXPECT_THAT(request.headers, ElementsAre(Pair("Host", "x"), Pair("X", "y")));
}

TEST(HttpWireTest, PercentDecodingKeepsBadEscapes) {
  EXPECT_EQ(PercentDecode("a+b%2B%zz%4", true), "a b+%zz%4");
  EXPECT_EQ(PercentDecode("a+b", false), "a+b");
}

TEST(HttpWireTest, PercentEncodingSurvivesFormDecoding) {
  // Form values decode "+" as a blank, so every byte that means something in a
  // query or form must come out escaped.
  using namespace std::string_literals;
  const std::string text = "a b+c&d=e/f%g~h.-_\x00\xB8\xC4"s;
  EXPECT_EQ(PercentEncode(text), "a%20b%2Bc%26d%3De%2Ff%25g~h.-_%00%B8%C4");
  EXPECT_EQ(PercentDecode(PercentEncode(text), true), text);
}

}  // namespace
