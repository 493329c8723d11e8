// The caps on what one reply may deliver, for both request classes: a reply
// at the cap passes whole, one byte over fails the request outright.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include "fakeservice/fake_service.h"
#include "platform/win_http_request.h"
#include "web/curl_http_client.h"

namespace {

struct Outcome {
  bool sent = false;
  int status = -1;
  std::string body;
};

struct Caps {
  size_t bodyBytes;
  size_t headerBytes;
};

using Sender = std::function<Outcome(const std::string& url, const std::string& caFile, Caps)>;

Outcome SendWithRequestObject(const std::string& url, const std::string& caFile, Caps caps) {
  WinHttpRequest request;
  request.SetExtraCaFile(caFile);
  request.SetMaxBodyBytes(caps.bodyBytes);
  request.SetMaxHeaderBytes(caps.headerBytes);
  Outcome outcome;
  if (request.Open("GET", url)) {
    outcome.sent = request.Send();
  }
  outcome.status = request.Status();
  outcome.body = request.ResponseBody();
  return outcome;
}

Outcome SendWithCurlClient(const std::string& url, const std::string& caFile, Caps caps) {
  CurlHttpClient client;
  client.SetExtraCaFile(caFile);
  client.SetMaxBodyBytes(caps.bodyBytes);
  client.SetMaxHeaderBytes(caps.headerBytes);
  Outcome outcome;
  if (client.Open() && client.SetMethodAndUrl("GET", url)) {
    outcome.sent = client.SendText({});
  }
  outcome.status = client.StatusCode();
  outcome.body = client.ResponseBody();
  return outcome;
}

class ReplyCapsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(m_service.Start(&error)) << error;
  }
  FakeService m_service;
};

TEST_F(ReplyCapsTest, BodyAndHeaderCapsFailTheRequest) {
  const std::string body(1000, 'x');
  FakeReply reply = FakeReply::Html(body);
  reply.headers.emplace_back("X-Filler", std::string(300, 'h'));
  m_service.SetHook([reply](const RecordedRequest&) { return std::optional(reply); });

  // How many header bytes the reply carries for each class, measured with no
  // cap in the way, so the rows can sit exactly at the limit.
  WinHttpRequest probe;
  probe.SetExtraCaFile(m_service.CaFile());
  ASSERT_TRUE(probe.Open("GET", m_service.BaseUrl() + "/"));
  ASSERT_TRUE(probe.Send()) << probe.LastError();
  const size_t requestObjectHeaders = probe.GetAllResponseHeaders().size();
  CurlHttpClient curlProbe;
  curlProbe.SetExtraCaFile(m_service.CaFile());
  ASSERT_TRUE(curlProbe.Open() && curlProbe.SetMethodAndUrl("GET", m_service.BaseUrl() + "/"));
  ASSERT_TRUE(curlProbe.SendText({})) << curlProbe.LastError();
  const size_t curlHeaders = curlProbe.ResponseHeaders().size();

  struct Row {
    const char* name;
    Sender send;
    Caps caps;
    bool passes;
  };
  const Row rows[] = {
      {"request object: body at the cap", SendWithRequestObject, {1000, 1 << 20}, true},
      {"request object: body one byte over", SendWithRequestObject, {999, 1 << 20}, false},
      {"request object: headers at the cap",
       SendWithRequestObject,
       {1 << 20, requestObjectHeaders},
       true},
      {"request object: headers one byte over",
       SendWithRequestObject,
       {1 << 20, requestObjectHeaders - 1},
       false},
      {"curl client: body at the cap", SendWithCurlClient, {1000, 1 << 20}, true},
      {"curl client: body one byte over", SendWithCurlClient, {999, 1 << 20}, false},
      {"curl client: headers at the cap", SendWithCurlClient, {1 << 20, curlHeaders}, true},
      {"curl client: headers one byte over", SendWithCurlClient, {1 << 20, curlHeaders - 1}, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Outcome outcome = row.send(m_service.BaseUrl() + "/", m_service.CaFile(), row.caps);
    EXPECT_EQ(outcome.sent, row.passes);
    if (row.passes) {
      EXPECT_EQ(outcome.status, 200);
      EXPECT_EQ(outcome.body, body);
    } else {
      // The request object forgets the partial reply; the curl client keeps
      // what arrived, and SendHttpRequest discards it on a failed send.
      EXPECT_NE(outcome.body, body);
    }
  }
}

}  // namespace
