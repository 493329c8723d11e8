// The libcurl client's own operations against the local service emulator:
// uploads, hooks, info after a transfer, reset, automatic cookies, HTTP
// versions, copies and handle adoption.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "fakeservice/fake_service.h"
#include "web/curl_http_client.h"

namespace {

using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::StartsWith;

size_t AppendTo(char* data, size_t size, size_t count, void* out) {
  static_cast<std::string*>(out)->append(data, size * count);
  return size * count;
}

size_t Refuse(char*, size_t, size_t, void*) {
  return 0;
}

struct Feed {
  std::string bytes;
  size_t pos = 0;
};

size_t FeedFrom(char* buffer, size_t size, size_t count, void* source) {
  auto* feed = static_cast<Feed*>(source);
  size_t length = std::min(size * count, feed->bytes.size() - feed->pos);
  feed->bytes.copy(buffer, length, feed->pos);
  feed->pos += length;
  return length;
}

int CountProgress(void* calls, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  ++*static_cast<int*>(calls);
  return 0;
}

int AbortProgress(void*, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  return 1;
}

class CurlClientTransferTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    s_service = new FakeService();
    std::string error;
    ASSERT_TRUE(s_service->Start(&error)) << error;
  }
  static void TearDownTestSuite() {
    delete s_service;
    s_service = nullptr;
  }
  void SetUp() override {
    ASSERT_NE(s_service, nullptr);
    s_service->ClearRequests();
    s_service->ClearFailures();
    ReplyWith(FakeReply::Html("hello"));
  }
  void TearDown() override {
    EXPECT_THAT(s_service->Failures(), IsEmpty());
    s_service->ClearHook();
  }
  static std::string Url(const std::string& target) { return s_service->BaseUrl() + target; }
  static void ReplyWith(FakeReply reply) {
    s_service->SetHook([reply](const RecordedRequest&) { return std::optional<FakeReply>(reply); });
  }
  static void OpenTrusting(CurlHttpClient& client) {
    client.SetExtraCaFile(s_service->CaFile());
    ASSERT_TRUE(client.Open());
  }
  static RecordedRequest LastRequest() {
    std::vector<RecordedRequest> requests = s_service->Requests();
    return requests.empty() ? RecordedRequest() : requests.back();
  }

  static FakeService* s_service;
};

FakeService* CurlClientTransferTest::s_service = nullptr;

TEST_F(CurlClientTransferTest, UploadsReachTheServerWhole) {
  const std::string bytes = std::string("a\0b\xff\r\n", 6) + "中文";
  struct Row {
    const char* name;
    std::function<bool(CurlHttpClient&, Feed&)> send;
    const char* method;
  };
  const Row rows[] = {
      {"SendBytes posts every byte",
       [&](CurlHttpClient& c, Feed&) {
         return c.SetMethodAndUrl("POST", Url("/up")) && c.SendBytes(bytes);
       },
       "POST"},
      {"upload buffer set and appended, sent as PUT",
       [&](CurlHttpClient& c, Feed&) {
         return c.SetMethodAndUrl("GET", Url("/up")) && c.SetUploadData(bytes.substr(0, 3)) &&
                c.AppendUploadData(bytes.substr(3)) &&
                c.SetOptionInteger(CURLOPT_UPLOAD, 1) == CURLE_OK &&
                c.SetOptionLarge(CURLOPT_INFILESIZE_LARGE, bytes.size()) == CURLE_OK &&
                c.Perform() == CURLE_OK;
       },
       "PUT"},
      {"upload hook feeds the body",
       [&](CurlHttpClient& c, Feed& feed) {
         feed.bytes = bytes;
         c.SetUploadHook(&FeedFrom, &feed);
         return c.SetMethodAndUrl("GET", Url("/up")) &&
                c.SetOptionInteger(CURLOPT_UPLOAD, 1) == CURLE_OK &&
                c.SetOptionLarge(CURLOPT_INFILESIZE_LARGE, bytes.size()) == CURLE_OK &&
                c.Perform() == CURLE_OK;
       },
       "PUT"},
      {"raw post fields keep their zero bytes",
       [&](CurlHttpClient& c, Feed&) {
         return c.SetMethodAndUrl("POST", Url("/up")) &&
                c.SetOptionBytes(CURLOPT_POSTFIELDS, bytes) == CURLE_OK && c.Perform() == CURLE_OK;
       },
       "POST"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    s_service->ClearRequests();
    CurlHttpClient client;
    OpenTrusting(client);
    Feed feed;
    EXPECT_TRUE(row.send(client, feed));
    RecordedRequest got = LastRequest();
    EXPECT_EQ(got.method, row.method);
    EXPECT_EQ(got.body, bytes);
    EXPECT_FALSE(got.chunked);
    EXPECT_EQ(got.Header("Content-Length"), std::to_string(bytes.size()));
    EXPECT_EQ(client.ResponseBody(), "hello");
  }
}

TEST_F(CurlClientTransferTest, HooksTakeTheStreamsOver) {
  struct Probe {
    std::string hooked;
    int progressCalls = 0;
  };
  struct Row {
    const char* name;
    std::function<void(CurlHttpClient&, Probe&)> setUp;
    bool sent;
    std::string body;
    std::string hookedStart;
    bool headersBuffered;
    bool progressReported = false;
  };
  const Row rows[] = {
      {"receive hook gets the body",
       [](CurlHttpClient& c, Probe& p) { c.SetReceiveHook(&AppendTo, &p.hooked); }, true, "",
       "hello", true},
      {"header hook gets the header lines",
       [](CurlHttpClient& c, Probe& p) { c.SetHeaderHook(&AppendTo, &p.hooked); }, true, "hello",
       "HTTP/1.1 200", false},
      {"a refusing receive hook ends the transfer",
       [](CurlHttpClient& c, Probe&) { c.SetReceiveHook(&Refuse, nullptr); }, false, "", "", true},
      {"a null routine gives the stream back to the buffer",
       [](CurlHttpClient& c, Probe& p) {
         c.SetReceiveHook(&AppendTo, &p.hooked);
         c.SetReceiveHook(nullptr, nullptr);
       },
       true, "hello", "", true},
      {"progress reports arrive",
       [](CurlHttpClient& c, Probe& p) {
         EXPECT_TRUE(c.SetProgressCallback(&CountProgress, &p.progressCalls));
       },
       true, "hello", "", true, true},
      {"a progress report can abort the transfer",
       [](CurlHttpClient& c, Probe&) {
         EXPECT_TRUE(c.SetProgressCallback(&AbortProgress, nullptr));
       },
       false, "", "", false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    CurlHttpClient client;
    OpenTrusting(client);
    Probe probe;
    row.setUp(client, probe);
    ASSERT_TRUE(client.SetMethodAndUrl("GET", Url("/hook")));
    EXPECT_EQ(client.SendText(""), row.sent);
    EXPECT_EQ(client.ResponseBody(), row.body);
    EXPECT_THAT(probe.hooked, StartsWith(row.hookedStart));
    EXPECT_EQ(client.ResponseHeaders().empty(), !row.headersBuffered);
    EXPECT_EQ(probe.progressCalls > 0, row.progressReported);
  }
}

TEST_F(CurlClientTransferTest, InfoAfterATransfer) {
  ReplyWith(FakeReply::Html(reinterpret_cast<const char*>(u8"<p>中文</p>")));
  CurlHttpClient client;
  OpenTrusting(client);
  ASSERT_EQ(client.SetOptionInteger(CURLOPT_CERTINFO, 1), CURLE_OK);
  ASSERT_TRUE(client.SetMethodAndUrl("GET", Url("/info?x=1")));
  ASSERT_TRUE(client.SendText(""));
  EXPECT_EQ(client.GetInfoInteger(CURLINFO_RESPONSE_CODE), 200);
  EXPECT_EQ(client.GetInfoInteger(CURLINFO_EFFECTIVE_URL), 0) << "a text info";
  EXPECT_EQ(client.EffectiveUrl(), Url("/info?x=1"));
  EXPECT_EQ(client.RedirectUrl(), "");
  EXPECT_EQ(client.PrimaryIp(), "127.0.0.1");
  EXPECT_EQ(client.PrimaryPort(), s_service->Port());
  EXPECT_EQ(client.LocalIp(), "127.0.0.1");
  EXPECT_GT(client.LocalPort(), 0);
  EXPECT_NE(client.LocalPort(), s_service->Port());
  EXPECT_GT(client.TotalTime(), 0.0);
  EXPECT_THAT(client.GetInfoText(CURLINFO_CONTENT_TYPE), HasSubstr("text/html"));
  EXPECT_EQ(client.ResponseText(), "<p>中文</p>");
  std::vector<std::vector<std::string>> chain;
  ASSERT_EQ(client.GetInfoCertificates(CURLINFO_CERTINFO, chain), CURLE_OK);
  ASSERT_FALSE(chain.empty());
  EXPECT_THAT(chain[0], testing::Contains(StartsWith("Subject:")));
}

TEST_F(CurlClientTransferTest, OneOptionSettingsReachTheRequest) {
  FakeReply reply = FakeReply::Html("body");
  reply.headers.emplace_back("Set-Cookie", "b=2; path=/");
  ReplyWith(reply);
  struct Row {
    const char* name;
    std::function<void(CurlHttpClient&)> setUp;
    const char* method;
    std::optional<std::string> headerA;
    std::string body;
    size_t engineCookies;
  };
  const Row rows[] = {
      {"head only", [](CurlHttpClient& c) { EXPECT_TRUE(c.SetHeadOnly(true)); }, "HEAD",
       std::nullopt, "", 0},
      {"head only switched off again",
       [](CurlHttpClient& c) { EXPECT_TRUE(c.SetHeadOnly(true) && c.SetHeadOnly(false)); }, "GET",
       std::nullopt, "body", 0},
      {"header list given directly",
       [](CurlHttpClient& c) {
         EXPECT_TRUE(c.SetHeaderList({"A: 1", "Accept-Encoding: xz"}));
       },
       "GET", "1", "body", 0},
      {"empty header list sends none",
       [](CurlHttpClient& c) { EXPECT_TRUE(c.SetHeaderList({"A: 1"}) && c.SetHeaderList({})); },
       "GET", std::nullopt, "body", 0},
      {"libcurl's own cookie engine lists what it received",
       [](CurlHttpClient& c) { EXPECT_EQ(c.SetOptionText(CURLOPT_COOKIEFILE, ""), CURLE_OK); },
       "GET", std::nullopt, "body", 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    s_service->ClearRequests();
    CurlHttpClient client;
    OpenTrusting(client);
    ASSERT_TRUE(client.SetMethodAndUrl("GET", Url("/one")));
    row.setUp(client);
    ASSERT_EQ(client.Perform(), CURLE_OK);
    RecordedRequest got = LastRequest();
    EXPECT_EQ(got.method, row.method);
    EXPECT_EQ(got.Header("A"), row.headerA);
    EXPECT_NE(got.Header("Accept-Encoding"), "xz") << "cut down to codings libcurl decodes";
    EXPECT_EQ(client.ResponseBody(), row.body);
    std::vector<std::string> cookies;
    EXPECT_EQ(client.GetInfoList(CURLINFO_COOKIELIST, cookies), CURLE_OK);
    ASSERT_EQ(cookies.size(), row.engineCookies);
    if (!cookies.empty()) {
      EXPECT_THAT(cookies[0], testing::EndsWith("\tb\t2"));
    }
  }
}

TEST_F(CurlClientTransferTest, RedirectInfoWithAndWithoutFollowing) {
  s_service->SetHook([](const RecordedRequest& request) {
    return std::optional<FakeReply>(request.Path() == "/start" ? FakeReply::Redirect(302, "/final")
                                                               : FakeReply::Html("done"));
  });
  struct Row {
    const char* name;
    bool follow;
    int status;
    std::string effective;
    std::string redirect;
  };
  const Row rows[] = {
      {"followed", true, 200, "/final", ""},
      {"not followed", false, 302, "/start", "/final"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    CurlHttpClient client;
    client.SetExtraCaFile(s_service->CaFile());
    ASSERT_TRUE(client.OpenWith(row.follow, true));
    ASSERT_TRUE(client.SetMethodAndUrl("GET", Url("/start")));
    ASSERT_TRUE(client.SendText(""));
    EXPECT_EQ(client.StatusCode(), row.status);
    EXPECT_EQ(client.EffectiveUrl(), Url(row.effective));
    EXPECT_EQ(client.RedirectUrl(), row.redirect.empty() ? "" : Url(row.redirect));
  }
}

TEST_F(CurlClientTransferTest, ResetWithAndWithoutKeepingOptions) {
  struct Row {
    const char* name;
    bool keepOptions;
    bool trustCa;
    CURLcode firstPerform;  // before the URL is given again
    CURLcode secondPerform;
    std::string version;
    bool hookKept;
  };
  const Row rows[] = {
      {"kept: URL, version and hook stay", true, true, CURLE_OK, CURLE_OK, "HTTP/1.0", true},
      {"dropped: URL, version and hook go, the CA file stays trusted", false, true,
       CURLE_URL_MALFORMAT, CURLE_OK, "HTTP/1.1", false},
      {"dropped: certificates are still checked", false, false, CURLE_URL_MALFORMAT,
       CURLE_PEER_FAILED_VERIFICATION, "", false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    s_service->ClearRequests();
    CurlHttpClient client;
    if (row.trustCa) {
      client.SetExtraCaFile(s_service->CaFile());
    }
    ASSERT_TRUE(client.Open());
    std::string hooked;
    ASSERT_TRUE(client.SetMethodAndUrl("GET", Url("/reset")));
    ASSERT_TRUE(client.SetHttpVersion(1));
    client.SetReceiveHook(&AppendTo, &hooked);
    ASSERT_TRUE(client.SetUploadData("left over"));
    EXPECT_EQ(client.Reset(row.keepOptions), true);
    EXPECT_EQ(client.ResponseHeaders(), "");
    EXPECT_EQ(client.Perform(), row.firstPerform);
    if (row.firstPerform != CURLE_OK) {
      ASSERT_EQ(client.SetOptionText(CURLOPT_URL, Url("/reset")), CURLE_OK);
      EXPECT_EQ(client.Perform(), row.secondPerform);
    }
    if (row.secondPerform != CURLE_OK) {
      EXPECT_THAT(s_service->Requests(), IsEmpty());
      continue;
    }
    EXPECT_EQ(LastRequest().version, row.version);
    EXPECT_EQ(LastRequest().body, "") << "the upload buffer was emptied";
    EXPECT_EQ(hooked, row.hookKept ? "hello" : "");
    EXPECT_EQ(client.ResponseBody(), row.hookKept ? "" : "hello");
  }
}

TEST_F(CurlClientTransferTest, AutoCookiesTakeOneAndZeroOnly) {
  struct Row {
    const char* name;
    bool startOn;
    int value;
    bool result;
    bool on;
  };
  const Row rows[] = {
      {"1 switches on", false, 1, true, true}, {"0 switches off", true, 0, false, false},
      {"7 keeps on", true, 7, false, true},    {"7 keeps off", false, 7, false, false},
      {"-1 keeps on", true, -1, false, true},
  };
  FakeReply reply = FakeReply::Html("c");
  reply.headers.emplace_back("Set-Cookie", "b=2; path=/");
  ReplyWith(reply);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    s_service->ClearRequests();
    CurlHttpClient client;
    OpenTrusting(client);
    client.SetAutoCookies(row.startOn ? 1 : 0);
    EXPECT_EQ(client.SetAutoCookies(row.value), row.result);
    client.SetCookies("a=1");
    ASSERT_TRUE(client.SetMethodAndUrl("GET", Url("/cookies")));
    ASSERT_TRUE(client.SendText(""));
    EXPECT_EQ(LastRequest().Header("Cookie"),
              row.on ? std::optional<std::string>("a=1") : std::nullopt);
    EXPECT_EQ(client.GetCookies(), row.on ? "a=1; b=2" : "a=1");
  }
}

TEST_F(CurlClientTransferTest, HttpVersionValues) {
  struct Row {
    const char* name;
    std::vector<int> versions;
    std::string sent;
  };
  const Row rows[] = {
      {"default HTTP/1.1", {}, "HTTP/1.1"},
      {"1 is HTTP/1.0", {1}, "HTTP/1.0"},
      {"2 is HTTP/1.1", {1, 2}, "HTTP/1.1"},
      {"3 offers HTTP/2; this server speaks HTTP/1.1", {3}, "HTTP/1.1"},
      {"0 changes nothing", {1, 0}, "HTTP/1.0"},
      {"4 changes nothing", {1, 4}, "HTTP/1.0"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    s_service->ClearRequests();
    CurlHttpClient client;
    OpenTrusting(client);
    for (int version : row.versions) {
      EXPECT_TRUE(client.SetHttpVersion(version));
    }
    ASSERT_TRUE(client.SetMethodAndUrl("GET", Url("/version")));
    ASSERT_TRUE(client.SendText(""));
    EXPECT_EQ(LastRequest().version, row.sent);
    EXPECT_EQ(client.ResponseBody(), "hello");
  }
}

TEST_F(CurlClientTransferTest, CopyIsAnIndependentClient) {
  auto source = std::make_unique<CurlHttpClient>();
  OpenTrusting(*source);
  ASSERT_TRUE(source->SetMethodAndUrl("GET", Url("/copy")));
  source->AddHeader("X-Copy", "1");
  source->SetCookies("s=1");
  source->SetAutoCookies(1);
  ASSERT_TRUE(source->SendText(""));

  CurlHttpClient copy(*source);
  source.reset();  // the copy must not depend on anything the source owned
  EXPECT_EQ(copy.ResponseBody(), "hello");
  ReplyWith(FakeReply::Html(" again"));
  s_service->ClearRequests();
  ASSERT_EQ(copy.Perform(), CURLE_OK) << "the header list and CA file came along";
  EXPECT_EQ(LastRequest().Path(), "/copy");
  EXPECT_EQ(LastRequest().Header("X-Copy"), "1");
  EXPECT_EQ(copy.ResponseBody(), "hello again");

  CurlHttpClient assigned;
  assigned = copy;
  assigned.SetCookies("t=2");
  ASSERT_TRUE(assigned.SetMethodAndUrl("GET", Url("/assigned"), false));
  ASSERT_TRUE(assigned.SendText(""));
  EXPECT_EQ(LastRequest().Header("Cookie"), "t=2");
  EXPECT_EQ(LastRequest().Header("X-Copy"), "1");
  EXPECT_EQ(assigned.ResponseBody(), " again");
  EXPECT_EQ(copy.ResponseBody(), "hello again");
  EXPECT_EQ(copy.GetCookies(), "s=1");

  CurlHttpClient closed;
  CurlHttpClient copyOfClosed(closed);
  EXPECT_EQ(copyOfClosed.GetHandle(), nullptr);
  EXPECT_FALSE(copyOfClosed.SendText(""));
}

TEST_F(CurlClientTransferTest, AdoptedAndDuplicatedHandlesChangeOwner) {
  CurlHttpClient first;
  OpenTrusting(first);
  ASSERT_TRUE(first.SetMethodAndUrl("GET", Url("/adopt")));
  first.AddHeader("X-First", "1");

  CurlHttpClient second;
  ASSERT_TRUE(second.AdoptHandle(first.GetHandle()));
  EXPECT_EQ(first.GetHandle(), nullptr);
  EXPECT_FALSE(first.SendText(""));
  ASSERT_TRUE(second.SendText(""));
  EXPECT_EQ(second.ResponseBody(), "hello");
  EXPECT_EQ(LastRequest().Header("X-First"), "1");

  CurlHandle loose = second.DuplicateHandle();
  ASSERT_TRUE(loose);
  // Trusted by hand, the loose handle reaches the server but has nowhere to
  // write the reply; it must not write into the client it came from.
  ASSERT_EQ(curl_easy_setopt(loose.get(), CURLOPT_CAINFO, s_service->CaFile().c_str()), CURLE_OK);
  EXPECT_EQ(curl_easy_perform(loose.get()), CURLE_WRITE_ERROR);
  CurlHttpClient third;
  third.SetExtraCaFile(s_service->CaFile());
  ASSERT_TRUE(third.AdoptHandle(std::move(loose)));
  s_service->ClearRequests();
  ASSERT_EQ(third.Perform(), CURLE_OK);
  EXPECT_EQ(LastRequest().Path(), "/adopt");
  EXPECT_EQ(third.ResponseBody(), "hello");
  EXPECT_EQ(second.ResponseBody(), "hello");
}

TEST_F(CurlClientTransferTest, RefusedVerificationSwitchLeavesAnUntrustedServerRefused) {
  FakeService selfSigned(FakeServiceOptions{.selfSignedCertificate = true});
  std::string error;
  ASSERT_TRUE(selfSigned.Start(&error)) << error;
  selfSigned.SetHook([](const RecordedRequest&) { return std::optional(FakeReply::Html("x")); });
  CurlHttpClient client;
  client.SetExtraCaFile(selfSigned.CaFile());
  ASSERT_TRUE(client.Open());
  EXPECT_FALSE(client.SetSslVerify(false, false));
  ASSERT_TRUE(client.SetMethodAndUrl("GET", selfSigned.BaseUrl() + "/"));
  EXPECT_FALSE(client.SendText(""));
  EXPECT_EQ(client.StatusCode(), 0);
  EXPECT_THAT(selfSigned.Requests(), IsEmpty());
}

}  // namespace
