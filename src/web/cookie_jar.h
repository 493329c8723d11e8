#pragma once
// CookieJar: the cookie store of one CurlHttpClient. It keeps name=value pairs
// in one text, "; " before and after every pair ("; a=1; b=2; "), or empty for
// a new jar. Names compare exactly, with case; attributes (path, domain,
// expiry) are never stored. Seeded from the caller's cookie text, read for the
// Cookie header, and updated from the reply's Set-Cookie lines.
//
// One jar belongs to one client and thread. Operations never fail; the
// boolean results say whether the store changed.

#include <string>

class CookieJar {
 public:
  CookieJar() = default;
  CookieJar(const CookieJar&) = default;
  CookieJar& operator=(const CookieJar&) = default;

  // set true: stores the text with its framing and returns the text given;
  // set false: returns the pairs without the framing ("a=1; b=2").
  std::string GetOrSetAll(const std::string& text, bool set);
  // True when the jar holds no pair.
  bool IsEmpty() const { return m_store.size() < 3; }
  // The value of a cookie, or "name=value" with `withName`; empty when absent.
  std::string GetValue(const std::string& name, bool withName) const;
  // Removes the cookies named in a text like "a; b=anything"; true when one went.
  bool DeleteNames(const std::string& names);
  // Merges "; "-separated pairs (blanks removed, also inside values): absent
  // ones are added unless their value is empty or "deleted", present ones
  // replaced, and present ones with an empty value removed.
  bool MergePairs(const std::string& cookieText);
  // Merges the first pair of every Set-Cookie line (name matched without case)
  // of a header block, as MergePairs does for one pair.
  bool MergeSetCookieHeaders(const std::string& headerText);

  // The framed store itself, for tests and logs.
  const std::string& Store() const { return m_store; }

 private:
  void EnsureFramed();
  // Merges one name=value pair; false when it changed nothing.
  bool MergeOnePair(const std::string& pair);

  std::string m_store;
};
