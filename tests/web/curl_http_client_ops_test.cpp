// The libcurl client's operations that need no server: escaping, the raw
// option forms and the certificate-check switch.

#include <gtest/gtest.h>

#include <functional>

#include "web/curl_http_client.h"

namespace {

std::string Utf8(const char8_t* text) {
  return reinterpret_cast<const char*>(text);
}

TEST(CurlHttpClientOps, EscapeAndUnescapeRoundTrip) {
  struct Row {
    const char* name;
    std::string bytes;
    std::string escaped;
  };
  const Row rows[] = {
      {"Chinese UTF-8 bytes", Utf8(u8"中文 名.txt"), "%E4%B8%AD%E6%96%87%20%E5%90%8D.txt"},
      {"Chinese code page 936 bytes", "中文", "%D6%D0%CE%C4"},
      {"reserved signs", "a+b&c=d/e?f", "a%2Bb%26c%3Dd%2Fe%3Ff"},
      {"unreserved signs kept", "Az09-._~", "Az09-._~"},
      {"zero byte inside", std::string("a\0b", 3), "a%00b"},
      {"empty", "", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(CurlHttpClient::Escape(row.bytes), row.escaped);
    EXPECT_EQ(CurlHttpClient::Unescape(row.escaped), row.bytes);
  }
}

TEST(CurlHttpClientOps, UnescapeTakesLowerCaseHexAndKeepsPlus) {
  EXPECT_EQ(CurlHttpClient::Unescape("%e4%b8%ad+x"), Utf8(u8"中+x"));
}

TEST(CurlHttpClientOps, RawOptionFormsRefuseGuardedOptionsAndWrongTypes) {
  using Call = std::function<CURLcode(CurlHttpClient&)>;
  struct Row {
    const char* name;
    Call call;
    CURLcode expected;
  };
  const CURLcode refused = CURLE_BAD_FUNCTION_ARGUMENT;
  const Row rows[] = {
      {"peer check cannot be switched off",
       [](CurlHttpClient& c) { return c.SetOptionInteger(CURLOPT_SSL_VERIFYPEER, 0); }, refused},
      {"host check cannot be switched off",
       [](CurlHttpClient& c) { return c.SetOptionInteger(CURLOPT_SSL_VERIFYHOST, 0); }, refused},
      {"proxy peer check cannot be switched off",
       [](CurlHttpClient& c) { return c.SetOptionInteger(CURLOPT_PROXY_SSL_VERIFYPEER, 0); },
       refused},
      {"protocols stay http and https",
       [](CurlHttpClient& c) { return c.SetOptionText(CURLOPT_PROTOCOLS_STR, "file"); }, refused},
      {"text option through the integer form",
       [](CurlHttpClient& c) { return c.SetOptionInteger(CURLOPT_URL, 1); }, refused},
      {"pointer option through the text form",
       [](CurlHttpClient& c) { return c.SetOptionText(CURLOPT_WRITEDATA, "x"); }, refused},
      {"function option through the bytes form",
       [](CurlHttpClient& c) { return c.SetOptionBytes(CURLOPT_WRITEFUNCTION, "x"); }, refused},
      {"long option through the large form",
       [](CurlHttpClient& c) { return c.SetOptionLarge(CURLOPT_TIMEOUT, 5); }, refused},
      {"unknown option",
       [](CurlHttpClient& c) { return c.SetOptionInteger(static_cast<CURLoption>(9999), 1); },
       refused},
      {"long option", [](CurlHttpClient& c) { return c.SetOptionInteger(CURLOPT_TIMEOUT, 5); },
       CURLE_OK},
      {"large option",
       [](CurlHttpClient& c) { return c.SetOptionLarge(CURLOPT_MAXFILESIZE_LARGE, 1000); },
       CURLE_OK},
      {"text option",
       [](CurlHttpClient& c) { return c.SetOptionText(CURLOPT_URL, "https://127.0.0.1:9/"); },
       CURLE_OK},
      {"blob option",
       [](CurlHttpClient& c) { return c.SetOptionBytes(CURLOPT_CAINFO_BLOB, "pem"); }, CURLE_OK},
      {"post fields with a zero byte",
       [](CurlHttpClient& c) {
         return c.SetOptionBytes(CURLOPT_POSTFIELDS, std::string("a\0b", 3));
       },
       CURLE_OK},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    CurlHttpClient client;
    EXPECT_EQ(row.call(client), refused) << "without a handle";
    ASSERT_TRUE(client.Open());
    EXPECT_EQ(row.call(client), row.expected);
  }
}

TEST(CurlHttpClientOps, CertificateChecksCannotBeSwitchedOff) {
  struct Row {
    const char* name;
    bool verifyPeer;
    bool verifyHost;
    bool result;
  };
  const Row rows[] = {
      {"both off", false, false, false},
      {"peer off", false, true, false},
      {"host off", true, false, false},
      {"both on", true, true, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    CurlHttpClient client;
    EXPECT_FALSE(client.SetSslVerify(row.verifyPeer, row.verifyHost)) << "without a handle";
    ASSERT_TRUE(client.Open());
    EXPECT_EQ(client.SetSslVerify(row.verifyPeer, row.verifyHost), row.result);
  }
}

TEST(CurlHttpClientOps, InfoFormsRefuseOtherTypesAndWorkWithoutATransfer) {
  CurlHttpClient client;
  EXPECT_EQ(client.GetInfoInteger(CURLINFO_RESPONSE_CODE), 0);
  EXPECT_EQ(client.EffectiveUrl(), "");
  ASSERT_TRUE(client.Open());
  // The private pointer is typed as a text but is the client itself.
  EXPECT_EQ(client.GetInfoText(CURLINFO_PRIVATE), "");
  EXPECT_EQ(client.GetInfoText(CURLINFO_RESPONSE_CODE), "");
  EXPECT_EQ(client.GetInfoDouble(CURLINFO_RESPONSE_CODE), 0.0);
  std::vector<std::string> items{"stale"};
  EXPECT_EQ(client.GetInfoList(CURLINFO_CERTINFO, items), CURLE_BAD_FUNCTION_ARGUMENT);
  EXPECT_TRUE(items.empty());
  std::vector<std::vector<std::string>> chain;
  EXPECT_EQ(client.GetInfoCertificates(CURLINFO_COOKIELIST, chain), CURLE_BAD_FUNCTION_ARGUMENT);
}

TEST(CurlHttpClientOps, AdoptionNeedsAHandleAnotherClientOwns) {
  CurlHttpClient client;
  ASSERT_TRUE(client.Open());
  EXPECT_FALSE(client.AdoptHandle(static_cast<CURL*>(nullptr)));
  EXPECT_FALSE(client.AdoptHandle(client.GetHandle()));
  CurlHandle foreign(curl_easy_init());
  EXPECT_FALSE(client.AdoptHandle(foreign.get()));
  EXPECT_FALSE(client.AdoptHandle(CurlHandle()));
  EXPECT_NE(client.GetHandle(), nullptr);
}

}  // namespace
