// The trust store shared by every handshake: a change of the CA file setting
// or of the file's content is picked up by the next request, an unusable file
// is refused instead of falling back to the system's authorities only, and CA
// material set on a handle by its owner still counts.

#include "platform/shared_trust_store.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "fakeservice/fake_service.h"
#include "support/scratch_folder.h"
#include "web/curl_http_client.h"
#include "web/http_request.h"
#include "web/service_config.h"

namespace {

struct Backend {
  const char* name;
  int useCurl;
};

void PrintTo(const Backend& backend, std::ostream* out) {
  *out << backend.name;
}

void WriteFile(const std::string& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << content;
}

// Two emulators with CAs of their own: trusting one must not open the other.
class TrustStoreTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    s_first = new FakeService();
    s_second = new FakeService();
    std::string error;
    ASSERT_TRUE(s_first->Start(&error)) << error;
    ASSERT_TRUE(s_second->Start(&error)) << error;
    for (FakeService* service : {s_first, s_second}) {
      service->SetHook([](const RecordedRequest&) { return std::optional(FakeReply::Json("{}")); });
    }
  }
  static void TearDownTestSuite() {
    delete s_first;
    delete s_second;
    s_first = s_second = nullptr;
  }
  void SetUp() override { ASSERT_NE(s_second, nullptr); }
  void TearDown() override {
    unsetenv("QUILLMERE_CA_FILE");
    LoadServiceConfig();
    g_useCurl = 0;
  }
  static bool Reaches(const FakeService& service) {
    int status = -1;
    SendHttpRequest(service.BaseUrl() + "/", {.status = &status});
    return status == 200;
  }
  static std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  static FakeService* s_first;
  static FakeService* s_second;
};

FakeService* TrustStoreTest::s_first = nullptr;
FakeService* TrustStoreTest::s_second = nullptr;

class TrustSettingTest : public TrustStoreTest, public ::testing::WithParamInterface<Backend> {};

TEST_P(TrustSettingTest, TheNextRequestFollowsTheCaFileSettingAndItsContent) {
  g_useCurl = GetParam().useCurl;
  ScratchFolder folder;
  const std::string copied = (folder.Path() / "ca.pem").string();
  const std::string firstPem = ReadAll(s_first->CaFile());
  const std::string secondPem = ReadAll(s_second->CaFile());
  // The rows run in order: each one changes the setting or the file the
  // previous row left behind, as a user re-pointing the program would.
  struct Row {
    const char* name;
    std::string setting;
    const std::string* writeContent;  // written to `copied` before the row; null: left as is
    bool reachesFirst;
    bool reachesSecond;
  };
  const std::string noCertificate = "not a certificate\n";
  const std::string empty;
  const Row rows[] = {
      {"the first CA file", s_first->CaFile(), nullptr, true, false},
      {"the setting moves to the second CA file", s_second->CaFile(), nullptr, false, true},
      {"back to the first", s_first->CaFile(), nullptr, true, false},
      {"a copy of the first CA", copied, &firstPem, true, false},
      {"the same file now holds the second CA", copied, &secondPem, false, true},
      {"the same file holds no certificate", copied, &noCertificate, false, false},
      {"the same file is empty", copied, &empty, false, false},
      {"the same file holds the first CA again", copied, &firstPem, true, false},
      {"a missing file", (folder.Path() / "missing.pem").string(), nullptr, false, false},
      {"no extra CA file", "", nullptr, false, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    if (row.writeContent != nullptr) {
      WriteFile(copied, *row.writeContent);
    }
    setenv("QUILLMERE_CA_FILE", row.setting.c_str(), 1);
    LoadServiceConfig();
    EXPECT_EQ(Reaches(*s_first), row.reachesFirst);
    EXPECT_EQ(Reaches(*s_second), row.reachesSecond);
  }
}

INSTANTIATE_TEST_SUITE_P(BothBackEnds, TrustSettingTest,
                         ::testing::Values(Backend{"RequestObject", 0}, Backend{"Curl", 1}),
                         [](const ::testing::TestParamInfo<Backend>& backend) {
                           return std::string(backend.param.name);
                         });

TEST_F(TrustStoreTest, OneStoreServesEveryHandshakeUntilTheFileChanges) {
  ScratchFolder folder;
  const std::string path = (folder.Path() / "ca.pem").string();
  WriteFile(path, ReadAll(s_first->CaFile()));
  CURLcode error = CURLE_OK;
  X509_STORE* system = AcquireTrustStore("", error);
  X509_STORE* systemAgain = AcquireTrustStore("", error);
  X509_STORE* first = AcquireTrustStore(path, error);
  X509_STORE* firstAgain = AcquireTrustStore(path, error);
  WriteFile(path, ReadAll(s_second->CaFile()));
  X509_STORE* second = AcquireTrustStore(path, error);
  X509_STORE* secondAgain = AcquireTrustStore(path, error);
  EXPECT_EQ(error, CURLE_OK);
  ASSERT_NE(system, nullptr);
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(systemAgain, system);
  EXPECT_EQ(firstAgain, first);
  EXPECT_EQ(secondAgain, second);
  EXPECT_NE(first, system);
  EXPECT_NE(second, first);
  for (X509_STORE* store : {system, systemAgain, first, firstAgain, second, secondAgain}) {
    X509_STORE_free(store);
  }

  WriteFile(path, "not a certificate\n");
  EXPECT_EQ(AcquireTrustStore(path, error), nullptr);
  EXPECT_EQ(error, CURLE_SSL_CACERT_BADFILE);
}

TEST_F(TrustStoreTest, ACaFileSetOnTheHandleByItsOwnerIsStillTrusted) {
  for (FakeService* trusted : {s_second, s_first}) {
    SCOPED_TRACE(trusted == s_first ? "first" : "second");
    FakeService* other = trusted == s_first ? s_second : s_first;
    for (FakeService* target : {trusted, other}) {
      CurlHttpClient client;
      ASSERT_TRUE(client.Open());
      ASSERT_EQ(client.SetOptionText(CURLOPT_CAINFO, trusted->CaFile()), CURLE_OK);
      ASSERT_TRUE(client.SetMethodAndUrl("GET", target->BaseUrl() + "/"));
      EXPECT_EQ(client.SendText(""), target == trusted);
    }
  }
}

}  // namespace
