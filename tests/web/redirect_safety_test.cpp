// The account's cookies never leave the service's host and never travel over
// plain http: a redirect to another port or to http, in both back ends. A
// second emulator stands for the other host; both CAs are trusted, so a
// refused redirect is the client's decision, not a failed handshake.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "fakeservice/fake_service.h"
#include "support/emulator_fixture.h"
#include "support/scratch_folder.h"
#include "web/http_request.h"
#include "web/service_config.h"

namespace {

using ::testing::IsEmpty;

struct Backend {
  const char* name;
  int useCurl;
};

void PrintTo(const Backend& backend, std::ostream* out) {
  *out << backend.name;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class RedirectSafetyTest : public EmulatorFixture<::testing::TestWithParam<Backend>> {
 protected:
  static void SetUpTestSuite() {
    EmulatorFixture::SetUpTestSuite();
    s_other = new FakeService();
    std::string error;
    ASSERT_TRUE(s_other->Start(&error)) << error;
    s_folder = new ScratchFolder();
    std::filesystem::create_directories(s_folder->Path());
    const std::string bundle = s_folder->Utf8() + "/both-ca.pem";
    std::ofstream(bundle, std::ios::binary)
        << ReadFile(s_service->CaFile()) << ReadFile(s_other->CaFile());
    setenv("QUILLMERE_CA_FILE", bundle.c_str(), 1);
    setenv("QUILLMERE_WEB_HOST", s_service->Host().c_str(), 1);
    LoadServiceConfig();
  }
  static void TearDownTestSuite() {
    delete s_other;
    s_other = nullptr;
    delete s_folder;
    s_folder = nullptr;
    EmulatorFixture::TearDownTestSuite();
  }
  void SetUp() override {
    g_useCurl = GetParam().useCurl;
    for (FakeService* service : {s_service, s_other}) {
      service->ClearRequests();
      service->ClearFailures();
      service->SetHook([](const RecordedRequest& request) -> std::optional<FakeReply> {
        if (request.Path() == "/landing") {
          return FakeReply::Json("{\"landed\":1}");
        }
        return std::nullopt;
      });
    }
  }
  void TearDown() override {
    EmulatorFixture::TearDown();
    s_other->ClearHook();
    g_useCurl = 0;
  }

  // Every request that reached a landing page, on either emulator.
  static std::vector<RecordedRequest> Landings() {
    std::vector<RecordedRequest> all = s_service->RequestsTo("/landing");
    for (const RecordedRequest& request : s_other->RequestsTo("/landing")) {
      all.push_back(request);
    }
    return all;
  }

  static inline FakeService* s_other = nullptr;
  static inline ScratchFolder* s_folder = nullptr;
};

TEST_P(RedirectSafetyTest, CookiesStayWithTheServiceHostOverHttps) {
  struct Row {
    const char* name;
    std::string location;
    bool followed;  // the landing page is fetched (without cookies)
  };
  const std::string otherPort = "127.0.0.1:" + std::to_string(s_other->Port());
  const Row rows[] = {
      {"https on another port", "https://" + otherPort + "/landing", true},
      {"http on another port", "http://" + otherPort + "/landing", false},
      {"http on the same host and port", "http://" + s_service->Host() + "/landing", false},
      {"https on the same host: followed with the cookies", s_service->BaseUrl() + "/landing",
       true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    s_service->ClearRequests();
    s_other->ClearRequests();
    const std::string location = row.location;
    s_service->SetHook([location](const RecordedRequest& request) -> std::optional<FakeReply> {
      if (request.Path() == "/start") {
        return FakeReply::Redirect(302, location);
      }
      return FakeReply::Json("{\"landed\":1}");
    });
    std::string cookies = "BDUSS=secret; STOKEN=alsosecret";
    int status = -1;
    std::string headers;
    const std::string body =
        SendHttpRequest(s_service->BaseUrl() + "/start", {.method = kHttpPost,
                                                          .body = "a=1",
                                                          .cookies = &cookies,
                                                          .receivedHeaders = &headers,
                                                          .status = &status});
    ASSERT_EQ(s_service->RequestsTo("/start").size(), 1u);
    EXPECT_EQ(s_service->RequestsTo("/start")[0].Header("Cookie"), cookies);
    const std::vector<RecordedRequest> landings = Landings();
    EXPECT_EQ(landings.size(), row.followed ? 1u : 0u);
    for (const RecordedRequest& landing : landings) {
      EXPECT_TRUE(landing.tls);
      const bool sameHost = landing.Header("Host") == s_service->Host();
      EXPECT_EQ(landing.Header("Cookie").has_value(), sameHost) << landing.target;
      EXPECT_EQ(landing.Header("Authorization"), std::nullopt);
    }
    if (row.followed) {
      EXPECT_EQ(status, 200);
      EXPECT_EQ(body, "{\"landed\":1}");
    } else {
      // Not followed: the request object hands back the redirect itself, as
      // the interface it stands in for does; libcurl refuses the transfer.
      EXPECT_EQ(status, GetParam().useCurl != 0 ? 0 : 302);
      if (GetParam().useCurl == 0) {
        EXPECT_THAT(headers, ::testing::HasSubstr("Location: " + location + "\r\n"));
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(BothBackEnds, RedirectSafetyTest,
                         ::testing::Values(Backend{"RequestObject", 0}, Backend{"Curl", 1}),
                         [](const ::testing::TestParamInfo<Backend>& backend) {
                           return std::string(backend.param.name);
                         });

}  // namespace
