// The libcurl client's request header lines, without a server.

#include "web/curl_http_client.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using ::testing::ElementsAreArray;

TEST(CurlHttpClient, HeaderTextBecomesLinesWithoutBlankLines) {
  struct Row {
    const char* name;
    std::string text;
    std::string textAfter;
    std::vector<std::string> lines;
  };
  const Row rows[] = {
      {"trailing CRLF", "A: 1\r\n", "A: 1\r\n", {"A: 1"}},
      {"blank line between", "A: 1\r\n\r\nB: 2\r\n", "A: 1\r\nB: 2\r\n", {"A: 1", "B: 2"}},
      {"two blank lines", "A: 1\r\n\r\n\r\nB: 2", "A: 1\r\nB: 2", {"A: 1", "B: 2"}},
      {"leading blanks go, those before the CRLF stay", "  A: 1  \r\n", "  A: 1  \r\n", {"A: 1  "}},
      {"empty text", "", "", {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    CurlHttpClient client;
    client.AddHeader("Old", "x");
    std::string text = row.text;
    client.SetHeaderLines(text);
    EXPECT_EQ(text, row.textAfter);
    EXPECT_THAT(client.HeaderLines(), ElementsAreArray(row.lines));
  }
}

TEST(CurlHttpClient, StartingATransferClearsHeaderLinesOnlyWhenAsked) {
  CurlHttpClient client;
  ASSERT_TRUE(client.Open());
  client.AddHeader("A", "1");
  ASSERT_TRUE(client.SetMethodAndUrl("POST", "https://127.0.0.1:9/", false));
  EXPECT_THAT(client.HeaderLines(), ElementsAreArray({"A: 1"}));
  ASSERT_TRUE(client.SetMethodAndUrl("GET", "https://127.0.0.1:9/"));
  EXPECT_TRUE(client.HeaderLines().empty());
}

TEST(CurlHttpClient, WithoutAHandleNothingIsSent) {
  CurlHttpClient client;
  EXPECT_FALSE(client.SetMethodAndUrl("GET", "https://127.0.0.1:9/"));
  EXPECT_FALSE(client.SendText("x"));
  EXPECT_EQ(client.StatusCode(), 0);
  EXPECT_EQ(client.ResponseBody(), "");
}

}  // namespace
