// The cookie store of the libcurl client.

#include "web/cookie_jar.h"

#include <gtest/gtest.h>

namespace {

CookieJar JarWith(const std::string& store) {
  CookieJar jar;
  jar.GetOrSetAll(store, true);
  return jar;
}

TEST(CookieJar, SettingFramesEveryPairAndGettingRemovesTheFrame) {
  struct Row {
    const char* name;
    std::string set;
    std::string store;
    std::string all;
  };
  const Row rows[] = {
      {"one pair", "a=1", "; a=1; ", "a=1"},
      {"trailing semicolon", "a=1;", "; a=1; ", "a=1"},
      {"trailing separator", "a=1; ", "; a=1; ", "a=1"},
      {"already framed", "; a=1; b=2; ", "; a=1; b=2; ", "a=1; b=2"},
      {"empty text", "", "; ", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    CookieJar jar;
    EXPECT_EQ(jar.GetOrSetAll(row.set, true), row.set);
    EXPECT_EQ(jar.Store(), row.store);
    EXPECT_EQ(jar.GetOrSetAll({}, false), row.all);
  }
  EXPECT_TRUE(JarWith("").IsEmpty());
  EXPECT_TRUE(CookieJar().IsEmpty());
  EXPECT_EQ(CookieJar().GetOrSetAll({}, false), "");
}

TEST(CookieJar, ValueLookupMatchesWholeNamesWithCase) {
  CookieJar jar = JarWith("a=1; b=2; ab=3");
  EXPECT_EQ(jar.GetValue("b", false), "2");
  EXPECT_EQ(jar.GetValue("b", true), "b=2");
  EXPECT_EQ(jar.GetValue("B", false), "");
  EXPECT_EQ(jar.GetValue("ab", false), "3");
  EXPECT_EQ(jar.GetValue("c", true), "");
}

TEST(CookieJar, MergePairsAddsReplacesAndRemoves) {
  struct Row {
    const char* name;
    std::string start;
    std::string merged;
    std::string store;
    bool changed;
  };
  const Row rows[] = {
      {"mixed", "; a=1; b=2; ", "b=3; c=; d=deleted; e= 5", "; a=1; b=3; e=5; ", true},
      {"empty value removes a present cookie", "; a=1; b=2; ", "a=", "; b=2; ", true},
      {"deleted replaces a present cookie", "; a=1; b=2; ", "a=deleted", "; a=deleted; b=2; ",
       true},
      {"absent DELETED and Deleted are not added", "; a=1; ", "x=DELETED; y=Deleted", "; a=1; ",
       false},
      {"absent other case of deleted is added", "; a=1; ", "x=DeLeTeD", "; a=1; x=DeLeTeD; ", true},
      {"piece without equals skipped", "; a=1; ", "flag; b=2", "; a=1; b=2; ", true},
      {"same value changes nothing", "; a=1; ", "a=1", "; a=1; ", false},
      {"empty jar gets framed", "", "a=1", "; a=1; ", true},
      {"blanks removed inside values", "", "a=x y", "; a=xy; ", true},
      {"name that only ends like another stays apart", "; xa=1; ", "a=2", "; xa=1; a=2; ", true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    CookieJar jar;
    if (!row.start.empty()) {
      jar.GetOrSetAll(row.start, true);
    }
    EXPECT_EQ(jar.MergePairs(row.merged), row.changed);
    EXPECT_EQ(jar.Store(), row.store);
  }
  CookieJar untouched;
  EXPECT_FALSE(untouched.MergePairs(""));
  EXPECT_EQ(untouched.Store(), "");
}

TEST(CookieJar, MergeSetCookieHeadersTakesTheFirstPairOfEachLine) {
  struct Row {
    const char* name;
    std::string start;
    std::string headers;
    std::string store;
  };
  const Row rows[] = {
      {"name of the header without case", "", "set-cookie: s=x; path=/\r\nSet-Cookie: t=y\r\n",
       "; s=x; t=y; "},
      {"replaces and removes", "; sid=old; x=1; ",
       "HTTP/1.1 200 OK\r\nSet-Cookie: sid=abc; Path=/\r\nSet-Cookie: x=; Max-Age=0\r\n\r\n",
       "; sid=abc; "},
      {"last line without CRLF and without semicolon is ignored", "", "Set-Cookie: a=1", "; "},
      {"last line without CRLF but with attributes is taken", "", "Set-Cookie: a=1; path=/",
       "; a=1; "},
      {"blank inside a value stays", "", "Set-Cookie: a=x y\r\n", "; a=x y; "},
      {"headers of two replies both count", "",
       "HTTP/1.1 302 Found\r\nSet-Cookie: r=1\r\n\r\nHTTP/1.1 200 OK\r\nSet-Cookie: f=2\r\n\r\n",
       "; r=1; f=2; "},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    CookieJar jar;
    if (!row.start.empty()) {
      jar.GetOrSetAll(row.start, true);
    }
    jar.MergeSetCookieHeaders(row.headers);
    EXPECT_EQ(jar.Store(), row.store);
  }
}

TEST(CookieJar, DeleteNamesRemovesTheFirstOccurrenceOfEachName) {
  CookieJar jar = JarWith("; a=1; b=2; c=3; ");
  EXPECT_TRUE(jar.DeleteNames("a; b=anything"));
  EXPECT_EQ(jar.Store(), "; c=3; ");
  EXPECT_FALSE(jar.DeleteNames("x; C"));
  EXPECT_EQ(jar.Store(), "; c=3; ");
}

}  // namespace
