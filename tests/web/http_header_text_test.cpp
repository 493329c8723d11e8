// Header-line and cookie-text routines of the request-object back end.

#include "web/http_header_text.h"

#include <gtest/gtest.h>

#include "web/http_text_util.h"
#include "web/win_http_backend.h"

namespace {

TEST(HeaderLines, NormalizeDropsLinesWithoutColonAndCapitalizesEachNamePart) {
  struct Row {
    const char* name;
    std::string in;
    std::string out;
  };
  const Row rows[] = {
      {"mixed lines", "content-type: a\r\nbad line\r\nX-a-b:c", "Content-Type: a\r\nX-A-B:c"},
      {"later letters keep their case", "x-rEquested-with: 1", "X-REquested-With: 1"},
      {"value after the first colon untouched", "referer:https://h/a:b", "Referer:https://h/a:b"},
      {"empty parts of a name survive", "a--b-: 1", "A--B-: 1"},
      {"double-byte name byte untouched", "\xB0\xA1-x: 1", "\xB0\xA1-X: 1"},
      {"no lines at all", "no colon here", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(NormalizeHeaderLines(row.in), row.out);
  }
}

TEST(HeaderLines, NameAndValueAreTrimmedOfAsciiAndFullWidthBlanks) {
  struct Row {
    const char* name;
    std::string line;
    std::string headerName;
    std::string value;
  };
  const Row rows[] = {
      {"blanks around both", " Accept :  */* ", "Accept", "*/*"},
      {"no colon", "Accept */*", "", ""},
      {"full-width blanks",
       "\xA1\xA1"
       "A:\xA1\xA1v\xA1\xA1",
       "A", "v"},
      {"tab is not a blank", "A:\tv", "A", "\tv"},
      {"trail byte A1 of a character is kept", "A: \xB0\xA1", "A", "\xB0\xA1"},
      {"second colon stays in the value", "Host: h:8080", "Host", "h:8080"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(GetHeaderName(row.line), row.headerName);
    EXPECT_EQ(GetHeaderValue(row.line), row.value);
  }
}

TEST(CookieText, MergeListsReceivedFirstThenSentOfOtherNamesWithoutDeleted) {
  struct Row {
    const char* name;
    std::string sent;
    std::string received;
    std::string merged;
    std::string receivedAfter;
  };
  const Row rows[] = {
      {"received wins, deleted dropped", "a=1; b=2", "b=3; c=deleted", "b=3; a=1",
       "b=3; c=deleted"},
      {"nothing received", "a=1; b=2", "", "a=1; b=2", ""},
      {"trailing semicolons and blanks", " a=1; ", "b=2;", "b=2; a=1", "b=2; "},
      {"repeated pair kept once", "a=1; a=1", "", "a=1", ""},
      {"only upper-case DELETED is kept", "", "a=DELETED; b=deleted", "a=DELETED",
       "a=DELETED; b=deleted"},
      {"names compare with case", "A=1", "a=2", "a=2; A=1", "a=2"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::string sent = row.sent;
    std::string received = row.received;
    EXPECT_EQ(MergeCookieText(sent, received), row.merged);
    EXPECT_EQ(sent, row.merged);
    EXPECT_EQ(received, row.receivedAfter);
  }
}

TEST(CookieText, NamesAreTrimmedAndComparedWithCase) {
  EXPECT_EQ(GetCookieName(" sid = x"), "sid");
  EXPECT_EQ(GetCookieName(" flag "), "flag");
  EXPECT_TRUE(HasCookieName({"a=1", " b=2"}, "b"));
  EXPECT_FALSE(HasCookieName({"a=1", "B=2"}, "b"));
}

TEST(SetCookieExtraction, TakesThePairOfLinesNamedExactlySetCookie) {
  struct Row {
    const char* name;
    std::string headers;
    std::string cookies;
  };
  const Row rows[] = {
      {"attributes cut, empty value kept, lower-case name ignored",
       "Set-Cookie: a=1; path=/\r\nSet-Cookie: b=\r\nset-cookie: c=3\r\n", "a=1; b="},
      {"no Set-Cookie lines", "Content-Type: text/html\r\n", ""},
      {"other headers between",
       "Date: x\r\nSet-Cookie: s=v; HttpOnly\r\nServer: y\r\n"
       "Set-Cookie: t=w\r\n",
       "s=v; t=w"},
      {"blanks trimmed from the pair", "Set-Cookie:  u=1 ; Secure\r\n", "u=1"},
      {"value with equals signs kept whole", "Set-Cookie: BAIDUID=ab==:FG=1; max-age=1\r\n",
       "BAIDUID=ab==:FG=1"},
      {"name without the blank after the colon is not a Set-Cookie line", "Set-Cookie:x=1\r\n", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(ExtractSetCookiePairs(row.headers), row.cookies);
  }
}

TEST(HeaderCompletion, AddsWhatIsMissingInOrderTestedWithoutCase) {
  struct Row {
    const char* name;
    std::string headers;
    int method;
    std::string completed;
  };
  const std::string url = "https://h/p";
  const Row rows[] = {
      {"GET with only a user agent", "User-Agent: U", 0,
       "User-Agent: U\r\nAccept: */*\r\nReferer: https://h/p\r\nAccept-Language: zh-cn"},
      {"POST adds the form content type last", "User-Agent: U", 1,
       "User-Agent: U\r\nAccept: */*\r\nReferer: https://h/p\r\nAccept-Language: zh-cn\r\n"
       "Content-Type: application/x-www-form-urlencoded"},
      {"lower-case accept counts as present", "accept: text/html\r\nuser-agent: U", 0,
       "accept: text/html\r\nuser-agent: U\r\nReferer: https://h/p\r\nAccept-Language: zh-cn"},
      {"no user agent gets the old one", "X: 1", 2,
       "X: 1\r\nAccept: */*\r\nReferer: https://h/p\r\nAccept-Language: zh-cn\r\n"
       "User-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(CompleteWinHttpHeaders(row.headers, url, row.method), row.completed);
  }
}

TEST(HttpTextUtil, CaseBlindSearchNeverStartsInsideADoubleByteCharacter) {
  // "\xB0" + "C" would be one character: the "C" there is a trail byte.
  EXPECT_EQ(FindNoCase("\xB0"
                       "Cookie:x",
                       "cookie:"),
            std::string::npos);
  EXPECT_EQ(FindNoCase("a COOKIE: b", "Cookie:"), 2u);
  EXPECT_EQ(FindNoCase("Cookie: Cookie:", "cookie:", 1), 8u);
}

}  // namespace
