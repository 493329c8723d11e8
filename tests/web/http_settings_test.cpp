// The time-out rule, the configuration read from the environment and the
// accepted content codings.

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/curl_support.h"
#include "web/http_request.h"
#include "web/service_config.h"

namespace {

TEST(HttpTimeout, RuleGivesDefaultNoneOrSeconds) {
  struct Row {
    const char* name;
    int seconds;
    std::optional<long> ms;
  };
  const Row rows[] = {
      {"left out (0)", 0, 15000},          {"below zero other than -1", -5, 15000},
      {"-1 means none", -1, std::nullopt}, {"one second", 1, 1000},
      {"sixty seconds", 60, 60000},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(HttpTimeoutMs(row.seconds), row.ms);
  }
}

TEST(ServiceConfig, EnvironmentOverridesDefaultsAndEmptyKeepsThem) {
  setenv("QUILLMERE_WEB_HOST", "127.0.0.1:4443", 1);
  setenv("QUILLMERE_PASSPORT_HOST", "", 1);
  unsetenv("QUILLMERE_UPDATE_HOST");
  setenv("QUILLMERE_CA_FILE", "/tmp/ca.pem", 1);
  LoadServiceConfig();
  ServiceConfig config = GetServiceConfig();
  ServiceConfig defaults = DefaultServiceConfig();
  EXPECT_EQ(config.webHost, "127.0.0.1:4443");
  EXPECT_EQ(config.passportHost, defaults.passportHost);
  EXPECT_EQ(config.updateHost, defaults.updateHost);
  EXPECT_EQ(config.caFile, "/tmp/ca.pem");
  EXPECT_EQ(defaults.caFile, "");

  unsetenv("QUILLMERE_WEB_HOST");
  unsetenv("QUILLMERE_CA_FILE");
  LoadServiceConfig();
  EXPECT_EQ(GetServiceConfig().webHost, defaults.webHost);
  EXPECT_EQ(GetServiceConfig().caFile, "");
}

TEST(AcceptEncoding, OnlyCodingsWeDecodeAreOffered) {
  std::string decodable = DecodableContentEncodings();
  ASSERT_NE(decodable.find("gzip"), std::string::npos) << decodable;
  bool brotli = decodable.find("br") != std::string::npos;
  struct Row {
    const char* name;
    std::string asked;
    std::string offered;
  };
  const Row rows[] = {
      {"unknown codings dropped", "gzip, compress, sdch", "gzip"},
      {"quality kept, case kept", "GZIP;q=0.5, identity", "GZIP;q=0.5, identity"},
      {"nothing decodable", "compress", "identity"},
      {"brotli as the build allows", "deflate, br", brotli ? "deflate, br" : "deflate"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(FilterAcceptEncoding(row.asked), row.offered);
  }
}

}  // namespace
