// The request object stand-in: what it puts on the wire and what it keeps of
// the reply.

#include "platform/win_http_request.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fakeservice/fake_service.h"

namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

class WinHttpRequestTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(m_service.Start(&error)) << error;
    m_service.SetHook([](const RecordedRequest&) { return std::optional(FakeReply::Json("ok")); });
  }
  void TearDown() override { EXPECT_THAT(m_service.Failures(), IsEmpty()); }
  bool OpenTo(WinHttpRequest& request, const std::string& verb, const std::string& target) {
    request.SetExtraCaFile(m_service.CaFile());
    return request.Open(verb, m_service.BaseUrl() + target);
  }
  RecordedRequest OnlyRequest() {
    std::vector<RecordedRequest> requests = m_service.Requests();
    EXPECT_EQ(requests.size(), 1u);
    return requests.empty() ? RecordedRequest() : requests[0];
  }
  FakeService m_service;
};

TEST_F(WinHttpRequestTest, KeepsOnlyTheFinalRepliesHeadersAndStatus) {
  m_service.SetHook([](const RecordedRequest& request) -> std::optional<FakeReply> {
    if (request.Path() == "/a") {
      FakeReply reply = FakeReply::Redirect(301, "/b");
      reply.headers.emplace_back("X-First", "1");
      return reply;
    }
    FakeReply reply = FakeReply::Html("b");
    reply.headers.emplace_back("X-Final", "2");
    return reply;
  });
  WinHttpRequest request;
  ASSERT_TRUE(OpenTo(request, "GET", "/a"));
  ASSERT_TRUE(request.Send()) << request.LastError();
  EXPECT_EQ(request.Status(), 200);
  EXPECT_EQ(request.ResponseBody(), "b");
  const std::string& headers = request.GetAllResponseHeaders();
  EXPECT_THAT(headers, HasSubstr("X-Final: 2\r\n"));
  EXPECT_THAT(headers, Not(HasSubstr("X-First")));
  EXPECT_THAT(headers, Not(HasSubstr("HTTP/1.1")));
  EXPECT_THAT(headers, Not(HasSubstr("\r\n\r\n")));
}

TEST_F(WinHttpRequestTest, HeadersAreReplacedByNameRemovedWhenEmptyAndSentInFirstSetOrder) {
  WinHttpRequest request;
  ASSERT_TRUE(OpenTo(request, "GET", "/h"));
  request.SetRequestHeader("B", "1");
  request.SetRequestHeader("A", "1");
  request.SetRequestHeader("b", "2");
  request.SetRequestHeader("Gone", "x");
  request.SetRequestHeader("Gone", "");
  EXPECT_FALSE(request.SetRequestHeader("", "x"));
  ASSERT_TRUE(request.Send()) << request.LastError();
  RecordedRequest got = OnlyRequest();
  EXPECT_THAT(got.HeaderNames(), ElementsAre("Host", "B", "A"));
  EXPECT_EQ(got.Header("B"), "2");
}

TEST_F(WinHttpRequestTest, VerbsBodiesAndLengthsOnTheWire) {
  struct Row {
    const char* name;
    std::string verb;
    std::string body;
    std::string contentLengthHeader;  // set by the caller; empty: none
    std::optional<std::string> sentLength;
    bool replyBody;
  };
  const Row rows[] = {
      {"GET without body has no length", "GET", "", "", std::nullopt, true},
      {"POST with bytes", "POST", std::string("a\0b", 3), "", "3", true},
      {"POST without body states 0", "POST", "", "", "0", true},
      {"a wrong caller length is corrected", "POST", "abcd", "99", "4", true},
      {"DELETE without body", "DELETE", "", "", "0", true},
      {"PUT with body", "PUT", "xy", "", "2", true},
      {"HEAD has no reply body", "HEAD", "", "", std::nullopt, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    m_service.ClearRequests();
    WinHttpRequest request;
    ASSERT_TRUE(OpenTo(request, row.verb, "/v"));
    if (!row.contentLengthHeader.empty()) {
      request.SetRequestHeader("Content-Length", row.contentLengthHeader);
    }
    ASSERT_TRUE(request.Send(row.body)) << request.LastError();
    EXPECT_EQ(request.ResponseBody(), row.replyBody ? "ok" : "");
    RecordedRequest got = OnlyRequest();
    EXPECT_EQ(got.method, row.verb);
    EXPECT_EQ(got.body, row.body);
    EXPECT_FALSE(got.chunked);
    EXPECT_EQ(got.Header("Content-Length"), row.sentLength);
    // libcurl's own additions stay off: only what the caller set is sent.
    EXPECT_EQ(got.Header("Accept"), std::nullopt);
    EXPECT_EQ(got.Header("Content-Type"), std::nullopt);
    EXPECT_EQ(got.Header("Expect"), std::nullopt);
  }
}

TEST_F(WinHttpRequestTest, ProxyCredentialsNeverReachTheServer) {
  WinHttpRequest request;
  ASSERT_TRUE(OpenTo(request, "GET", "/p"));
  request.SetRequestHeader("Proxy-Authorization", "Basic dTpw");
  ASSERT_TRUE(request.Send()) << request.LastError();
  EXPECT_EQ(OnlyRequest().Header("Proxy-Authorization"), std::nullopt);
}

TEST_F(WinHttpRequestTest, SendBeforeOpenFailsWithoutAReply) {
  WinHttpRequest request;
  EXPECT_FALSE(request.SetRequestHeader("A", "1"));
  EXPECT_FALSE(request.Send("x"));
  EXPECT_EQ(request.Status(), 0);
  EXPECT_THAT(m_service.Requests(), IsEmpty());
  EXPECT_FALSE(request.Open("GET", m_service.BaseUrl() + "/", true));
}

}  // namespace
