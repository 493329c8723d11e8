#include "platform/browser_cookies.h"

#include <gtest/gtest.h>

namespace {

BrowserCookie Cookie(std::string name, std::string domain, std::string path = "/",
                     std::uint64_t order = 0) {
  BrowserCookie cookie;
  cookie.name = std::move(name);
  cookie.value = "v" + cookie.name;
  cookie.domain = std::move(domain);
  cookie.path = std::move(path);
  cookie.order = order;
  return cookie;
}

constexpr std::int64_t kNow = 1700000000;

TEST(BrowserCookies, SendsWhatAppliesToTheAddressLongerPathsFirstThenOlder) {
  std::vector<BrowserCookie> store = {
      Cookie("ROOT2", "pan.quill.localhost", "/", 5),
      Cookie("ROOT1", "pan.quill.localhost", "/", 2),
      Cookie("DISK", "pan.quill.localhost", "/disk", 9),
      Cookie("PARENT", ".quill.localhost", "/", 1),
      Cookie("OTHERHOST", "passport.quill.localhost", "/", 3),
      Cookie("OTHERPATH", "pan.quill.localhost", "/diskette", 4),
      Cookie("BAREPARENT", "quill.localhost", "/", 6),
  };
  store[0].httpOnly = true;
  EXPECT_EQ(CookieTextForUrl(store, "https://pan.quill.localhost:8443/disk/main?x=1#y", kNow),
            "DISK=vDISK; PARENT=vPARENT; ROOT1=vROOT1; ROOT2=vROOT2");
  EXPECT_EQ(CookieTextForUrl(store, "https://quill.localhost/", kNow),
            "PARENT=vPARENT; BAREPARENT=vBAREPARENT");
}

TEST(BrowserCookies, SecureExpiryAndSchemesAreHonoured) {
  BrowserCookie secure = Cookie("S", "pan.quill.localhost");
  secure.secure = true;
  BrowserCookie expired = Cookie("E", "pan.quill.localhost");
  expired.expires = kNow - 1;
  BrowserCookie lasting = Cookie("L", "pan.quill.localhost");
  lasting.expires = kNow + 100;
  const std::vector<BrowserCookie> store = {secure, expired, lasting};
  EXPECT_EQ(CookieTextForUrl(store, "https://pan.quill.localhost/", kNow), "S=vS; L=vL");
  EXPECT_EQ(CookieTextForUrl(store, "http://pan.quill.localhost/", kNow), "L=vL");
  EXPECT_EQ(CookieTextForUrl(store, "about:blank", kNow), "");
  EXPECT_EQ(CookieTextForUrl({}, "https://pan.quill.localhost/", kNow), "");
}

TEST(BrowserCookies, StoringReplacesTheSameCookieAndKeepsItsAge) {
  std::vector<BrowserCookie> store;
  StoreBrowserCookie(store, Cookie("A", "h", "/", 1));
  StoreBrowserCookie(store, Cookie("B", "h", "/", 2));
  BrowserCookie newer = Cookie("A", "h", "/", 3);
  newer.value = "changed";
  StoreBrowserCookie(store, newer);
  EXPECT_EQ(CookieTextForUrl(store, "https://h/", kNow), "A=changed; B=vB");
  RemoveBrowserCookie(store, Cookie("A", "h"));
  EXPECT_EQ(CookieTextForUrl(store, "https://h/", kNow), "B=vB");
}

}  // namespace
